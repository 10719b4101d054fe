#pragma once
// The number formatters of every text the system writes: report lines,
// iteration trace, plot labels and CAD labels in fixed layouts, and the
// shortest exact form of machine-read files (JSON, rows of a study, design
// files written back). Pure functions; the output never depends on the
// locale. A non-finite value is an arithmetic fault.

#include <string>

namespace propclear {

// `value` rounded to `decimals` places (halves away from zero, judged on the
// exact double), the integer part right-aligned in `intWidth` characters, the
// point always present; an integer part that needs more room is printed in
// full and marked with a trailing "%". A negative value that rounds to zero
// prints without a sign.
std::string formatFixed(double value, int intWidth, int decimals);

// `value` rounded as formatFixed rounds it, without padding or mark: "-0.294".
std::string formatRounded(double value, int decimals);

// The integer part of `value` (truncated toward zero), right-aligned in
// `width` characters; a longer text is returned whole. Never an exponent.
std::string formatTruncated(double value, int width);

// The shortest decimal text that reads back as exactly `value` ("4.6",
// "0.1", "1e-05", "-0"); a non-finite value is an arithmetic fault naming
// `what`.
std::string formatShortest(double value, const char* what);
// The same, appended to `out` without a temporary string.
void appendShortest(std::string& out, double value, const char* what);

}  // namespace propclear
