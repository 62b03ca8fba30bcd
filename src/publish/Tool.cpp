#include "publish/Tool.h"

#include "publish/CatalogCheck.h"
#include "publish/CatalogStamp.h"
#include "publish/PublishStrings.h"
#include "settings/FileNames.h"
#include "settings/SafeFile.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

namespace publish {

namespace {

struct Command {
    QString name; // "check" or "stamp"
    QString catalog;
    QString packages;
};

std::optional<Command> parseArgs(const QStringList& args) {
    if (args.size() != 2 && args.size() != 4) {
        return std::nullopt;
    }
    Command c{args[0], args[1], {}};
    if (args.size() == 4) {
        if (args[2] != QLatin1String("--packages")) {
            return std::nullopt;
        }
        c.packages = args[3];
    }
    const bool known =
        c.name == QLatin1String("check") || (c.name == QLatin1String("stamp") && !c.packages.isEmpty());
    return known ? std::optional(c) : std::nullopt;
}

} // namespace

int runTool(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.size() == 1 && (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h"))) {
        out << publishstr::Usage;
        return 0;
    }
    const std::optional<Command> command = parseArgs(args);
    if (!command) {
        err << publishstr::Usage;
        return 2;
    }
    if (!command->packages.isEmpty() && !QFileInfo(command->packages).isDir()) {
        err << publishstr::NoFolder << command->packages << '\n';
        return 2;
    }
    QFile file(command->catalog);
    if (!file.open(QIODevice::ReadOnly)) {
        err << publishstr::CannotRead << command->catalog << '\n';
        return 2;
    }
    const QByteArray bytes = file.readAll();
    file.close();
    if (command->name == QLatin1String("stamp")) {
        const Stamped stamped = stampCatalog(bytes, command->packages);
        if (stamped.file != bytes && !safefile::writeAtomically(command->catalog, stamped.file)) {
            err << publishstr::CannotWrite << command->catalog << '\n';
            return 2;
        }
        out << publishstr::stamped(stamped.libraries) << '\n';
        return 0;
    }
    const QList<Problem> problems = checkCatalog(bytes, command->packages);
    for (const Problem& p : problems) {
        // Messages quote names from the catalog and from packages' entries.
        out << command->catalog << ':' << p.line << ": " << filenames::forTerminal(p.message) << '\n';
    }
    return problems.isEmpty() ? 0 : 1;
}

} // namespace publish
