// What a folder may include: the system's headers and the folders below it.
// Kept as written: the formatter would take a doubled slash for a comment.
// clang-format off
#include "runtime/heap.h"
#include \
    "runtime/linked_list.h"
#include <cstdint>
#include <runtime//random.h>
#include <windows.h>
