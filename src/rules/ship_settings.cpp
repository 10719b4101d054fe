#include "rules/ship_settings.h"

#include <algorithm>
#include <cmath>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <system_error>

#include "common/operating_system.h"
#include "common/trimmed_blanks.h"
#include "design/read_design_data.h"
#include "rules/ship_file_limits.h"
#include "rules/ship_file_text.h"

namespace propclear {

namespace {

constexpr const char* customMinimaTable = "custom_minima";
constexpr const char* drawingTable = "drawing";

ErrorKind kindOf(const SettingsLayer& layer) {
  return layer.fromFile ? ErrorKind::Input : ErrorKind::Usage;
}

// `fileKind` names the file in messages: "ship file", "rule file".
[[noreturn]] void throwFileFault(const std::string& fileKind, const std::string& displayName,
                                 const std::string& reason) {
  throw RunError(ErrorKind::Input, "cannot read the " + fileKind + ": " + reason,
                 ErrorLocation{displayName});
}

std::string systemReason(int error) { return error != 0 ? std::strerror(error) : "unknown error"; }

// Only a regular file on a disk is read, and no more of it than a ship
// file's limit: a pipe, a device or a file of the kernel would be read for
// ever or wait, and a huge file is no ship file.
std::string readWholeFile(const std::filesystem::path& path, const std::string& fileKind,
                          const std::string& displayName) {
  const os::FileForReading opened = os::openRegularFileForReading(path);
  if (opened.refusal != nullptr) throwFileFault(fileKind, displayName, opened.refusal);
  if (opened.error == std::errc::is_a_directory) throwFileFault(fileKind, displayName, "it is a folder");
  if (opened.error && os::entryAt(path) == os::Entry::Link) {
    std::error_code ignored;
    throwFileFault(fileKind, displayName, "it is a link to \"" +
                                    std::filesystem::read_symlink(path, ignored).string() +
                                    "\", which leads to no file (" + opened.error.message() + ")");
  }
  if (opened.error) throwFileFault(fileKind, displayName, opened.error.message());
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  const std::unique_ptr<std::FILE, FileCloser> file(opened.stream);
  std::string text;
  char buffer[4096];
  std::size_t count = 0;
  errno = 0;
  while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    text.append(buffer, count);
    if (text.size() > maxShipFileBytes) {
      throwFileFault(fileKind, displayName, "it is longer than a " + fileKind + "'s limit of " +
                                                std::to_string(maxShipFileBytes) + " bytes");
    }
  }
  if (std::ferror(file.get())) throwFileFault(fileKind, displayName, systemReason(errno));
  return text;
}

// The parser sees only text within a ship file's size and nesting.
void requireLimitsKept(const SettingsLayer& layer) {
  const std::optional<LimitBroken> broken = shipTextLimitBroken(layer.text);
  if (!broken) return;
  ErrorLocation where{layer.origin};
  if (layer.fromFile) where.line = broken->line;
  const std::string prefix = layer.fromFile ? "cannot read the ship file: " : "";
  throw RunError(kindOf(layer), prefix + broken->rule, where);
}

// Parses `layer.text` into `layer.table`. A fault in the file names its
// line and column; one in an option names the option only, whose text the
// user wrote differently from the TOML parsed.
void parseLayer(SettingsLayer& layer, const std::string& faultPrefix) {
  requireLimitsKept(layer);
  try {
    layer.table = toml::parse(std::string_view(layer.text), std::string_view(layer.origin));
  } catch (const toml::parse_error& error) {
    ErrorLocation where{layer.origin};
    if (layer.fromFile) {
      where.line = static_cast<long>(error.source().begin.line);
      where.column = static_cast<long>(error.source().begin.column);
    }
    throw RunError(kindOf(layer), faultPrefix + std::string(error.description()), where);
  }
}

bool parses(SettingsLayer& layer) {
  if (shipTextLimitBroken(layer.text)) return false;
  try {
    layer.table = toml::parse(std::string_view(layer.text), std::string_view(layer.origin));
    return true;
  } catch (const toml::parse_error&) {
    return false;
  }
}

// Line `line` (1-based) of `text`, without its line end.
std::string_view lineOf(std::string_view text, std::size_t line) {
  std::size_t start = 0;
  for (std::size_t n = 1; n < line; ++n) {
    start = text.find('\n', start);
    if (start == std::string_view::npos) return {};
    ++start;
  }
  std::string_view rest = text.substr(start);
  rest = rest.substr(0, rest.find('\n'));
  if (!rest.empty() && rest.back() == '\r') rest.remove_suffix(1);
  return rest;
}

// The byte offset of 1-based column `column`, counted in characters of UTF-8.
std::size_t byteOffsetOfColumn(std::string_view line, std::size_t column) {
  std::size_t characters = 1;
  for (std::size_t offset = 0; offset < line.size(); ++offset) {
    const bool continuation = (static_cast<unsigned char>(line[offset]) & 0xC0) == 0x80;
    if (continuation) continue;
    if (characters == column) return offset;
    ++characters;
  }
  return line.size();
}

// The value as the TOML library writes it, for a value spread over lines.
std::string printedValue(const toml::node& node) {
  std::ostringstream out;
  node.visit([&out](const auto& value) { out << value; });
  return out.str();
}

using KeyedSettings = std::map<std::string, std::pair<std::size_t, Setting>>;

void put(KeyedSettings& settings, std::size_t layerIndex, Setting setting) {
  const std::string key = setting.key;
  settings.insert_or_assign(key, std::make_pair(layerIndex, std::move(setting)));
}

// The settings in order of writing: layer by layer, line by line.
std::vector<Setting> inWritingOrder(const KeyedSettings& keyed) {
  std::vector<std::pair<std::size_t, Setting>> ordered;
  for (const auto& [key, entry] : keyed) ordered.push_back(entry);
  std::stable_sort(ordered.begin(), ordered.end(), [](const auto& x, const auto& y) {
    const toml::source_position& px = x.second.node->source().begin;
    const toml::source_position& py = y.second.node->source().begin;
    if (x.first != y.first) return x.first < y.first;
    if (px.line != py.line) return px.line < py.line;
    return px.column < py.column;
  });
  std::vector<Setting> settings;
  for (auto& entry : ordered) settings.push_back(std::move(entry.second));
  return settings;
}

}  // namespace

