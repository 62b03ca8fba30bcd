#include "catalog/Links.h"

#include <QTest>

class TestLinks final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sitePages() {
        const QString site = QStringLiteral("https://maker.example.org");
        QCOMPARE(links::programPage(site), site + QStringLiteral("/?p=333"));
        QCOMPARE(links::sharingPage(site), site + QStringLiteral("/?p=343"));
        QCOMPARE(links::homePage(site), site + QStringLiteral("/"));
    }

    void siteAddress_data() {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("address"); // empty: nothing is opened
        QTest::newRow("title and address") << "示例网站[https://example.com/]"
                                           << "https://example.com/";
        QTest::newRow("plain http") << "t[http://example.com/a?b=1]"
                                    << "http://example.com/a?b=1";
        QTest::newRow("only the first bracketed part") << "a[https://one.example/]b[https://two.example/]"
                                                       << "https://one.example/";
        QTest::newRow("no opening bracket: text before the first ]") << "https://example.com/]tail"
                                                                     << "https://example.com/";
        QTest::newRow("upper-case scheme") << "t[HTTPS://example.com/]"
                                           << "HTTPS://example.com/";
        QTest::newRow("no closing bracket") << "t[https://example.com/"
                                            << "";
        QTest::newRow("] before [") << "t]https://example.com/["
                                    << "";
        QTest::newRow("local file") << "t[file:///etc/passwd]"
                                    << "";
        QTest::newRow("Windows path") << "t[C:\\Windows\\notepad.exe]"
                                      << "";
        QTest::newRow("relative path") << "t[../../bin/sh]"
                                       << "";
        QTest::newRow("script") << "t[javascript:alert(1)]"
                                << "";
        QTest::newRow("no host") << "t[http:///x]"
                                 << "";
        QTest::newRow("blank around the address") << "t[ https://example.com/]"
                                                  << "";
        QTest::newRow("empty brackets") << "t[]"
                                        << "";
    }
    void siteAddress() {
        QFETCH(QString, row);
        QFETCH(QString, address);
        const std::optional<QString> got = links::siteAddress(row);
        QCOMPARE(got.value_or(QString()), address);
    }
};

QTEST_GUILESS_MAIN(TestLinks)
#include "tst_links.moc"
