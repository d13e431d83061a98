// A doubly linked list of equal elements with one current-element position.
// Adds go directly behind the current element (or to the front when there is
// none) and become current, so adds after a clear append in call order.
#pragma once

struct ListElement {
    ListElement* next;
    ListElement* previous;
    // The element's data follows the two links.
};

struct ListDescriptor {
    ListElement* first;
    ListElement* last;
    int elementSize; // the data size plus the two links
};

struct LinkedList {
    ListDescriptor* descriptor; // null until listCreate
    ListElement* current;       // null when there is no current element
};

inline void* listElementData(ListElement* element) {
    return element + 1;
}

void listCreate(LinkedList* list, int dataSize);
ListElement* listAdd(LinkedList* list);
void listClear(LinkedList* list);
void listReset(LinkedList* list);
ListElement* listNext(LinkedList* list);
int listCount(LinkedList* list);
void listDeleteCurrent(LinkedList* list);
