#pragma once
// Evenly spaced values without drift: value i is start + i * step, computed
// afresh for every i (never by adding steps up), then rounded to the decimal
// places in which start and step were written, so that 0.1:0.3:0.1 gives
// exactly the doubles of 0.1, 0.2 and 0.3.

#include <cstdint>
#include <string_view>

namespace propclear {

// The decimal places of a number as written: "4.05" has 2, "1e-3" 3, "250"
// and "1.5e2" none. Unknown (-1) beyond what a double resolves (15 places).
int decimalPlacesOf(std::string_view numberText);

// `value` rounded to `places` decimals: the double nearest to the decimal
// number, as reading that number would give. Unchanged for places < 0 or a
// value too large to carry the places exactly.
double roundToDecimalPlaces(double value, int places);

struct DecimalGrid {
  double start = 0.0;
  double step = 0.0;
  int places = -1;  // of start and step together; -1: not rounded

  double at(std::int64_t index) const {
    return roundToDecimalPlaces(start + static_cast<double>(index) * step, places);
  }
};

// The whole steps from START to STOP, given their quotient (STOP - START) /
// STEP in doubles: a quotient a hair below a whole number counts as that
// number (1.5 / 0.01 is 149.99999999999997), by a billionth of a step and a
// millionth of a millionth of the count, which covers the rounding of a
// quotient of any size.
double wholeSteps(double steps);

// The places of a grid through both: the larger, or -1 when either is unknown.
int commonDecimalPlaces(int first, int second);

}  // namespace propclear
