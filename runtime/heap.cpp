#include "runtime/heap.h"

#include "runtime/heap_requests.h"

HANDLE RuntimeHeap;
HINSTANCE instanceHandle;
HeapFailureHandler heapFailureHandler = endOnHeapFailure;

namespace {

constexpr SIZE_T INITIAL_HEAP_SIZE = 4000;

void* checked(void* block) {
    if (!block) {
        heapFailureHandler();
    }
    return block;
}

} // namespace

void endOnHeapFailure() {
    ExitProcess(EXIT_CODE_OUT_OF_MEMORY);
}

void openRuntimeHeap() {
    instanceHandle = reinterpret_cast<HINSTANCE>(GetModuleHandleA(nullptr));
    // Serialised access stays on: it costs little and the heap is never shared.
    RuntimeHeap = requestHeapCreate(0, INITIAL_HEAP_SIZE, 0);
    if (!RuntimeHeap) {
        heapFailureHandler();
    }
}

void closeRuntimeHeap() {
    if (RuntimeHeap) {
        HeapDestroy(RuntimeHeap);
    }
    RuntimeHeap = nullptr;
}

void* heapAllocZeroed(SIZE_T size) {
    return checked(requestHeapAlloc(RuntimeHeap, HEAP_ZERO_MEMORY, size));
}

void* heapAllocUncleared(SIZE_T size) {
    return checked(requestHeapAlloc(RuntimeHeap, 0, size));
}

void* heapReallocZeroed(void* block, SIZE_T size) {
    return checked(requestHeapReAlloc(RuntimeHeap, HEAP_ZERO_MEMORY, block, size));
}

void heapRelease(void* block) {
    if (block) {
        HeapFree(RuntimeHeap, 0, block);
    }
}
