#pragma once

#include "settings/IniFile.h"

#include <QByteArray>
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

// The catalog cache as the details panel reads it: where each library's section begins in the file,
// used for as long as the file keeps its size and time. A look-up reads that one section from the
// file; the catalog's reading hands over the index it built, so the first details shown read one
// section and nothing else, and no copy of the catalog is held.
class CatalogIndex final {
public:
    CatalogIndex() = default;
    Q_DISABLE_COPY_MOVE(CatalogIndex)

    // The catalog record of library `section` in `file`; empty when the file is missing or
    // unreadable, or holds no such section.
    LibraryRecord record(const QString& file, const QString& section);
    // Takes the index of `file`, as read just now.
    void adopt(const QString& file, ini::SectionIndex sections);
    // How many times a file was read and indexed here (an index handed over counts none).
    int parses() const { return parses_; }

    // While one lives, the look-ups read the file's bytes from memory, read once at the first: for
    // a caller that reads the records of all libraries in turn (the first search).
    class Held final {
    public:
        explicit Held(CatalogIndex& index);
        ~Held();
        Q_DISABLE_COPY_MOVE(Held)

    private:
        CatalogIndex& index_;
    };

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
    ini::SectionIndex sections_;
    int parses_ = 0;
    int holds_ = 0;
    std::optional<QByteArray> bytes_; // the file's bytes while held
};

// Reads a GBK text file whole and decodes it; empty when missing.
QString readGbkFile(const QString& path);

} // namespace install
