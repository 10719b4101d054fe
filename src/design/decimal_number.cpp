#include "design/decimal_number.h"

#include <charconv>
#include <system_error>

#include "common/number_conversion.h"

namespace propclear {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t skipDigits(std::string_view text, std::size_t at) {
  while (at < text.size() && isDigit(text[at])) ++at;
  return at;
}

std::size_t skipSign(std::string_view text, std::size_t at) {
  return at < text.size() && (text[at] == '+' || text[at] == '-') ? at + 1 : at;
}

bool followsNumberSyntax(std::string_view text) {
  std::size_t at = skipSign(text, 0);
  const std::size_t integerEnd = skipDigits(text, at);
  bool hasDigits = integerEnd > at;
  at = integerEnd;
  if (at < text.size() && text[at] == '.') {
    const std::size_t fractionEnd = skipDigits(text, at + 1);
    hasDigits = hasDigits || fractionEnd > at + 1;
    at = fractionEnd;
  }
  if (!hasDigits) return false;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    const std::size_t exponentStart = skipSign(text, at + 1);
    at = skipDigits(text, exponentStart);
    if (at == exponentStart) return false;
  }
  return at == text.size();
}

}  // namespace

ParsedNumber parseDecimalNumber(std::string_view text) {
  if (!followsNumberSyntax(text)) return {};
  // readDouble takes a minus sign but no plus sign.
  if (text.front() == '+') text.remove_prefix(1);
  double value = 0.0;
  const auto [end, error] = readDouble(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) return {NumberStatus::OutOfRange, 0.0};
  if (error != std::errc{} || end != text.data() + text.size()) return {};
  return {NumberStatus::Valid, value};
}

}  // namespace propclear
