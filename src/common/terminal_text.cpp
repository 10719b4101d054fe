#include "common/terminal_text.h"

#include <cstdio>

namespace propclear {

namespace {

constexpr unsigned char escape = 0x1B;
constexpr unsigned char del = 0x7F;
// UTF-8 writes the C1 controls U+0080 to U+009F as 0xC2 followed by 0x80 to 0x9F.
constexpr unsigned char c1Lead = 0xC2;
constexpr unsigned char c1First = 0x80;
constexpr unsigned char c1Last = 0x9F;

std::string hexEscape(const char* form, unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, form, value);
  return text;
}

}  // namespace

std::string withControlsEscaped(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if (byte == '\n') {
      shown += "\\n";
    } else if (byte == '\r') {
      shown += "\\r";
    } else if (byte == '\t') {
      shown += "\\t";
    } else if (byte == escape) {
      shown += "\\e";
    } else if (byte < 0x20 || byte == del) {
      shown += hexEscape("\\x%02X", byte);
    } else if (byte == c1Lead && next >= c1First && next <= c1Last) {
      shown += hexEscape("\\u%04X", next);
      ++i;
    } else {
      shown += static_cast<char>(byte);
    }
  }
  return shown;
}

}  // namespace propclear