SettingsLayer parseShipFile(const std::filesystem::path& path) {
  return parseSettingsFile(path, "ship file");
}

SettingsLayer parseSettingsFile(const std::filesystem::path& path, const std::string& fileKind) {
  SettingsLayer layer;
  layer.origin = displayNameOf(path);
  layer.fromFile = true;
  layer.text = readWholeFile(path, fileKind, layer.origin);
  parseLayer(layer, "not valid TOML: ");
  return layer;
}

SettingsLayer parseShipText(std::string text, std::string displayName) {
  SettingsLayer layer;
  layer.origin = std::move(displayName);
  layer.fromFile = true;
  layer.text = std::move(text);
  parseLayer(layer, "not valid TOML: ");
  return layer;
}

SettingsLayer parseSettingOption(const std::string& setting) {
  SettingsLayer layer;
  layer.origin = "--ship-set " + setting;
  if (setting.find_first_of("\r\n") != std::string::npos) {
    throw RunError(ErrorKind::Usage,
                   "a line end in the setting; --ship-set sets one key to one value on one line",
                   ErrorLocation{layer.origin});
  }
  const std::size_t equals = setting.find('=');
  const std::string_view key =
      trimmedBlanks(std::string_view(setting).substr(0, std::min(equals, setting.size())));
  if (equals == std::string::npos || key.empty()) {
    throw RunError(ErrorKind::Usage, "expected KEY=VALUE, e.g. --ship-set power=6500",
                   ErrorLocation{layer.origin});
  }
  const std::string_view value = trimmedBlanks(std::string_view(setting).substr(equals + 1));
  layer.text = std::string(key) + " = " + std::string(value);
  if (parses(layer)) return layer;
  const std::string asWritten = layer.text;
  layer.text = std::string(key) + " = " + quotedTomlString(value);
  if (parses(layer)) return layer;
  layer.text = asWritten;
  parseLayer(layer, "not a TOML key and value: ");
  return layer;
}

SettingsLayer parseRuleSetsOption(const std::string& list) {
  SettingsLayer layer;
  layer.origin = "--rules " + list;
  std::string names;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = std::min(list.find(',', start), list.size());
    const std::string_view name = trimmedBlanks(std::string_view(list).substr(start, comma - start));
    if (name.empty()) {
      throw RunError(ErrorKind::Usage, "an empty rule set name; expected NAME[,NAME]",
                     ErrorLocation{layer.origin});
    }
    names += (names.empty() ? "" : ", ") + quotedTomlString(name);
    if (comma == list.size()) break;
    start = comma + 1;
  }
  layer.text = "rule_sets = [" + names + "]";
  parseLayer(layer, "not a list of rule set names: ");
  return layer;
}

