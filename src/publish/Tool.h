#pragma once

#include <QStringList>
#include <QTextStream>

// quenra-catalog, the catalog publishers' tool: `check KU.txt [--packages DIR]`, `stamp KU.txt
// --packages DIR`, `--help`.
namespace publish {

// Runs the tool with `args` (without the program name), printing results to `out` and usage errors
// to `err`. Returns the exit status: 0 done and no problem found, 1 problems found (check), 2 a usage
// error or a file that cannot be read or written.
int runTool(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace publish
