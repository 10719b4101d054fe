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
  if (content.ruleCheck != nullptr && !content.ruleCheck->shipName.empty()) {
    return content.ruleCheck->shipName;
  }
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

ReportedClearances reportedClearancesOf(const SternAnalysis& analysis) {
  ReportedClearances reported{analysis.clearances, analysis.signedGaps};
  const TurningLowerBlade& turning = analysis.turningLowerBlade;
  reported.segments[clearanceAPrime] = turning.aPrime.segment;
  reported.signedGaps[clearanceAPrime] = turning.aPrime.signedGap;
  reported.segments[clearanceCPrime] = turning.cPrime.segment;
  reported.signedGaps[clearanceCPrime] = turning.cPrime.signedGap;
  // b' keeps its heights and length; the turning blade's tip lies below the
  // upper tip, where b is measured from.
  ClearanceSegment& bPrime = reported.segments[clearanceBPrime];
  bPrime.bladeX = bPrime.targetX = analysis.clearances[clearanceB].bladeX;
  return reported;
}

ClearanceMark clearanceMarkOf(const ClearanceReportContent& content, int clearance) {
  const auto which = static_cast<std::size_t>(clearance);
  const std::optional<double> gap = reportedClearancesOf(content.analysis).signedGaps.at(which);
  ClearanceMark mark = !gap ? ClearanceMark::NotMeasured
                            : (*gap < 0.0 ? ClearanceMark::Overlap : ClearanceMark::Clear);
  if (content.ruleCheck == nullptr) return mark;
  for (const RuleLine& line : content.ruleCheck->lines) {
    if (line.clearance != clearance) continue;
    const ClearanceMark lineMark = clearanceMarkOf(line);
    mark = std::max(mark, lineMark);
  }
  return mark;
}

SignedGapTable signedGapTable(const ClearanceReportContent& content) {
  const double diameter = content.design.propellerDiameter;
  const ReportedClearances reported = reportedClearancesOf(content.analysis);
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

}  // namespace propclear
