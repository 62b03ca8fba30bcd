#include "install/LibraryDetails.h"

#include "install/InstallStrings.h"
#include "settings/Gbk.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace install {

namespace {

const QString CrLf = QStringLiteral("\r\n");

} // namespace

LibraryRecord readRecord(const ini::Document& document, const QString& section) {
    using namespace installstr;
    LibraryRecord r;
    r.name = document.value(section, KeyName);
    r.author = document.value(section, KeyAuthor);
    r.version = document.value(section, KeyVersion);
    r.boards = document.value(section, KeyBoards);
    r.date = document.value(section, KeyDate);
    r.contact = document.value(section, KeyContact);
    r.web = document.value(section, KeyWeb);
    r.intro = document.value(section, KeyIntro);
    return r;
}

QString readGbkFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return gbk::decode(file.readAll());
}

LibraryRecord readDescriptionFile(const QString& path, const QString& section) {
    return readRecord(ini::Document::parse(readGbkFile(path)), section);
}

DetailsView buildDetails(const QString& selected, const LibraryRecord& catalog,
                         const LibraryRecord& installed) {
    using namespace installstr;
    DetailsView v;
    // The holders are filled from the catalog before the case is known.
    v.text2 = NameLabel + catalog.name;
    v.text3 = AuthorLabel + catalog.author;
    v.text16 = NetworkVersionLabel + catalog.version;
    v.text19 = BoardsLabel + catalog.boards;
    v.text4 = DateLabel + catalog.date;
    v.text5 = ContactLabel + catalog.contact;
    v.text6 = WebLabel + catalog.web;
    v.text7 = IntroLabel + catalog.intro;

    const bool isInstalled = !installed.name.isEmpty();
    const bool inCatalog = !catalog.name.isEmpty();
    QStringList lines;
    if (isInstalled && !inCatalog) {
        v.kind = DetailsCase::InstalledNotInCatalog;
        v.text2 = NameLabel + selected;
        lines = {v.text2, v.text3, v.text16, v.text4, v.text5, v.text6};
        v.openVisible = true;
    } else if (isInstalled && inCatalog) {
        v.kind = DetailsCase::InstalledAndInCatalog;
        v.text17 = LocalVersionLabel + installed.version;
        lines = {v.text2, v.text3, *v.text17, v.text16, v.text19, v.text4, v.text5, v.text6};
        // Versions are free text: any difference, "1.2" against "1.20" included, offers the update.
        const bool current = installed.version == catalog.version;
        v.reinstallVisible = current;
        v.updateVisible = !current;
        v.openVisible = true;
    } else if (inCatalog) {
        v.kind = DetailsCase::InCatalogNotInstalled;
        lines = {v.text2, v.text3, v.text16, v.text19, v.text4, v.text5, v.text6};
        v.installVisible = true;
    } else {
        v.kind = DetailsCase::Neither;
        v.text2 = NameLabel + selected;
        lines = {v.text2, v.text3, v.text16, v.text19, v.text4, v.text5, v.text6};
        v.openVisible = true;
    }
    lines << QString() << v.text7;
    v.text11 = lines.join(CrLf);
    return v;
}

const ini::Document& CatalogIndex::document(const QString& file) {
    const QFileInfo info(file);
    const bool exists = info.exists();
    const qint64 size = exists ? info.size() : -1;
    const QDateTime modified = exists ? info.lastModified() : QDateTime();
    if (known_ && file == path_ && exists == exists_ && size == size_ && modified == modified_) {
        return document_;
    }
    path_ = file;
    known_ = true;
    exists_ = exists;
    size_ = size;
    modified_ = modified;
    document_ = ini::Document::parse(readGbkFile(file));
    ++parses_;
    return document_;
}

} // namespace install
