// Reaches the application through a folder the runtime may name.
#include "runtime/../app/main_window.h"
// The tests' folder is on no folder's list.
#include <tests/support/real_input.h>
