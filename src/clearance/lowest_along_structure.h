#pragma once
// The lowest signed distance to the swept volume's meridional section M
// (clearance/swept_volume.h) along a structure's strands
// (clearance/structure_strands.h), and where it lies.
//
// Notation: a strand point (x(t), z(t)); rho(t) = |z(t) - z0|; f(t) the
// signed distance of (x(t), rho(t)) to M, negative inside.
//
// Method: a coarse scan samples f along every strand about every R/8 of
// arc, from M's samples (cheap, off by at most M's approximation error).
// Every local minimum of the scan within half a scan step plus twice that
// error of the lowest sample (f changes by no more than the arc between
// samples) is refined on the exact f between its neighbouring samples, to
// 1e-6 m along t: where f falls at one point and rises at another, as the
// zero of its slope f' = (P - N) . P' / |P - N| (N the nearest point of M's
// boundary, P' = (x', +-z') the structure point's rate; the secant steps of
// geometry/minimum_from_slope.h). The two points come from the scan where
// it can give them: the vertex of the parabola through the candidate's and
// its neighbours' values, and one Newton step from there on the parabola's
// curvature; otherwise, or where these do not bracket the zero, the
// neighbouring samples themselves. Where the slope does not change sign,
// and wherever the point found touches or lies inside M, Brent's
// minimisation (geometry/minimise_on_interval.h) searches the whole
// interval. A dip narrower than a scan step that leaves no local minimum
// among the samples would go unseen; a stern contour fitted through points
// a few decimetres apart has none.

#include <cstddef>
#include <limits>
#include <vector>

#include "clearance/structure_strands.h"
#include "clearance/swept_volume.h"

namespace propclear {

// A point of a strand, where it lies in the meridional plane, and its exact
// distance to M.
struct StrandPointDistance {
  std::size_t strand = 0;
  double t = 0.0;
  MeridionalPoint at;
  SectionDistance section{std::numeric_limits<double>::infinity(), {}};

  double value() const { return section.signedDistance; }
};

// The point of the strands with the lowest signed distance to M. Throws
// RunError for an arithmetic fault.
StrandPointDistance lowestAlongStrands(const SweptVolume& volume,
                                       const std::vector<Strand>& strands);

}  // namespace propclear
