#include "rules/ship_file_text.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>

#include "common/run_error.h"
#include "rules/ship_settings.h"

namespace propclear {

namespace {

// The byte offset of a parser position: lines count from 1, columns from 1
// in code points (a UTF-8 continuation byte starts no column).
std::size_t offsetOf(std::string_view text, const toml::source_position& position) {
  std::size_t at = 0;
  for (toml::source_index line = 1; line < position.line && at < text.size(); ++line) {
    const std::size_t end = text.find('\n', at);
    at = end == std::string_view::npos ? text.size() : end + 1;
  }
  for (toml::source_index column = 1; column < position.column && at < text.size(); ++column) {
    ++at;
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
  }
  return at;
}

// A "key = value" of the top level, not a [table] or [[array]] of its own.
bool isTopLevelSetting(const toml::node& node) {
  if (const toml::table* table = node.as_table()) return table->is_inline();
  return !node.is_array_of_tables();
}

// Where the line holding `offset` ends, after its line end; and that line end.
std::pair<std::size_t, std::string_view> lineEndAfter(std::string_view text, std::size_t offset) {
  const std::size_t newline = text.find('\n', offset);
  if (newline == std::string_view::npos) return {text.size(), {}};
  const bool crlf = newline > 0 && text[newline - 1] == '\r';
  return {newline + 1, text.substr(crlf ? newline - 1 : newline, crlf ? 2 : 1)};
}

std::string_view shipFileLineEnd(std::string_view text) {
  const std::size_t newline = text.find('\n');
  return newline != std::string_view::npos && newline > 0 && text[newline - 1] == '\r' ? "\r\n"
                                                                                       : "\n";
}

}  // namespace

std::string quotedTomlString(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (byte < 0x20 || byte == 0x7f) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(byte));
      quoted += escape;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

// The parser tells where each value is written, so that text which only
// looks like a setting (inside a multi-line string, say) is never touched.
std::string setShipFileValue(std::string_view text, const std::string& displayName,
                             std::string_view key, std::string_view tomlValue) {
  const SettingsLayer parsed = parseShipText(std::string(text), displayName);
  std::string result(text);
  if (const toml::node* node = parsed.table.get(key); node != nullptr && isTopLevelSetting(*node)) {
    const std::size_t begin = offsetOf(text, node->source().begin);
    const std::size_t end = offsetOf(text, node->source().end);
    return result.replace(begin, end - begin, tomlValue);
  }
  // A new key: after the line where the last top-level setting ends.
  std::optional<std::size_t> lastSettingEnd;
  for (const auto& [name, value] : parsed.table) {
    if (!isTopLevelSetting(value)) continue;
    const std::size_t end = offsetOf(text, value.source().end);
    lastSettingEnd = std::max(lastSettingEnd.value_or(0), end);
  }
  const std::string line = std::string(key) + " = " + std::string(tomlValue);
  if (!lastSettingEnd) return result.insert(0, line + std::string(shipFileLineEnd(text)));
  const auto [after, lineEnd] = lineEndAfter(text, *lastSettingEnd);
  if (lineEnd.empty()) return result.insert(after, std::string(shipFileLineEnd(text)) + line);
  return result.insert(after, line + std::string(lineEnd));
}

std::string setTableFileValue(std::string_view text, const std::string& displayName,
                              std::string_view table, std::string_view key,
                              std::optional<std::size_t> element, std::string_view tomlValue) {
  const SettingsLayer parsed = parseShipText(std::string(text), displayName);
  const toml::node* node = parsed.table[table][key].node();
  if (node != nullptr && element) {
    const toml::array* array = node->as_array();
    node = array != nullptr ? array->get(*element) : nullptr;
  }
  if (node == nullptr) {
    const std::string where = element ? " has no station " + std::to_string(*element + 1) : " is missing";
    throw RunError(ErrorKind::Input, "[" + std::string(table) + "] " + std::string(key) + where,
                   ErrorLocation{displayName});
  }
  const std::size_t begin = offsetOf(text, node->source().begin);
  const std::size_t end = offsetOf(text, node->source().end);
  return std::string(text).replace(begin, end - begin, tomlValue);
}

}  // namespace propclear
