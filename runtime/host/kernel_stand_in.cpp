#include "runtime/host/kernel_stand_in.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Every block carries its heap's bookkeeping in front of it, so that
// HeapDestroy can give back whatever is still alive, as the real heap does.
struct alignas(16) BlockHeader {
    BlockHeader* next;
    BlockHeader* previous;
    SIZE_T size;
};

// The stand-in takes any sizes, but keeps what it was asked for, and its live
// heaps in a list, so that tests can see both.
struct HostHeap {
    BlockHeader* blocks;
    std::size_t liveBlocks;
    HostHeapRequest request;
    HostHeap* nextLive;
};

HostHeap* liveHeaps = nullptr;

// Like a debug heap: a block not asked zero-filled comes filled with a
// pattern, and a block is poisoned before it goes back, so that code reading
// memory it never wrote or no longer owns sees garbage instead of the zeros
// or the old contents that the allocator happens to leave there. Neither
// pattern has a zero byte, so a missing terminator runs on.
constexpr std::uint32_t UNWRITTEN_PATTERN = 0xBAADF00D;
constexpr std::uint32_t RELEASED_PATTERN = 0xFEEEFEEE;

int failingAllocations = 0;
int failingCreations = 0;

// A tick count handed out once: a test knows what the clock read, and the
// next reader gets the real count again.
bool tickCountSet = false;
DWORD setTickCount = 0;

bool takeFailure(int& count) {
    if (count <= 0) {
        return false;
    }
    --count;
    return true;
}

void fillWithPattern(void* start, SIZE_T bytes, std::uint32_t pattern) {
    auto* byte = static_cast<unsigned char*>(start);
    for (SIZE_T i = 0; i < bytes; ++i) {
        byte[i] = static_cast<unsigned char>(pattern >> (8 * (i % 4)));
    }
}

void fillNewBytes(void* start, SIZE_T bytes, DWORD flags) {
    if (flags & HEAP_ZERO_MEMORY) {
        std::memset(start, 0, bytes);
    } else {
        fillWithPattern(start, bytes, UNWRITTEN_PATTERN);
    }
}

void linkBlock(HostHeap* heap, BlockHeader* block) {
    block->previous = nullptr;
    block->next = heap->blocks;
    if (heap->blocks) {
        heap->blocks->previous = block;
    }
    heap->blocks = block;
    ++heap->liveBlocks;
}

void unlinkBlock(HostHeap* heap, BlockHeader* block) {
    if (block->previous) {
        block->previous->next = block->next;
    } else {
        heap->blocks = block->next;
    }
    if (block->next) {
        block->next->previous = block->previous;
    }
    --heap->liveBlocks;
}

BlockHeader* headerOf(const void* block) {
    return const_cast<BlockHeader*>(static_cast<const BlockHeader*>(block) - 1);
}

BlockHeader* newBlock(HostHeap* heap, SIZE_T bytes) {
    auto* block = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + bytes));
    if (block) {
        block->size = bytes;
        linkBlock(heap, block);
    }
    return block;
}

// The poison is written before the memory goes back to the C library: under
// the sanitizers freed memory is fenced off anyway, but the plain build would
// otherwise leave the old contents readable.
void releaseBlock(HostHeap* heap, BlockHeader* block) {
    unlinkBlock(heap, block);
    fillWithPattern(block + 1, block->size, RELEASED_PATTERN);
    std::free(block);
}

} // namespace

HANDLE HeapCreate(DWORD options, SIZE_T initialSize, SIZE_T maximumSize) {
    if (takeFailure(failingCreations)) {
        return nullptr;
    }
    auto* heap = static_cast<HostHeap*>(std::calloc(1, sizeof(HostHeap)));
    if (heap) {
        heap->request = {options, initialSize, maximumSize};
        heap->nextLive = liveHeaps;
        liveHeaps = heap;
    }
    return heap;
}

BOOL HeapDestroy(HANDLE heapHandle) {
    auto* heap = static_cast<HostHeap*>(heapHandle);
    if (!heap) {
        return 0;
    }
    while (heap->blocks) {
        releaseBlock(heap, heap->blocks);
    }
    for (HostHeap** link = &liveHeaps; *link; link = &(*link)->nextLive) {
        if (*link == heap) {
            *link = heap->nextLive;
            break;
        }
    }
    std::free(heap);
    return 1;
}

