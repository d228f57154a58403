// Umbrella header of the core library: every public header of qvcore.
#pragma once

#include "platform/exceptions.h"
#include "platform/geometry.h"
#include "platform/object.h"
#include "platform/persistent.h"
#include "platform/stream.h"
