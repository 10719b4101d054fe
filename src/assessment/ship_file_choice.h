#pragma once
// The one way to find a design's ship file and the rules it is judged by,
// for the plain run, the studio and every study: --ship FILE, else
// "X.ship.toml" beside "X.TSK"; the command line's --ship-set on top; the
// ship file's rule_sets unless --rules names others; --rules none judges by
// no rules at all (the clearances are measured, nothing is judged).

#include <filesystem>
#include <optional>

#include "rules/read_ship_particulars.h"
#include "rules/ship_particulars.h"

namespace propclear {

// The --rules value that switches the rules off.
inline constexpr const char* noRulesName = "none";

struct ShipChoice {
  std::optional<std::filesystem::path> shipFile;  // --ship FILE, as the caller resolves it
  ShipOverrides overrides;                        // --rules, --ship-set
  // The design's propeller file, whose Z the ship takes (and must not
  // contradict); none for the B-series blade.
  const PropellerTable* propeller = nullptr;
};

// The ship file a design is judged by: --ship FILE, else the one beside it
// when there is one.
std::optional<std::filesystem::path> chosenShipFile(const std::filesystem::path& designFile,
                                                    const ShipChoice& choice);

// The ship's particulars for `designFile`, or none: with --rules none (the
// ship file is not read), or when there is no ship file and the command line
// sets nothing. A bad ship file is a RunError naming it.
std::optional<ShipParticulars> shipParticularsFor(const std::filesystem::path& designFile,
                                                  const ShipChoice& choice);

}  // namespace propclear
