#pragma once

#include "settings/IniFile.h"

#include <QDateTime>
#include <QString>
#include <QtGlobal>

#include <optional>

// What the details panel shows for the library last clicked in either list.
namespace install {

// One library section, of the catalog or of an installed library's description file.
struct LibraryRecord {
    QString name; // 库名; a non-empty value marks the section as present
    QString author;
    QString version;
    QString boards;
    QString date;
    QString contact;
    QString web;
    QString intro;
    QString checksum; // 校验码, catalog sections only (Checksum.h)
};

LibraryRecord readRecord(const ini::Document& document, const QString& section);
// The description file of an installed library; small, so it is read whole at every call. A missing
// file gives an empty record.
LibraryRecord readDescriptionFile(const QString& path, const QString& section);

enum class DetailsCase { InstalledNotInCatalog, InstalledAndInCatalog, InCatalogNotInstalled, Neither };

struct DetailsView {
    DetailsCase kind = DetailsCase::Neither;
    // One formatted line per field ("库名：…" and so on).
    QString nameLine, authorLine, dateLine, contactLine, webLine, introLine, networkVersionLine, boardsLine;
    std::optional<QString> localVersionLine; // the installed version; only for a library in both places
    QString text;                            // the lines shown, joined by CR LF
    bool installVisible = false;             // the install button (Command13)
    bool reinstallVisible = false;           // the reinstall button (Command6)
    bool updateVisible = false;              // the update button (Command19)
    bool openVisible = false;                // the five open buttons (Command101, Command102, Command200-202)
};

// Whether an installed library has another version in the catalog. Versions are free text: any
// difference, "1.2" against "1.20" included, offers the update.
bool offersUpdate(const LibraryRecord& catalog, const LibraryRecord& installed);

// The details of library `selected` from its catalog record and the record of its description file.
DetailsView buildDetails(const QString& selected, const LibraryRecord& catalog,
                         const LibraryRecord& installed);

// The catalog cache as the details panel reads it: the file's text and where each section begins,
// used for as long as the file keeps its size and time. The catalog parse hands over what it read,
// so the first details shown read nothing from the disk.
class CatalogIndex final {
public:
    CatalogIndex() = default;
    Q_DISABLE_COPY_MOVE(CatalogIndex)

    // The catalog record of library `section` in `file`; empty when the file is missing or
    // unreadable, or holds no such section.
    LibraryRecord record(const QString& file, const QString& section);
    // Takes the text of `file`, as read just now, and its section index.
    void adopt(const QString& file, QString text, ini::SectionIndex sections);
    // How many times a file was read and indexed here (a text handed over counts none).
    int parses() const { return parses_; }

private:
    struct Stamp {
        bool exists = false;
        qint64 size = -1;
        QDateTime modified;
        bool operator==(const Stamp&) const = default;
    };
    static Stamp stampOf(const QString& file);

    QString path_;
    bool known_ = false;
    Stamp stamp_;
    QString text_;
    ini::SectionIndex sections_;
    int parses_ = 0;
};

// Reads a GBK text file whole and decodes it; empty when missing.
QString readGbkFile(const QString& path);

} // namespace install