MergedSettings mergeSettings(const std::deque<SettingsLayer>& layers) {
  KeyedSettings topLevel;
  KeyedSettings minima;
  KeyedSettings drawing;
  for (std::size_t index = 0; index < layers.size(); ++index) {
    const SettingsLayer& layer = layers[index];
    for (const auto& [key, node] : layer.table) {
      put(topLevel, index, Setting{"", std::string(key.str()), &node, &layer});
      if (!node.is_table()) continue;
      const bool isMinima = key.str() == customMinimaTable;
      if (!isMinima && key.str() != drawingTable) continue;
      for (const auto& [entryKey, entry] : *node.as_table()) {
        put(isMinima ? minima : drawing, index,
            Setting{isMinima ? customMinimaTable : drawingTable, std::string(entryKey.str()), &entry,
                    &layer});
      }
    }
  }
  return MergedSettings{inWritingOrder(topLevel), inWritingOrder(minima), inWritingOrder(drawing)};
}

std::string displayKey(const Setting& setting) {
  return setting.table.empty() ? setting.key : "[" + setting.table + "] " + setting.key;
}

std::string valueText(const Setting& setting) {
  const toml::node& node = *setting.node;
  if (node.is_table() && !node.as_table()->is_inline()) return "a [" + setting.key + "] table";
  const toml::source_region& region = node.source();
  if (region.begin.line == 0 || region.begin.line != region.end.line) return printedValue(node);
  const std::string_view line = lineOf(setting.layer->text, region.begin.line);
  const std::size_t begin = byteOffsetOfColumn(line, region.begin.column);
  const std::size_t end = byteOffsetOfColumn(line, region.end.column);
  if (end <= begin) return printedValue(node);
  return std::string(line.substr(begin, end - begin));
}

RunError settingFault(const Setting& setting, const std::string& rule) {
  return faultAt(setting, displayKey(setting) + " = " + valueText(setting) + ": " + rule);
}

RunError faultAt(const Setting& setting, const std::string& message) {
  const SettingsLayer& layer = *setting.layer;
  ErrorLocation where{layer.origin};
  if (layer.fromFile) where.line = static_cast<long>(setting.node->source().begin.line);
  return RunError(kindOf(layer), message, where);
}

const std::string& settingTextOf(const Setting& setting, const std::string& rule) {
  const auto* text = setting.node->as_string();
  if (text == nullptr) throw settingFault(setting, rule);
  return text->get();
}

std::vector<std::string> settingTextsOf(const Setting& setting, const std::string& listRule,
                                        const std::string& emptyRule,
                                        const std::string& eachOnceWhat) {
  const auto* list = setting.node->as_array();
  if (list == nullptr) throw settingFault(setting, listRule);
  if (list->empty()) throw settingFault(setting, emptyRule);
  std::vector<std::string> texts;
  for (const toml::node& element : *list) {
    const auto* text = element.as_string();
    if (text == nullptr || text->get().empty()) throw settingFault(setting, listRule);
    if (!eachOnceWhat.empty() &&
        std::find(texts.begin(), texts.end(), text->get()) != texts.end()) {
      throw settingFault(setting, eachOnceWhat + " \"" + text->get() + "\" is named twice");
    }
    texts.push_back(text->get());
  }
  return texts;
}

std::optional<double> tomlNumberOf(const toml::node& node) {
  if (const auto* integer = node.as_integer()) return static_cast<double>(integer->get());
  if (const auto* floating = node.as_floating_point()) return floating->get();
  return std::nullopt;
}

double finiteNumberOf(const Setting& setting) {
  const std::optional<double> value = tomlNumberOf(*setting.node);
  if (!value) throw settingFault(setting, "must be a number");
  if (!std::isfinite(*value)) throw settingFault(setting, "must be a finite number");
  return *value;
}

bool liesIn(double value, const SettingRange& range) {
  const bool aboveLowest = range.lowestExcluded ? value > range.lowest : value >= range.lowest;
  return aboveLowest && value <= range.highest;
}

double settingNumberIn(const Setting& setting, const SettingRange& range) {
  const double value = finiteNumberOf(setting);
  if (!liesIn(value, range)) throw settingFault(setting, range.rule);
  return value;
}

int settingWholeNumberIn(const Setting& setting, int lowest, int highest,
                         const std::string& notWholeRule, const std::string& outsideRule) {
  const auto* integer = setting.node->as_integer();
  if (integer == nullptr) throw settingFault(setting, notWholeRule);
  if (integer->get() < lowest || integer->get() > highest) throw settingFault(setting, outsideRule);
  return static_cast<int>(integer->get());
}

PropellerSkew skewSettingOf(const Setting& setting) {
  const auto* text = setting.node->as_string();
  if (text != nullptr && text->get() == "none") return PropellerSkew::None;
  if (text != nullptr && text->get() == "high") return PropellerSkew::High;
  throw settingFault(setting, "must be \"none\" or \"high\"");
}

}  // namespace propclear