LPVOID HeapAlloc(HANDLE heapHandle, DWORD flags, SIZE_T bytes) {
    auto* heap = static_cast<HostHeap*>(heapHandle);
    if (!heap || takeFailure(failingAllocations)) {
        return nullptr;
    }
    BlockHeader* block = newBlock(heap, bytes);
    if (!block) {
        return nullptr;
    }
    fillNewBytes(block + 1, bytes, flags);
    return block + 1;
}

// Always moves the block, as the real call may, so that code that goes on
// using the old address reads poison.
LPVOID HeapReAlloc(HANDLE heapHandle, DWORD flags, LPVOID old, SIZE_T bytes) {
    auto* heap = static_cast<HostHeap*>(heapHandle);
    if (!heap || !old || takeFailure(failingAllocations)) {
        return nullptr;
    }
    BlockHeader* oldBlock = headerOf(old);
    BlockHeader* block = newBlock(heap, bytes);
    if (!block) {
        return nullptr;
    }
    SIZE_T kept = oldBlock->size < bytes ? oldBlock->size : bytes;
    std::memcpy(block + 1, old, kept);
    fillNewBytes(reinterpret_cast<char*>(block + 1) + kept, bytes - kept, flags);
    releaseBlock(heap, oldBlock);
    return block + 1;
}

BOOL HeapFree(HANDLE heapHandle, DWORD, LPVOID block) {
    auto* heap = static_cast<HostHeap*>(heapHandle);
    if (!heap) {
        return 0;
    }
    if (block) {
        releaseBlock(heap, headerOf(block));
    }
    return 1;
}

SIZE_T HeapSize(HANDLE, DWORD, const void* block) {
    return block ? headerOf(block)->size : static_cast<SIZE_T>(-1);
}

std::size_t hostHeapLiveBlocks(HANDLE heapHandle) {
    auto* heap = static_cast<HostHeap*>(heapHandle);
    return heap ? heap->liveBlocks : 0;
}

void hostHeapFailAllocations(int count) {
    failingAllocations = count;
}

void hostHeapFailCreations(int count) {
    failingCreations = count;
}

bool hostHeapIsLive(HANDLE heapHandle) {
    for (HostHeap* heap = liveHeaps; heap; heap = heap->nextLive) {
        if (heap == heapHandle) {
            return true;
        }
    }
    return false;
}

// A heap that is gone answers with what no heap is asked for.
HostHeapRequest hostHeapRequest(HANDLE heapHandle) {
    return hostHeapIsLive(heapHandle) ? static_cast<HostHeap*>(heapHandle)->request
                                      : HostHeapRequest{~DWORD{0}, 0, ~SIZE_T{0}};
}

HMODULE GetModuleHandleA(LPCSTR moduleName) {
    // Any stable, non-null value stands for the running module.
    static char thisModule;
    return moduleName ? nullptr : &thisModule;
}

void hostNextTickCount(DWORD tick) {
    setTickCount = tick;
    tickCountSet = true;
}

DWORD GetTickCount() {
    if (tickCountSet) {
        tickCountSet = false;
        return setTickCount;
    }
    using namespace std::chrono;
    return static_cast<DWORD>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void ExitProcess(UINT exitCode) {
    std::fflush(nullptr);
    std::_Exit(static_cast<int>(exitCode));
}

namespace {

constexpr int WVSPRINTF_LIMIT = 1024;

// Appends `piece` to the output, keeping room for the terminator.
int appendPiece(char* buffer, int length, const char* piece) {
    while (*piece && length < WVSPRINTF_LIMIT - 1) {
        buffer[length++] = *piece++;
    }
    return length;
}

} // namespace

int wvsprintfA(LPSTR buffer, LPCSTR format, const void* arguments) {
    auto* cell = static_cast<const std::int32_t*>(arguments);
    int length = 0;
    char number[16];
    for (const char* f = format; *f && length < WVSPRINTF_LIMIT - 1; ++f) {
        if (*f != '%') {
            buffer[length++] = *f;
            continue;
        }
        ++f;
        bool isLong = false;
        if (*f == 'l') {
            isLong = true;
            ++f;
        }
        (void)isLong;
        if (*f == 'd' || *f == 'i') {
            std::snprintf(number, sizeof number, "%ld", static_cast<long>(*cell++));
        } else if (*f == 'u') {
            std::snprintf(number, sizeof number, "%lu",
                          static_cast<unsigned long>(static_cast<std::uint32_t>(*cell++)));
        } else if (*f == '%') {
            std::snprintf(number, sizeof number, "%%");
        } else {
            break;
        }
        length = appendPiece(buffer, length, number);
    }
    buffer[length] = '\0';
    return length;
}
