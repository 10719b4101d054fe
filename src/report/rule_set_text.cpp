#include "report/rule_set_text.h"

#include <algorithm>
#include <array>
#include <vector>

#include "common/format_number.h"
#include "rules/custom_minima.h"
#include "rules/measured_clearance.h"

namespace propclear {

namespace {

constexpr const char* lrFactorText = "K = (0.1 + L/3050)*(3.48*Cb*P/L^2 + 0.3), L in m, P in kW";
constexpr const char* customSummary =
    "the designer's own minima, the [custom_minima] table of the ship file";

std::string number(double value) { return formatShortest(value, "a rule file's factor"); }

std::string scaled(double factor, RequirementScale scale) {
  if (scale == RequirementScale::Metres) return number(factor) + " m";
  if (scale == RequirementScale::RudderThickness && factor == 1.0) return scaleName(scale);
  return number(factor) + "*" + scaleName(scale);
}

std::string requirementCell(const RuleLineDefinition& line) {
  if (line.factor) return scaled(*line.factor, line.scale);
  std::string cell;
  for (const auto& [blades, factor] : line.factorByBlades) {
    cell += (cell.empty() ? "" : ", ") + ("Z=" + std::to_string(blades) + ": ") +
            scaled(factor, line.scale);
  }
  return cell;
}

std::string joined(const std::vector<std::string>& texts, const char* separator) {
  std::string text;
  for (const std::string& each : texts) text += (text.empty() ? "" : separator) + each;
  return text;
}

std::string conditionCell(const RuleLineDefinition& line) {
  std::vector<std::string> conditions;
  if (!line.rudders.empty()) {
    std::vector<std::string> names;
    for (const RudderArrangement rudder : line.rudders) names.push_back(rudderArrangementName(rudder));
    conditions.push_back("rudder " + joined(names, "/"));
  }
  if (line.skew) conditions.push_back(line.skew == PropellerSkew::High ? "skew high" : "skew none");
  if (!line.shipTypes.empty()) conditions.push_back(joined(line.shipTypes, "/"));
  if (!line.exceptShipTypes.empty()) conditions.push_back("not " + joined(line.exceptShipTypes, "/"));
  return conditions.empty() ? "every ship" : joined(conditions, "; ");
}

std::vector<std::string> rowOf(const RuleLineDefinition& line) {
  return {std::string(judgedClearanceName(line.clearance)),
          line.letter,
          requirementCell(line),
          line.minimum ? scaled(*line.minimum, line.minimumScale) : "-",
          conditionCell(line),
          line.informative ? "informative" : "decides"};
}

std::string tableText(const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::size_t> widths(rows.front().size(), 0);
  for (const auto& row : rows) {
    for (std::size_t column = 0; column < row.size(); ++column) {
      widths[column] = std::max(widths[column], row[column].size());
    }
  }
  std::string text;
  for (const auto& row : rows) {
    std::string line = "  ";
    for (std::size_t column = 0; column < row.size(); ++column) {
      const bool last = column + 1 == row.size();
      line += last ? row[column] : row[column] + std::string(widths[column] - row[column].size() + 2, ' ');
    }
    text += line + "\n";
  }
  return text;
}

}  // namespace

std::string ruleSetListText(std::span<const RuleSetDefinition> sets) {
  std::vector<std::vector<std::string>> rows;
  for (const RuleSetDefinition& set : sets) {
    // The source's title, without its sections and tables.
    std::string what = set.source.substr(0, set.source.find(" ("));
    if (!set.edition.empty()) what += ", " + set.edition;
    if (set.always) what += "; checked always";
    rows.push_back({set.name, what, set.file});
  }
  rows.push_back({customName, customSummary, "-"});
  std::vector<std::size_t> widths(2, 0);
  for (const auto& row : rows) {
    widths[0] = std::max(widths[0], row[0].size());
    widths[1] = std::max(widths[1], row[1].size());
  }
  std::string text;
  for (const auto& row : rows) {
    text += row[0] + std::string(widths[0] - row[0].size() + 2, ' ') + row[1] +
            std::string(widths[1] - row[1].size() + 2, ' ') + row[2] + "\n";
  }
  return text;
}

std::string ruleSetText(const RuleSetDefinition& set) {
  std::string text = set.name + " (" + set.file + ")\n";
  text += "source: " + set.source + "\n";
  if (!set.edition.empty()) text += "edition: " + set.edition + "\n";
  if (!set.scope.empty()) text += "scope: " + set.scope + "\n";
  if (!set.mapping.empty()) text += "mapping: " + set.mapping + "\n";
  if (set.factorFormula) {
    text += std::string("factor: ") + factorFormulaName(*set.factorFormula) + ", " + lrFactorText + "\n";
  }
  if (set.always) text += "checked always, whether or not a ship file names it\n";
  text += "required: the larger of the requirement and the minimum\n";
  std::vector<std::vector<std::string>> rows = {
      {"clearance", "letter", "requirement", "minimum", "applies to", "verdict"}};
  for (const RuleLineDefinition& line : set.lines) rows.push_back(rowOf(line));
  return text + tableText(rows);
}

}  // namespace propclear
