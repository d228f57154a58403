// Umbrella header of the widgets library: every public header of qvwidgets
// (and, through qvcore.h, of the core).
#pragma once

#include "qvcore.h"
#include "view/grid.h"
#include "view/view.h"
