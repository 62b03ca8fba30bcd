#pragma once

#include <QString>
#include <QStringView>

// The conversions work on text whose lines end in CR LF; a text box keeps its lines as paragraphs.
// These two functions translate between the two forms so that text put into a box and read back
// is unchanged whenever its line breaks are CR LF.
//
// A text box has one kind of line break: it shows a lone CR or a lone LF as a line break too, and
// reads each line break back as CR LF. What the user sees as lines is what gets converted.
namespace convert {

// The text a box shows for `text`: every CR LF becomes "\n". Lone CR and LF are left for the box,
// which shows them as line breaks.
QString toEditorText(QStringView text);

// The CR LF form of a box's raw document text: every paragraph separator (U+2029) and line
// separator (U+2028, a line break typed with Shift+Enter) becomes CR LF; every other character,
// no-break spaces included, stays as it is.
QString fromEditorText(QStringView raw);

} // namespace convert
