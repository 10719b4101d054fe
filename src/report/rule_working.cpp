#include "report/rule_working.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <variant>
#include <vector>

#include "common/format_number.h"
#include "report/rule_check_table.h"

namespace propclear {

namespace {

constexpr const char* middleDot = "\u00B7";
constexpr const char* factorSymbol = "K";

using SymbolValues = std::map<std::string, std::string, std::less<>>;

// The figures a rule set's symbols stand for, as written in the working:
// the inputs as read (with the design's D when given), K as the table
// prints it.
SymbolValues symbolValuesOf(const RuleSetSummary& set, std::optional<double> propellerDiameter) {
  SymbolValues values;
  const std::vector<RuleInput> inputs =
      propellerDiameter ? inputsWithDiameter(set, *propellerDiameter) : set.inputs;
  for (const RuleInput& input : inputs) {
    if (const double* number = std::get_if<double>(&input.value)) {
      values[input.symbol] = formatShortest(*number, "a rule set's input");
    }
  }
  if (set.factorK) values[factorSymbol] = formatRounded(*set.factorK, factorKDecimals);
  return values;
}

bool isSymbolLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool isDecimalDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// `formula` with each symbol that has a figure replaced by it, a product
// sign put between a number and the figure that follows it ("0.25D" gives
// "0.25·4.6"); none when a word of the formula is no known symbol.
std::optional<std::string> withFigures(std::string_view formula, const SymbolValues& values) {
  std::string out;
  for (std::size_t at = 0; at < formula.size();) {
    if (!isSymbolLetter(formula[at])) {
      out += formula[at++];
      continue;
    }
    std::size_t end = at;
    while (end < formula.size() && isSymbolLetter(formula[end])) ++end;
    const auto value = values.find(formula.substr(at, end - at));
    if (value == values.end()) return std::nullopt;
    if (!out.empty() && (isDecimalDigit(out.back()) || out.back() == '.')) out += middleDot;
    out += value->second;
    at = end;
  }
  return out;
}

std::string withProductDots(std::string_view formula) {
  std::string out;
  for (const char c : formula) {
    if (c == '*') {
      out += middleDot;
    } else {
      out += c;
    }
  }
  return out;
}

const RuleSetSummary* ruleSetNamed(const RuleCheck& check, const std::string& name) {
  const auto set = std::find_if(check.ruleSets.begin(), check.ruleSets.end(),
                                [&](const RuleSetSummary* s) { return s->name == name; });
  return set == check.ruleSets.end() ? nullptr : *set;
}

}  // namespace

std::optional<std::string> factorWorking(const RuleSetSummary& set) {
  if (!set.factorK || set.factorFormula.empty()) return std::nullopt;
  const std::string_view formula = set.factorFormula;
  const std::size_t equals = formula.find(" = ");
  const std::string value = formatRounded(*set.factorK, factorKDecimals);
  if (equals == std::string_view::npos) return set.factorFormula + " = " + value;
  const std::optional<std::string> figures =
      withFigures(formula.substr(equals + 3), symbolValuesOf(set, std::nullopt));
  return set.factorFormula + (figures ? " = " + *figures : std::string()) + " = " + value;
}

std::string requiredWorking(const RuleLine& line, const RuleCheck& check) {
  // The term is the basis up to its first blank: "1.50*K*D" of "0.15*D minimum".
  const std::string_view basis = line.basis;
  const std::string_view term = basis.substr(0, basis.find(' '));
  const std::string required = formatRounded(line.requiredMetres, tableLengthDecimals) + " m";
  const RuleSetSummary* set = ruleSetNamed(check, line.ruleSet);
  std::string text = withProductDots(basis);
  if (set != nullptr) {
    const std::optional<std::string> figures = withFigures(
        withProductDots(term), symbolValuesOf(*set, check.propellerDiameterMetres));
    if (figures && *figures != withProductDots(term)) text += " = " + *figures;
  }
  return text + " = " + required;
}

}  // namespace propclear
