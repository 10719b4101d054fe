#include "rules/read_ship_particulars.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <string_view>
#include <system_error>

#include "common/operating_system.h"
#include "rules/custom_minima.h"
#include "rules/measured_clearance.h"
#include "rules/read_propeller_table.h"
#include "rules/read_rule_file.h"
#include "rules/rule_set_catalogue.h"
#include "rules/ship_settings.h"

namespace propclear {

namespace {

constexpr const char* shipFileExtension = ".ship.toml";

// The particulars a rule set may need: the key and what it means.
struct NeededField {
  ShipField field;
  const char* key;
  const char* meaning;
};
constexpr std::array<NeededField, 7> neededFields = {{
    {ShipField::RuleLength, "rule_length", "L, the rule length in m"},
    {ShipField::BlockCoefficient, "block_coefficient", "Cb, the block coefficient at the load draught"},
    {ShipField::Power, "power", "P, the power on the shaft in kW"},
    {ShipField::Blades, "blades", "Z, the number of blades"},
    {ShipField::RudderThickness, "rudder_thickness",
     "tR, the rudder's thickness in m at 0.7R above the shaft centre"},
    {ShipField::Skew, "skew", "the propeller's skew, \"none\" or \"high\""},
    {ShipField::CustomMinima, "[custom_minima]", "the designer's minima, e.g. a = \"0.25D\""},
}};

// The ranges of the particulars: wide enough for any ship (the longest
// afloat are under 500 m, the strongest single shafts under 100 MW), narrow
// enough that the rule formulas stay finite and their numbers printable.
constexpr SettingRange ruleLengthRange{1.0, false, 1000.0, "must lie between 1 and 1000 (m)"};
constexpr SettingRange blockCoefficientRange{0.0, true, 1.0, "must lie in (0, 1]"};
constexpr SettingRange powerRange{0.0, true, 1.0e6, "must lie in (0, 1000000] (kW)"};
constexpr SettingRange rudderThicknessRange{0.0, false, 10.0, "must lie between 0 and 10 (m)"};
constexpr SettingRange minimumDiametersRange{0.0, true, 10.0, "must lie in (0, 10] (D)"};
constexpr SettingRange minimumMetresRange{0.0, true, 100.0, "must lie in (0, 100] (m)"};

constexpr const char* knownKeys =
    "name, rule_length, block_coefficient, power, blades, rudder_thickness, skew, rule_sets, "
    "custom_minima, rudder, ship_type, heel, rule_files, drawing";
constexpr const char* rudderRule =
    "must be \"spade\", \"semi-spade\", \"horn\" or \"sole-piece\"";

// The [drawing] table's keys and where each goes.
struct DrawingKey {
  const char* key;
  std::string DrawingParticulars::*field;
};
constexpr std::array<DrawingKey, 7> drawingKeys = {{
    {"yard", &DrawingParticulars::yard},
    {"hull_number", &DrawingParticulars::hullNumber},
    {"drawing_number", &DrawingParticulars::drawingNumber},
    {"revision", &DrawingParticulars::revision},
    {"drawn_by", &DrawingParticulars::drawnBy},
    {"checked_by", &DrawingParticulars::checkedBy},
    {"approved_by", &DrawingParticulars::approvedBy},
}};
constexpr const char* drawingKeyList =
    "yard, hull_number, drawing_number, revision, drawn_by, checked_by, approved_by";
constexpr const char* minimumForm = "must be a multiple of D such as \"0.25D\" or metres such as "
                                    "\"1.10 m\"";

bool hasField(const ShipParticulars& ship, ShipField field) {
  switch (field) {
    case ShipField::RuleLength: return ship.ruleLengthMetres.has_value();
    case ShipField::BlockCoefficient: return ship.blockCoefficient.has_value();
    case ShipField::Power: return ship.shaftPowerKilowatts.has_value();
    case ShipField::Blades: return ship.bladeCount.has_value();
    case ShipField::RudderThickness: return ship.rudderThicknessMetres.has_value();
    case ShipField::Skew: return ship.skew.has_value();
    case ShipField::CustomMinima: return !ship.customMinima.empty();
  }
  return false;
}

const NeededField& neededField(ShipField field) {
  return *std::find_if(neededFields.begin(), neededFields.end(),
                       [&](const NeededField& f) { return f.field == field; });
}

std::string clearanceNameList() {
  std::string list;
  for (const std::string_view name : clearanceNames) {
    list += (list.empty() ? "" : ", ") + std::string(name);
  }
  return list;
}

std::vector<std::string> ruleSetsOf(const Setting& setting) {
  return settingTextsOf(setting, "must be a list of rule set names, e.g. [\"lr-recommended\"]",
                        "names no rule set; known: " + ruleSetNameList(), "rule set");
}

RudderArrangement rudderOf(const Setting& setting) {
  const std::optional<RudderArrangement> rudder =
      rudderArrangementNamed(settingTextOf(setting, rudderRule));
  if (!rudder) throw settingFault(setting, rudderRule);
  return *rudder;
}

std::string shipTypeOf(const Setting& setting) {
  const std::string rule =
      "must be a ship type in lower-case letters, e.g. \"cargo\", \"tanker\", \"bulk\", "
      "\"container\", \"ferry\" or \"cruise\"";
  const std::string& text = settingTextOf(setting, rule);
  const bool word = !text.empty() && text.front() != '-' &&
                    text.find_first_not_of("abcdefghijklmnopqrstuvwxyz-") == std::string::npos;
  if (!word) throw settingFault(setting, rule);
  return text;
}

DesignPoint heelOf(const Setting& setting) {
  const std::string rule = "must be a point in m, e.g. heel = { x = 4.0, z = 0.3 }";
  const auto* table = setting.node->as_table();
  if (table == nullptr || table->size() != 2) throw settingFault(setting, rule);
  const toml::node* x = table->get("x");
  const toml::node* z = table->get("z");
  if (x == nullptr || z == nullptr) throw settingFault(setting, rule);
  return {finiteNumberOf(Setting{"", "heel.x", x, setting.layer}),
          finiteNumberOf(Setting{"", "heel.z", z, setting.layer})};
}

ClearanceMinimum customMinimumOf(const Setting& setting) {
  const std::optional<int> clearance = clearanceIndexNamed(setting.key);
  if (!clearance) throw settingFault(setting, "unknown clearance; known: " + clearanceNameList());
  const std::string& text = settingTextOf(setting, minimumForm);
  const std::optional<MinimumText> minimum = parseMinimumText(text);
  if (!minimum) throw settingFault(setting, minimumForm);
  const bool timesDiameter = minimum->unit == ClearanceMinimum::Unit::PropellerDiameters;
  const SettingRange& range = timesDiameter ? minimumDiametersRange : minimumMetresRange;
  if (!liesIn(minimum->value, range)) throw settingFault(setting, range.rule);
  return ClearanceMinimum{*clearance, minimum->value, minimum->unit, text};
}

// One [drawing] entry: a text, or a whole number written as one (a hull
// number such as 2417), on one line.
void readDrawingSetting(const Setting& setting, DrawingParticulars& drawing) {
  const auto known = std::find_if(drawingKeys.begin(), drawingKeys.end(),
                                  [&](const DrawingKey& entry) { return setting.key == entry.key; });
  if (known == drawingKeys.end()) {
    throw settingFault(setting, std::string("unknown key; known keys: ") + drawingKeyList);
  }
  std::string text;
  if (const auto* integer = setting.node->as_integer()) {
    text = std::to_string(integer->get());
  } else {
    text = settingTextOf(setting, "must be a text");
  }
  if (text.find_first_of("\r\n") != std::string::npos) {
    throw settingFault(setting, "must be one line of text");
  }
  drawing.*(known->field) = std::move(text);
}

// Turns the merged settings into particulars, key by key in the order written.
class ParticularsReader {
 public:
  // Rule files the ship file names are found in `shipFolder`; those of the
  // command line are `addedRuleFiles`.
  ParticularsReader(std::string sourceName, bool fromFile, std::filesystem::path shipFolder = {},
                    std::vector<std::filesystem::path> addedRuleFiles = {})
      : fromFile_(fromFile), shipFolder_(std::move(shipFolder)),
        addedRuleFiles_(std::move(addedRuleFiles)) {
    ship_.sourceName = std::move(sourceName);
  }

