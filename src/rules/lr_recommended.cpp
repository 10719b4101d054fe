// Recommended minimum propeller/hull clearances, single screw, after
//
//   Lloyd's Register, Rules and Regulations for the Classification of Ships,
//   July 2000, Part 3 (Ship Structures), Chapter 6 (Aft End Structure),
//   Section 7, Table 6.7.2 "Recommended propeller/hull clearances" and
//   Fig. 6.7.7(a) "Propeller clearances", single screw.
//
// The same table is Table 3.3.2 with Fig. 3.3.8 of LR's Rules for Special
// Service Craft, Part 3, Chapter 3, 3.15, whose text calls the values "the
// minimum distances considered desirable in order to expect reasonable levels
// of propeller excited vibration": they are recommendations, so a line reads
// "meets" or "below the recommended minimum", never "approved".
//
// Notation (the source's): δ = propeller diameter D in m; L = rule length in
// m; Cb = moulded block coefficient at the load draught; P = designed power on
// the one shaft in kW; tR = rudder thickness in m at 0.7·Rp above the shaft
// centre line; Z = number of blades.
//
//   K = (0.1 + L/3050)·(3.48·Cb·P/L² + 0.3)
//
//   Z        LR a       LR b        LR c     LR d
//   3        1.20·K·δ   1.80·K·δ    0.12·δ   0.03·δ
//   4        1.00·K·δ   1.50·K·δ    0.12·δ   0.03·δ
//   5        0.85·K·δ   1.275·K·δ   0.12·δ   0.03·δ
//   6        0.75·K·δ   1.125·K·δ   0.12·δ   0.03·δ
//   minimum  0.10·δ     0.15·δ      tR       -
//
// The required value is the larger of the formula and the minimum row.
//
// Letters. In Fig. 6.7.7(a) LR a is the blade tip to the hull above, LR b the
// blade at 0.7R to the stern frame, LR c the blade at 0.7R to the rudder's
// leading edge (where tR is taken), LR d the blade tip to the heel (sole
// piece) below. The figure does not name the lower blade's 0.7R gaps, so a'
// and c' are checked against LR b and LR c and their lines are informative.
//
//              hull above the propeller
//      _____________________________________________
//     |                   ^
//     |                   |  b = LR a (tip)
//     |                   v
//     |                  /\                 .-------.
//     |   a = LR b      /  \    c = LR c    |       |
//     |<--------------->0.7R<-------------->|rudder |
//     |                 \  /                |  tR   |
//  stern                 \/                 |       |
//  frame                 []== hub, shaft    |       |
//     |                  /\                 |       |
//     |   a' (LR b,     /  \   c' (LR c,    |       |
//     |<--informative)->0.7R<-informative)->|       |
//     |                 \  /                '-------'
//     |                  \/
//     |                   ^
//     |                   |  b' = LR d (tip)
//     |___________________v______ heel: the first stern contour point
//
//   forward <--                                  --> aft

#include "rules/lr_recommended.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string>

#include "clearance/clearance_segment.h"
#include "common/checked_math.h"
#include "common/number_conversion.h"
#include "common/run_error.h"

