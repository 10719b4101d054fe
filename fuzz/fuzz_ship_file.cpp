// libFuzzer target: arbitrary bytes as the ship file's text, read as the run
// reads it. Every input must either give particulars within their ranges or
// stop with the reader's RunError naming the file; a crash, a stack
// overflow, another exception or a value out of range aborts.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/run_error.h"
#include "rules/read_ship_particulars.h"

namespace {

using namespace propclear;

constexpr const char* displayName = "fuzz.ship.toml";

[[noreturn]] void broken(const std::string& what) {
  std::fprintf(stderr, "propclear fuzz: %s\n", what.c_str());
  std::abort();
}

void requireWithin(const std::optional<double>& value, double lowest, double highest,
                   const char* key) {
  if (value && !(std::isfinite(*value) && *value >= lowest && *value <= highest)) {
    broken(std::string(key) + " read as " + std::to_string(*value) + ", out of its range");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    const ShipParticulars ship = readShipParticularsText(text, displayName);
    requireWithin(ship.ruleLengthMetres, 1.0, 1000.0, "rule_length");
    requireWithin(ship.shaftPowerKilowatts, 0.0, 1.0e6, "power");
    requireWithin(ship.blockCoefficient, 0.0, 1.0, "block_coefficient");
    requireWithin(ship.rudderThicknessMetres, 0.0, 10.0, "rudder_thickness");
    for (const ClearanceMinimum& minimum : ship.customMinima) {
      requireWithin(minimum.value, 0.0, 100.0, "a custom minimum");
    }
  } catch (const RunError& error) {
    if (std::string(error.what()).rfind(displayName, 0) != 0) {
      broken(std::string("an error that does not name the file: ") + error.what());
    }
  }
  return 0;
}
