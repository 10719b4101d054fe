#pragma once
// The ship file and the command-line overrides as one set of TOML settings:
// the file first, then each --ship-set KEY=VALUE and --rules NAME[,NAME] in
// the order given, a later value replacing an earlier one key by key (inside
// [custom_minima] and [drawing] too). Every setting remembers where it was written, so that
// a fault can name the file, the line, the key and the value as written.
// Only the reader of the ship's particulars uses this.

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <toml++/toml.h>

#include "common/run_error.h"
#include "rules/stern_arrangement.h"

namespace propclear {

// One source of settings: the ship file or one command-line option.
struct SettingsLayer {
  std::string origin;     // the file's name, or the option as given: "--ship-set power=0"
  bool fromFile = false;  // a fault names a line, and is an input fault rather than a usage fault
  std::string text;       // the TOML text parsed
  toml::table table;
};

// One key's value as it stands after the overrides.
struct Setting {
  std::string table;  // "" at the top level, else the table it belongs to: "custom_minima"
  std::string key;
  const toml::node* node = nullptr;
  const SettingsLayer* layer = nullptr;
};

// The settings' keys in order of writing: layer by layer, then line by line.
struct MergedSettings {
  std::vector<Setting> topLevel;
  std::vector<Setting> customMinima;  // the entries of every [custom_minima] table
  std::vector<Setting> drawing;       // the entries of every [drawing] table
};

// The file's settings. A file that is missing, not a regular file, too large,
// unreadable or not valid TOML is an input fault naming the file (and the
// line and column for TOML faults).
SettingsLayer parseShipFile(const std::filesystem::path& path);
// The same for any settings file, named `fileKind` ("propeller file", "rule
// file") in messages.
SettingsLayer parseSettingsFile(const std::filesystem::path& path, const std::string& fileKind);
// A ship file's text, named `displayName` in messages, as parseShipFile reads
// the file.
SettingsLayer parseShipText(std::string text, std::string displayName);
// One --ship-set KEY=VALUE: VALUE is read as a TOML value; text that is not
// one (skew=high) is taken as a text. A usage fault when there is no KEY.
SettingsLayer parseSettingOption(const std::string& setting);
// --rules NAME[,NAME] as the setting rule_sets = ["NAME", ...].
SettingsLayer parseRuleSetsOption(const std::string& list);

// The layers' settings, later layers replacing earlier ones key by key. The
// layers must outlive the result.
MergedSettings mergeSettings(const std::deque<SettingsLayer>& layers);

// "key" at the top level, "[table] key" inside a table.
std::string displayKey(const Setting& setting);
// The value as written ("1.30", "\"high\"", "[\"custom\"]").
std::string valueText(const Setting& setting);
// A fault at the setting's place: "<file>:<line>: <key> = <value>: <rule>".
RunError settingFault(const Setting& setting, const std::string& rule);
// A fault at the setting's place with a message of its own.
RunError faultAt(const Setting& setting, const std::string& message);

// The checks every settings file's reader makes of one value: a fault names
// the setting and states `rule` (or the range's).

// The setting's text, or a fault stating `rule`.
const std::string& settingTextOf(const Setting& setting, const std::string& rule);
// The texts of a list, none of them empty: `listRule` when it is not such a
// list, `emptyRule` when it is empty; with `eachOnceWhat` ("rule set"), a
// text given twice is a fault too: "rule set \"x\" is named twice".
std::vector<std::string> settingTextsOf(const Setting& setting, const std::string& listRule,
                                        const std::string& emptyRule,
                                        const std::string& eachOnceWhat = {});

// The node's number, an integer taken as one too, finite or not; none for
// any other value.
std::optional<double> tomlNumberOf(const toml::node& node);
// The setting's value as a finite number (an integer is taken as one too), or
// a fault naming it.
double finiteNumberOf(const Setting& setting);

// The numbers a setting may take: from `lowest` (excluded when
// `lowestExcluded`) up to `highest`, and what a fault states otherwise.
struct SettingRange {
  double lowest;
  bool lowestExcluded;
  double highest;
  const char* rule;
};
bool liesIn(double value, const SettingRange& range);
// The setting's finite number within `range`, or a fault.
double settingNumberIn(const Setting& setting, const SettingRange& range);
// The setting's whole number from `lowest` to `highest`: `notWholeRule`
// when it is no whole number, `outsideRule` when it lies outside.
int settingWholeNumberIn(const Setting& setting, int lowest, int highest,
                         const std::string& notWholeRule, const std::string& outsideRule);
// The setting's skew, "none" or "high", or a fault naming it.
PropellerSkew skewSettingOf(const Setting& setting);

}  // namespace propclear
