#include "rules/read_propeller_table.h"

#include <array>
#include <cmath>
#include <deque>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "common/operating_system.h"
#include "rules/ship_settings.h"

namespace propclear {

namespace {

constexpr const char* propellerFileExtension = ".propeller.toml";
constexpr const char* propellerFileKind = "propeller file";
constexpr const char* outlineTable = "outline";
constexpr const char* knownTopKeys = "blades, hub_length, outline";
constexpr const char* knownOutlineKeys =
    "r_over_R, chord_over_D, leading_edge_over_chord, skew_deg, pitch_over_D, rake_over_D";
// Beyond a right angle the reference line would lie behind the next blade's.
constexpr double maxSkewDegrees = 90.0;

// The columns of [outline], in the order the table keeps them.
enum class Column { Radius, Chord, Edge, Skew, Pitch, Rake };
struct ColumnKey {
  Column column;
  const char* key;
  bool required;
};
constexpr std::array<ColumnKey, 6> columnKeys = {{
    {Column::Radius, "r_over_R", true},
    {Column::Chord, "chord_over_D", true},
    {Column::Edge, "leading_edge_over_chord", true},
    {Column::Skew, "skew_deg", true},
    {Column::Pitch, "pitch_over_D", false},
    {Column::Rake, "rake_over_D", false},
}};

std::string stationText(std::size_t index) { return "station " + std::to_string(index + 1); }

// The finite numbers of an array, integers taken as numbers.
std::vector<double> numbersOf(const Setting& setting) {
  const auto* array = setting.node->as_array();
  const std::string rule = "must be a list of numbers, one per station";
  if (array == nullptr) throw settingFault(setting, rule);
  std::vector<double> values;
  for (const toml::node& element : *array) {
    const std::optional<double> value = tomlNumberOf(element);
    if (!value) throw settingFault(setting, rule);
    if (!std::isfinite(*value)) {
      throw settingFault(setting, stationText(values.size()) + " is not a finite number");
    }
    values.push_back(*value);
  }
  return values;
}

void requireRadii(const Setting& setting, const std::vector<double>& radii) {
  if (radii.size() < static_cast<std::size_t>(minOutlineStations) ||
      radii.size() > static_cast<std::size_t>(maxOutlineStations)) {
    throw settingFault(setting, "must hold " + std::to_string(minOutlineStations) + " to " +
                                    std::to_string(maxOutlineStations) + " stations, not " +
                                    std::to_string(radii.size()));
  }
  if (!(radii.front() > 0.0)) throw settingFault(setting, "the first radius must be greater than 0");
  for (std::size_t i = 1; i < radii.size(); ++i) {
    if (!(radii[i] > radii[i - 1])) {
      throw settingFault(setting, "must rise from root to tip: " + stationText(i) + " is not above " +
                                      stationText(i - 1));
    }
  }
  if (radii.back() != 1.0) throw settingFault(setting, "the last radius must be 1.0 (the tip)");
  // The clearances a, c, a' and c' are read at 0.7R, inside the table.
  if (radii.front() > 0.7) throw settingFault(setting, "the first radius must not lie above 0.7");
}

void requireChords(const Setting& setting, const std::vector<double>& chords) {
  for (std::size_t i = 0; i < chords.size(); ++i) {
    if (chords[i] < 0.0) throw settingFault(setting, stationText(i) + " is negative");
    if (chords[i] == 0.0 && i + 1 < chords.size()) {
      throw settingFault(setting, stationText(i) + " is 0; only the tip may have no chord");
    }
  }
}

void requireSkews(const Setting& setting, const std::vector<double>& skews) {
  for (std::size_t i = 0; i < skews.size(); ++i) {
    if (std::abs(skews[i]) > maxSkewDegrees) {
      throw settingFault(setting, stationText(i) + " must lie within -90 to 90 degrees");
    }
  }
}

void requirePitches(const Setting& setting, const std::vector<double>& pitches) {
  for (std::size_t i = 0; i < pitches.size(); ++i) {
    if (!(pitches[i] > 0.0)) throw settingFault(setting, stationText(i) + " must be greater than 0");
  }
}

int propellerBladeCountOf(const Setting& setting) {
  const std::string rule = "must be a whole number from " + std::to_string(minPropellerBlades) +
                           " to " + std::to_string(maxPropellerBlades);
  return settingWholeNumberIn(setting, minPropellerBlades, maxPropellerBlades, rule, rule);
}

double hubLengthOf(const Setting& setting) {
  const std::optional<double> value = tomlNumberOf(*setting.node);
  if (!value) throw settingFault(setting, "must be a number of metres");
  if (!(std::isfinite(*value) && *value > 0.0)) throw settingFault(setting, "must be greater than 0");
  return *value;
}

RunError missingFromPropellerFile(const SettingsLayer& layer, const std::string& what) {
  return RunError(ErrorKind::Input, what, ErrorLocation{layer.origin});
}

class PropellerReader {
 public:
  explicit PropellerReader(const SettingsLayer& layer) : layer_(layer) {
    table_.sourceName = layer.origin;
  }

  PropellerTable read() {
    for (const auto& [key, node] : layer_.table) {
      readTopLevel(Setting{"", std::string(key.str()), &node, &layer_});
    }
    if (table_.bladeCountLine == 0) {
      throw missingFromPropellerFile(layer_, "blades is missing: the number of blades, " +
                                std::to_string(minPropellerBlades) + " to " +
                                std::to_string(maxPropellerBlades));
    }
    if (!sawOutline_) {
      throw missingFromPropellerFile(layer_, "[outline] is missing: the blade's stations r_over_R, chord_over_D, "
                            "leading_edge_over_chord and skew_deg");
    }
    return table_;
  }

