#include "report/clearance_report_content.h"

#include <algorithm>
#include <array>

#include "common/checked_math.h"
#include "common/format_number.h"
#include "common/trimmed_blanks.h"
#include "report/rule_check_table.h"
#include "rules/measured_clearance.h"

namespace propclear {

namespace {

constexpr const char* noValueCell = "-";
constexpr const char* degreeSign = "\u00B0";

std::string lengthCell(double value) { return formatRounded(value, tableLengthDecimals) + " m"; }

// A rule under the caption: a line of '=' or '-' only.
bool isRuleLine(std::string_view line) {
  return !line.empty() && line.find_first_not_of(line.front()) == std::string_view::npos &&
         (line.front() == '=' || line.front() == '-');
}

std::string perDiameterCell(double metres, double diameter) {
  return formatRounded(checkedDivide(metres, diameter, "a clearance as a multiple of D"),
                       tableRatioDecimals);
}

}  // namespace

std::string clearanceReportTitle(const ClearanceReportContent& content) {
  const std::optional<RuleCheck>& rules = content.assessment.rules;
  if (rules && !rules->shipName.empty()) return rules->shipName;
  return content.designFile.filename().string();
}

ClearanceMark clearanceMarkOf(const RuleLine& line) {
  if (line.overlap) return ClearanceMark::Overlap;
  if (line.verdict == RuleVerdict::NotMeasured) return ClearanceMark::NotMeasured;
  // A line that does not apply to the rudder finds nothing against the clearance.
  if (line.verdict == RuleVerdict::Meets || line.verdict == RuleVerdict::NotApplicable) {
    return ClearanceMark::Clear;
  }
  return line.informative ? ClearanceMark::BelowInformative : ClearanceMark::BelowMinimum;
}

ReportedClearances reportedClearancesOf(const Assessment& assessment) {
  ReportedClearances reported;
  for (std::size_t i = 0; i < reported.segments.size(); ++i) {
    reported.segments[i] = assessment.clearances[i].segment;
    reported.signedGaps[i] = assessment.clearances[i].signedGap;
  }
  return reported;
}

ClearanceMark clearanceMarkOf(const ClearanceReportContent& content, int clearance) {
  const auto which = static_cast<std::size_t>(clearance);
  const AssessedClearance& assessed = content.assessment.clearances.at(which);
  const std::optional<double>& gap = assessed.signedGap;
  ClearanceMark mark = !gap ? ClearanceMark::NotMeasured
                            : (*gap < 0.0 ? ClearanceMark::Overlap : ClearanceMark::Clear);
  for (std::size_t index : assessed.ruleLines) {
    mark = std::max(mark, clearanceMarkOf(content.assessment.rules->lines[index]));
  }
  return mark;
}

SignedGapTable signedGapTable(const ClearanceReportContent& content) {
  const double diameter = content.design.propellerDiameter;
  const ReportedClearances reported = reportedClearancesOf(content.assessment);
  SignedGapTable table;
  table.header = {"clearance", "length m", "/D", "signed gap m", "/D", "state"};
  for (std::size_t which = 0; which < clearanceNames.size(); ++which) {
    const ClearanceSegment& segment = reported.segments[which];
    const std::optional<double>& gap = reported.signedGaps[which];
    std::vector<std::string> row = {std::string(clearanceNames[which]),
                                    formatRounded(segment.length, tableLengthDecimals),
                                    perDiameterCell(segment.length, diameter)};
    if (gap) {
      row.push_back(formatRounded(*gap, tableLengthDecimals));
      row.push_back(perDiameterCell(*gap, diameter));
      row.push_back(*gap < 0.0 ? "overlap" : "clear");
    } else {
      row.insert(row.end(), {noValueCell, noValueCell, "not measured (stand-in target)"});
    }
    table.rows.push_back(std::move(row));
  }
  return table;
}

std::optional<ReportPaper> reportPaperNamed(std::string_view name) {
  if (name == "A4") return ReportPaper::A4;
  if (name == "A3") return ReportPaper::A3;
  return std::nullopt;
}

const char* reportPaperName(ReportPaper paper) { return paper == ReportPaper::A3 ? "A3" : "A4"; }

std::vector<std::string> designCaptionLines(std::string_view fileText) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t count = 0; count < designCaptionLineCount && start < fileText.size(); ++count) {
    const std::size_t end = std::min(fileText.find('\n', start), fileText.size());
    std::string_view line = fileText.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = trimmedBlanks(line);
    if (isRuleLine(line)) break;
    if (!line.empty()) lines.emplace_back(line);
  }
  return lines;
}

std::string clearanceReportHeadline(const ClearanceReportContent& content) {
  return clearanceReportTitle(content) + ": " + overallText(content.assessment);
}

std::vector<std::pair<std::string, std::string>> propellerParticulars(
    const ClearanceReportContent& content) {
  const DesignData& design = content.design;
  const ShipParticulars* ship = content.ship;
  std::string blades = "4 (outline drawn)";
  if (ship != nullptr && ship->bladeCount) {
    blades = std::to_string(*ship->bladeCount);
  } else if (design.propeller) {
    blades = std::to_string(design.propeller->bladeCount);
  }
  std::string skew = noValueCell;
  if (ship != nullptr && ship->skew) skew = *ship->skew == PropellerSkew::High ? "high" : "none";
  return {
      {"D", lengthCell(design.propellerDiameter)},
      {"Dh", lengthCell(design.hubDiameter)},
      {"P/D", formatRounded(design.pitchRatio, tableRatioDecimals)},
      {"Ear", formatRounded(design.areaRatio, tableRatioDecimals)},
      {"Z", blades},
      {"rake", formatRounded(design.rakeAngle, 1) + degreeSign},
      {"skew", skew},
      {"centre", "x " + lengthCell(design.propellerCentreX) + ", z " + lengthCell(design.propellerCentreZ)},
      {"shaft immersion", lengthCell(design.waterlineHeight - design.propellerCentreZ) +
                              " below the DWL (z " + lengthCell(design.waterlineHeight) + ")"},
  };
}

SignedGapTable closestApproachTable(const ClearanceReportContent& content) {
  SignedGapTable table;
  table.header = {"closest approach to the swept volume", "m", "/D", "at x m", "at z m", "state"};
  for (const ClosestApproach& approach : content.assessment.closestApproaches()) {
    std::string name = structureName(approach.structure);
    if (approach.sweptPart == SweptPart::Hub) name += " (to the hub)";
    table.rows.push_back(
        {name, formatRounded(approach.distance, tableLengthDecimals),
         perDiameterCell(approach.distance, content.design.propellerDiameter),
         formatRounded(approach.structureX, tableLengthDecimals),
         formatRounded(approach.structureZ, tableLengthDecimals),
         approach.overlaps ? "cut " + lengthCell(approach.overlapDepth) + " deep" : "clear"});
  }
  return table;
}

SignedGapTable legacyClearanceTable(const ClearanceReportContent& content) {
  SignedGapTable table;
  table.header = {"clearance", "length m", "/D"};
  for (const LegacyClearance& legacy : content.assessment.legacyLowerBlade) {
    table.rows.push_back({"legacy " + std::string(legacy.name) + " (mirrored)",
                          formatRounded(legacy.segment.length, tableLengthDecimals),
                          perDiameterCell(legacy.segment.length, content.design.propellerDiameter)});
  }
  return table;
}

}  // namespace propclear
