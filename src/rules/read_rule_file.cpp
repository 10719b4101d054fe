#include "rules/read_rule_file.h"

#include <array>
#include <cmath>
#include <deque>
#include <limits>
#include <string_view>
#include <utility>

#include "rules/measured_clearance.h"
#include "rules/ship_particulars.h"
#include "rules/ship_settings.h"

namespace propclear {

namespace {

constexpr const char* lineTable = "line";
constexpr const char* knownRuleFileKeys =
    "name, source, edition, scope, mapping, factor_formula, always, line";
constexpr const char* knownLineKeys =
    "clearance, letter, of, factor, minimum, minimum_of, rudders, skew, ship_types, "
    "except_ship_types, qualifier, informative";

constexpr std::array<std::pair<RequirementScale, const char*>, 4> scaleNames = {{
    {RequirementScale::FactorTimesDiameter, "K*D"},
    {RequirementScale::Diameter, "D"},
    {RequirementScale::Metres, "m"},
    {RequirementScale::RudderThickness, "tR"},
}};

std::string judgedClearanceList() {
  std::string list;
  for (const std::string_view name : judgedClearanceNames) {
    list += (list.empty() ? "" : ", ") + std::string(name);
  }
  return list;
}

constexpr const char* textRule = "must be a text in quotes";
constexpr const char* shipTypesRule = "must be a list of ship types, e.g. [\"ferry\"]";
constexpr SettingRange positiveRange{0.0, true, std::numeric_limits<double>::max(),
                                     "must be greater than 0"};
constexpr SettingRange notNegativeRange{0.0, false, std::numeric_limits<double>::max(),
                                        "must not be negative"};

const std::string& nonEmptyTextOf(const Setting& setting) {
  const std::string& text = settingTextOf(setting, textRule);
  if (text.empty()) throw settingFault(setting, "must not be empty");
  return text;
}

bool isRuleSetName(const std::string& name) {
  if (name.empty()) return false;
  for (const char c : name) {
    const bool allowed = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
    if (!allowed) return false;
  }
  return name.front() != '-';
}

RequirementScale scaleOf(const Setting& setting, bool minimum) {
  const std::string& text = settingTextOf(setting, textRule);
  for (const auto& [scale, name] : scaleNames) {
    const bool allowed = minimum ? scale != RequirementScale::FactorTimesDiameter
                                 : scale != RequirementScale::RudderThickness;
    if (allowed && text == name) return scale;
  }
  throw settingFault(setting, minimum ? "must be \"D\", \"m\" or \"tR\""
                                      : "must be \"K*D\", \"D\" or \"m\"");
}

RuleFilePlace placeOf(const Setting& setting) {
  return {setting.layer->origin, static_cast<long>(setting.node->source().begin.line),
          displayKey(setting), valueText(setting)};
}

// The factor of one line: one number, or a table by blade number.
void readFactor(const Setting& setting, RuleLineDefinition& line) {
  line.factorPlace = placeOf(setting);
  const auto* table = setting.node->as_table();
  if (table == nullptr) {
    line.factor = settingNumberIn(setting, positiveRange);
    return;
  }
  if (table->empty()) throw settingFault(setting, "names no blade number");
  for (const auto& [key, value] : *table) {
    const Setting entry{lineTable, "factor." + std::string(key.str()), &value, setting.layer};
    int blades = 0;
    const std::string_view digits = key.str();
    const bool whole = !digits.empty() && digits.size() <= 2 &&
                       digits.find_first_not_of("0123456789") == std::string_view::npos;
    if (whole) blades = std::stoi(std::string(digits));
    if (!whole || blades < fewestShipBlades || blades > mostShipBlades) {
      throw settingFault(entry, "the blade number lies outside " + std::to_string(fewestShipBlades) +
                                    " to " + std::to_string(mostShipBlades));
    }
    line.factorByBlades[blades] = settingNumberIn(entry, positiveRange);
  }
}

std::vector<RudderArrangement> ruddersOf(const Setting& setting) {
  const std::string rule =
      "must be a list of \"spade\", \"semi-spade\", \"horn\" and \"sole-piece\"";
  std::vector<RudderArrangement> rudders;
  for (const std::string& name : settingTextsOf(setting, rule, rule)) {
    const std::optional<RudderArrangement> rudder = rudderArrangementNamed(name);
    if (!rudder) throw settingFault(setting, "unknown rudder arrangement \"" + name + "\"; " + rule);
    rudders.push_back(*rudder);
  }
  return rudders;
}

bool flagOf(const Setting& setting) {
  const auto* flag = setting.node->as_boolean();
  if (flag == nullptr) throw settingFault(setting, "must be true or false");
  return flag->get();
}

class RuleFileReader {
 public:
  explicit RuleFileReader(const SettingsLayer& layer) : layer_(layer) {}

  RuleSetDefinition read() {
    definition_.file = layer_.origin;
    for (const auto& [key, node] : layer_.table) readTop(Setting{"", std::string(key.str()), &node, &layer_});
    requireTop("name", !definition_.name.empty());
    requireTop("source", !definition_.source.empty());
    requireTop("line", !definition_.lines.empty());
    if (!timesFactor_.empty() && !definition_.factorFormula) {
      throw settingFault(timesFactor_.front(), "needs a factor formula: factor_formula = \"lr-k\" "
                                               "at the top of the file");
    }
    return std::move(definition_);
  }

