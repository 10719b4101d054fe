#pragma once
// Reader of the ship file, a small TOML file beside the design
// ("Norvalek.ship.toml" beside "Norvalek.TSK"):
//
//   name = "MV Norvalek"          # shown in the clearance report
//   rule_length = 118.0           # L, m
//   block_coefficient = 0.72      # Cb at the load draught, in (0, 1]
//   power = 6500.0                # P, kW on the shaft
//   blades = 4                    # Z, 3 to 6
//   rudder_thickness = 0.55       # tR, m, at 0.7R above the shaft centre
//   skew = "none"                 # "none" or "high"
//   rudder = "spade"              # "spade", "semi-spade", "horn", "sole-piece"
//   ship_type = "cargo"           # "cargo", "tanker", "ferry", "cruise", ...
//   heel = { x = 4.0, z = 0.3 }   # a sole piece's heel under the disc, m
//   rule_files = ["yard.toml"]    # rule sets of one's own (read_rule_file.h),
//                                 # found beside the ship file
//   rule_sets = ["lr-recommended"]
//   [custom_minima]               # for the rule set "custom"
//   a = "0.25D"
//   "b'" = "0.30 m"
//
// Every key is checked: an unknown key, a wrong type, a value out of range, an
// unknown or repeated rule set, a bad [custom_minima] entry, or a field that a
// chosen rule set needs and nobody gave, is a RunError naming the file, the
// line, the key, its value and the rule broken, e.g.
// "Norvalek.ship.toml:4: block_coefficient = 1.3: must lie in (0, 1]".
// Faults of the file are input faults; faults of the command-line overrides
// are usage faults naming the option.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "design/propeller_table.h"
#include "rules/ship_particulars.h"

namespace propclear {

// The command line's changes to the ship file, applied on top of it.
struct ShipOverrides {
  std::optional<std::string> ruleSets;  // --rules NAME[,NAME]: replaces rule_sets
  // --ship-set KEY=VALUE, in command-line order, later ones winning. VALUE is a
  // TOML value ("0.75", "\"high\""); text that is not one is taken as a text
  // (skew=high). KEY may be dotted: custom_minima.a="0.25D".
  std::vector<std::string> settings;
  // --rules-file FILE, in command-line order: rule sets added to the known
  // ones, besides the ship file's rule_files.
  std::vector<std::filesystem::path> ruleFiles = {};

  bool empty() const { return !ruleSets && settings.empty() && ruleFiles.empty(); }
};

// "X.ship.toml" for the design file "X.TSK".
std::filesystem::path shipFileBeside(const std::filesystem::path& designFile);

// The ship file beside `designFile` when anything stands there (a link that
// leads nowhere too, which the reader then refuses), else none (the run then
// checks no rules).
std::optional<std::filesystem::path> findShipFile(const std::filesystem::path& designFile);

// Reads and checks the ship file `file` with `overrides` applied on top.
// With a propeller file's `propeller`, the ship's Z is the propeller's
// (agreeOnBladeCount, rules/read_propeller_table.h).
ShipParticulars readShipParticulars(const std::filesystem::path& file,
                                    const ShipOverrides& overrides = {},
                                    const PropellerTable* propeller = nullptr);

// The same for a ship file's text, named `displayName` in messages, without
// overrides: an editor's check of a changed ship file before it is saved.
ShipParticulars readShipParticularsText(std::string text, const std::string& displayName);

// The particulars from the overrides alone, for a run without a ship file.
ShipParticulars shipParticularsFromOverrides(const ShipOverrides& overrides,
                                             const PropellerTable* propeller = nullptr);

}  // namespace propclear
