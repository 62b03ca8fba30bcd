#include "catalog/CatalogParser.h"
#include "catalog/Links.h"
#include "settings/Gbk.h"

#include <QTest>

namespace {

// The parse in one line: every list that has rows and every value found, in a fixed order.
QString summary(const catalog::ParsedCatalog& p) {
    QStringList parts;
    const auto list = [&](const char* name, const QStringList& rows) {
        if (!rows.isEmpty()) {
            parts << QLatin1String(name) + QLatin1Char('=') + rows.join(QLatin1Char('|'));
        }
    };
    const auto value = [&](const char* name, const std::optional<QString>& v) {
        if (v) {
            parts << QLatin1String(name) + QLatin1Char('=') + *v;
        }
    };
    list("lib", p.libraries);
    list("version", p.versions);
    value("date", p.releaseDate);
    value("notice", p.notice);
    value("update", p.libraryUpdate);
    list("site", p.sites);
    list("example", p.examples);
    return parts.join(QLatin1Char(' '));
}

} // namespace

class TestCatalog final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parse_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const char* text, const char* expected) {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(expected);
        };
        row("header without trailing character", "[AHT20]\r\n", "lib=AHT2");
        row("header with two trailing characters", "[AHT20]  \r\n", "lib=AHT20 ");
        row("empty header gives an empty row", "[]\r\n", "lib=");
        row("header line is tested further", "[公告：x] \r\n", "lib=公告：x notice=x");
        row("every marker occurrence removed", "公告：a公告：b\r\n", "notice=ab");
        row("marker mid-line is no marker", "x公告：y\r\n[A] \r\n库名=公告：z\r\n", "lib=A");
        row("values are not trimmed", "公告： a \r\n软件更新日期：\r\n", "date= notice= a ");
        row("removal feeds the next test", "版本号：公告：x\r\n", "version=公告：x notice=x");
        row("every line end", "[A] \r[B] \n\r\n\n[C] \r\n公告：n", "lib=A|B|C notice=n");
    }
    void parse() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const QByteArray bytes = gbk::encode(text);
        QCOMPARE(summary(catalog::parse(bytes)), expected);
        catalog::Reader bytewise; // as a download may deliver it: pieces end mid-line, mid-character
        for (const char c : bytes) {
            bytewise.feed(QByteArrayView(&c, 1));
        }
        QCOMPARE(summary(bytewise.finish()), expected);
    }

    // Recommended-site rows come from the catalog, remote input: only a web address is opened.
    void siteAddress_data() {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("address"); // empty: nothing is opened
        const auto row = [](const char* name, const char* text, const char* address) {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(address);
        };
        row("title and address", "示例网站[https://example.com/]", "https://example.com/");
        row("only the first bracketed part", "a[https://one.example/]b[https://two.example/]",
            "https://one.example/");
        row("no opening bracket: text before the first ]", "https://example.com/]tail",
            "https://example.com/");
        row("upper-case scheme", "t[HTTPS://example.com/]", "HTTPS://example.com/");
        row("no closing bracket", "t[https://example.com/", "");
        row("] before [", "t]https://example.com/[", "");
        row("local file", "t[file:///etc/passwd]", "");
        row("file share", "t[file://server/share/x.exe]", "");
        row("no host", "t[http:///x]", "");
        row("blank around the address", "t[ https://example.com/]", "");
    }
    void siteAddress() {
        QFETCH(QString, row);
        QFETCH(QString, address);
        QCOMPARE(links::siteAddress(row).value_or(QString()), address);
    }
};

QTEST_GUILESS_MAIN(TestCatalog)
#include "tst_catalog.moc"