 private:
  void readTop(const Setting& setting) {
    const std::string& key = setting.key;
    if (key == "name") {
      definition_.name = nonEmptyTextOf(setting);
      if (!isRuleSetName(definition_.name) || definition_.name == "custom") {
        throw settingFault(setting, "must be lower-case letters, digits and hyphens, and not "
                                    "\"custom\"");
      }
    } else if (key == "source") {
      definition_.source = nonEmptyTextOf(setting);
    } else if (key == "edition") {
      definition_.edition = nonEmptyTextOf(setting);
    } else if (key == "scope") {
      definition_.scope = nonEmptyTextOf(setting);
    } else if (key == "mapping") {
      definition_.mapping = nonEmptyTextOf(setting);
    } else if (key == "factor_formula") {
      if (settingTextOf(setting, textRule) != factorFormulaName(FactorFormula::LloydsK)) {
        throw settingFault(setting, "unknown factor formula; known: \"lr-k\"");
      }
      definition_.factorFormula = FactorFormula::LloydsK;
    } else if (key == "always") {
      definition_.always = flagOf(setting);
    } else if (key == lineTable) {
      readLines(setting);
    } else {
      throw settingFault(setting, std::string("unknown key; known keys: ") + knownRuleFileKeys);
    }
  }

  void readLines(const Setting& setting) {
    const auto* lines = setting.node->as_array();
    if (lines == nullptr || !lines->is_array_of_tables()) {
      throw settingFault(setting, "must be written as [[line]] tables");
    }
    for (const toml::node& line : *lines) readLine(Setting{"", "[[line]]", &line, &layer_});
  }

  void readLine(const Setting& lineSetting) {
    RuleLineDefinition line;
    std::optional<Setting> of;
    std::optional<Setting> minimumOf;
    for (const auto& [key, node] : *lineSetting.node->as_table()) {
      const Setting setting{lineTable, std::string(key.str()), &node, &layer_};
      const std::string& name = setting.key;
      if (name == "clearance") {
        const std::optional<int> clearance = judgedClearanceNamed(settingTextOf(setting, textRule));
        if (!clearance) {
          throw settingFault(setting, "unknown clearance; known: " + judgedClearanceList());
        }
        line.clearance = *clearance;
        line.place = placeOf(setting);
      } else if (name == "letter") {
        line.letter = nonEmptyTextOf(setting);
      } else if (name == "of") {
        line.scale = scaleOf(setting, false);
        of = setting;
      } else if (name == "factor") {
        readFactor(setting, line);
      } else if (name == "minimum") {
        line.minimum = settingNumberIn(setting, notNegativeRange);
      } else if (name == "minimum_of") {
        line.minimumScale = scaleOf(setting, true);
        minimumOf = setting;
      } else if (name == "rudders") {
        line.rudders = ruddersOf(setting);
      } else if (name == "skew") {
        line.skew = skewSettingOf(setting);
      } else if (name == "ship_types") {
        line.shipTypes = settingTextsOf(setting, shipTypesRule, shipTypesRule);
      } else if (name == "except_ship_types") {
        line.exceptShipTypes = settingTextsOf(setting, shipTypesRule, shipTypesRule);
      } else if (name == "qualifier") {
        line.qualifier = nonEmptyTextOf(setting);
      } else if (name == "informative") {
        line.informative = flagOf(setting);
      } else {
        throw settingFault(setting, std::string("unknown key; known keys: ") + knownLineKeys);
      }
    }
    requireLineKey(lineSetting, "clearance", !line.place.key.empty());
    requireLineKey(lineSetting, "letter", !line.letter.empty());
    requireLineKey(lineSetting, "of", of.has_value());
    requireLineKey(lineSetting, "factor", line.factor || !line.factorByBlades.empty());
    if (line.scale == RequirementScale::FactorTimesDiameter) timesFactor_.push_back(*of);
    if (minimumOf && !line.minimum) {
      throw faultAt(*minimumOf, "minimum_of without a minimum: give minimum = ... too");
    }
    definition_.lines.push_back(std::move(line));
  }

  void requireTop(const char* key, bool given) const {
    if (given) return;
    throw RunError(ErrorKind::Input, std::string(key) + " is missing: a rule file names its rule "
                                         "set, its source and at least one [[line]]",
                   ErrorLocation{layer_.origin});
  }

  static void requireLineKey(const Setting& line, const char* key, bool given) {
    if (given) return;
    throw faultAt(line, std::string("[[line]]: ") + key + " is missing");
  }

  const SettingsLayer& layer_;
  RuleSetDefinition definition_;
  std::vector<Setting> timesFactor_;  // the lines' of = "K*D"
};

}  // namespace

const char* factorFormulaName(FactorFormula formula) {
  switch (formula) {
    case FactorFormula::LloydsK: return "lr-k";
  }
  return "lr-k";
}

const char* scaleName(RequirementScale scale) {
  for (const auto& [each, name] : scaleNames) {
    if (each == scale) return name;
  }
  return "m";
}

RuleSetDefinition readRuleFile(const std::filesystem::path& file) {
  const SettingsLayer layer = parseSettingsFile(file, "rule file");
  RuleSetDefinition definition = RuleFileReader(layer).read();
  definition.file = file.string();
  return definition;
}

RuleSetDefinition readRuleFileText(std::string text, const std::string& displayName) {
  SettingsLayer layer = parseShipText(std::move(text), displayName);
  return RuleFileReader(layer).read();
}

}  // namespace propclear
