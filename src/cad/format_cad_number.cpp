// The numbers of the CAD script and the DXF drawing: the value rounded to 15
// significant digits (judged on the exact binary value, halves to even as the
// C library rounds), trailing zeros dropped, laid out in plain decimal.
//
// That rounding is also the shortest decimal that reads back as the value
// whenever that decimal has at most 15 significant digits: it lies within
// half an ulp of the value, at most |v|·2^-53, while the 15-digit grid about
// v (10^(E-14) for 10^E ≤ |v| < 10^(E+1)) is wider than |v|·10^-15, so the
// shortest decimal is the grid point nearest to v. Hence 9062.5 stays
// "9062.5" and 0.1 + 0.2 becomes "0.3".
//
// The quick way, for about 10^-8 ≤ |v| ≤ 10^15. Take k with 0 ≤ k ≤ 22 such
// that 10^14 ≤ q ≤ 10^15 for q = fl(P), P = |v|·10^k exactly (see
// common/power_of_ten_scaling.h). Rounding is monotone and both bounds are
// doubles, so:
// - 10^14 < q < 10^15: then 10^14 < P < 10^15, the grid is 10^-k and the
//   digits are round(P).
// - q = 10^14 or 10^15: P lies within 1/16 of that power of ten, so on
//   either side of it the digits are "1", as round(q) has them.
// Everything else (tiny, huge and subnormal values, and products exactly
// halfway) takes the long way through writeScientific, which rounds the exact
// value.

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "cad/write_cad_script.h"
#include "common/checked_math.h"
#include "common/number_conversion.h"
#include "common/power_of_ten_scaling.h"

