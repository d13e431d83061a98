// Random pieces, numbers, seals, restores and commits never write outside the
// scratch area, and the strings built read as a model says.
#include "runtime/heap.h"
#include "runtime/scratch_string.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::uint32_t readWord(const std::uint8_t* data, std::size_t size, std::size_t& k) {
    std::uint32_t word = 0;
    for (int b = 0; b < 4 && k < size; ++b) {
        word = word << 8 | data[k++];
    }
    return word;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    openRuntimeHeap();
    openScratchString();
    char* const area = ScratchString.area;
    char* const last = scratchLastByte();
    char* start = scratchStart();
    std::string built;
    // After a seal the position rests on old bytes until a piece is written.
    bool terminated = true;

    for (std::size_t k = 0; k < size;) {
        std::uint8_t op = data[k++];
        terminated = op % 6 != 2;
        switch (op % 6) {
        case 0: { // a text of up to 64 KiB, far past the room when it must be
            std::size_t length = readWord(data, size, k) % 70000;
            std::string text(length, static_cast<char>('a' + op % 26));
            scratchAppend(text.c_str());
            std::size_t room = static_cast<std::size_t>(last - (start + built.size()));
            built += text.substr(0, room);
            break;
        }
        case 1: {
            auto value = static_cast<LONG>(readWord(data, size, k));
            formatLong(value, ScratchString.position);
            std::string text = std::to_string(value);
            std::size_t room = static_cast<std::size_t>(last - (start + built.size()));
            built += text.substr(0, room);
            break;
        }
        case 2:
            scratchSeal();
            start = scratchStart();
            built.clear();
            break;
        case 3: { // jump somewhere in the area, as a saved position
            std::size_t offset = readWord(data, size, k) % SCRATCH_STRING_SIZE;
            scratchRestore(area + offset);
            *ScratchString.position = '\0';
            start = scratchStart();
            built.clear();
            break;
        }
        case 4: {
            int length = static_cast<int>(readWord(data, size, k) % 70000) - 10;
            std::size_t room = static_cast<std::size_t>(last - ScratchString.position);
            if (length > 0) {
                std::memset(ScratchString.position, 'x',
                            std::min<std::size_t>(static_cast<std::size_t>(length), room));
            }
            scratchCommit(length);
            if (length > 0) {
                built +=
                    std::string(std::min<std::size_t>(static_cast<std::size_t>(length), room), 'x');
            }
            break;
        }
        case 5:
            scratchAppend(nullptr);
            break;
        }
        check(ScratchString.position >= area && ScratchString.position <= last);
        check(*last == '\0');
        check(std::memcmp(start, built.data(), built.size()) == 0);
        check(!terminated || start[built.size()] == '\0');
    }
    closeRuntimeHeap();
    return 0;
}
