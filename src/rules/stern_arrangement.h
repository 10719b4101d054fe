#pragma once
// What the ship file says about the propeller and the rudder beyond the
// design file, and what a rule line may be limited to.

#include <optional>
#include <string_view>

namespace propclear {

enum class PropellerSkew { None, High };

// How the rudder is hung: whether a heel or sole piece lies under the disc.
enum class RudderArrangement { Spade, SemiSpade, Horn, SolePiece };

// A point of the design frame, m.
struct DesignPoint {
  double x = 0.0;
  double z = 0.0;
};

// "spade", "semi-spade", "horn", "sole-piece".
const char* rudderArrangementName(RudderArrangement rudder);
std::optional<RudderArrangement> rudderArrangementNamed(std::string_view name);

}  // namespace propclear
