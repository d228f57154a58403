// Umbrella header of the widgets library: every public header of qvwidgets
// (and, through qvcore.h, of the core).
#pragma once

#include "qvcore.h"
#include "qt/qt_canvas.h"
#include "qt/qt_convert.h"
#include "qt/qt_message_service.h"
#include "qt/qt_picture.h"
#include "view/grid.h"
#include "view/view.h"
