#pragma once
// The solid a turning propeller sweeps, as its meridional section, and the
// distance of a point of the centre plane to it. Blade thickness is
// neglected: the blade is the surface of its expanded outline laid on the
// pitch helices.
//
// Notation: x along the shaft (the design frame's x), r the radius from the
// shaft axis; the axis lies at height z0 in the centre plane. The blade
// section at radius r runs along the helix of lead h per radian from edge 1
// to edge 2; its points lie at
//   x = k(r) - h theta,   y = r sin theta,   z - z0 = r cos theta
// for helix angles theta between the two edges' (k the rake offset; see
// geometry/blade_outline.h). A full turn sweeps the section round the axis,
// so the swept volume is a solid of revolution with meridional section
//   M = {(x, r): r1 <= r <= R, xLow(r) <= x <= xHigh(r)},
// r1 the first station (0.2R; the hub and the shaft are not part of it), R
// the tip radius.
//
// The axial extent of a section: x is linear in the helix angle, so between
// its edges the helix runs monotonically in x, however far it wraps round
// the shaft, and its axial extent is exactly the interval between its two
// edge points. (Only the side-view height r cos theta has an extremum, at
// theta = 0, which is why the side view's tip lies above both tip edge
// points; in the meridional plane every point of the section lies at r.)
// Between stations the edge positions are interpolated over radius by the
// not-a-knot splines the 0.7R queries read (clearance/blade_edge_curves.h),
// one spline per edge; xLow and xHigh are the smaller and the larger of the
// two at each radius, so a pair of edges that cross between stations (near
// the tip, where the chord nearly vanishes) still bounds M.
//
// A point (x, z) of the centre plane lies at radius rho = |z - z0|. Turning
// about the axis keeps both x and the radius of every point, and a point of
// the swept volume at radius r comes as close to (x, z) as the circle of
// radius r allows, |r - rho| in the y-z plane. So the distance of the point
// to the swept volume is the distance from (x, rho) to M in the (x, r) plane,
// zero inside M.
//
// Method: M's boundary is the two edge curves (each point of either is xLow
// or xHigh at its radius) and the two straight caps at r1 and R. The
// distance to a cap is closed-form. Along an edge curve the squared distance
// is scanned at precomputed samples (two per station interval), and every
// local minimum of the scan within one sample step of the closest sample is
// refined between its neighbouring samples, to 1e-6 m in r: by Newton's
// method on the slope of the squared distance where it changes sign between
// them (geometry/minimum_from_slope.h), else by Brent's minimisation
// (geometry/minimise_on_interval.h).

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "clearance/blade_edge_curves.h"
#include "design/design_data.h"
#include "geometry/blade_outline.h"
#include "geometry/cubic_pieces.h"

namespace propclear {

// A point of the meridional plane: x along the shaft, r from its axis (m).
struct MeridionalPoint {
  double x = 0.0;
  double r = 0.0;
};

// The distance of a point to M: negative inside (minus the distance to M's
// boundary), the nearest point of the boundary, and how the distance to the
// boundary curves across the line from that point: moved by s at right
// angles to it, the point's distance changes by crossCurvature s^2 / 2 to
// second order (1/m). For a boundary of curvature k there, positive where it
// bends away from the point, that is k / (1 + k d) at distance d; 1/d at a
// corner, 0 on a cap; NaN where the nearest point is not a local one.
struct SectionDistance {
  double signedDistance = 0.0;  // m
  MeridionalPoint nearest;
  double crossCurvature = 0.0;  // 1/m
};

class SweptVolume {
 public:
  // Samples of each edge curve per station interval, for the scan before the
  // refinement: 21 per edge of the B-series outline, a step of at most 0.05R, the scan's error
  // (half a step near the boundary) about 6 cm on a 4.6 m propeller and
  // some 3 mm at 0.7 m from it; the refinement makes it exact.
  static constexpr std::size_t samplesPerInterval = 2;
  static constexpr std::size_t maxSamples = samplesPerInterval * (maxOutlineStations - 1) + 1;
  // Room for maxSamples in whole vectors of up to 8 lanes; the places beyond
  // the last sample repeat it, so a vector pass over them finds the same
  // smallest distance.
  static constexpr std::size_t sampleCapacity = (maxSamples + 7) / 8 * 8;

  // The swept volume of the design's propeller; none when its stations do not
  // rise from root to tip (a diameter that is not positive).
  static std::optional<SweptVolume> of(const DesignData& design, const BladeOutline& outline,
                                       const BladeEdgeCurves& edges);

