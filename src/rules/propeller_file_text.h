#pragma once
// The text of a new propeller file, for a table made in the studio rather
// than read: the settings and the [outline] columns the table has, each
// number in its shortest exact form, so that the file reads back as the
// same table.

#include <string>

#include "design/propeller_table.h"

namespace propclear {

std::string propellerFileText(const PropellerTable& table);

}  // namespace propclear
