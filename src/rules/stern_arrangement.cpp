#include "rules/stern_arrangement.h"

#include <array>
#include <utility>

namespace propclear {

namespace {

constexpr std::array<std::pair<RudderArrangement, const char*>, 4> rudderNames = {{
    {RudderArrangement::Spade, "spade"},
    {RudderArrangement::SemiSpade, "semi-spade"},
    {RudderArrangement::Horn, "horn"},
    {RudderArrangement::SolePiece, "sole-piece"},
}};

}  // namespace

const char* rudderArrangementName(RudderArrangement rudder) {
  for (const auto& [arrangement, name] : rudderNames) {
    if (arrangement == rudder) return name;
  }
  return "spade";
}

std::optional<RudderArrangement> rudderArrangementNamed(std::string_view name) {
  for (const auto& [arrangement, text] : rudderNames) {
    if (name == text) return arrangement;
  }
  return std::nullopt;
}

}  // namespace propclear
