#include "report/clearance_report_content.h"

#include <algorithm>

#include "common/checked_math.h"
#include "common/format_number.h"
#include "report/rule_check_table.h"
#include "rules/measured_clearance.h"

namespace propclear {

namespace {

constexpr const char* noValueCell = "-";

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
