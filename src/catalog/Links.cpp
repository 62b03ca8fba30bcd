#include "catalog/Links.h"

#include <QUrl>

namespace links {

QString programPage(const QString& site) {
    return site + QStringLiteral("/?p=333");
}

QString sharingPage(const QString& site) {
    return site + QStringLiteral("/?p=343");
}

QString homePage(const QString& site) {
    return site + QStringLiteral("/");
}

bool isWebAddress(const QString& address) {
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) {
        return false;
    }
    const QString scheme = url.scheme();
    return scheme.compare(QLatin1String("http"), Qt::CaseInsensitive) == 0 ||
           scheme.compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
}

std::optional<QString> siteAddress(QStringView row) {
    const qsizetype close = row.indexOf(QLatin1Char(']'));
    if (close < 0) {
        return std::nullopt;
    }
    const qsizetype open = row.indexOf(QLatin1Char('['));
    if (open > close) {
        return std::nullopt;
    }
    const qsizetype from = open < 0 ? 0 : open + 1;
    const QString address = row.sliced(from, close - from).toString();
    if (!isWebAddress(address)) {
        return std::nullopt;
    }
    return address;
}

} // namespace links
