#include "design/value_line_counts.h"

#include <array>
#include <string_view>
#include <vector>

#include "common/run_error.h"
#include "design/design_data.h"
#include "design/text_file_cursor.h"

namespace propclear {

namespace {

// A value line of the layout and the fields it holds.
struct ValueLine {
  long line;
  std::vector<std::string_view> fields;
};

constexpr long firstContourLine = 30;
const std::array<std::string_view, 3> contourFields = {"height", "x", "code"};

std::vector<ValueLine> headerValueLines() {
  std::vector<ValueLine> lines = {
      {13, {"propeller centre x", "propeller centre z"}},
      {15, {"waterline height"}},
      {17, {"propeller diameter", "hub diameter"}},
      {20, {"pitch ratio", "area ratio", "rake angle"}},
  };
  for (long corner = 1; corner <= rudderCornerCount; ++corner) {
    lines.push_back({23 + corner, {"rudder point x", "rudder point z"}});
  }
  return lines;
}

std::vector<std::string_view> fieldsOfLine(long line) {
  if (line >= firstContourLine) return {contourFields.begin(), contourFields.end()};
  for (const ValueLine& value : headerValueLines()) {
    if (value.line == line) return value.fields;
  }
  return {};
}

// One line as read: how many numbers (runs between blanks and commas that
// start like a number) it holds, and its first characters for the message.
struct LineText {
  int numbers = 0;
  std::string shown;
};

constexpr std::size_t shownLength = 60;

LineText readLine(TextFileCursor& cursor) {
  LineText text;
  bool inNumber = false;
  while (cursor.peek() != TextFileCursor::endOfFile && !cursor.atLineEnd()) {
    const char c = static_cast<char>(cursor.peek());
    const bool separator = c == ' ' || c == '\t' || c == ',';
    const bool startsNumber = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
    if (!separator && !inNumber && startsNumber) ++text.numbers;
    inNumber = !separator;
    if (text.shown.size() < shownLength) text.shown += c;
    cursor.advance();
  }
  if (cursor.atLineEnd()) cursor.consumeLineEnd();
  return text;
}

std::string fieldList(const std::vector<std::string_view>& fields) {
  std::string list;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) list += i + 1 == fields.size() ? " and " : ", ";
    list += fields[i];
  }
  return list;
}

std::string countText(int count, const char* what) {
  return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

}  // namespace

namespace {

std::string hintOf(TextFileCursor& cursor, long faultLine) {
  while (cursor.line() < faultLine && cursor.peek() != TextFileCursor::endOfFile) {
    const long line = cursor.line();
    const LineText text = readLine(cursor);
    const std::vector<std::string_view> fields = fieldsOfLine(line);
    if (fields.empty() || text.numbers == static_cast<int>(fields.size())) continue;
    // Blank lines among the contour's are passed over like the stream does.
    if (line >= firstContourLine && text.numbers == 0) continue;
    const bool tooMany = text.numbers > static_cast<int>(fields.size());
    return " (line " + std::to_string(line) + " holds " + countText(text.numbers, "number") +
           " for its " + countText(static_cast<int>(fields.size()), "field") + ", " +
           fieldList(fields) + ": \"" + text.shown + "\"; " +
           (tooMany ? "a decimal comma or a missing separator" : "a missing value") +
           " is the usual cause)";
  }
  return "";
}

}  // namespace

std::string valueLineCountHint(const std::filesystem::path& path, long faultLine) {
  try {
    TextFileCursor cursor(path, path.filename().string());
    return hintOf(cursor, faultLine);
  } catch (const RunError&) {
    // The hint is a courtesy: a file that cannot be read again has none.
  }
  return "";
}

std::string valueLineCountHint(std::string_view text, long faultLine) {
  TextFileCursor cursor(text, "");
  return hintOf(cursor, faultLine);
}

}  // namespace propclear
