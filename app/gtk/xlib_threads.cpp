// Xlib's thread initialisation, kept apart: Xlib.h defines macros such as None and
// Status that collide with ordinary names in the rest of the program.
#include <X11/Xlib.h>

namespace kovrex {

void InitXlibThreads() { XInitThreads(); }

}  // namespace kovrex
