// What a folder may include: the system's headers and the folders below it.
#include "runtime/heap.h"
#include <cstdint>
#include <runtime//random.h>
#include <windows.h>
