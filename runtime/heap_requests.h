// The heap's three requests to the platform. The program makes them directly;
// a build that tests how the program meets a refused request compiles the
// heap with HEAP_REQUESTS_SUPPLIED and supplies the three functions itself.
#pragma once

#include "runtime/platform.h"

#ifdef HEAP_REQUESTS_SUPPLIED
HANDLE requestHeapCreate(DWORD options, SIZE_T initialSize, SIZE_T maximumSize);
LPVOID requestHeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);
LPVOID requestHeapReAlloc(HANDLE heap, DWORD flags, LPVOID block, SIZE_T bytes);
#else
inline HANDLE requestHeapCreate(DWORD options, SIZE_T initialSize, SIZE_T maximumSize) {
    return HeapCreate(options, initialSize, maximumSize);
}
inline LPVOID requestHeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
    return HeapAlloc(heap, flags, bytes);
}
inline LPVOID requestHeapReAlloc(HANDLE heap, DWORD flags, LPVOID block, SIZE_T bytes) {
    return HeapReAlloc(heap, flags, block, bytes);
}
#endif
