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
// The local minima of the scan within half a scan step plus twice that
// error of the lowest sample (f changes by no more than the arc between
// samples) are the candidates. The lowest sample's is refined first; every
// other one only where a point between it and a neighbour may lie below the
// lowest found: f is semiconcave (along a path f'' <= 1/f + the path's
// curvature, as for the distance to each point of M), so a lowest point
// between two samples an arc a apart lies no more than (1/f + k) a^2 / 8
// below the nearer one. A candidate is refined on the exact f between its
// neighbouring samples, to 1e-6 m along t, as the zero of its slope f' = u . P' (u = (P - N) / |P - N|,
// N the nearest point of M's boundary, P' = (x', +-z') the structure point's
// rate), whose own rate is f'' = (|P'|^2 - f'^2) c + u . P'' (c the
// distance's curvature across u, SectionDistance::crossCurvature): Newton's
// steps from the vertex of the parabola through the candidate's and its
// neighbours' scan values (at a strand's end, the two samples before it),
// safeguarded once they bracket the zero (geometry/minimum_near_guess.h). A
// candidate at a strand's end where f still falls towards that end has its
// lowest point there. Where none of this finds the minimum, and wherever the
// point found touches or lies inside M (where f may have a corner), Brent's
// minimisation (geometry/minimise_on_interval.h) searches the whole
// interval. Outside M a sample's scan value bounds f there from above, so a
// lowest point found above its candidate's value lies in another basin,
// across a ridge where the nearest part of M changes: the search then goes
// once more from the candidate, on the side away from that point.
//
// The scan's error is smaller the further a point lies from M
// (SweptVolume::sampledDistanceBound): the margin of the candidates takes it
// at the least distance a point may have. Two minima within that error of
// each other (a flat valley along M's edge, nearly parallel to a rudder edge)
// may still be ordered wrongly, the lower showing no local minimum among the
// samples; so every other sample whose scan value leaves room for a point
// below the lowest found gets its exact distance and slope, and where its
// tangent falls below the lowest found within a step it is refined too.
//
// Limits: a dip narrower than a scan step that leaves no local minimum
// among the samples, and no sample near enough to the lowest found, would
// go unseen; a stern contour fitted through points a few decimetres apart
// has none.

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

// The point of the strands with the lowest signed distance to M; without
// strands, none (an infinite distance). Throws RunError for an arithmetic
// fault.
StrandPointDistance lowestAlongStrands(const SweptVolume& volume,
                                       const std::vector<Strand>& strands);

}  // namespace propclear
