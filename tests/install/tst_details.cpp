#include "TempAppFolder.h"
#include "install/LibraryDetails.h"

#include <QDateTime>
#include <QFile>
#include <QTest>

using install::DetailsCase;
using install::LibraryRecord;

Q_DECLARE_METATYPE(install::DetailsCase)
Q_DECLARE_METATYPE(install::LibraryRecord)

namespace {

LibraryRecord aht20(const QString& version) {
    LibraryRecord r;
    r.name = QStringLiteral("AHT20温湿度传感器");
    r.author = QStringLiteral("张三");
    r.version = version;
    r.boards = QStringLiteral("Arduino Uno");
    r.date = QStringLiteral("2024-03-01");
    r.contact = QStringLiteral("QQ 12345");
    r.web = QStringLiteral("https://example.com/aht20");
    r.intro = QStringLiteral("读取温度和湿度");
    return r;
}

const QString Catalog = QStringLiteral("公告=x\r\n[AHT20]\r\n库名=AHT20温湿度传感器\r\n库版本=1.2\r\n"
                                       "作者=张三\r\n[NoName]\r\n作者=李四\r\n库版本=0.1\r\n");

} // namespace

class TestDetails final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cases_data() {
        QTest::addColumn<LibraryRecord>("catalog");
        QTest::addColumn<LibraryRecord>("installed");
        QTest::addColumn<DetailsCase>("kind");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("buttons"); // i = install, r = reinstall, u = update, o = open buttons

        const QString tail7 = QStringLiteral("库简介：读取温度和湿度");
        QStringList both{QStringLiteral("库名：AHT20温湿度传感器"),
                         QStringLiteral("作者：张三"),
                         QStringLiteral("本地版本：1.2"),
                         QStringLiteral("网络库版本：1.2"),
                         QStringLiteral("适用板卡：Arduino Uno"),
                         QStringLiteral("更新日期：2024-03-01"),
                         QStringLiteral("联系方式：QQ 12345"),
                         QStringLiteral("网址：https://example.com/aht20"),
                         QString(),
                         tail7};
        QTest::newRow("installed and current")
            << aht20("1.2") << aht20("1.2") << DetailsCase::InstalledAndInCatalog << both << "ro";
        QStringList other = both;
        other[2] = QStringLiteral("本地版本：1.3");
        QTest::newRow("installed, other version")
            << aht20("1.2") << aht20("1.3") << DetailsCase::InstalledAndInCatalog << other << "uo";
        QStringList trailingZero = both;
        trailingZero[2] = QStringLiteral("本地版本：1.20");
        QTest::newRow("1.2 against 1.20 is an update")
            << aht20("1.2") << aht20("1.20") << DetailsCase::InstalledAndInCatalog << trailingZero << "uo";

        QStringList notInstalled = both;
        notInstalled.removeAt(2);
        QTest::newRow("in the catalog only")
            << aht20("1.2") << LibraryRecord{} << DetailsCase::InCatalogNotInstalled << notInstalled << "i";

        const QStringList localOnly{QStringLiteral("库名：MyLocalLib"),
                                    QStringLiteral("作者："),
                                    QStringLiteral("网络库版本："),
                                    QStringLiteral("更新日期："),
                                    QStringLiteral("联系方式："),
                                    QStringLiteral("网址："),
                                    QString(),
                                    QStringLiteral("库简介：")};
        QTest::newRow("installed, not in the catalog")
            << LibraryRecord{} << aht20("9") << DetailsCase::InstalledNotInCatalog << localOnly << "o";

        QStringList neither = localOnly;
        neither.insert(3, QStringLiteral("适用板卡："));
        QTest::newRow("neither") << LibraryRecord{} << LibraryRecord{} << DetailsCase::Neither << neither
                                 << "o";

        // A section with every key but 库名 counts as absent, yet its values are shown.
        LibraryRecord nameless = aht20("1.2");
        nameless.name.clear();
        QStringList namelessLines = notInstalled;
        namelessLines[0] = QStringLiteral("库名：MyLocalLib");
        QTest::newRow("catalog section without 库名")
            << nameless << LibraryRecord{} << DetailsCase::Neither << namelessLines << "o";
    }
    void cases() {
        QFETCH(LibraryRecord, catalog);
        QFETCH(LibraryRecord, installed);
        QFETCH(DetailsCase, kind);
        QFETCH(QStringList, lines);
        QFETCH(QString, buttons);
        const install::DetailsView v =
            install::buildDetails(QStringLiteral("MyLocalLib"), catalog, installed);
        QCOMPARE(v.kind, kind);
        QCOMPARE(v.text11, lines.join(QStringLiteral("\r\n")));
        QCOMPARE(v.installVisible, buttons.contains(QLatin1Char('i')));
        QCOMPARE(v.reinstallVisible, buttons.contains(QLatin1Char('r')));
        QCOMPARE(v.updateVisible, buttons.contains(QLatin1Char('u')));
        QCOMPARE(v.openVisible, buttons.contains(QLatin1Char('o')));
        // The installed version holder changes only for a library in both places.
        QCOMPARE(v.text17.has_value(), kind == DetailsCase::InstalledAndInCatalog);
    }

    void recordsReadFromFiles() {
        TempAppFolder app;
        app.writeGbk(QStringLiteral("ku.txt"), Catalog);
        app.writeGbk(QStringLiteral("lib/readme.txt"),
                     QStringLiteral("[aht20]\r\n库名 = \"AHT20温湿度传感器\"\r\n库版本=1.3\r\n"));
        install::CatalogIndex index;
        const LibraryRecord catalog = install::readRecord(index.document(app.file("ku.txt")), "AHT20");
        QCOMPARE(catalog.name, QStringLiteral("AHT20温湿度传感器"));
        QCOMPARE(catalog.author, QStringLiteral("张三"));
        QVERIFY(install::readRecord(index.document(app.file("ku.txt")), "NoName").name.isEmpty());
        const LibraryRecord local = install::readDescriptionFile(app.file("lib/readme.txt"), "AHT20");
        QCOMPARE(local.name, QStringLiteral("AHT20温湿度传感器"));
        QCOMPARE(local.version, QStringLiteral("1.3"));
        QVERIFY(install::readDescriptionFile(app.file("lib/missing.txt"), "AHT20").name.isEmpty());
        QVERIFY(install::readRecord(index.document(app.file("missing.txt")), "AHT20").name.isEmpty());
    }

    void catalogIndexFollowsTheFile() {
        TempAppFolder app;
        const QString path = app.file("ku.txt");
        app.writeGbk(QStringLiteral("ku.txt"), Catalog);
        install::CatalogIndex index;
        QCOMPARE(index.document(path).value(u"AHT20", u"库版本"), QStringLiteral("1.2"));
        QCOMPARE(index.document(path).value(u"AHT20", u"库版本"), QStringLiteral("1.2"));
        QCOMPARE(index.parses(), 1);

        // Same size, other time: read again.
        QString edited = Catalog;
        edited.replace(QStringLiteral("1.2"), QStringLiteral("1.4"));
        app.writeGbk(QStringLiteral("ku.txt"), edited);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(10), QFileDevice::FileModificationTime));
        f.close();
        QCOMPARE(index.document(path).value(u"AHT20", u"库版本"), QStringLiteral("1.4"));
        QCOMPARE(index.parses(), 2);

        // Removed: empty.
        QVERIFY(QFile::remove(path));
        QVERIFY(index.document(path).value(u"AHT20", u"库名").isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestDetails)
#include "tst_details.moc"
