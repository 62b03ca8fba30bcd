#include "app/Cli.h"

#include "app/CliStrings.h"
#include "catalog/CatalogParser.h"
#include "catalog/CatalogStrings.h"
#include "host/HostPaths.h"
#include "host/HostStrings.h"
#include "host/Subfolders.h"
#include "install/DownloadCodes.h"
#include "install/Extract.h"
#include "install/InstallStrings.h"
#include "install/PackageDownload.h"
#include "install/PackageName.h"
#include "settings/FileNames.h"
#include "settings/SafeFile.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"

#include <QTextStream>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <variant>

#ifdef Q_OS_WIN
#include <io.h>
#define QUENRA_ISATTY(fd) _isatty(fd)
#define QUENRA_FILENO(f) _fileno(f)
#else
#include <unistd.h>
#define QUENRA_ISATTY(fd) isatty(fd)
#define QUENRA_FILENO(f) fileno(f)
#endif

namespace cli {

namespace {

// A catalog is a few megabytes at most; anything far larger is not one.
constexpr qint64 CatalogSizeLimit = 64LL * 1024 * 1024;
const QString Colon = QStringLiteral("：");

// Lines to the terminal in UTF-8. On a terminal a running download shows its percentage on the line
// it will leave its result on; into a file or a pipe only the result lines go.
class Printer final {
public:
    Printer()
        : out_(stdout)
        , tty_(QUENRA_ISATTY(QUENRA_FILENO(stdout)) != 0) {
        out_.setEncoding(QStringConverter::Utf8);
    }
    void line(const QString& text) {
        clearProgress();
        // Names, versions and messages carry text from the catalog server, packages and file names.
        out_ << filenames::forTerminal(text) << '\n';
        out_.flush();
    }
    void progress(const QString& label, qint64 done, qint64 total) {
        if (!tty_ || total <= 0) {
            return;
        }
        out_ << '\r' << filenames::forTerminal(label) << ' ' << (done * 100 / total) << "%\x1b[K";
        out_.flush();
        showing_ = true;
    }

private:
    void clearProgress() {
        if (showing_) {
            out_ << "\r\x1b[K";
            showing_ = false;
        }
    }
    QTextStream out_;
    bool tty_ = false;
    bool showing_ = false;
};

enum class Kind { None, Help, List, Install, UpdateAll, Import };

struct Command {
    Kind kind = Kind::None;
    QStringList names;
    QString board;
    QString file;
};

// The command the arguments name, or the reason they name none.
std::variant<Command, QString> parse(const QStringList& args) {
    Command c;
    bool twoCommands = false;
    const auto set = [&](Kind kind) {
        twoCommands = twoCommands || c.kind != Kind::None;
        c.kind = kind;
    };
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size() && !args[i + 1].startsWith(QStringLiteral("--"));
        if (a == QStringLiteral("--help") || a == QStringLiteral("-h")) {
            set(Kind::Help);
        } else if (a == QStringLiteral("--list")) {
            set(Kind::List);
        } else if (a == QStringLiteral("--update-all")) {
            set(Kind::UpdateAll);
        } else if (a == QStringLiteral("--install")) {
            set(Kind::Install);
            while (i + 1 < args.size() && !args[i + 1].startsWith(QStringLiteral("--"))) {
                c.names << args[++i];
            }
        } else if (a == QStringLiteral("--import") || a == QStringLiteral("--board")) {
            if (!hasValue) {
                return clistr::MissingValue + a;
            }
            if (a == QStringLiteral("--import")) {
                set(Kind::Import);
                c.file = args[++i];
            } else {
                c.board = args[++i];
            }
        } else {
            return clistr::UnknownOption + a;
        }
    }
    if (twoCommands || c.kind == Kind::None) {
        return clistr::OneCommand;
    }
    if (c.kind == Kind::Install && c.names.isEmpty()) {
        return clistr::NoNames;
    }
    const bool needsBoard = c.kind == Kind::Install || c.kind == Kind::UpdateAll || c.kind == Kind::Import;
    if (needsBoard && c.board.isEmpty()) {
        return hoststr::BoardRequired;
    }
    return c;
}

// One run of a command that has passed the argument and host path checks.
class Runner final {
public:
    Runner(const AppContext& context, const Command& command, QString hostPath)
        : context_(context)
        , settings_(context.folder)
        , command_(command)
        , hostPath_(std::move(hostPath)) {
        http_.setTimeouts(context.timeouts.connectMs, context.timeouts.stallMs);
    }

    int run() {
        const QChar sep = context_.folder.sep;
        const QStringList boards = host::listSubfolders(host::boardsFolder(hostPath_, sep));
        if (command_.kind == Kind::List && command_.board.isEmpty()) {
            print_.line(clistr::BoardsHeading);
            for (const QString& board : sorted(boards)) {
                print_.line(QStringLiteral("  ") + board);
            }
            return 0;
        }
        if (!boards.contains(command_.board) || !filenames::isUsableName(command_.board)) {
            print_.line(clistr::unknownBoard(command_.board));
            return 2;
        }
        root_ = host::libraryRoot(hostPath_, command_.board, sep);
        if (command_.kind == Kind::Import) {
            return importBundle();
        }
        if (!loadCatalog()) {
            return 2;
        }
        if (command_.kind == Kind::List) {
            listLibraries();
            return 0;
        }
        QStringList names = command_.names;
        if (command_.kind == Kind::UpdateAll) {
            names = install::librariesWithUpdates(catalog_, catalogFile(), hostPath_, command_.board, sep);
            if (names.isEmpty()) {
                print_.line(installstr::AllCurrent);
                return 0;
            }
        }
        for (const QString& name : names) {
            installFromServer(name);
        }
        return finish();
    }

private:
    static QStringList sorted(QStringList names) {
        std::sort(names.begin(), names.end(),
                  [](const QString& a, const QString& b) { return a.localeAwareCompare(b) < 0; });
        return names;
    }
    QString catalogFile() const { return context_.folder.catalogCacheForDetails(); }

