// Choosing a file with the platform's file dialogs, through a replaceable
// hook so that tests and programs without a screen answer without a
// blocking window.
//
// Filters are given in the classic form "Description|pattern;pattern|..."
// and translated to Qt's "Description (pattern pattern);;..." form.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace qv {

enum TFileDialogKind { fdOpen, fdSave };

// Open: the file must exist, no read-only check box. Save: prompt before
// overwriting, no read-only check box.
struct TFileDialogOptions {
    TFileDialogKind Kind = fdOpen;
    QString Title;
    QString Filter;            // classic form
    QString DefaultExtension;  // without the dot; empty: none
};

// Translates a classic filter to Qt's syntax: each description followed by
// its patterns in parentheses, separated by spaces (patterns the
// description already showed in parentheses are replaced). An odd last
// part (a description without patterns) is dropped.
QString QtFileFilter(const QString& Filter);
// Appends ".ext" to a chosen name that has no extension.
QString WithDefaultExtension(const QString& FileName, const QString& Extension);

// Shows the dialog over Parent; true and FileName set to the chosen file
// (default extension added) when confirmed, false when cancelled.
using TFileDialogHook = std::function<bool(const TFileDialogOptions& Options, QString& FileName, QWidget* Parent)>;

// Installs Hook and returns the previous one; an empty hook restores the
// default, which shows a modal QFileDialog, or answers false at once on a
// platform without a screen ("offscreen", "minimal").
TFileDialogHook SetFileDialogHook(TFileDialogHook Hook);
bool ExecuteFileDialog(const TFileDialogOptions& Options, QString& FileName, QWidget* Parent = nullptr);

}  // namespace qv
