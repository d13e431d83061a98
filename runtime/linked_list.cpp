#include "runtime/linked_list.h"

#include "runtime/heap.h"

void listCreate(LinkedList* list, int dataSize) {
    auto* descriptor = static_cast<ListDescriptor*>(heapAllocZeroed(sizeof(ListDescriptor)));
    if (descriptor) {
        descriptor->elementSize = dataSize + static_cast<int>(sizeof(ListElement));
    }
    list->descriptor = descriptor;
}

namespace {

void insertBehind(ListElement* anchor, ListElement* element) {
    element->previous = anchor;
    element->next = anchor->next;
    if (anchor->next) {
        anchor->next->previous = element;
    }
    anchor->next = element;
}

void insertAtFront(ListDescriptor* descriptor, ListElement* element) {
    element->next = descriptor->first;
    element->previous = nullptr;
    if (descriptor->first) {
        descriptor->first->previous = element;
    }
}

} // namespace

ListElement* listAdd(LinkedList* list) {
    ListDescriptor* descriptor = list->descriptor;
    auto* element = static_cast<ListElement*>(heapAllocZeroed(descriptor->elementSize));
    if (!element) {
        return nullptr;
    }
    if (list->current) {
        insertBehind(list->current, element);
    } else {
        insertAtFront(descriptor, element);
    }
    list->current = element;
    if (!element->previous) {
        descriptor->first = element;
    }
    if (!element->next) {
        descriptor->last = element;
    }
    return element;
}

void listReset(LinkedList* list) {
    list->current = nullptr;
}

ListElement* listNext(LinkedList* list) {
    if (!list->current) {
        list->current = list->descriptor->first;
        return list->current;
    }
    if (list->current->next) {
        list->current = list->current->next;
        return list->current;
    }
    return nullptr;
}

int listCount(LinkedList* list) {
    int count = 0;
    for (ListElement* e = list->descriptor->first; e; e = e->next) {
        ++count;
    }
    return count;
}

void listDeleteCurrent(LinkedList* list) {
    ListElement* doomed = list->current;
    if (!doomed) {
        return;
    }
    ListDescriptor* descriptor = list->descriptor;
    ListElement* previous = doomed->previous;
    ListElement* next = doomed->next;
    if (!previous && !next) {
        descriptor->first = descriptor->last = nullptr;
        list->current = nullptr;
    } else if (!previous) {
        next->previous = nullptr;
        descriptor->first = next;
        list->current = next;
    } else if (!next) {
        previous->next = nullptr;
        descriptor->last = previous;
        list->current = previous;
    } else {
        previous->next = next;
        next->previous = previous;
        list->current = previous;
    }
    heapRelease(doomed);
}

void listClear(LinkedList* list) {
    listReset(list);
    while (listNext(list)) {
        listDeleteCurrent(list);
    }
    listDeleteCurrent(list);
}