    // The catalog from the server, as the window's start-up gets it, or else the one the last
    // download left in the cache.
    bool loadCatalog() {
        net::Options options;
        options.maxBytes = CatalogSizeLimit;
        options.deadlineMs = context_.timeouts.catalogDeadlineMs;
        const net::Result fetched =
            http_.fetch(QUrl(settings_.read(keys::CatalogServer) + catstr::CatalogFile), options);
        catalog::ParsedCatalog parsed = catalog::parse(fetched.body);
        if (!fetched.ok() || !parsed.hasNoticeMarker ||
            !safefile::writeAtomically(context_.folder.catalogCache(), fetched.body)) {
            print_.line(catstr::DownloadFailed);
            std::optional<catalog::ParsedCatalog> cached = catalog::parseFile(context_.folder.catalogCache());
            if (!cached || !cached->hasNoticeMarker) {
                return false;
            }
            parsed = std::move(*cached);
            print_.line(installstr::ShowingCachedCatalog);
        }
        libraries_ = parsed.libraries.toStringList();
        catalog_.adopt(catalogFile(), std::move(parsed.sections));
        return true;
    }

    void listLibraries() {
        const QChar sep = context_.folder.sep;
        for (const QString& name : sorted(host::listSubfolders(root_))) {
            const install::LibraryRecord installed =
                install::readDescriptionFile(host::libraryReadme(hostPath_, command_.board, name, sep), name);
            print_.line(name + QStringLiteral("  ") + installstr::LocalVersionLabel + installed.version +
                        QStringLiteral("  ") + installstr::NetworkVersionLabel +
                        catalog_.record(catalogFile(), name).version);
        }
    }

    // Download with the 校验码 check, then the extraction into the board's library root: the steps
    // of the window's install button, without its questions.
    void installFromServer(const QString& name) {
        if (!libraries_.contains(name)) {
            report(name, clistr::notInCatalog(name), false);
            return;
        }
        net::Options options;
        options.maxBytes = context_.timeouts.packageMaxBytes;
        options.onProgress = [&](qint64 received, qint64 total) {
            print_.progress(clistr::downloading(name), received, total);
        };
        const QString cache = context_.folder.packageCacheFolder();
        const qint32 code = install::downloadPackage(
            http_, settings_.read(keys::CatalogServer), cache, name,
            install::parseChecksum(catalog_.record(catalogFile(), name).checksum), options);
        if (code != install::code::Ok) {
            report(name, install::downloadFailureMessage(code, name), false);
            return;
        }
        const install::ExtractResult extracted =
            install::extractZip(install::packageCacheFile(cache, name), root_);
        report(name, extracted.ok() ? installstr::Installed : installstr::UnzipFailed, extracted.ok());
    }

    // "安装本地库" with a bundle: the libraries it carries and nothing beside them.
    int importBundle() {
        const install::ArchiveLibraries found = install::findLibraries(command_.file);
        if (found.names.isEmpty()) {
            print_.line(installstr::NoLibraryInArchive);
            return 2;
        }
        install::ExtractLimits limits;
        limits.onlyItems = found.names;
        const bool ok = install::extractZip(command_.file, root_, limits).ok();
        for (const QString& name : found.names) {
            report(name, ok ? installstr::Installed : installstr::UnzipFailed, ok);
        }
        return finish();
    }

    void report(const QString& name, const QString& message, bool ok) {
        // A message with a second line carries a path for diagnostics: it stays on the one line.
        print_.line(name + Colon + QString(message).replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
        (ok ? succeeded_ : failed_) += 1;
    }

    int finish() {
        print_.line(clistr::summary(succeeded_, failed_));
        return failed_ == 0 ? 0 : 1;
    }

    const AppContext& context_;
    Settings settings_;
    Command command_;
    QString hostPath_;
    QString root_;
    Printer print_;
    net::HttpClient http_;
    install::CatalogIndex catalog_;
    QStringList libraries_;
    int succeeded_ = 0;
    int failed_ = 0;
};

} // namespace

bool wanted(const QStringList& arguments) {
    return !arguments.isEmpty() &&
           (arguments.first().startsWith(QStringLiteral("--")) || arguments.first() == QStringLiteral("-h"));
}

int run(const QStringList& arguments, const AppContext& context) {
    const std::variant<Command, QString> parsed = parse(arguments);
    if (const QString* error = std::get_if<QString>(&parsed)) {
        Printer().line(clistr::BadArguments + *error + QStringLiteral("\n") + clistr::Usage);
        return 2;
    }
    const Command& command = std::get<Command>(parsed);
    if (command.kind == Kind::Help) {
        Printer().line(clistr::Usage);
        return 0;
    }
    const QString hostPath = Settings(context.folder).read(keys::HostPath);
    if (!host::isInstalledHostPath(hostPath, context.folder.sep)) {
        Printer().line(clistr::NoHostPath);
        return 2;
    }
    return Runner(context, command, hostPath).run();
}

} // namespace cli
