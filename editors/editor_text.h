// Moving cell values in and out of the editors' text widgets: line ends and
// string lists held by a cell.
#pragma once

#include <QString>
#include <QStringList>
#include <string>

class QKeyEvent;
class QTextDocument;

namespace qv {

class TQvCell;

// The cell's value as lines: the lines of a string list the cell holds
// (AsObject), else its value converted to a string and split at CR, LF or
// CR LF (a final line end starts no extra line).
QStringList CellLines(TQvCell* Cell);
// The cell's value as one plain text with LF line ends: the lines of a
// string list it holds joined, else its value converted to a string.
QString CellPlainText(TQvCell* Cell);
// The text of an editor's lines as the core writes text: CR LF between
// lines.
std::string LinesText(const QString& PlainText);
// Ctrl+Enter or Shift+Enter: the keys that type a line break in a
// multi-line editor.
bool IsLineBreakKey(const QKeyEvent* Event);
// The document's text exactly as edited, LF between lines: unlike
// toPlainText, non-breaking spaces stay what they are. A line break typed
// inside a paragraph (U+2028) counts as a line end.
QString DocumentText(const QTextDocument* Document);

}  // namespace qv
