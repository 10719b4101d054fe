#pragma once
// The ship's particulars that the clearance rule sets read: what the ship file
// beside the design ("Norvalek.ship.toml" beside "Norvalek.TSK") holds, after
// the command-line overrides. A particular that the file leaves out is empty;
// the reader has made sure that every rule set chosen finds what it needs.

#include <optional>
#include <string>
#include <vector>

#include "rules/rule_set_definition.h"
#include "rules/stern_arrangement.h"

namespace propclear {

// The blade numbers Z a ship file may give, the rule sets' tables' keys.
inline constexpr int fewestShipBlades = 3;
inline constexpr int mostShipBlades = 6;

// The designer's own minimum for one clearance: `value` times D, or metres.
struct ClearanceMinimum {
  enum class Unit { PropellerDiameters, Metres };
  int clearance = 0;  // ClearanceIndex
  double value = 0.0;
  Unit unit = Unit::Metres;
  std::string text;  // as written, e.g. "0.25D"
};

// The title block of the drawing: the ship file's [drawing] table. A key
// left out stays empty, and its box on the drawing with it.
struct DrawingParticulars {
  std::string yard;
  std::string hullNumber;
  std::string drawingNumber;
  std::string revision;
  std::string drawnBy;
  std::string checkedBy;
  std::string approvedBy;
};

struct ShipParticulars {
  std::string sourceName;  // the ship file's name, or the command line's options
  std::string name;        // the ship's name for the clearance report; may be empty
  std::optional<double> ruleLengthMetres;       // L
  std::optional<double> blockCoefficient;       // Cb at the load draught
  std::optional<double> shaftPowerKilowatts;    // P, on the one shaft
  std::optional<int> bladeCount;                // Z
  // Z of the outline drawn and measured: the propeller file's, else the
  // B-series' four.
  int outlineBladeCount = 4;
  std::optional<double> rudderThicknessMetres;  // tR at 0.7R above the shaft centre
  std::optional<PropellerSkew> skew;
  std::optional<RudderArrangement> rudder;  // none: not stated
  std::string shipType;                     // "cargo", "ferry", ...; empty: not stated
  std::optional<DesignPoint> heel;          // the sole piece's heel, when the file names it
  // The rule files the ship file and the command line add (rule_files,
  // --rules-file), read and checked, in the order given.
  std::vector<RuleSetDefinition> ruleFiles;
  std::vector<std::string> ruleSets;             // known names, each once, in the order given
  std::vector<ClearanceMinimum> customMinima;    // in clearance order
  DrawingParticulars drawing;
};

}  // namespace propclear