  ShipParticulars read(const MergedSettings& settings, const PropellerTable* propeller) {
    for (const Setting& setting : settings.topLevel) readSetting(setting);
    if (propeller != nullptr) agreeOnBladeCount(*propeller, ship_);
    for (const std::filesystem::path& file : addedRuleFiles_) {
      addRuleFile(readRuleFile(file), std::nullopt);
    }
    requireKnownRuleSets();
    requireHeelUnderTheDisc();
    for (const Setting& setting : settings.customMinima) {
      ship_.customMinima.push_back(customMinimumOf(setting));
    }
    for (const Setting& setting : settings.drawing) readDrawingSetting(setting, ship_.drawing);
    std::sort(ship_.customMinima.begin(), ship_.customMinima.end(),
              [](const ClearanceMinimum& x, const ClearanceMinimum& y) {
                return x.clearance < y.clearance;
              });
    requireRuleSetNeeds();
    return ship_;
  }

 private:
  void readSetting(const Setting& setting) {
    const std::string& key = setting.key;
    if (key == "name") {
      ship_.name = settingTextOf(setting, "must be a text");
    } else if (key == "rule_length") {
      ship_.ruleLengthMetres = settingNumberIn(setting, ruleLengthRange);
    } else if (key == "block_coefficient") {
      ship_.blockCoefficient = settingNumberIn(setting, blockCoefficientRange);
    } else if (key == "power") {
      ship_.shaftPowerKilowatts = settingNumberIn(setting, powerRange);
    } else if (key == "blades") {
      ship_.bladeCount = settingWholeNumberIn(setting, fewestShipBlades, mostShipBlades,
                                              "must be a whole number (3 to 6)",
                                              "must be 3, 4, 5 or 6");
    } else if (key == "rudder_thickness") {
      ship_.rudderThicknessMetres = settingNumberIn(setting, rudderThicknessRange);
    } else if (key == "skew") {
      ship_.skew = skewSettingOf(setting);
    } else if (key == "rudder") {
      ship_.rudder = rudderOf(setting);
    } else if (key == "ship_type") {
      ship_.shipType = shipTypeOf(setting);
    } else if (key == "heel") {
      ship_.heel = heelOf(setting);
      heelSetting_ = setting;
    } else if (key == "rule_files") {
      const std::vector<std::string> files = settingTextsOf(
          setting, "must be a list of rule file names, e.g. [\"yard-standard.toml\"]",
          "names no rule file", "rule file");
      for (const std::string& file : files) {
        addRuleFile(readRuleFile(shipFolder_ / std::filesystem::path(file)), setting);
      }
    } else if (key == "rule_sets") {
      ship_.ruleSets = ruleSetsOf(setting);
      ruleSetsSetting_ = setting;
    } else if (key == "custom_minima") {
      if (!setting.node->is_table()) {
        throw settingFault(setting, "must be a table of minima, e.g. [custom_minima] a = \"0.25D\"");
      }
    } else if (key == "drawing") {
      if (!setting.node->is_table()) {
        throw settingFault(setting, "must be a table, e.g. [drawing] yard = \"Harbour Yard\"");
      }
    } else {
      throw settingFault(setting, std::string("unknown key; known keys: ") + knownKeys);
    }
  }

