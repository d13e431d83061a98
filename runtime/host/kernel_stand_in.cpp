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

struct HostHeap {
    BlockHeader* blocks;
    std::size_t liveBlocks;
};

int failingAllocations = 0;

bool allocationShouldFail() {
    if (failingAllocations <= 0) {
        return false;
    }
    --failingAllocations;
    return true;
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

} // namespace

HANDLE HeapCreate(DWORD, SIZE_T, SIZE_T) {
    return std::calloc(1, sizeof(HostHeap));
}

BOOL HeapDestroy(HANDLE heapHandle) {
    auto* heap = static_cast<HostHeap*>(heapHandle);
    if (!heap) {
        return 0;
    }
    while (heap->blocks) {
        BlockHeader* block = heap->blocks;
        unlinkBlock(heap, block);
        std::free(block);
    }
    std::free(heap);
    return 1;
}

LPVOID HeapAlloc(HANDLE heapHandle, DWORD flags, SIZE_T bytes) {
    auto* heap = static_cast<HostHeap*>(heapHandle);
    if (!heap || allocationShouldFail()) {
        return nullptr;
    }
    auto* block = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + bytes));
    if (!block) {
        return nullptr;
    }
    block->size = bytes;
    if (flags & HEAP_ZERO_MEMORY) {
        std::memset(block + 1, 0, bytes);
    }
    linkBlock(heap, block);
    return block + 1;
}

LPVOID HeapReAlloc(HANDLE heapHandle, DWORD flags, LPVOID old, SIZE_T bytes) {
    auto* heap = static_cast<HostHeap*>(heapHandle);
    if (!heap || !old || allocationShouldFail()) {
        return nullptr;
    }
    BlockHeader* block = headerOf(old);
    SIZE_T oldSize = block->size;
    unlinkBlock(heap, block);
    auto* grown = static_cast<BlockHeader*>(std::realloc(block, sizeof(BlockHeader) + bytes));
    if (!grown) {
        linkBlock(heap, block);
        return nullptr;
    }
    grown->size = bytes;
    if ((flags & HEAP_ZERO_MEMORY) && bytes > oldSize) {
        std::memset(reinterpret_cast<char*>(grown + 1) + oldSize, 0, bytes - oldSize);
    }
    linkBlock(heap, grown);
    return grown + 1;
}

BOOL HeapFree(HANDLE heapHandle, DWORD, LPVOID block) {
    auto* heap = static_cast<HostHeap*>(heapHandle);
    if (!heap) {
        return 0;
    }
    if (!block) {
        return 1;
    }
    BlockHeader* header = headerOf(block);
    unlinkBlock(heap, header);
    std::free(header);
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

HMODULE GetModuleHandleA(LPCSTR moduleName) {
    // Any stable, non-null value stands for the running module.
    static char thisModule;
    return moduleName ? nullptr : &thisModule;
}

DWORD GetTickCount() {
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
