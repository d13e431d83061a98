// The program's one private heap and its own module handle. Every block the
// runtime and the toolkits use comes from this heap; the heap is destroyed
// whole when the program ends, so blocks rarely need to be given back.
#pragma once

#include "runtime/platform.h"

extern HANDLE RuntimeHeap;
extern HINSTANCE instanceHandle;

// Exit code of a process that had to stop because memory ran out.
inline constexpr UINT EXIT_CODE_OUT_OF_MEMORY = 3;

void openRuntimeHeap();
void closeRuntimeHeap();

void* heapAllocZeroed(SIZE_T size);
void* heapAllocUncleared(SIZE_T size);
// Grows (or shrinks) a block, keeping its contents and zero-filling what is new.
void* heapReallocZeroed(void* block, SIZE_T size);
void heapRelease(void* block);

// Called when the heap cannot be made or cannot supply a block. The program
// cannot go on without memory, so the default ends the process with
// EXIT_CODE_OUT_OF_MEMORY instead of letting a null pointer be used.
using HeapFailureHandler = void (*)();
extern HeapFailureHandler heapFailureHandler;
void endOnHeapFailure();
