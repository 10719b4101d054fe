#pragma once
// The minimum of a smooth function of one variable inside an interval whose
// slope changes sign across it, found as the zero of the slope: Newton's
// method where the slope's own derivative is given, the secant through the
// last two points where it is not, every step kept inside the bracket that
// the slope's signs maintain.
//
// Notation: g = f' on [a, b] with g(a) < 0 < g(b), so f falls at a and rises
// at b and has a minimum in between (the only one when f is convex there);
// x the current point, g' = f'' where given.
//
// Method: safeguarded Newton (Press et al., Numerical Recipes, 3rd ed. 2007,
// section 9.4, rtsafe), with the secant in place of g' where it is not given
// (Dekker, "Finding a zero by means of successive linear interpolation",
// 1969). A step that would leave the bracket, or a bracket that has not
// halved in two steps, is replaced by bisection, so the method is never
// slower than bisection and converges quadratically (Newton) or
// superlinearly (secant) near a simple zero. It stops when a step is shorter
// than the tolerance, at the point the step starts from (the last one whose
// slope was taken, so a caller can keep what it computed there), or when the
// bracket is narrower than twice the tolerance, at its middle. A minimum at an
// end of the interval, or a slope that does not change sign, is for the
// caller to handle (with a derivative-free search such as
// minimise_on_interval.h).

#include <cmath>

#include "common/checked_math.h"

namespace propclear {

// The slope at a point and, where known, its derivative (NaN otherwise).
struct SlopeSample {
  double slope = 0.0;
  double slopeRate = NAN;
};

namespace detail {

// The iteration from x, whose slope `atX` is known, on the bracket [a, b]:
// `previous` and its slope are the secant's other point, lastStep the step
// that came to x.
template <class SlopeFunction>
double slopeZeroFrom(const SlopeFunction& slopeAt, double a, double b, double x, SlopeSample atX,
                     double previous, double previousSlope, double lastStep,
                     double absoluteTolerance) {
  constexpr int maxSteps = 100;  // bisection alone halves [a, b] below any tolerance sooner
  const char* what = "a step towards the minimum";
  double stepBeforeLast = lastStep;
  SlopeSample sample = atX;
  for (int step = 0; step < maxSteps; ++step) {
    if (step > 0) sample = slopeAt(x);
    if (sample.slope == 0.0) return x;
    (sample.slope < 0.0 ? a : b) = x;
    if (b - a <= 2.0 * absoluteTolerance) return 0.5 * (a + b);
    double next = NAN;
    if (sample.slopeRate > 0.0) {
      next = x - checkedDivide(sample.slope, sample.slopeRate, what);
    } else if (sample.slope != previousSlope) {
      next = x - checkedDivide(sample.slope * (x - previous), sample.slope - previousSlope, what);
    }
    // Bisect where the step leaves the bracket or is not half the step before last.
    if (!(next > a && next < b) || std::abs(next - x) > 0.5 * std::abs(stepBeforeLast)) {
      next = 0.5 * (a + b);
    }
    stepBeforeLast = lastStep;
    lastStep = next - x;
    previous = x, previousSlope = sample.slope;
    if (std::abs(lastStep) < absoluteTolerance) return x;
    x = next;
  }
  return x;
}

}  // namespace detail

// The abscissa in (a, b) where `slopeAt` (returning SlopeSample) is zero, to
// within absoluteTolerance > 0; slopeA < 0 < slopeB are the slopes at a < b.
template <class SlopeFunction>
double minimumFromSlope(const SlopeFunction& slopeAt, double a, double b, double slopeA,
                        double slopeB, double absoluteTolerance) {
  // The first point where the chord through the two ends crosses zero.
  const double x =
      a - checkedDivide(slopeA * (b - a), slopeB - slopeA, "a step towards the minimum");
  return detail::slopeZeroFrom(slopeAt, a, b, x, slopeAt(x), a, slopeA, b - a, absoluteTolerance);
}

// The same, the iteration starting at one end of the bracket, `atB` (true)
// or a, whose sample is known: for a bracket whose one end already lies
// next to the zero.
template <class SlopeFunction>
double minimumFromSlopeAtEnd(const SlopeFunction& slopeAt, double a, double b, SlopeSample atA,
                             SlopeSample atB, bool fromB, double absoluteTolerance) {
  return fromB
             ? detail::slopeZeroFrom(slopeAt, a, b, b, atB, a, atA.slope, b - a, absoluteTolerance)
             : detail::slopeZeroFrom(slopeAt, a, b, a, atA, b, atB.slope, b - a, absoluteTolerance);
}

}  // namespace propclear
