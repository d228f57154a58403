// Choosing any colour with the platform's colour dialog, through a
// replaceable hook so that tests and programs without a screen answer it
// without a blocking window.
#pragma once

#include <functional>

#include "platform/color.h"

class QWidget;

namespace qv {

// Shows a colour dialog starting at Color over Parent; true and Color set
// to the choice when the user accepted, false (Color unchanged) otherwise.
using TColorDialogHook = std::function<bool(TColor& Color, QWidget* Parent)>;

// Installs Hook and returns the previous one; an empty hook restores the
// default, which shows a modal QColorDialog, or answers false at once on a
// platform without a screen ("offscreen", "minimal").
TColorDialogHook SetColorDialogHook(TColorDialogHook Hook);
bool ExecuteColorDialog(TColor& Color, QWidget* Parent = nullptr);

}  // namespace qv
