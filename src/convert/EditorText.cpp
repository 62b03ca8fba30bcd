#include "convert/EditorText.h"

#include "convert/ConvertStrings.h"

#include <algorithm>

namespace convert {

namespace {

bool isBoxLineBreak(QChar c) {
    return c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

} // namespace

QString toEditorText(QStringView text) {
    QString out = text.toString();
    out.replace(convertstr::LineBreak, QStringLiteral("\n"));
    return out;
}

QString fromEditorText(QStringView raw) {
    const auto breaks = std::count_if(raw.begin(), raw.end(), isBoxLineBreak);
    QString out;
    out.reserve(raw.size() + breaks);
    auto runStart = raw.begin();
    for (auto it = raw.begin(); it != raw.end(); ++it) {
        if (isBoxLineBreak(*it)) {
            out.append(QStringView(runStart, it));
            out.append(convertstr::LineBreak);
            runStart = it + 1;
        }
    }
    out.append(QStringView(runStart, raw.end()));
    return out;
}

} // namespace convert
