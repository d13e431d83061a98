// Native stand-ins for the few KERNEL32 and USER32 calls that the runtime and
// the core make, so that they build and run under the sanitizers on the host.
// They behave as those calls are documented for the arguments used here; the
// heap behaves as a debug heap (see kernel_stand_in.cpp).
#pragma once

#include <cstddef>
#include <cstdint>

using BOOL = int;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using SIZE_T = std::size_t;
using HANDLE = void*;
using HMODULE = void*;
using HINSTANCE = void*;
using LPSTR = char*;
using LPCSTR = const char*;
using LPVOID = void*;
using UINT = unsigned int;
// A UTF-16 code unit, as on Windows.
using WCHAR = char16_t;

inline constexpr DWORD HEAP_NO_SERIALIZE = 0x00000001;
inline constexpr DWORD HEAP_ZERO_MEMORY = 0x00000008;

#define WINAPI

HANDLE HeapCreate(DWORD options, SIZE_T initialSize, SIZE_T maximumSize);
BOOL HeapDestroy(HANDLE heap);
LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);
LPVOID HeapReAlloc(HANDLE heap, DWORD flags, LPVOID block, SIZE_T bytes);
BOOL HeapFree(HANDLE heap, DWORD flags, LPVOID block);
SIZE_T HeapSize(HANDLE heap, DWORD flags, const void* block);

HMODULE GetModuleHandleA(LPCSTR moduleName);
DWORD GetTickCount();
[[noreturn]] void ExitProcess(UINT exitCode);

// Understands literal text, "%%", "%ld", "%d", "%lu" and "%u" with 32-bit cells,
// and never writes more than 1024 bytes, as the real call.
int wvsprintfA(LPSTR buffer, LPCSTR format, const void* arguments);

// For tests: how many blocks a stand-in heap holds right now.
std::size_t hostHeapLiveBlocks(HANDLE heap);
// For tests: makes the next `count` allocations of every heap fail.
void hostHeapFailAllocations(int count);
// For tests: makes the next `count` heap creations fail.
void hostHeapFailCreations(int count);
// For tests: makes the next GetTickCount, and that one only, answer `tick`.
void hostNextTickCount(DWORD tick);
// For tests: whether the handle names a stand-in heap not yet destroyed.
bool hostHeapIsLive(HANDLE heap);
// For tests: the arguments a live stand-in heap was created with.
struct HostHeapRequest {
    DWORD options;
    SIZE_T initialSize;
    SIZE_T maximumSize;
};
HostHeapRequest hostHeapRequest(HANDLE heap);
