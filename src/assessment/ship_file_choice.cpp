#include "assessment/ship_file_choice.h"

namespace propclear {

std::optional<std::filesystem::path> chosenShipFile(const std::filesystem::path& designFile,
                                                    const ShipChoice& choice) {
  if (choice.shipFile) return choice.shipFile;
  return findShipFile(designFile);
}

std::optional<ShipParticulars> shipParticularsFor(const std::filesystem::path& designFile,
                                                  const ShipChoice& choice) {
  // No rules: the ship file is not read, so that not even a fault of it stops the run.
  if (choice.overrides.ruleSets == noRulesName) return std::nullopt;
  if (const std::optional<std::filesystem::path> file = chosenShipFile(designFile, choice)) {
    return readShipParticulars(*file, choice.overrides, choice.propeller);
  }
  if (!choice.overrides.empty()) {
    return shipParticularsFromOverrides(choice.overrides, choice.propeller);
  }
  return std::nullopt;
}

}  // namespace propclear
