#include "report/rule_check_json.h"

#include <filesystem>
#include <string>
#include <variant>

#include "rules/measured_clearance.h"

namespace propclear {

namespace {

using Layout = JsonWriter::Layout;

void optionalMember(JsonWriter& json, const char* name, const std::optional<double>& value) {
  if (value) json.member(name, *value);
}

const char* overallCode(OverallVerdict verdict) {
  switch (verdict) {
    case OverallVerdict::Meets: return "meets";
    case OverallVerdict::BelowMinimum: return "below-minimum";
    case OverallVerdict::NotJudged: return "not-judged";
    case OverallVerdict::InformativeOnly: return "informative-only";
  }
  return "not-judged";
}

void appendInput(JsonWriter& json, const RuleInput& input) {
  json.openObject(Layout::Inline);
  json.member("key", input.key);
  json.member("symbol", input.symbol);
  json.key("value");
  if (const double* number = std::get_if<double>(&input.value)) {
    json.value(*number, "a rule set input");
  } else {
    json.value(std::get<std::string>(input.value));
  }
  json.member("unit", input.unit);
  json.close();
}

void appendRuleSet(JsonWriter& json, const RuleSetSummary& set, double propellerDiameter) {
  json.openObject();
  json.member("name", set.name);
  json.member("source", set.source);
  if (!set.edition.empty()) json.member("edition", set.edition);
  if (!set.scope.empty()) json.member("scope", set.scope);
  // The file's name alone: where the bundled files stand depends on the
  // installation and the platform, and the results must not.
  if (!set.file.empty()) json.member("file", std::filesystem::path(set.file).filename().string());
  json.member("mapping", set.mapping);
  optionalMember(json, "K", set.factorK);
  json.key("inputs");
  json.openArray();
  for (const RuleInput& input : inputsWithDiameter(set, propellerDiameter)) appendInput(json, input);
  json.close();
  json.close();
}

void appendLine(JsonWriter& json, const RuleLine& line) {
  json.openObject();
  json.member("clearance", std::string(judgedClearanceName(line.clearance)));
  json.member("ruleSet", line.ruleSet);
  json.member("sourceLetter", line.sourceLetter);
  json.member("basis", line.basis);
  json.member("required_m", line.requiredMetres);
  json.member("required_ratio_to_D", line.requiredPerDiameter);
  json.member("length_m", line.lengthMetres);
  optionalMember(json, "measured_m", line.measuredMetres);
  optionalMember(json, "measured_ratio_to_D", line.measuredPerDiameter);
  optionalMember(json, "margin_m", line.marginMetres);
  optionalMember(json, "margin_percent", line.marginPercent);
  json.member("verdict", std::string(verdictText(line.verdict)));
  if (!line.reason.empty()) json.member("reason", line.reason);
  json.member("overlap", line.overlap);
  json.member("informative", line.informative);
  if (!line.note.empty()) json.member("note", line.note);
  json.close();
}

}  // namespace

void appendRuleCheckJson(JsonWriter& json, const RuleCheck& check) {
  json.key("ruleCheck");
  json.openObject();
  json.key("ship");
  json.openObject(Layout::Inline);
  json.member("name", check.shipName);
  json.member("source", check.shipSource);
  json.close();
  json.member("propellerDiameter_m", check.propellerDiameterMetres);
  json.key("ruleSets");
  json.openArray();
  for (const RuleSetSummary* set : check.ruleSets) {
    appendRuleSet(json, *set, check.propellerDiameterMetres);
  }
  json.close();
  json.key("lines");
  json.openArray();
  for (const RuleLine& line : check.lines) appendLine(json, line);
  json.close();
  json.key("notes");
  json.openArray();
  for (const std::string& note : check.notes) json.value(note);
  json.close();
  json.member("overall", std::string(overallCode(check.overall)));
  json.member("overallText", overallVerdictText(check));
  json.key("bindingLines");
  json.value(check.bindingLines);
  json.key("linesBelow");
  json.value(check.linesBelow);
  json.key("linesNotMeasured");
  json.value(check.linesNotMeasured);
  json.close();
}

}  // namespace propclear
