// The one way the Windows backend includes <windows.h>: after platform.h,
// whose names (ERROR_SUCCESS, MB_OK, ...) <windows.h> defines as macros.
#pragma once

#include "platform/platform.h"
// (kept apart: the order matters)
#include <windows.h>
// (CommandLineToArgvW; needs <windows.h> first)
#include <shellapi.h>
