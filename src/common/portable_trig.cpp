#include "common/portable_trig.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

namespace propclear {

namespace {

// An unevaluated sum hi + lo with |lo| <= ulp(hi) / 2.
struct DoubleDouble {
  double hi;
  double lo;
};

DoubleDouble negated(DoubleDouble a) { return {-a.hi, -a.lo}; }

DoubleDouble twoSum(double a, double b) {
  const double sum = a + b;
  const double bPart = sum - a;
  return {sum, (a - (sum - bPart)) + (b - bPart)};
}

DoubleDouble quickTwoSum(double a, double b) {
  const double sum = a + b;
  return {sum, b - (sum - a)};
}

// Dekker's exact product by splitting, without an fma: the C libraries'
// fma is no more portable than their cos.
DoubleDouble twoProduct(double a, double b) {
  constexpr double splitter = 134217729.0;  // 2^27 + 1
  const double aScaled = splitter * a, bScaled = splitter * b;
  const double aHigh = aScaled - (aScaled - a), aLow = a - aHigh;
  const double bHigh = bScaled - (bScaled - b), bLow = b - bHigh;
  const double product = a * b;
  return {product, ((aHigh * bHigh - product) + aHigh * bLow + aLow * bHigh) + aLow * bLow};
}

DoubleDouble add(DoubleDouble a, DoubleDouble b) {
  const DoubleDouble high = twoSum(a.hi, b.hi);
  const DoubleDouble low = twoSum(a.lo, b.lo);
  const DoubleDouble sum = quickTwoSum(high.hi, high.lo + low.hi);
  return quickTwoSum(sum.hi, sum.lo + low.lo);
}

DoubleDouble multiply(DoubleDouble a, DoubleDouble b) {
  const DoubleDouble product = twoProduct(a.hi, b.hi);
  return quickTwoSum(product.hi, product.lo + (a.hi * b.lo + a.lo * b.hi));
}

// Long division, one double of the quotient at a time.
DoubleDouble divide(DoubleDouble a, DoubleDouble b) {
  const double first = a.hi / b.hi;
  const DoubleDouble remainder = add(a, multiply(b, {-first, 0.0}));
  const double second = remainder.hi / b.hi;
  const DoubleDouble rest = add(remainder, multiply(b, {-second, 0.0}));
  return add(quickTwoSum(first, second), {rest.hi / b.hi, 0.0});
}

// pi/2 as the sum of three doubles (Cody and Waite's reduction): the
// digits of pi/2 split at bits 53 and 106.
constexpr double halfPiHigh = 0x1.921fb54442d18p+0;
constexpr double halfPiMiddle = 0x1.1a62633145c07p-54;
constexpr double halfPiLow = -0x1.f1976b7ed8fbcp-110;
// Beyond this the three parts leave too few bits of the reduced angle.
constexpr double largestArgument = 0x1p20;

// The Taylor series' terms kept: (pi/4)^24 / 24! is below 2^-80.
constexpr int termsKept = 12;
// 1/n! for n = 0 .. 2 * termsKept + 1, each worked out in double-double.
constexpr int factorialsKept = 2 * termsKept + 2;

const std::array<DoubleDouble, factorialsKept>& inverseFactorials() {
  static const std::array<DoubleDouble, factorialsKept> table = [] {
    std::array<DoubleDouble, factorialsKept> inverse{};
    DoubleDouble factorial{1.0, 0.0};
    for (int n = 0; n < factorialsKept; ++n) {
      if (n > 0) factorial = multiply(factorial, {static_cast<double>(n), 0.0});
      inverse[static_cast<std::size_t>(n)] = divide({1.0, 0.0}, factorial);
    }
    return inverse;
  }();
  return table;
}

// sum over k of (-1)^k r^(2k + first) / (2k + first)!: cos r for first = 0,
// sin r for first = 1, |r| <= pi/4. The first three terms in double-double;
// the rest, below 2^-11 of the sum, by Horner's rule in doubles, whose
// rounding errors stay below 2^-62 of the sum.
DoubleDouble taylorSeries(DoubleDouble r, int first) {
  const auto& inverse = inverseFactorials();
  const auto term = [&](int k) { return inverse[static_cast<std::size_t>(2 * k + first)]; };
  const DoubleDouble square = add(twoProduct(r.hi, r.hi), {2.0 * r.hi * r.lo, 0.0});
  double tail = term(termsKept - 1).hi;
  for (int k = termsKept - 2; k >= 3; --k) tail = term(k).hi - square.hi * tail;
  const DoubleDouble fourth = multiply(square, square);
  DoubleDouble sum = multiply(multiply(fourth, square), {-tail, 0.0});
  sum = add(sum, multiply(fourth, term(2)));
  // 1/2! is exact: the square is halved without rounding.
  sum = add(sum, first == 0 ? DoubleDouble{-0.5 * square.hi, -0.5 * square.lo}
                            : multiply(negated(square), term(1)));
  sum = add(sum, {1.0, 0.0});  // 1/0! = 1/1! = 1
  return first == 0 ? sum : multiply(sum, r);
}

// x = quadrant * pi/2 + angle with |angle| <= pi/4 (a little more at the
// quadrants' edges), quadrant modulo 4.
struct Reduced {
  DoubleDouble angle;
  int quadrant;
};

Reduced reduce(double x) {
  const double multiple = std::nearbyint(x / halfPiHigh);
  DoubleDouble angle{x, 0.0};
  if (multiple == 0.0) return {angle, 0};
  angle = add(angle, negated(twoProduct(multiple, halfPiHigh)));
  angle = add(angle, negated(twoProduct(multiple, halfPiMiddle)));
  angle = add(angle, {-multiple * halfPiLow, 0.0});
  return {angle, static_cast<int>(static_cast<std::int64_t>(multiple) & 3)};
}

bool outOfRange(double x) { return !(std::fabs(x) <= largestArgument); }

}  // namespace

double portableCos(double x) {
  if (outOfRange(x)) return std::numeric_limits<double>::quiet_NaN();
  const Reduced reduced = reduce(x);
  switch (reduced.quadrant) {
    case 0: {
      const DoubleDouble value = taylorSeries(reduced.angle, 0);
      return value.hi + value.lo;
    }
    case 1: {
      const DoubleDouble value = negated(taylorSeries(reduced.angle, 1));
      return value.hi + value.lo;
    }
    case 2: {
      const DoubleDouble value = negated(taylorSeries(reduced.angle, 0));
      return value.hi + value.lo;
    }
    default: {
      const DoubleDouble value = taylorSeries(reduced.angle, 1);
      return value.hi + value.lo;
    }
  }
}

double portableTan(double x) {
  if (outOfRange(x)) return std::numeric_limits<double>::quiet_NaN();
  if (x == 0.0) return x;  // keeps the sign of zero
  const Reduced reduced = reduce(x);
  const DoubleDouble sine = taylorSeries(reduced.angle, 1);
  const DoubleDouble cosine = taylorSeries(reduced.angle, 0);
  const DoubleDouble value =
      reduced.quadrant % 2 == 0 ? divide(sine, cosine) : divide(negated(cosine), sine);
  return value.hi + value.lo;
}

}  // namespace propclear
