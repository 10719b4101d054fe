#pragma once
// The minimum of a smooth function of one variable on an interval [from, to]
// as the zero of its slope, started from a guess: the vertex of a parabola
// through three of its values nearby (a coarse scan's, say).
//
// Notation: g = f' on [from, to], g' = f'' where known; the parabola's vertex
// t0 and its second derivative k.
//
// Method: Newton's steps on g' from t0 (where g' is not known, one step on k
// and then secant steps past the zero by half again, so that they cross it),
// until a step is shorter than the tolerance, which gives the zero, or two
// points bracket it (g < 0 at the lower, g > 0 at the higher). Then the
// safeguarded iteration of minimum_from_slope.h goes on from the newer of
// the two. Where the steps bracket nothing, the interval's ends are taken
// (each only where the points already taken leave it unknown), and the
// bracketed iteration starts from the chord between them. A guess near the
// minimum of a smooth f thus costs two or three slopes where the ends would
// cost four to eight. What is found at the ends is left for the caller: a
// minimum at an end of the interval, or a slope that does not change sign.

#include <algorithm>
#include <cmath>
#include <optional>

#include "common/checked_math.h"
#include "geometry/minimum_from_slope.h"

namespace propclear {

// The parabola through three values: where it is lowest, and its second
// derivative.
struct Parabola {
  double vertex = 0.0;
  double curvature = 0.0;
};

// Through (t0, v0), (t1, v1), (t2, v2), t0 < t1 < t2; none where it does not
// open upwards.
inline std::optional<Parabola> parabolaThrough(double t0, double v0, double t1, double v1,
                                               double t2, double v2) {
  const char* what = "the parabola through three values";
  const double slope01 = checkedDivide(v1 - v0, t1 - t0, what);
  const double slope12 = checkedDivide(v2 - v1, t2 - t1, what);
  const double halfCurvature = checkedDivide(slope12 - slope01, t2 - t0, what);
  if (!(halfCurvature > 0.0)) return std::nullopt;
  return Parabola{0.5 * (t0 + t1) - checkedDivide(slope01, 2.0 * halfCurvature, what),
                  2.0 * halfCurvature};
}

// Of the points of [from, to] whose slopes were taken, the last at which
// the function falls and the first at which it rises (NaN where none was).
struct SlopeBracket {
  double low = 0.0;
  double high = 0.0;
  SlopeSample atLow{NAN, NAN};
  SlopeSample atHigh{NAN, NAN};

  bool holdsZero() const { return atLow.slope < 0.0 && atHigh.slope > 0.0 && low < high; }
  void take(double t, SlopeSample at) {
    if (at.slope < 0.0 && t >= low) low = t, atLow = at;
    if (at.slope > 0.0 && t <= high) high = t, atHigh = at;
  }
};

// The zero found, if any, and the bracket of the points taken.
struct SlopeSearch {
  std::optional<double> zero;
  SlopeBracket bracket;
};

namespace detail {

// The steps from the guess; `newest` is the point taken last.
template <class SlopeFunction>
std::optional<double> zeroNearGuess(const SlopeFunction& slopeAt, double from, double to,
                                    const Parabola& guess, double absoluteTolerance,
                                    SlopeBracket& bracket, double& newest) {
  constexpr int maxSteps = 4;
  constexpr double secantReach = 1.5;  // past the zero by half again
  const char* what = "a step towards the minimum";
  double t = std::clamp(guess.vertex, from, to), previous = NAN;
  SlopeSample at = slopeAt(t), atPrevious{NAN, NAN};
  bracket.take(t, at);
  newest = t;
  for (int step = 0; step < maxSteps && !bracket.holdsZero(); ++step) {
    double move = NAN;
    if (at.slopeRate > 0.0) {
      move = -checkedDivide(at.slope, at.slopeRate, what);
    } else if (step == 0) {
      move = -checkedDivide(at.slope, guess.curvature, what);
    } else if (at.slope != atPrevious.slope) {
      move = -secantReach *
             checkedDivide(at.slope * (t - previous), at.slope - atPrevious.slope, what);
    } else {
      break;
    }
    if (std::abs(move) < absoluteTolerance) return t;
    const double next = std::clamp(t + move, from, to);
    if (next == t) break;
    previous = t, atPrevious = at;
    t = next, at = slopeAt(t);
    bracket.take(t, at);
    newest = t;
  }
  return std::nullopt;
}

}  // namespace detail

// The zero of `slopeAt` (returning SlopeSample) in [from, to], from < to, to
// within absoluteTolerance > 0, started from the guess where there is one.
template <class SlopeFunction>
SlopeSearch minimumNearGuess(const SlopeFunction& slopeAt, double from, double to,
                             std::optional<Parabola> guess, double absoluteTolerance) {
  SlopeSearch search{std::nullopt, {from, to}};
  SlopeBracket& bracket = search.bracket;
  if (guess) {
    double newest = NAN;
    search.zero =
        detail::zeroNearGuess(slopeAt, from, to, *guess, absoluteTolerance, bracket, newest);
    if (search.zero) return search;
    if (bracket.holdsZero() && (newest == bracket.low || newest == bracket.high)) {
      search.zero =
          minimumFromSlopeAtEnd(slopeAt, bracket.low, bracket.high, bracket.atLow, bracket.atHigh,
                                newest == bracket.high, absoluteTolerance);
      return search;
    }
  }
  // An end already found rising (at from) or falling (at to) is not taken again.
  if (std::isnan(bracket.atLow.slope) && bracket.high != from) bracket.take(from, slopeAt(from));
  if (std::isnan(bracket.atHigh.slope) && bracket.low != to) bracket.take(to, slopeAt(to));
  if (bracket.holdsZero()) {
    search.zero = minimumFromSlope(slopeAt, bracket.low, bracket.high, bracket.atLow.slope,
                                   bracket.atHigh.slope, absoluteTolerance);
  }
  return search;
}

}  // namespace propclear
