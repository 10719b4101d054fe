#pragma once
// The one path between doubles and their decimal text, the same on every
// platform and standard library: fmt writes (the shortest text that reads
// back exactly, or the exact value rounded to a precision) and fast_float
// reads (the nearest double, exactly). Shaped and behaving as
// std::to_chars/std::from_chars for double, whose texts they reproduce
// character for character; the WebAssembly build's standard library has no
// floating-point std::to_chars/std::from_chars of its own.

#include <charconv>

namespace propclear {

// As std::to_chars(first, last, value): the shortest text that reads back as
// `value`, in fixed or scientific notation, whichever is shorter (fixed on a
// tie): "0.1", "1e+05", "123456", "-0".
std::to_chars_result writeShortest(char* first, char* last, double value);

// As std::to_chars(first, last, value, std::chars_format::fixed): the
// shortest text that reads back as `value`, never an exponent.
std::to_chars_result writeShortestFixed(char* first, char* last, double value);

// As std::to_chars(first, last, value, std::chars_format::fixed, decimals):
// the exact value rounded to `decimals` places (halves to even).
std::to_chars_result writeFixed(char* first, char* last, double value, int decimals);

// As std::to_chars(first, last, value, std::chars_format::scientific,
// decimals): "d.ddde+xx", the exact value rounded to 1 + `decimals`
// significant digits.
std::to_chars_result writeScientific(char* first, char* last, double value, int decimals);

// The shortest text that reads back as the float `value`, in fmt's notation
// ("4.6", "-0.35", "1e-05"), valid JSON for a finite value: for the texts a
// program reads back, where the float's digits alone are wanted and
// quickly. Too little room is std::errc::value_too_large.
std::to_chars_result writeShortestFloat(char* first, char* last, float value);

// As std::from_chars(first, last, value): decimal text, an optional minus
// sign, no blanks. A number beyond the doubles' range, or one that is not
// zero but rounds to zero, is std::errc::result_out_of_range and leaves
// `value` as it was.
std::from_chars_result readDouble(const char* first, const char* last, double& value);

}  // namespace propclear
