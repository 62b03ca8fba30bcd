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
    r.checksum = document.value(section, KeyChecksum);
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

bool offersUpdate(const LibraryRecord& catalog, const LibraryRecord& installed) {
    return !catalog.name.isEmpty() && !installed.name.isEmpty() && installed.version != catalog.version;
}

DetailsView buildDetails(const QString& selected, const LibraryRecord& catalog,
                         const LibraryRecord& installed) {
    using namespace installstr;
    DetailsView v;
    // The holders are filled from the catalog before the case is known.
    v.nameLine = NameLabel + catalog.name;
    v.authorLine = AuthorLabel + catalog.author;
    v.networkVersionLine = NetworkVersionLabel + catalog.version;
    v.boardsLine = BoardsLabel + catalog.boards;
    v.dateLine = DateLabel + catalog.date;
    v.contactLine = ContactLabel + catalog.contact;
    v.webLine = WebLabel + catalog.web;
    v.introLine = IntroLabel + catalog.intro;

    const bool isInstalled = !installed.name.isEmpty();
    const bool inCatalog = !catalog.name.isEmpty();
    QStringList lines;
    if (isInstalled && !inCatalog) {
        v.kind = DetailsCase::InstalledNotInCatalog;
        v.nameLine = NameLabel + selected;
        lines = {v.nameLine, v.authorLine, v.networkVersionLine, v.dateLine, v.contactLine, v.webLine};
        v.openVisible = true;
    } else if (isInstalled && inCatalog) {
        v.kind = DetailsCase::InstalledAndInCatalog;
        v.localVersionLine = LocalVersionLabel + installed.version;
        lines = {v.nameLine,   v.authorLine, *v.localVersionLine, v.networkVersionLine,
                 v.boardsLine, v.dateLine,   v.contactLine,       v.webLine};
        const bool current = !offersUpdate(catalog, installed);
        v.reinstallVisible = current;
        v.updateVisible = !current;
        v.openVisible = true;
    } else if (inCatalog) {
        v.kind = DetailsCase::InCatalogNotInstalled;
        lines = {v.nameLine,    v.authorLine, v.networkVersionLine, v.boardsLine, v.dateLine,
                 v.contactLine, v.webLine};
        v.installVisible = true;
    } else {
        v.kind = DetailsCase::Neither;
        v.nameLine = NameLabel + selected;
        lines = {v.nameLine,    v.authorLine, v.networkVersionLine, v.boardsLine, v.dateLine,
                 v.contactLine, v.webLine};
        v.openVisible = true;
    }
    lines << QString() << v.introLine;
    v.text = lines.join(CrLf);
    return v;
}

CatalogIndex::Stamp CatalogIndex::stampOf(const QString& file) {
    const QFileInfo info(file);
    Stamp stamp;
    stamp.exists = info.exists();
    if (stamp.exists) {
        stamp.size = info.size();
        stamp.modified = info.lastModified();
    }
    return stamp;
}

void CatalogIndex::adopt(const QString& file, QString text, ini::SectionIndex sections) {
    path_ = file;
    known_ = true;
    stamp_ = stampOf(file);
    text_ = std::move(text);
    sections_ = std::move(sections);
}

LibraryRecord CatalogIndex::record(const QString& file, const QString& section) {
    const Stamp stamp = stampOf(file);
    if (!known_ || file != path_ || stamp != stamp_) {
        path_ = file;
        known_ = true;
        stamp_ = stamp;
        text_ = readGbkFile(file);
        sections_ = ini::SectionIndex::build(text_);
        ++parses_;
    }
    return readRecord(sections_.section(text_, section), section);
}

} // namespace install
