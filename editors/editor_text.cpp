#include "editors/editor_text.h"

#include <QKeyEvent>
#include <QTextBlock>
#include <QTextDocument>

#include "grids/cell.h"
#include "platform/string_list.h"

namespace qv {

QStringList CellLines(TQvCell* Cell) {
    QStringList r;
    if (auto* list = dynamic_cast<TStrings*>(Cell->AsObject())) {
        for (int i = 0; i < list->Count(); ++i) r << QString::fromStdString(list->Strings(i));
        return r;
    }
    TStringList lines;
    lines.SetText(Cell->GetValue().AsString());
    for (int i = 0; i < lines.Count(); ++i) r << QString::fromStdString(lines.Strings(i));
    return r;
}

QString CellPlainText(TQvCell* Cell) {
    if (dynamic_cast<TStrings*>(Cell->AsObject())) return CellLines(Cell).join(QChar('\n'));
    QString t = QString::fromStdString(Cell->GetValue().AsString());
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QChar('\r'), QChar('\n'));
    return t;
}

std::string LinesText(const QString& PlainText) {
    QString t = PlainText;
    t.replace(QChar('\n'), QStringLiteral("\r\n"));
    return t.toStdString();
}

bool IsLineBreakKey(const QKeyEvent* Event) {
    if (Event->key() != Qt::Key_Return && Event->key() != Qt::Key_Enter) return false;
    const Qt::KeyboardModifiers m = Event->modifiers() & ~Qt::KeypadModifier;
    return m == Qt::ControlModifier || m == Qt::ShiftModifier;
}

QString DocumentText(const QTextDocument* Document) {
    QString r;
    for (QTextBlock b = Document->begin(); b.isValid(); b = b.next()) {
        if (b != Document->begin()) r += QChar('\n');
        r += b.text();
    }
    r.replace(QChar(QChar::LineSeparator), QChar('\n'));
    return r;
}

}  // namespace qv
