#pragma once
// The number syntax of the design file: an optional sign, digits with an
// optional fraction (".5", "5." and "5.5" alike) and an optional exponent
// ("e" or "E", optional sign, digits). Nothing else is a number: no "inf",
// "nan", hexadecimal or digit grouping.

#include <string_view>

namespace propclear {

enum class NumberStatus {
  Valid,
  Malformed,   // the text does not follow the syntax
  OutOfRange,  // well formed, but too large (or too small) for a double
};

struct ParsedNumber {
  NumberStatus status = NumberStatus::Malformed;
  double value = 0.0;  // meaningful only when status is Valid
};

// Converts `text` independently of the locale. Subnormal results are
// accepted as they round; a result that rounds to infinity or below the
// smallest subnormal is out of range.
ParsedNumber parseDecimalNumber(std::string_view text);

}  // namespace propclear
