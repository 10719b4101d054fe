#include "dxf/dxf_group_reader.h"

#include <charconv>

#include "design/decimal_number.h"

namespace propclear {

namespace {

// The first bytes of a binary DXF file.
constexpr std::string_view binarySentinel = "AutoCAD Binary DXF";
// The byte order mark some programs write before UTF-8 text.
constexpr std::string_view utf8Mark = "\xEF\xBB\xBF";

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string quoted(std::string_view text) {
  constexpr std::size_t shown = 40;
  // Appended piece by piece: g++ 12 warns falsely (-Wrestrict) of an
  // overlapping copy in operator+(const char*, string&&) when inlined.
  std::string quotedText(1, '"');
  quotedText.append(text.substr(0, shown)).append(text.size() > shown ? "...\"" : "\"");
  return quotedText;
}

}  // namespace

DxfGroupReader::DxfGroupReader(std::string_view text, std::string displayName)
    : text_(text), displayName_(std::move(displayName)) {
  if (text_.substr(0, binarySentinel.size()) == binarySentinel) {
    fail(1, "a binary DXF file, which is not read: save the drawing as an ASCII DXF");
  }
  if (text_.substr(0, utf8Mark.size()) == utf8Mark) position_ = utf8Mark.size();
}

void DxfGroupReader::fail(long line, const std::string& message) const {
  throw RunError(ErrorKind::Input, message, ErrorLocation{displayName_, line});
}

bool DxfGroupReader::nextLine(std::string_view& line) {
  if (position_ >= text_.size()) return false;
  const std::size_t end = text_.find('\n', position_);
  const std::size_t stop = end == std::string_view::npos ? text_.size() : end;
  line = text_.substr(position_, stop - position_);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  position_ = end == std::string_view::npos ? text_.size() : end + 1;
  ++line_;
  return true;
}

bool DxfGroupReader::next(DxfGroup& group) {
  std::string_view codeLine;
  if (!nextLine(codeLine)) return false;
  const std::string_view code = trimmed(codeLine);
  if (code.empty() && position_ >= text_.size()) return false;  // a last blank line
  group.line = line_;
  const auto parsed = std::from_chars(code.data(), code.data() + code.size(), group.code);
  if (code.empty() || parsed.ec != std::errc() || parsed.ptr != code.data() + code.size()) {
    fail(line_, "group code " + quoted(codeLine) +
                    " is not an integer: the file is not an ASCII DXF drawing, or is damaged");
  }
  std::string_view value;
  if (!nextLine(value)) {
    fail(line_, "the file ends after group code " + std::string(code) +
                    " without its value: the drawing is truncated");
  }
  const std::size_t last = value.find_last_not_of(" \t");
  group.value = last == std::string_view::npos ? std::string_view() : value.substr(0, last + 1);
  return true;
}

double DxfGroupReader::number(const DxfGroup& group, std::string_view what) const {
  const ParsedNumber parsed = parseDecimalNumber(trimmed(group.value));
  if (parsed.status != NumberStatus::Valid) {
    fail(group.line + 1, std::string(what) + " = " + quoted(group.value) +
                             ": not a finite number (group code " + std::to_string(group.code) +
                             ")");
  }
  return parsed.value;
}

long DxfGroupReader::integer(const DxfGroup& group, std::string_view what) const {
  const std::string_view text = trimmed(group.value);
  long value = 0;
  const auto parsed = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || parsed.ec != std::errc() || parsed.ptr != text.data() + text.size()) {
    fail(group.line + 1, std::string(what) + " = " + quoted(group.value) +
                             ": not an integer (group code " + std::to_string(group.code) + ")");
  }
  return value;
}

}  // namespace propclear
