// The one platform seam. The system calls the Windows operations it needs as
// win::Name (functions and types); constants are the Windows macros, unqualified.
// On Windows the real API is re-exported; elsewhere a stand-in provides the same
// subset with the same names, signatures and constants, started by
// win::stand_in::Start() (nothing to start on Windows).
#pragma once

#ifdef _WIN32
#include "platform/win32/stand_in.h"
#include "platform/win32/win32_api.h"
#else
#include "platform/posix/console/console_api.h"
#include "platform/posix/gdi/gdi_api.h"
#include "platform/posix/kernel/kernel_api.h"
#include "platform/posix/stand_in.h"
#include "platform/posix/user/user_api.h"
#include "platform/posix/win_types.h"
#endif
