// The picture writers of qv_designer_screenshots, one per picker or dialog.
// Each writes its PNG files into Folder and prints every path it wrote.
#pragma once

#include <QString>
#include <QWidget>

namespace qv {

// Grabs Widget (laid out and painted first) into Folder/Name and prints the
// path; false when the file could not be written.
bool SaveShot(QWidget& Widget, const QString& Folder, const QString& Name);

// The colour box with one swatch active, the colour
// tool button, the font boxes and a simple pick box.
void WritePickerShots(const QString& Folder);
// Each page of the Format Cells dialog on a selection, and on a base style.
void WriteCellDesignerShots(const QString& Folder);
// The style designer with two styles, one of them chosen.
void WriteStylerShots(const QString& Folder);
// The sheet designer over the showcase sheet, its bars and colour pop-up.
void WriteSheetDesignerShots(const QString& Folder);

}  // namespace qv
