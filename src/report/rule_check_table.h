#pragma once
// The rule check as a plain-text table for the terminal (and as cells for
// other outputs): a title, K, notes, one row per rule line, and a last line
// with the overall status, the clash first:
//
//   Clearance rules for MV Test (Test.ship.toml), D = 2.000 m
//   lr-recommended: K = 0.1053
//   Note: c: the blade overlaps the structure
//   clearance  measured m      /D  rule                   required m     /D  margin m       %  verdict
//   a               0.400   0.200  lr-recommended (LR b)       0.316  0.158     0.084    26.6  meets
//   c              -0.010  -0.005  lr-recommended (LR c)       0.300  0.150    -0.310  -103.3  below the recommended minimum (overlap)
//   Overall: CLASH — the blade cuts the rudder by 0.010 m
//
// Lengths in m with three decimals, ratios to D with three, percentages with
// one; a line not measured shows "-" for its measured value and margin.

#include <string>
#include <vector>

#include "assessment/assessment.h"

namespace propclear {

// The decimals of the table's lengths (m) and ratios to D; the table of
// signed gaps that stands in for it without a ship file prints them alike.
inline constexpr int tableLengthDecimals = 3;
inline constexpr int tableRatioDecimals = 3;
// The decimals of a rule set's factor K.
inline constexpr int factorKDecimals = 4;

struct RuleCheckTable {
  std::vector<std::string> preamble;  // title, K of each rule set that has one, notes
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;
  std::string overall;  // "Overall: ..."
};

// The table of an assessment that has a rule check.
RuleCheckTable ruleCheckTable(const Assessment& assessment);

// The table as text: columns padded with blanks (numbers right-aligned), each
// line ended by a line feed; without a rule check, only the overall line.
std::string ruleCheckTableText(const Assessment& assessment);

}  // namespace propclear