 private:
  void readTopLevel(const Setting& setting) {
    if (setting.key == "blades") {
      table_.bladeCount = propellerBladeCountOf(setting);
      table_.bladeCountLine = static_cast<long>(setting.node->source().begin.line);
      if (table_.bladeCountLine == 0) table_.bladeCountLine = 1;
    } else if (setting.key == "hub_length") {
      table_.hubLengthMetres = hubLengthOf(setting);
    } else if (setting.key == outlineTable) {
      const auto* outline = setting.node->as_table();
      if (outline == nullptr) {
        throw settingFault(setting, "must be a table: [outline] with r_over_R = [...] and so on");
      }
      readOutline(setting, *outline);
    } else {
      throw settingFault(setting, std::string("unknown key; known keys: ") + knownTopKeys);
    }
  }

  void readOutline(const Setting& tableSetting, const toml::table& outline) {
    sawOutline_ = true;
    std::array<std::optional<Setting>, columnKeys.size()> settings;
    for (const auto& [key, node] : outline) {
      const Setting setting{outlineTable, std::string(key.str()), &node, &layer_};
      std::size_t k = 0;
      while (k < columnKeys.size() && setting.key != columnKeys[k].key) ++k;
      if (k == columnKeys.size()) {
        throw settingFault(setting, std::string("unknown key; known keys: ") + knownOutlineKeys);
      }
      settings[k] = setting;
    }
    for (std::size_t k = 0; k < columnKeys.size(); ++k) {
      if (settings[k] || !columnKeys[k].required) continue;
      throw faultAt(tableSetting, std::string("[outline] ") + columnKeys[k].key +
                                      " is missing: every station needs its r_over_R, "
                                      "chord_over_D, leading_edge_over_chord and skew_deg");
    }
    std::size_t stations = 0;
    for (std::size_t k = 0; k < columnKeys.size(); ++k) {
      if (!settings[k]) continue;
      std::vector<double> values = numbersOf(*settings[k]);
      if (k == 0) stations = values.size();
      readColumn(columnKeys[k].column, *settings[k], std::move(values), stations);
    }
  }

  void readColumn(Column column, const Setting& setting, std::vector<double> values,
                  std::size_t stations) {
    if (column == Column::Radius) {
      requireRadii(setting, values);
    } else if (values.size() != stations) {
      throw settingFault(setting, "has " + std::to_string(values.size()) +
                                      " stations, but r_over_R has " + std::to_string(stations));
    }
    switch (column) {
      case Column::Radius: table_.radiusRatio = std::move(values); break;
      case Column::Chord:
        requireChords(setting, values);
        table_.chordPerDiameter = std::move(values);
        break;
      case Column::Edge: table_.edge2PerChord = std::move(values); break;
      case Column::Skew:
        requireSkews(setting, values);
        table_.skewDegrees = std::move(values);
        break;
      case Column::Pitch:
        requirePitches(setting, values);
        table_.pitchRatio = std::move(values);
        break;
      case Column::Rake: table_.rakePerDiameter = std::move(values); break;
    }
  }

  const SettingsLayer& layer_;
  PropellerTable table_;
  bool sawOutline_ = false;
};

}  // namespace

std::filesystem::path propellerFileBeside(const std::filesystem::path& designFile) {
  std::filesystem::path file = designFile;
  return file.replace_extension(propellerFileExtension);
}

std::optional<std::filesystem::path> findPropellerFile(const std::filesystem::path& designFile) {
  // As the ship file: a link that leads nowhere is reported by the reader,
  // not taken for "no propeller file".
  const std::filesystem::path file = propellerFileBeside(designFile);
  if (os::entryAt(file) == os::Entry::Missing) return std::nullopt;
  return file;
}

PropellerTable readPropellerTable(const std::filesystem::path& file) {
  const SettingsLayer layer = parseSettingsFile(file, propellerFileKind);
  return PropellerReader(layer).read();
}

std::optional<PropellerTable> propellerTableFor(const std::filesystem::path& designFile,
                                                const std::optional<std::filesystem::path>& named) {
  const std::optional<std::filesystem::path> file = named ? named : findPropellerFile(designFile);
  if (file) return readPropellerTable(*file);
  return std::nullopt;
}

PropellerTable readPropellerTableText(std::string text, const std::string& displayName) {
  const SettingsLayer layer = parseShipText(std::move(text), displayName);
  return PropellerReader(layer).read();
}

void agreeOnBladeCount(const PropellerTable& propeller, ShipParticulars& ship) {
  ship.outlineBladeCount = propeller.bladeCount;
  if (!ship.bladeCount) {
    ship.bladeCount = propeller.bladeCount;
    return;
  }
  if (*ship.bladeCount == propeller.bladeCount) return;
  throw RunError(ErrorKind::Input,
                 "blades = " + std::to_string(propeller.bladeCount) +
                     ": must agree with the ship file's blades = " +
                     std::to_string(*ship.bladeCount) + " (" + ship.sourceName + ")",
                 ErrorLocation{propeller.sourceName, propeller.bladeCountLine});
}

}  // namespace propclear
