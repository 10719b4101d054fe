// A desktop front end whose entry point gives nothing: the program must
// refuse it instead of reading through the null pointer.

#include "driver/desktop_front_end.h"

extern "C" const propclear::DesktopFrontEnd* propclear_desktop_front_end() { return nullptr; }