  // A rule file's set joins the known ones under a name of its own.
  void addRuleFile(RuleSetDefinition definition, const std::optional<Setting>& namedBy) {
    if (findRuleSet(definition.name, ship_.ruleFiles) != nullptr) {
      const std::string rule = "the rule file " + definition.file + " names the rule set \"" +
                               definition.name + "\", which is already known";
      if (namedBy) throw settingFault(*namedBy, rule);
      throw RunError(ErrorKind::Usage, rule, ErrorLocation{"--rules-file " + definition.file});
    }
    ship_.ruleFiles.push_back(std::move(definition));
  }

  void requireKnownRuleSets() const {
    if (!ruleSetsSetting_) return;
    for (const std::string& name : ship_.ruleSets) {
      if (isKnownRuleSet(name, ship_.ruleFiles)) continue;
      throw settingFault(*ruleSetsSetting_, "unknown rule set \"" + name + "\"; known: " +
                                                ruleSetNameList(ship_.ruleFiles));
    }
  }

  // A heel under the disc and a rudder without one contradict each other.
  void requireHeelUnderTheDisc() const {
    if (!heelSetting_ || !ship_.rudder) return;
    if (*ship_.rudder != RudderArrangement::Spade && *ship_.rudder != RudderArrangement::SemiSpade) {
      return;
    }
    throw settingFault(*heelSetting_, std::string("a ") + rudderArrangementName(*ship_.rudder) +
                                          " rudder has no heel under the disc (rudder = \"" +
                                          rudderArrangementName(*ship_.rudder) + "\")");
  }