namespace propclear {

namespace {

// The significant digits a double carries reliably; more would show the
// binary representation's noise (0.1 + 0.2 = 0.30000000000000004).
constexpr int cadSignificantDigits = 15;

constexpr double fifteenDigitsLow = 1e14;   // the smallest 15-digit integer
constexpr double fifteenDigitsHigh = 1e15;  // one past the largest

// Eight characters '0', one per byte.
constexpr std::uint64_t asciiZeros = 0x3030'3030'3030'3030;

// A magnitude rounded to cadSignificantDigits: the 15 digits as characters in
// two words, the first digit in the lowest byte of `first`, the sixteenth
// byte a '0'; how many of them are significant (the rest are trailing
// zeros); the decimal exponent of the first.
struct RoundedDigits {
  std::uint64_t first = asciiZeros;   // digits 1 to 8
  std::uint64_t second = asciiZeros;  // digits 9 to 15 and a '0'
  int length = 0;
  int exponent = 0;
};

// The eight decimal digits of `value` (< 10^8), one per byte as the numbers
// 0..9, the first digit in the lowest byte: the value split in halves of
// four digits, each half in pairs, each pair in single digits, all lanes of
// a step at once. h / 100 = (h · 10486) >> 20 for h < 10^4 and
// g / 10 = (g · 103) >> 10 for g < 100, and no lane overflows into the next.
std::uint64_t eightDigits(std::uint32_t value) {
  std::uint64_t lanes = value / 10000 | std::uint64_t{value % 10000} << 32;
  std::uint64_t high = (lanes * 10486 >> 20) & 0x0000'007f'0000'007f;
  lanes = high | (lanes - high * 100) << 16;
  high = (lanes * 103 >> 10) & 0x000f'000f'000f'000f;
  return high | (lanes - high * 10) << 8;
}

// The digits of `rounded` (10^14 ≤ rounded < 10^15): its first 7 digits (and
// a leading zero, shifted out) and its last 8 as two words; a trailing zero
// is an empty high byte.
RoundedDigits digitsOf(std::uint64_t rounded, int exponent) {
  const std::uint64_t high = eightDigits(static_cast<std::uint32_t>(rounded / 100'000'000));
  const std::uint64_t low = eightDigits(static_cast<std::uint32_t>(rounded % 100'000'000));
  const int trailingZeros = low != 0 ? std::countl_zero(low) / 8 : 8 + std::countl_zero(high) / 8;
  return {(high >> 8 | low << 56) | asciiZeros, low >> 8 | asciiZeros,
          cadSignificantDigits - trailingZeros, exponent};
}

// floor(log10(magnitude)) or one less, from the binary exponent of a normal
// magnitude: (e · 78913) >> 18 is floor(e · log10 2) for |e| ≤ 1100.
int decimalExponentAtMost(double magnitude) {
  std::uint64_t bits = 0;  // std::bit_cast, which WebAssembly's C++ library lacks
  std::memcpy(&bits, &magnitude, sizeof bits);
  const int binaryExponent = static_cast<int>((bits >> 52) & 0x7ff) - 1023;
  return (binaryExponent * 78913) >> 18;
}

// The quick rounding of the opening comment; false when it does not apply.
bool roundQuickly(double magnitude, RoundedDigits& digits) {
  int scale =
      std::min(cadSignificantDigits - 1 - decimalExponentAtMost(magnitude), largestExactPowerOfTen);
  if (scale < 0) return false;
  double scaled = magnitude * exactPowersOfTen[static_cast<std::size_t>(scale)];
  if (scaled > fifteenDigitsHigh && scale > 0) {  // the exponent was one more
    --scale;
    scaled = magnitude * exactPowersOfTen[static_cast<std::size_t>(scale)];
  }
  if (scaled < fifteenDigitsLow || scaled > fifteenDigitsHigh) return false;
  const std::optional<std::uint64_t> rounded = nearestIntegerOfProduct(magnitude, scale);
  if (!rounded) return false;
  const int exponent = cadSignificantDigits - 1 - scale;
  if (*rounded == static_cast<std::uint64_t>(fifteenDigitsHigh))
    digits = digitsOf(*rounded / 10, exponent + 1);
  else
    digits = digitsOf(*rounded, exponent);
  return true;
}

// The long way: writeScientific rounds the exact value to 15 digits,
// "d.dddddddddddddde±x".
RoundedDigits roundExactly(double magnitude) {
  std::array<char, 32> text{};
  const auto result = writeScientific(text.data(), text.data() + text.size(), magnitude,
                                     cadSignificantDigits - 1);
  RoundedDigits digits{0, std::uint64_t{'0'} << 56, 0, 0};
  int index = 0;
  for (const char* c = text.data(); *c != 'e'; ++c) {
    if (*c == '.') continue;
    std::uint64_t& word = index < 8 ? digits.first : digits.second;
    word |= std::uint64_t{static_cast<unsigned char>(*c)} << (8 * (index % 8));
    ++index;
    if (*c != '0') digits.length = index;
  }
  const char* exponentText = std::find(text.data(), result.ptr, 'e') + 1;
  if (*exponentText == '+') ++exponentText;
  std::from_chars(exponentText, result.ptr, digits.exponent);
  return digits;
}

// The eight characters of `word`, the lowest byte first, at `out`.
void storeWord(char* out, std::uint64_t word) {
  if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
  std::memcpy(out, &word, sizeof word);
}

// `count` characters '0' at `out`, and up to 16 in any case.
void storeZeros(char* out, int count) {
  storeWord(out, asciiZeros);
  storeWord(out + 8, asciiZeros);
  if (count > 16) std::memset(out + 16, '0', static_cast<std::size_t>(count - 16));
}

// The digits from the one at `index` (0 ≤ index < 15) on, at `out`.
void storeDigitsFrom(char* out, const RoundedDigits& digits, int index) {
  const int shift = 8 * (index % 8);
  if (index >= 8) {
    storeWord(out, digits.second >> shift);
  } else if (shift == 0) {
    storeWord(out, digits.first);
    storeWord(out + 8, digits.second);
  } else {
    storeWord(out, digits.first >> shift | digits.second << (64 - shift));
    storeWord(out + 8, digits.second >> shift);
  }
}

// The smallest subnormal is 4.9e-324, the largest double 1.8e308.
constexpr int smallestDecimalExponent = -324;
// Sign, "0.", the zeros after the point, and the 16 characters written at
// once where the digits begin: the longest text with its overhang.
constexpr int plainDecimalCapacity = 1 + 2 + (-smallestDecimalExponent - 1) + 16;

// The digits laid out around the decimal point, with a "0" before the point
// for magnitudes below one and no point for integral values; the end of the
// text. Writes up to 16 characters past the end.
char* storePlainDecimal(char* out, const RoundedDigits& digits) {
  if (digits.exponent < 0) {
    const int zerosAfterPoint = -digits.exponent - 1;
    storeZeros(out, 2 + zerosAfterPoint);
    out[1] = '.';
    storeDigitsFrom(out + 2 + zerosAfterPoint, digits, 0);
    return out + 2 + zerosAfterPoint + digits.length;
  }
  const int integerLength = digits.exponent + 1;
  if (digits.length <= integerLength) {
    storeZeros(out, integerLength);
    storeDigitsFrom(out, digits, 0);
    return out + integerLength;
  }
  storeDigitsFrom(out, digits, 0);
  out[integerLength] = '.';
  storeDigitsFrom(out + integerLength + 1, digits, integerLength);
  return out + digits.length + 1;
}

}  // namespace

void appendCadNumber(std::string& out, double value) {
  requireFinite(value, "a coordinate of the CAD script");
  // Zero of either sign; a nonzero double never rounds to zero digits.
  if (value == 0.0) {
    out += '0';
    return;
  }
  const double magnitude = value < 0.0 ? -value : value;
  RoundedDigits digits;
  if (!roundQuickly(magnitude, digits)) digits = roundExactly(magnitude);
  std::array<char, plainDecimalCapacity> text;  // written up to `end`
  char* end = text.data();
  if (value < 0.0) *end++ = '-';
  end = storePlainDecimal(end, digits);
  out.append(text.data(), end);
}

std::string formatCadNumber(double value) {
  std::string text;
  appendCadNumber(text, value);
  return text;
}

}  // namespace propclear
