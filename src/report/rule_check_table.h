#pragma once
// The rule check as a plain-text table for the terminal (and as cells for
// other outputs): a title, K, notes, one row per rule line, and a last line
// with the overall verdict.
//
//   Clearance rules for MV Test (Test.ship.toml), D = 2.000 m
//   lr-recommended: K = 0.1053
//   Note: c: the blade overlaps the structure
//   clearance  measured m      /D  rule                   required m     /D  margin m       %
//   verdict a               0.400   0.200  lr-recommended (LR b)       0.316  0.158 0.084    26.6
//   meets c              -0.010  -0.005  lr-recommended (LR c)       0.300  0.150    -0.310  -103.3
//   below the recommended minimum (overlap) c'                  -       -  lr-recommended (LR c)
//   0.300  0.150         -       -  not measured (informative) Overall: below the recommended
//   minimum on 2 of 5 lines
//
// Lengths in m with three decimals, ratios to D with three, percentages with
// one; a line not measured shows "-" for its measured value and margin.

#include <string>
#include <vector>

#include "rules/check_clearance_rules.h"

namespace propclear {

// The decimals of the table's lengths (m) and ratios to D; the table of
// signed gaps that stands in for it without a ship file prints them alike.
inline constexpr int tableLengthDecimals = 3;
inline constexpr int tableRatioDecimals = 3;

struct RuleCheckTable {
  std::vector<std::string> preamble;  // title, K of each rule set that has one, notes
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;
  std::string overall;  // "Overall: ..."
};

RuleCheckTable ruleCheckTable(const RuleCheck& check);

// The table as text: columns padded with blanks (numbers right-aligned), each
// line ended by a line feed.
std::string ruleCheckTableText(const RuleCheck& check);

}  // namespace propclear
