#pragma once
// A rule set as a rule file writes it: where it comes from, the factor
// formula it scales by, and its lines, each the requirement on one judged
// clearance. The bundled sets (rules/*.toml, installed with the program) and
// a yard's own files are read into this by read_rule_file.h and give their
// required values through rule_set_requirements.h.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "rules/measured_clearance.h"
#include "rules/stern_arrangement.h"

namespace propclear {

// The factor formulas a rule file may name; each is written out once, in
// rule_set_requirements.cpp.
enum class FactorFormula {
  LloydsK,  // "lr-k": K = (0.1 + L/3050)(3.48 Cb P / L^2 + 0.3)
};

// What a requirement's factor multiplies.
enum class RequirementScale {
  FactorTimesDiameter,  // "K*D": the factor formula's value times D
  Diameter,             // "D"
  Metres,               // "m"
  RudderThickness,      // "tR": the ship's rudder thickness (minima only)
};

// Where a value of the file was written, for the messages about it.
struct RuleFilePlace {
  std::string file;  // the file's name as messages give it
  long line = 0;
  std::string key;
  std::string value;  // as written
};

struct RuleLineDefinition {
  int clearance = 0;  // JudgedClearance
  std::string letter;  // the source's own name: "LR a"
  RequirementScale scale = RequirementScale::Diameter;
  std::optional<double> factor;          // the same for every blade number, or
  std::map<int, double> factorByBlades;  // one per blade number Z
  RuleFilePlace factorPlace;
  std::optional<double> minimum;  // in minimumScale
  RequirementScale minimumScale = RequirementScale::Diameter;
  std::vector<RudderArrangement> rudders;  // the arrangements it applies to; empty: all
  std::optional<PropellerSkew> skew;       // applies only to propellers of this skew
  std::vector<std::string> shipTypes;      // applies only to these ship types, when given
  std::vector<std::string> exceptShipTypes;  // never to these
  std::string qualifier;  // shown after the basis: "no skew"
  bool informative = false;
  RuleFilePlace place;  // the line's clearance key
};

struct RuleSetDefinition {
  std::string name;  // "lr-recommended"
  std::string source;
  std::string edition;
  std::string scope;    // whom the figures are for; may be empty
  std::string mapping;  // how the source's letters map onto the judged clearances
  std::optional<FactorFormula> factorFormula;
  std::vector<RuleLineDefinition> lines;
  // Checked in every rule check, whether or not rule_sets names it; a ship
  // file cannot name it.
  bool always = false;
  std::string file;  // the file it was read from
};

// "lr-k".
const char* factorFormulaName(FactorFormula formula);
// "K*D", "D", "m", "tR".
const char* scaleName(RequirementScale scale);

}  // namespace propclear
