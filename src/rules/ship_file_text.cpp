#include "rules/ship_file_text.h"

#include <cstdio>
#include <vector>

#include "common/run_error.h"

namespace propclear {

namespace {

struct Line {
  std::string_view text;  // without its line end
  std::string_view end;   // "\n", "\r\n" or nothing on the last line
};

std::vector<Line> linesWithEnds(std::string_view text) {
  std::vector<Line> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) {
      lines.push_back({text, {}});
      break;
    }
    const bool crlf = end > 0 && text[end - 1] == '\r';
    lines.push_back({text.substr(0, crlf ? end - 1 : end), text.substr(crlf ? end - 1 : end, crlf ? 2 : 1)});
    text.remove_prefix(end + 1);
  }
  return lines;
}

std::size_t skipBlanks(std::string_view line, std::size_t at) {
  while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
  return at;
}

// Where the key of a "key = value" line ends, when the line sets `key`
// (bare or quoted); npos otherwise.
std::size_t afterKey(std::string_view line, std::string_view key) {
  const std::size_t start = skipBlanks(line, 0);
  for (const std::string_view quote : {"", "\"", "'"}) {
    const std::string written = std::string(quote) + std::string(key) + std::string(quote);
    if (line.substr(start, written.size()) != written) continue;
    const std::size_t at = skipBlanks(line, start + written.size());
    if (at < line.size() && line[at] == '=') return at + 1;
  }
  return std::string_view::npos;
}

// The end of the value that starts at `at`: after its closing quote or
// bracket, else before a comment or trailing blanks. npos when a string or
// an array is not closed on the line.
std::size_t valueEnd(std::string_view line, std::size_t at) {
  if (at < line.size() && (line[at] == '"' || line[at] == '\'' || line[at] == '[')) {
    const char open = line[at];
    int depth = 0;
    char inString = 0;
    for (std::size_t i = at; i < line.size(); ++i) {
      const char c = line[i];
      if (inString != 0) {
        if (c == '\\' && inString == '"') {
          ++i;
        } else if (c == inString) {
          inString = 0;
          if (open != '[') return i + 1;
        }
      } else if (c == '"' || c == '\'') {
        inString = c;
      } else if (c == '[') {
        ++depth;
      } else if (c == ']' && --depth == 0) {
        return i + 1;
      }
    }
    return std::string_view::npos;
  }
  std::size_t end = line.find('#', at);
  if (end == std::string_view::npos) end = line.size();
  while (end > at && (line[end - 1] == ' ' || line[end - 1] == '\t')) --end;
  return end;
}

bool isTableHeader(std::string_view line) {
  const std::size_t at = skipBlanks(line, 0);
  return at < line.size() && line[at] == '[';
}

bool isSetting(std::string_view line) {
  const std::size_t at = skipBlanks(line, 0);
  return at < line.size() && line[at] != '#' && line.find('=') != std::string_view::npos;
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

std::string setShipFileValue(std::string_view text, const std::string& displayName,
                             std::string_view key, std::string_view tomlValue) {
  const std::vector<Line> lines = linesWithEnds(text);
  const std::string_view lineEnd = !lines.empty() && lines.front().end == "\r\n" ? "\r\n" : "\n";
  std::size_t insertAfter = 0;  // lines before the new setting, when the key is new
  std::size_t found = lines.size();
  for (std::size_t i = 0; i < lines.size() && !isTableHeader(lines[i].text); ++i) {
    if (isSetting(lines[i].text)) insertAfter = i + 1;
    if (afterKey(lines[i].text, key) != std::string_view::npos) found = i;
  }
  std::string result;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = lines[i].text;
    if (i == found) {
      const std::size_t start = skipBlanks(line, afterKey(line, key));
      const std::size_t end = valueEnd(line, start);
      if (end == std::string_view::npos) {
        throw RunError(ErrorKind::Input,
                       "cannot change " + std::string(key) + ": its value runs over several lines",
                       ErrorLocation{displayName, static_cast<long>(i + 1)});
      }
      result.append(line.substr(0, start)).append(tomlValue).append(line.substr(end));
    } else {
      result.append(line);
    }
    if (i + 1 == insertAfter && found == lines.size()) {
      result.append(lines[i].end.empty() ? lineEnd : lines[i].end);
      result.append(key).append(" = ").append(tomlValue);
      if (!lines[i].end.empty()) result.append(lineEnd);
      continue;
    }
    result.append(lines[i].end);
  }
  if (insertAfter == 0 && found == lines.size()) {
    std::string head = std::string(key) + " = " + std::string(tomlValue) + std::string(lineEnd);
    result.insert(0, head);
  }
  return result;
}

}  // namespace propclear
