#pragma once
// The judged result of one design: the analysis, each clearance with the
// blade it is measured on, its signed gap, the rule lines that judge it and
// its status; the legacy figures of the mirrored lower blade that the report
// and the CAD script print; the clashes; the warnings; and one overall
// status. Every output is a view of it: none works out again which blade it
// shows, whether anything overlaps or what the verdict is.
//
// One meaning of a' and c': the lower blade as the propeller turns it (half
// a turn about the shaft keeps every point's axial position). The mirrored
// lower blade of the established records stays only as the legacy figures,
// named so, for the report and the script, which keep their bytes.
//
// Status, per clearance and overall, in this fixed precedence:
//   clash         a blade or the swept volume cuts the hull or the rudder
//   below         a rule line that decides the verdict is below its minimum
//   not measured  a deciding rule line could not be judged (a stand-in target)
//   meets         every deciding rule line meets its minimum
//   no rules      no rule line decides (no ship file, --rules none, or only
//                 informative lines)
// A clearance without a signed gap is "not measured" whether or not a rule
// judges it; the overall status counts it only through its rule lines.
//
// assess() is pure and thread-safe like the analysis: the studies call it on
// every core at once.

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "assessment/clash_region.h"
#include "clearance/clearance_segment.h"
#include "clearance/stern_analysis.h"
#include "common/diagnostics.h"
#include "design/design_data.h"
#include "rules/check_clearance_rules.h"
#include "rules/ship_particulars.h"

namespace propclear {

// In precedence order: the first that applies is the status.
enum class AssessmentStatus { Clash, Below, NotMeasured, Meets, NoRules };

// "clash", "below", "not-measured", "meets", "no-rules": the JSON's and the
// study rows' word for it.
const char* statusCode(AssessmentStatus status);

// The blade a clearance is measured on.
enum class MeasuredBlade {
  Upper,         // pointing up from the shaft
  LowerTurning,  // pointing down, as the propeller turns it
};

// "upper blade", "lower blade as it turns".
const char* bladeName(MeasuredBlade blade);

struct AssessedClearance {
  std::string_view name;  // "a", "b", "c", "a'", "b'", "c'"
  MeasuredBlade blade = MeasuredBlade::Upper;
  ClearanceSegment segment;  // its ends on that blade and its length (m, never negative)
  double perDiameter = 0.0;  // length / D
  // m, negative where the blade overlaps the structure; none where it was
  // measured to a stand-in (then it cannot be judged).
  std::optional<double> signedGap;
  std::vector<std::size_t> ruleLines;  // indices into Assessment::rules->lines that judge it
  // The one of ruleLines whose verdict is gravest (below the minimum, then
  // not measured, then meets, then not applicable; the first of equals): the
  // verdict its label's mark and, judged by informative lines only, its
  // status text show. None without rule lines.
  std::optional<std::size_t> gravestRuleLine;
  AssessmentStatus status = AssessmentStatus::NoRules;
};

// a' or c' of the mirrored lower blade, as the report and the CAD script print them.
struct LegacyClearance {
  std::string_view name;  // "a'", "c'"
  ClearanceSegment segment;
  std::optional<double> signedGap;
};

// What cuts what, and how deep.
struct Clash {
  // The hub: a propeller file's, with its length (clearance/hub_section.h).
  using Cutter = ClashCutter;
  Cutter cutter = Cutter::Blade;
  std::string structure;  // "stern frame", "rudder", "heel"
  std::string clearance;  // the clearance it shows in ("a", "c'"); empty for the swept volume
  double depthMetres = 0.0;
  // Where it lies, for the drawings to hatch; empty outlines for an
  // assessment judged without its design (judgeAnalysis).
  ClashRegion region;
};

// "the blade cuts the stern frame by 0.316 m".
std::string clashText(const Clash& clash);

struct Assessment {
  SternAnalysis analysis;
  std::vector<AssessedClearance> clearances;   // a, b, c, a', b', c' (ClearanceIndex order)
  std::array<LegacyClearance, 2> legacyLowerBlade;  // mirrored a', c'
  std::optional<RuleCheck> rules;              // when rule sets were chosen
  // A blade's clashes first, then the swept volume's and the hub's, each the deepest first:
  // the first is the headline, and a blade's is the one its dimension shows.
  std::vector<Clash> clashes;
  AssessmentStatus status = AssessmentStatus::NoRules;

  const AssessedClearance& clearance(ClearanceIndex which) const {
    return clearances[static_cast<std::size_t>(which)];
  }
  // The clearance of that name, or nullptr.
  const AssessedClearance* clearanceNamed(std::string_view name) const;
  const std::vector<Warning>& warnings() const { return analysis.warnings; }
  const std::vector<ClosestApproach>& closestApproaches() const {
    return analysis.closestApproaches;
  }
  bool hasClash() const { return status == AssessmentStatus::Clash; }
};

// What a design is judged by besides its own data.
struct AssessmentInputs {
  AssessmentInputs() = default;
  AssessmentInputs(const ShipParticulars* chosenShip,
                   std::shared_ptr<const ShipRuleSets> preparedRuleSets = nullptr)
      : ship(chosenShip), ruleSets(std::move(preparedRuleSets)) {}

  // The ship's particulars with the rule sets chosen; none, or no rule sets:
  // no rule check.
  const ShipParticulars* ship = nullptr;
  // prepareShipRuleSets(*ship), made once for many designs; none: made for
  // this one.
  std::shared_ptr<const ShipRuleSets> ruleSets;
};

// Analyses and judges `design`. Throws RunError as analyseStern does, and for
// a rule set that cannot be applied to this design (a diameter that is not
// positive).
Assessment assess(const DesignData& design, const AssessmentInputs& inputs);

// What assess() does once the design is analysed and its rule check (none: no
// rules) made on the clearances of measuredClearancesOf(analysis): for a
// report of a run whose pieces are at hand.
Assessment judgeAnalysis(SternAnalysis analysis, double propellerDiameter,
                         std::optional<RuleCheck> rules);

// The six records the report and the CAD script print: a, b, c and b' as
// measured, a' and c' the legacy figures of the mirrored lower blade.
const ClearanceSet& legacyReportRecords(const Assessment& assessment);

// The overall line: "CLASH — the blade cuts the stern frame by 0.316 m",
// "below the recommended minimum on 2 of 4 lines", "meets every recommended
// minimum (4 lines)", "no rules: clearances measured, none judged".
std::string overallText(const Assessment& assessment);

// A clearance's status as every table of clearances words it: its status
// code, except that a clearance judged by informative rule lines only reads
// as the rule table's verdict of the gravest of them ("meets (informative)",
// "not applicable — spade rudder, no heel under the disc"): it is
// judged, though nothing it shows decides the overall status.
std::string clearanceStatusText(const Assessment& assessment, const AssessedClearance& clearance);

// What a study counts as feasible: a valid design (design_validity.h), no
// clash, every clearance measured with a positive gap, and every deciding
// rule line meets its minimum.
bool isFeasible(const Assessment& assessment);

}  // namespace propclear