namespace propclear {

namespace {

// Table 6.7.2, single screw: LR a and LR b in multiples of K·δ, LR c and
// LR d in multiples of δ.
struct LrTableRow {
  int bladeCount;
  double letterA;
  double letterB;
  double letterC;
  double letterD;
};
constexpr std::array<LrTableRow, 4> lrTable = {{
    {3, 1.20, 1.80, 0.12, 0.03},
    {4, 1.00, 1.50, 0.12, 0.03},
    {5, 0.85, 1.275, 0.12, 0.03},
    {6, 0.75, 1.125, 0.12, 0.03},
}};
// The minimum row: LR a and LR b in multiples of δ; LR c's minimum is tR;
// LR d has none.
constexpr double lrMinimumA = 0.10;
constexpr double lrMinimumB = 0.15;

constexpr const char* lrSource =
    "Lloyd's Register, Rules and Regulations for the Classification of Ships (July 2000), "
    "Part 3, Chapter 6, Section 7, Table 6.7.2 \"Recommended propeller/hull clearances\", "
    "single screw, Fig. 6.7.7(a)";
constexpr const char* lrMapping =
    "LR a (tip to hull above) = b; LR b (0.7R to stern frame) = a; LR c (0.7R to rudder) = c; "
    "LR d (tip to heel) = b'; a' and c' checked against LR b and LR c, informative";

// One letter's required value and the term that gave it.
struct LetterMinimum {
  double metres;
  std::string basis;
};

// The larger of the formula and the minimum; the formula when they are equal.
LetterMinimum largerOf(double formulaMetres, std::string formulaBasis, double minimumMetres,
                       std::string minimumBasis) {
  if (minimumMetres > formulaMetres) return {minimumMetres, std::move(minimumBasis)};
  return {formulaMetres, std::move(formulaBasis)};
}

// "1.50*K*D": the table's factor with at least two decimals, then the term.
std::string times(double factor, const char* term) {
  char buffer[32];
  const auto result = writeShortest(buffer, buffer + sizeof buffer, factor);
  std::string digits(buffer, result.ptr);
  const std::size_t point = digits.find('.');
  if (point == std::string::npos) digits += ".";
  const std::size_t decimals = digits.size() - digits.find('.') - 1;
  if (decimals < 2) digits.append(2 - decimals, '0');
  return digits + "*" + term;
}

const LrTableRow& tableRowFor(int bladeCount) {
  const auto row = std::find_if(lrTable.begin(), lrTable.end(),
                                [&](const LrTableRow& r) { return r.bladeCount == bladeCount; });
  if (row == lrTable.end()) {
    throw RunError(ErrorKind::Input, "rule set \"lr-recommended\": no table row for Z = " +
                                         std::to_string(bladeCount) + " blades (3 to 6)");
  }
  return *row;
}

void addInputs(RuleSetSummary& summary, const ShipParticulars& ship, double diameter) {
  summary.inputs = {
      {"rule_length", "L", ship.ruleLengthMetres.value(), "m"},
      {"block_coefficient", "Cb", ship.blockCoefficient.value(), ""},
      {"power", "P", ship.shaftPowerKilowatts.value(), "kW"},
      {"blades", "Z", static_cast<double>(ship.bladeCount.value()), ""},
      {"rudder_thickness", "tR", ship.rudderThicknessMetres.value(), "m"},
      {"propeller_diameter", "D", diameter, "m"},
  };
}

ClearanceRequirement requirement(int clearance, const char* letter, const LetterMinimum& minimum,
                                 bool informative) {
  return {clearance, std::string("LR ") + letter, minimum.basis, minimum.metres, informative};
}

}  // namespace

double lrFactorK(double ruleLengthMetres, double blockCoefficient, double shaftPowerKilowatts) {
  const char* what = "the factor K of lr-recommended";
  const double lengthTerm = 0.1 + checkedDivide(ruleLengthMetres, 3050.0, what);
  const double powerTerm =
      checkedDivide(3.48 * blockCoefficient * shaftPowerKilowatts, ruleLengthMetres * ruleLengthMetres,
                    what) +
      0.3;
  return requireFinite(lengthTerm * powerTerm, what);
}

RuleSetRequirements lrRecommendedRequirements(const ShipParticulars& ship,
                                              double propellerDiameterMetres) {
  const double d = propellerDiameterMetres;
  const double k = lrFactorK(ship.ruleLengthMetres.value(), ship.blockCoefficient.value(),
                             ship.shaftPowerKilowatts.value());
  const LrTableRow& row = tableRowFor(ship.bladeCount.value());
  const double kd = k * d;

  const LetterMinimum a = largerOf(row.letterA * kd, times(row.letterA, "K*D"), lrMinimumA * d,
                                   times(lrMinimumA, "D minimum"));
  const LetterMinimum b = largerOf(row.letterB * kd, times(row.letterB, "K*D"), lrMinimumB * d,
                                   times(lrMinimumB, "D minimum"));
  const LetterMinimum c = largerOf(row.letterC * d, times(row.letterC, "D"),
                                   ship.rudderThicknessMetres.value(), "tR minimum");
  const LetterMinimum heel{row.letterD * d, times(row.letterD, "D")};

  RuleSetRequirements result;
  result.summary = {lrRecommendedName, lrSource, lrMapping, {}, k,
                    "K = (0.1 + L/3050)\u00B7(3.48\u00B7Cb\u00B7P/L\u00B2 + 0.3)"};
  addInputs(result.summary, ship, d);
  result.requirements = {
      requirement(clearanceA, "b", b, false),
      requirement(clearanceB, "a", a, false),
      requirement(clearanceC, "c", c, false),
      requirement(clearanceAPrime, "b", b, true),
      requirement(clearanceBPrime, "d", heel, false),
      requirement(clearanceCPrime, "c", c, true),
  };
  return result;
}

}  // namespace propclear
