// The colour dialog of the designers, behind a replaceable hook.
//
// Designer code never opens the platform colour dialog itself: it calls
// ExecuteColorDialog, which asks the installed hook. The default hook shows
// a modal QColorDialog; tests install their own, so nothing blocks there.
#pragma once

#include <functional>

#include "platform/color.h"

class QWidget;

namespace qv {

// Shows the dialog starting at Color; true (and Color changed) when the
// user confirmed a colour.
using TColorDialogHook = std::function<bool(QWidget* Parent, TColor& Color)>;

bool ExecuteColorDialog(QWidget* Parent, TColor& Color);
// Installs Hook and returns the one it replaces; an empty hook restores the
// platform dialog.
TColorDialogHook SetColorDialogHook(TColorDialogHook Hook);

}  // namespace qv
