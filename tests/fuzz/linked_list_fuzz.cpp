// Random sequences of list operations, checked against a model list and for
// heap blocks: every element is given back by the clear.
#include "runtime/heap.h"
#include "runtime/linked_list.h"

#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <list>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::int32_t valueOf(ListElement* e) {
    return *static_cast<std::int32_t*>(listElementData(e));
}

void checkSame(LinkedList& list, const std::list<std::int32_t>& model,
               std::list<std::int32_t>::const_iterator current) {
    auto it = model.begin();
    ListElement* previous = nullptr;
    for (ListElement* e = list.descriptor->first; e; e = e->next, ++it) {
        check(it != model.end() && valueOf(e) == *it);
        check(e->previous == previous);
        if (it == current) {
            check(list.current == e);
        }
        previous = e;
    }
    check(it == model.end());
    check(list.descriptor->last == previous);
    check((current == model.end()) == (list.current == nullptr));
    check(listCount(&list) == static_cast<int>(model.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    openRuntimeHeap();
    LinkedList list{};
    listCreate(&list, 4);
    std::size_t emptyBlocks = hostHeapLiveBlocks(RuntimeHeap);
    std::list<std::int32_t> model;
    auto current = model.end(); // end() stands for "no current element"
    std::int32_t next = 1;

    for (std::size_t k = 0; k < size; ++k) {
        switch (data[k] % 5) {
        case 0: { // add behind the current element, or at the front
            auto where = current == model.end() ? model.begin() : std::next(current);
            current = model.insert(where, next);
            *static_cast<std::int32_t*>(listElementData(listAdd(&list))) = next++;
            break;
        }
        case 1:
            listReset(&list);
            current = model.end();
            break;
        case 2: {
            ListElement* e = listNext(&list);
            if (current == model.end()) {
                current = model.begin();
                check(e == list.current);
            } else if (std::next(current) != model.end()) {
                ++current;
                check(e == list.current);
            } else {
                check(e == nullptr);
            }
            break;
        }
        case 3:
            if (current != model.end()) {
                bool hadPrevious = current != model.begin();
                auto after = model.erase(current);
                if (hadPrevious) {
                    current = std::prev(after);
                } else {
                    current = after; // the next element, or none
                }
            }
            listDeleteCurrent(&list);
            break;
        case 4:
            if (data[k] % 3 == 0) {
                listClear(&list);
                model.clear();
                current = model.end();
                check(hostHeapLiveBlocks(RuntimeHeap) == emptyBlocks);
            }
            break;
        }
        checkSame(list, model, current);
    }
    listClear(&list);
    check(hostHeapLiveBlocks(RuntimeHeap) == emptyBlocks);
    closeRuntimeHeap();
    return 0;
}
