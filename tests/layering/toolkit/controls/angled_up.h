// Kept as written, in this order: the formatter would sort the includes and
// take a doubled slash for a comment.
// clang-format off
// The root is on every include path, so this finds the application too.
#include <app/main_window.h>
#include <./app/main_window.h>
// A doubled slash names the same folder.
#include <toolkit//window/window_table.h>
