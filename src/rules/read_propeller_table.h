#pragma once
// Reader of the propeller file, a small TOML file beside the design
// ("Norvalek.propeller.toml" beside "Norvalek.TSK"):
//
//   blades = 5            # Z, 3 to 7
//   hub_length = 1.2      # m along the shaft; without it the hub is not
//                         # measured and is drawn 1.5 Dh long
//   [outline]             # stations root to tip, at least 5
//   r_over_R                = [0.2, 0.3, ..., 1.0]   # rising, the last 1
//   chord_over_D            = [...]   # c / D, >= 0, 0 only at the tip
//   leading_edge_over_chord = [...]   # a / c, reference line to edge 2
//   skew_deg                = [...]   # towards edge 1, -90 to 90
//   pitch_over_D            = [...]   # optional, > 0; default the design's P/D
//   rake_over_D             = [...]   # optional; default tan(rake) r / D
//
// Every key is checked like the ship file's: an unknown key, a wrong type, a
// value out of range, arrays of different lengths, radii that do not rise or
// do not end at 1, or a missing key is a RunError naming the file, the line,
// the key, its value and the rule broken, e.g.
// "Norvalek.propeller.toml:5: [outline] r_over_R = [...]: must end at 1.0".

#include <filesystem>
#include <optional>
#include <string>

#include "design/propeller_table.h"
#include "rules/ship_particulars.h"

namespace propclear {

// "X.propeller.toml" for the design file "X.TSK".
std::filesystem::path propellerFileBeside(const std::filesystem::path& designFile);

// The propeller file beside `designFile` when anything stands there (a link
// that leads nowhere too, for the reader to report), else none (the blade is
// then the B-series outline of the design's main data).
std::optional<std::filesystem::path> findPropellerFile(const std::filesystem::path& designFile);

PropellerTable readPropellerTable(const std::filesystem::path& file);

// The propeller table of a design, found one way by the plain run and every
// study: the file `named` (--propeller FILE), else findPropellerFile's;
// none: the B-series blade of the design's main data.
std::optional<PropellerTable> propellerTableFor(const std::filesystem::path& designFile,
                                                const std::optional<std::filesystem::path>& named);

// The same for a propeller file's text, named `displayName` in messages.
PropellerTable readPropellerTableText(std::string text, const std::string& displayName);

// The ship's Z becomes the propeller's; a ship file that gives another is an
// input fault at the propeller file's blades line.
void agreeOnBladeCount(const PropellerTable& propeller, ShipParticulars& ship);

}  // namespace propclear
