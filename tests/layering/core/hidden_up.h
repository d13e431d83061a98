// Names of folders the core may not use, out of sight of a reading that takes
// one line at a time and a quoted or angled name after "#include" alone.
// clang-format off
// A semicolon or an opening bracket; must hide nothing that follows.
#include "runtime/heap.h" // [
#include_next <toolkit/controls/button.h>
#include \
    "toolkit/controls/list_box.h"
#define LIST_ICON_HEADER "toolkit/controls/list_icon.h"
#include LIST_ICON_HEADER
