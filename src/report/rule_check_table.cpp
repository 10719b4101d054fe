#include "report/rule_check_table.h"

#include <algorithm>
#include <array>

#include "common/format_number.h"
#include "common/terminal_text.h"
#include "rules/measured_clearance.h"

namespace propclear {

namespace {

constexpr int percentDecimals = 1;
constexpr const char* notMeasuredCell = "-";
constexpr const char* columnGap = "  ";

// Columns whose cells are numbers, right-aligned: all but clearance, rule and verdict.
constexpr std::array<bool, 9> rightAligned = {false, true, true, false, true,
                                              true,  true, true, false};

std::string number(double value, int decimals) { return formatRounded(value, decimals); }

std::string optionalNumber(const std::optional<double>& value, int decimals) {
  return value ? number(*value, decimals) : notMeasuredCell;
}

std::string titleOf(const RuleCheck& check) {
  std::string title = "Clearance rules";
  if (!check.shipName.empty()) title += " for " + withControlsEscaped(check.shipName);
  if (!check.shipSource.empty()) title += " (" + check.shipSource + ")";
  return title + ", D = " + number(check.propellerDiameterMetres, tableLengthDecimals) + " m";
}

std::vector<std::string> rowOf(const RuleLine& line) {
  return {
      std::string(judgedClearanceName(line.clearance)),
      optionalNumber(line.measuredMetres, tableLengthDecimals),
      optionalNumber(line.measuredPerDiameter, tableRatioDecimals),
      line.ruleSet + " (" + line.sourceLetter + ")",
      number(line.requiredMetres, tableLengthDecimals),
      number(line.requiredPerDiameter, tableRatioDecimals),
      optionalNumber(line.marginMetres, tableLengthDecimals),
      optionalNumber(line.marginPercent, percentDecimals),
      ruleLineVerdictText(line),
  };
}

std::string paddedRow(const std::vector<std::string>& cells,
                      const std::vector<std::size_t>& widths) {
  std::string text;
  for (std::size_t column = 0; column < cells.size(); ++column) {
    const std::string& cell = cells[column];
    const std::string padding(widths[column] - cell.size(), ' ');
    if (column > 0) text += columnGap;
    const bool last = column + 1 == cells.size();
    text += rightAligned[column] ? padding + cell : (last ? cell : cell + padding);
  }
  return text;
}

}  // namespace

RuleCheckTable ruleCheckTable(const Assessment& assessment) {
  const RuleCheck& check = *assessment.rules;
  RuleCheckTable table;
  table.preamble.push_back(titleOf(check));
  for (const RuleSetSummary& set : check.ruleSets) {
    if (set.factorK)
      table.preamble.push_back(set.name + ": K = " + number(*set.factorK, factorKDecimals));
  }
  for (const RuleSetSummary& set : check.ruleSets) {
    if (!set.scope.empty()) table.preamble.push_back(set.name + ": scope: " + set.scope);
  }
  for (const std::string& note : check.notes) table.preamble.push_back("Note: " + note);
  for (const RuleLine& line : check.lines) {
    if (line.note.empty()) continue;
    table.preamble.push_back("Note: " + std::string(judgedClearanceName(line.clearance)) + " (" +
                             line.ruleSet + ", " + line.sourceLetter + "): " + line.note);
  }
  table.header = {"clearance", "measured m", "/D", "rule",   "required m",
                  "/D",        "margin m",   "%",  "verdict"};
  for (const RuleLine& line : check.lines) table.rows.push_back(rowOf(line));
  table.overall = "Overall: " + overallText(assessment);
  return table;
}

std::string ruleCheckTableText(const Assessment& assessment) {
  if (!assessment.rules) return "Overall: " + overallText(assessment) + "\n";
  const RuleCheckTable table = ruleCheckTable(assessment);
  std::vector<std::size_t> widths(table.header.size());
  for (std::size_t column = 0; column < widths.size(); ++column) {
    widths[column] = table.header[column].size();
    for (const auto& row : table.rows)
      widths[column] = std::max(widths[column], row[column].size());
  }
  std::string text;
  for (const std::string& line : table.preamble) text += line + "\n";
  text += paddedRow(table.header, widths) + "\n";
  for (const auto& row : table.rows) text += paddedRow(row, widths) + "\n";
  return text + table.overall + "\n";
}

}  // namespace propclear
