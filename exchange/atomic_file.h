// Exporters write their files through TAtomicFile, which lives with the
// platform's file code so that the core's own savers share it.
#pragma once

#include "platform/atomic_file.h"