  // Every chosen rule set finds the particulars it needs.
  void requireRuleSetNeeds() const {
    if (!ruleSetsSetting_) {
      throw RunError(fromFile_ ? ErrorKind::Input : ErrorKind::Usage,
                     "rule_sets is missing: name the rule sets to check against, e.g. "
                     "rule_sets = [\"lr-recommended\"] (known: " +
                         ruleSetNameList() + ")",
                     ErrorLocation{ship_.sourceName});
    }
    for (const std::string& name : ship_.ruleSets) {
      for (const ShipField field : fieldsNeeded(name, ship_.ruleFiles)) {
        if (hasField(ship_, field)) continue;
        const NeededField& needed = neededField(field);
        throw faultAt(*ruleSetsSetting_, std::string(needed.key) + " is missing: rule set \"" +
                                             name + "\" needs " + needed.meaning);
      }
      const RuleSetDefinition* definition = findRuleSet(name, ship_.ruleFiles);
      if (definition != nullptr && ship_.bladeCount) {
        requireBladeNumberInTables(*definition, *ship_.bladeCount);
      }
    }
  }

  bool fromFile_;
  std::filesystem::path shipFolder_;
  std::vector<std::filesystem::path> addedRuleFiles_;
  ShipParticulars ship_;
  std::optional<Setting> ruleSetsSetting_;
  std::optional<Setting> heelSetting_;
};

void addOverrides(std::deque<SettingsLayer>& layers, const ShipOverrides& overrides) {
  for (const std::string& setting : overrides.settings) layers.push_back(parseSettingOption(setting));
  if (overrides.ruleSets) layers.push_back(parseRuleSetsOption(*overrides.ruleSets));
}

}  // namespace

std::filesystem::path shipFileBeside(const std::filesystem::path& designFile) {
  std::filesystem::path shipFile = designFile;
  return shipFile.replace_extension(shipFileExtension);
}

std::optional<std::filesystem::path> findShipFile(const std::filesystem::path& designFile) {
  // Whatever stands there is the ship file: a link that leads nowhere is
  // reported by the reader, not taken for "no rules to check".
  const std::filesystem::path shipFile = shipFileBeside(designFile);
  if (os::entryAt(shipFile) == os::Entry::Missing) return std::nullopt;
  return shipFile;
}

ShipParticulars readShipParticulars(const std::filesystem::path& file,
                                    const ShipOverrides& overrides,
                                    const PropellerTable* propeller) {
  std::deque<SettingsLayer> layers;
  layers.push_back(parseShipFile(file));
  addOverrides(layers, overrides);
  return ParticularsReader(layers.front().origin, true, file.parent_path(), overrides.ruleFiles)
      .read(mergeSettings(layers), propeller);
}

ShipParticulars readShipParticularsText(std::string text, const std::string& displayName) {
  std::deque<SettingsLayer> layers;
  layers.push_back(parseShipText(std::move(text), displayName));
  return ParticularsReader(displayName, true).read(mergeSettings(layers), nullptr);
}

ShipParticulars shipParticularsFromOverrides(const ShipOverrides& overrides,
                                             const PropellerTable* propeller) {
  std::deque<SettingsLayer> layers;
  addOverrides(layers, overrides);
  return ParticularsReader("the command line", false, {}, overrides.ruleFiles)
      .read(mergeSettings(layers), propeller);
}

}  // namespace propclear
