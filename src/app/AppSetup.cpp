#include "app/AppSetup.h"

#include "ui/Messages.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

void loadQtTranslations(QApplication& app) {
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* name : {"qtbase_zh_CN", "qt_zh_CN"}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QLatin1String(name), dir)) {
            QApplication::installTranslator(translator);
        } else {
            delete translator;
        }
    }
}

void chooseChineseFont() {
    for (const char* family :
         {"Microsoft YaHei", "SimSun", "Noto Sans CJK SC", "WenQuanYi Micro Hei", "Source Han Sans SC"}) {
        if (QFontDatabase::hasFamily(QLatin1String(family))) {
            QFont font{QString::fromLatin1(family)};
            font.setPointSize(9);
            QApplication::setFont(font);
            return;
        }
    }
}

} // namespace

void setUpApplication(QApplication& app) {
    QApplication::setApplicationName(msg::Title);
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    loadQtTranslations(app);
    chooseChineseFont();
}
