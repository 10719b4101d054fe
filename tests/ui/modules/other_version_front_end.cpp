// A desktop front end built for another version of propclear: the program
// must refuse it before it calls anything in it.

#include "driver/desktop_front_end.h"

extern "C" const propclear::DesktopFrontEnd* propclear_desktop_front_end() {
  static const propclear::DesktopFrontEnd frontEnd{"0.0.0-other", nullptr, nullptr};
  return &frontEnd;
}
