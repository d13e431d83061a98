// The one place where the runtime and the core reach the operating system.
// The Windows build uses the real KERNEL32 and USER32; the native build uses
// the small stand-in under runtime/host/, which only that build compiles.
#pragma once

#ifdef _WIN32
#include <windows.h>
// wvsprintfA takes its arguments as a pointer to consecutive 32-bit cells.
#define PLATFORM_ARGUMENTS(cells) reinterpret_cast<va_list>(cells)
#else
#include "runtime/host/kernel_stand_in.h"
#define PLATFORM_ARGUMENTS(cells) static_cast<const void*>(cells)
#endif
