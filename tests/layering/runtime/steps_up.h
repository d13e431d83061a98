// Reaches the application through a folder the runtime may name.
#include "runtime/../app/main_window.h"
