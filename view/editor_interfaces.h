// The interfaces through which a grid talks to the in-place editor it lays
// over a cell. An editor widget implements any subset of them; the grid finds
// each one with dynamic_cast on the widget and simply skips the step of an
// interface the widget lacks. The grid owns the widget; these are views of it,
// never owners.
//
// What the grid sets on the widget before it calls LoadCell:
//   font     QWidget::setFont with the cell's font scaled to the grid's zoom;
//   colours  the palette's Base and Window roles hold the cell's fill colour,
//            Text and WindowText the cell's font colour. An editor that
//            colours its text by validity reads its valid colour from Text.
#pragma once

#include <functional>

#include "grids/types.h"
#include "platform/color.h"

class QKeyEvent;
class QWidget;

namespace qv {

class TQvCell;

// Value exchange with the attached cell. Neither call keeps the cell.
class IQvEditor {
public:
    virtual ~IQvEditor() = default;
    // Takes the cell's value into the control; ErrorColor is the text colour
    // for invalid input (the error colour of the pane's base style).
    virtual void LoadCell(TQvCell* Cell, TColor ErrorColor) = 0;
    // Writes the control's value into the cell.
    virtual void StoreCell(TQvCell* Cell) = 0;
};

// Horizontal alignment (haLeft, haRight, haCenter) and indent of the cell.
class IQvLayout {
public:
    virtual ~IQvLayout() = default;
    virtual void SetLayout(const TQvLayout& Layout) = 0;
};

// Whether the edited text is acceptable. An editor without it is valid.
class IQvValidator {
public:
    virtual ~IQvValidator() = default;
    virtual bool IsValid() const = 0;
};

// The editor's own say over key routing. Asked first for every key press,
// key release and typed character of the editor: true hands the event to the
// grid, and the editor receives it as well only if the filter cleared
// Exclusive (which starts true).
class IQvMsgFilter {
public:
    virtual ~IQvMsgFilter() = default;
    virtual bool FilterMessage(QKeyEvent* Event, bool& Exclusive) = 0;
};

// What the widgets library binds to each editor-class descriptor
// (EditorClasses::BindEditorFactory): creates the editor widget as a child of
// Parent, hidden, without an owner other than that parent.
using TQvEditorFactory = std::function<QWidget*(QWidget* Parent)>;

// The widgets library's one start-up point for editors: binds its eight
// in-place editor widgets to the registry's editor-class descriptors, keeping
// any factory bound before (a host's own editor). Idempotent. Declared here,
// defined by the editor layer (editors/register_editors.cpp), which builds on
// this one: every grid calls it when it is constructed, so each program that
// shows a grid has the editors without a call of its own and without the
// view including an editor header. That call also makes the linker keep the
// editors in a static build, which a static initialiser alone would not.
void RegisterEditors();

}  // namespace qv
