#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The two conversions of the code conversion tool, as pure text functions.
namespace convert {

// Multi-line conversion. The source is split at every CR LF (exact, left to right; a lone CR or LF
// stays inside its line) and every piece becomes one output line: the first "'" + piece + "\n'",
// each further one "+'" + piece + "\n'", joined by CR LF. A source without any CR LF gives its one
// line followed by CR LF. Nothing is escaped: users paste value splices ('+expr+') into the source
// on purpose. An empty source has nothing to convert and gives no output.
// Any number of lines converts; time and memory are linear in the size of the source.
std::optional<QString> convertLines(QStringView source);

// Value conversion: "'+" + the whole source unchanged (line breaks included) + "+'".
QString convertValue(QStringView source);

} // namespace convert
