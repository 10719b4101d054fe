#pragma once
// The centre-plane structures that the closest approach follows, cut into
// strands: stretches on which the structure's x and its radius from the
// shaft axis, rho = |z - z0|, are smooth. A strand runs over t in
// [from, to], x(t) on joined cubic pieces (geometry/cubic_pieces.h) and
// z(t) linear; t is the height along the stern contour and the length from
// corner 3 along the rudder edge.
//
// The stern contour gives one strand per run of rising pieces of its fitted
// curve (a piece whose heights fall has no abscissa on it); every strand is
// split where it crosses the shaft's height, where rho has a corner. A
// single point (the heel, a rudder edge of no length) is a strand of one
// point.

#include <cmath>
#include <vector>

#include "design/design_data.h"
#include "geometry/cubic_pieces.h"
#include "geometry/spline_curve.h"

namespace propclear {

// A stretch of a structure on which x and rho are smooth, for t in
// [from, to]: x(t) on joined cubic pieces, z(t) linear.
struct Strand {
  std::vector<CubicPiece> pieces;
  double from = 0.0;
  double to = 0.0;
  double zAtZero = 0.0;
  double zRate = 0.0;

  double xAt(double t) const { return valueOnPieces(pieces, t); }
  // The rate of rho = |z - z0| along the strand, which does not cross the
  // shaft's height.
  double rhoRate(double axisZ) const { return zAt(0.5 * (from + to)) >= axisZ ? zRate : -zRate; }
  double zAt(double t) const { return zAtZero + zRate * t; }
};

// sqrt(dx^2 + dz^2), without std::hypot's care for overflow, which lengths
// of a stern never come near.
inline double planeDistance(double dx, double dz) { return std::sqrt(dx * dx + dz * dz); }

// The fitted contour, t the height: one strand per run of rising pieces.
std::vector<Strand> contourStrands(const SplineCurve& hullCurve, double axisZ);

// The rudder's leading edge, t the length from corner 3 towards corner 4.
std::vector<Strand> rudderStrands(const DesignData& design, double axisZ);

// The point (x, z) alone.
Strand pointStrand(double x, double z);

}  // namespace propclear