  double axisZ() const { return axisZ_; }
  double rootRadius() const { return rootRadius_; }
  double tipRadius() const { return tipRadius_; }

  // The section's axial extent at radius r, rootRadius() <= r <= tipRadius().
  double lowX(double r) const;
  double highX(double r) const;
  // The smallest and largest x of the section's samples; the section reaches
  // beyond them by less than approximationError().
  double sampledMinX() const { return minX_; }
  double sampledMaxX() const { return maxX_; }

  bool contains(MeridionalPoint p) const;
  // Exact to about 1e-6 m.
  SectionDistance distanceFrom(MeridionalPoint p) const;
  // From the samples alone: never further from the exact signed distance
  // than approximationError(), half the longest step s between samples and
  // the most e the edges depart from the chords between them (below).
  double approximateSignedDistance(MeridionalPoint p) const;
  double approximationError() const { return 0.5 * sampleStep_ + chordDeviation_; }
  // Tighter away from the boundary. A point at distance d from an edge has
  // its nearest point q there; q lies within e (in x) of a point q' of the
  // chord between two samples, e the most the edges depart from their chords
  // (s_r^2 / 8 times the largest |x''| on a step of radius s_r); the foot of
  // the perpendicular from the point to that chord lies within half of it of
  // one of the two samples, or beyond that sample. So the closest sample lies
  // no further than sqrt((d + e)^2 + s^2 / 4), s the longest step; and the
  // other way round, a point whose closest sample lies at D is no nearer to
  // the boundary than the inverse (the caps are exact).
  double sampledDistanceBound(double boundaryDistance) const {
    const double toChord = boundaryDistance + chordDeviation_;
    return std::sqrt(toChord * toChord + 0.25 * sampleStep_ * sampleStep_);
  }
  double leastBoundaryDistance(double sampledDistance) const {
    const double beyondHalfStep =
        sampledDistance * sampledDistance - 0.25 * sampleStep_ * sampleStep_;
    return std::max(std::sqrt(std::max(beyondHalfStep, 0.0)) - chordDeviation_, 0.0);
  }

 private:
  struct EdgeCurve {
    std::vector<CubicPiece> pieces;                // absolute x over r
    std::array<double, sampleCapacity> sampleX{};  // at sampleRadius_
  };
  // A straight cap of M across the section at one radius.
  struct Cap {
    double radius = 0.0;
    double lowX = 0.0;
    double highX = 0.0;
  };

  Cap capAt(double radius) const;
  // Edge 1's and edge 2's x at radius r.
  std::pair<double, double> edgeXAt(double r) const;
  static std::span<const CubicPiece> piecesBetween(const EdgeCurve& edge, std::size_t j);
  void sampleEdges();
  static double chordDeviation(std::span<const CubicPiece> pieces);
  SectionDistance distanceFromBoundary(MeridionalPoint p) const;
  SectionDistance distanceFromCaps(MeridionalPoint p) const;
  // The squared distances from a point to each edge's samples, and the
  // smallest of each.
  struct SampleDistances {
    std::array<double, sampleCapacity> toEdge1;
    std::array<double, sampleCapacity> toEdge2;
    double closestToEdge1;
    double closestToEdge2;
  };
  void squaredDistancesToSamples(MeridionalPoint p, SampleDistances& distances) const;
  double closestSquaredToSamples(MeridionalPoint p) const;
  void approachAlongEdge(const EdgeCurve& edge,
                         const std::array<double, sampleCapacity>& squaredDistance,
                         double closestSquared, MeridionalPoint p, SectionDistance& best) const;
  std::optional<double> nearestAlongEdge(std::span<const CubicPiece> pieces, MeridionalPoint p,
                                         std::size_t j, double sampleValue) const;
  void approachCap(const Cap& cap, MeridionalPoint p, SectionDistance& best) const;
  static double crossCurvatureAt(const CubicPiece& piece, MeridionalPoint onEdge, MeridionalPoint p,
                                 double distance);
  double sampledBoundaryDistance(MeridionalPoint p) const;

  double axisZ_ = 0.0;
  double rootRadius_ = 0.0;
  double tipRadius_ = 0.0;
  EdgeCurve edge1_;
  EdgeCurve edge2_;
  Cap root_;
  Cap tip_;
  std::array<double, sampleCapacity> sampleRadius_{};
  std::size_t sampleCount_ = 0;
  double sampleStep_ = 0.0;      // m, the longest chord between neighbouring samples of an edge
  double chordDeviation_ = 0.0;  // m, the most an edge departs in x from its chords
  double minX_ = 0.0;
  double maxX_ = 0.0;
};

}  // namespace propclear
