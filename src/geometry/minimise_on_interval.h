#pragma once
// A local minimum of a function of one variable on a closed interval, without
// derivatives: Brent's method, golden-section steps where a parabola through
// the three best points is not trusted, parabolic steps where it is.
//
// Notation: f on [a, b]; x the best point so far, w the second best, v the
// previous w; u the point evaluated next; e the step before last, d the last
// step; the stopping test keeps x within 2 tol of the minimum, where
// tol = sqrt(machine epsilon) |x| + absoluteTolerance.
//
// Source: R. P. Brent, Algorithms for Minimization without Derivatives,
// Prentice-Hall 1973, ch. 5, procedure localmin. Converges superlinearly on a
// smooth minimum and never slower than golden section (a fixed ratio per two
// evaluations) on a kink or a flat stretch. The end points themselves are
// never evaluated: a minimum at an end is approached to within tol.

#include <cmath>
#include <limits>

#include "common/checked_math.h"

namespace propclear {

struct IntervalMinimum {
  double at = 0.0;     // the abscissa found
  double value = 0.0;  // f there
};

// f must be finite on [a, b]; a < b. absoluteTolerance > 0 is in the unit of
// the abscissa.
template <class Function>
IntervalMinimum minimiseOnInterval(const Function& f, double a, double b,
                                   double absoluteTolerance) {
  // (3 - sqrt 5) / 2: the golden-section fraction.
  const double golden = 0.5 * (3.0 - std::sqrt(5.0));
  const double relativeTolerance = std::sqrt(std::numeric_limits<double>::epsilon());
  double x = a + golden * (b - a);
  double w = x, v = x;
  double fx = f(x);
  double fw = fx, fv = fx;
  double d = 0.0, e = 0.0;
  for (;;) {
    const double middle = 0.5 * (a + b);
    const double tol = relativeTolerance * std::abs(x) + absoluteTolerance;
    const double twiceTol = 2.0 * tol;
    if (std::abs(x - middle) <= twiceTol - 0.5 * (b - a)) break;
    bool parabolic = false;
    if (std::abs(e) > tol) {
      // The parabola through x, w and v: its vertex lies at x + p / q.
      double r = (x - w) * (fx - fv);
      double q = (x - v) * (fx - fw);
      double p = (x - v) * q - (x - w) * r;
      q = 2.0 * (q - r);
      if (q > 0.0) p = -p;
      q = std::abs(q);
      r = e;
      e = d;
      // Trusted only inside the interval and shorter than half the step before last.
      if (std::abs(p) < std::abs(0.5 * q * r) && p > q * (a - x) && p < q * (b - x)) {
        d = checkedDivide(p, q, "a parabolic step of the minimisation");
        const double u = x + d;
        if (u - a < twiceTol || b - u < twiceTol) d = x < middle ? tol : -tol;
        parabolic = true;
      }
    }
    if (!parabolic) {
      e = x < middle ? b - x : a - x;
      d = golden * e;
    }
    const double u = std::abs(d) >= tol ? x + d : (d > 0.0 ? x + tol : x - tol);
    const double fu = f(u);
    if (fu <= fx) {
      (u < x ? b : a) = x;
      v = w, fv = fw;
      w = x, fw = fx;
      x = u, fx = fu;
    } else {
      (u < x ? a : b) = u;
      if (fu <= fw || w == x) {
        v = w, fv = fw;
        w = u, fw = fu;
      } else if (fu <= fv || v == x || v == w) {
        v = u, fv = fu;
      }
    }
  }
  return {x, fx};
}

}  // namespace propclear
