#pragma once
// Blanks around a piece of text the user wrote, as in "power = 6500" or
// "0.25 D": spaces and tabs.

#include <string_view>

namespace propclear {

inline std::string_view trimmedBlanks(std::string_view text) {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace propclear
