#include "publish/CatalogCheck.h"

#include "catalog/CatalogParser.h"
#include "catalog/CatalogStrings.h"
#include "catalog/Links.h"
#include "install/Checksum.h"
#include "install/ExampleEntry.h"
#include "install/Extract.h"
#include "install/LibraryDetails.h"
#include "install/PackageName.h"
#include "publish/CatalogLines.h"
#include "publish/PublishStrings.h"
#include "settings/FileNames.h"
#include "settings/Gbk.h"
#include "settings/IniFile.h"

#include <QFileInfo>

#include <algorithm>

namespace publish {

namespace {

using namespace publishstr;

// What the extraction refuses a package for, as publishers read it; empty when it takes it.
QString refusal(const install::ExtractResult& r, const QString& file) {
    switch (r.error) {
    case install::ExtractError::None:
        return {};
    case install::ExtractError::UnsafeName:
        return refused(file, UnsafeEntry, r.detail);
    case install::ExtractError::UnsupportedEntry:
        return refused(file, LinkEntry, r.detail);
    case install::ExtractError::TooLarge:
        return refused(file, TooLarge, r.detail);
    case install::ExtractError::TooManyEntries:
        return refused(file, TooManyEntries, r.detail);
    case install::ExtractError::Empty:
        return refused(file, NoFile, file);
    default: // CannotOpen, Corrupt; the other errors come from writing, which an inspection does not do
        return notZip(file);
    }
}

class Checker {
public:
    Checker(const QByteArray& file, const QString& packages)
        : lines_(splitLines(file))
        , sections_(sectionLines(lines_))
        , text_(gbk::decode(file))
        , index_(ini::SectionIndex::build(text_))
        , packages_(packages) {}

    QList<Problem> run() {
        if (!text_.contains(catstr::NoticeMarker)) {
            add(0, NoNotice);
        }
        for (qsizetype i = 0; i < lines_.size(); ++i) {
            const Line& line = lines_[i];
            if (gbk::encode(line.text) != line.bytes) {
                add(i, NotGbk);
            }
            // The client's reading of the line alone: the lines of a catalog do not depend on each other.
            const catalog::ParsedCatalog rows = catalog::parse(line.text);
            for (qsizetype r = 0; r < rows.libraries.size(); ++r) {
                library(i, rows.libraries.at(r).toString());
            }
            for (qsizetype r = 0; r < rows.versions.size(); ++r) {
                version(i, rows.versions.at(r).toString());
            }
            for (qsizetype r = 0; r < rows.sites.size(); ++r) {
                if (!links::siteAddress(rows.sites.at(r))) {
                    add(i, SiteNotWeb);
                }
            }
            for (qsizetype r = 0; r < rows.examples.size(); ++r) {
                example(i, rows.examples.at(r).toString());
            }
        }
        std::stable_sort(problems_.begin(), problems_.end(),
                         [](const Problem& a, const Problem& b) { return a.line < b.line; });
        return problems_;
    }

private:
    void add(qsizetype index, const QString& message) { problems_.append({int(index) + 1, message}); }

    void library(qsizetype i, const QString& name) {
        if (!filenames::isUsableName(name)) {
            add(i, unusableName(name));
            return;
        }
        const QString key = name.toCaseFolded();
        if (const auto first = firstRow_.constFind(key); first != firstRow_.constEnd()) {
            add(i, duplicate(name, int(*first) + 1));
            return;
        }
        firstRow_.insert(key, i);
        if (const std::optional<ini::NamedLine> header = ini::namedLine(lines_[i].text);
            header && header->isSection && header->name.toCaseFolded() != key) {
            add(i, headerMismatch(name, header->name));
            return;
        }
        const install::LibraryRecord record = install::readRecord(index_.section(text_, name), name);
        if (record.name.isEmpty()) {
            add(i, NoLibraryName);
            return;
        }
        const install::Checksum checksum = install::parseChecksum(record.checksum);
        const qsizetype checksumLine = qMax(sections_.value(key).checksum, i); // its line, or the header's
        if (checksum.pinned && checksum.sha256.isEmpty()) {
            add(checksumLine, BadChecksum);
        }
        const QString zip = package(i, name, true);
        if (!zip.isEmpty() && checksum.pinned && !checksum.sha256.isEmpty()) {
            const QByteArray digest = install::fileSha256(zip);
            if (!checksum.accepts(digest)) {
                add(checksumLine,
                    checksumMismatch(QFileInfo(zip).fileName(), QString::fromLatin1(digest.toHex())));
            }
        }
    }

    // Checks the package of `name` in the packages folder; returns its path when the client would
    // install it (empty without a packages folder).
    QString package(qsizetype i, const QString& name, bool isLibrary) {
        if (packages_.isEmpty()) {
            return {};
        }
        const QString zip = install::packageCacheFile(packages_ + QLatin1Char('/'), name);
        const QString file = QFileInfo(zip).fileName();
        if (!QFileInfo(zip).isFile()) {
            add(i, packageMissing(file));
            return {};
        }
        if (const QString refused = refusal(install::inspectZip(zip), file); !refused.isEmpty()) {
            add(i, refused);
            return {};
        }
        if (isLibrary && !install::findLibraries(zip).names.contains(name)) {
            add(i, noXml(file, name));
            return {};
        }
        return zip;
    }

    void version(qsizetype i, const QString& value) {
        if (!firstVersion_) {
            firstVersion_ = {value, i};
        } else if (value != firstVersion_->first) {
            add(i, versionDiffers(value, firstVersion_->first, int(firstVersion_->second) + 1));
        }
    }

    void example(qsizetype i, const QString& row) {
        const std::optional<ExampleEntry> entry = parseExampleEntry(row);
        if (!entry || entry->packageName.isEmpty()) {
            add(i, ExampleNoPackage);
            return;
        }
        for (const QString& name : {entry->packageName, entry->title}) {
            if (!filenames::isUsableName(name)) {
                add(i, unusableName(name));
                return;
            }
        }
        package(i, entry->packageName, false);
    }

    QList<Line> lines_;
    QHash<QString, SectionLines> sections_;
    QString text_;
    ini::SectionIndex index_;
    QString packages_;
    QHash<QString, qsizetype> firstRow_; // case-folded library name -> the line that lists it first
    std::optional<std::pair<QString, qsizetype>> firstVersion_;
    QList<Problem> problems_;
};

} // namespace

QList<Problem> checkCatalog(const QByteArray& file, const QString& packages) {
    return Checker(file, packages).run();
}

} // namespace publish
