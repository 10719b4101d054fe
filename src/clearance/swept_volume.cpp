#include "clearance/swept_volume.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "common/checked_math.h"
#include "common/double_lanes.h"
#include "geometry/minimise_on_interval.h"
#include "geometry/minimum_from_slope.h"

namespace propclear {

namespace {

// Where along an edge curve the nearest point is refined to, m.
constexpr double edgeTolerance = 1e-6;

bool stationsRise(const BladeOutline& outline) {
  if (!(outline.stationRadius[1] > 0.0)) return false;
  for (int i = 1; i < outline.stationCount; ++i) {
    if (!(outline.stationRadius[i] < outline.stationRadius[i + 1])) return false;
  }
  return true;
}

double squared(double value) { return value * value; }

// A minimum found to within the searches' tolerance, moved by one Newton
// step on its slope to within rounding of the true one: where the search
// stopped depends on the last bits of its input (a step just shorter or
// longer than the tolerance), the polished point does not, so an outline
// given in another but equal form reports the same points. Only a step
// within the tolerance's reach and inside [from, to] is taken.
constexpr double edgePolishReach = 10.0;
template <class SlopeFunction>
double polished(const SlopeFunction& slopeAt, double at, double from, double to) {
  const SlopeSample sample = slopeAt(at);
  if (!(sample.slopeRate > 0.0)) return at;
  const double next = at - checkedDivide(sample.slope, sample.slopeRate, "a polishing step");
  if (!(std::abs(next - at) <= edgePolishReach * edgeTolerance && next >= from && next <= to)) return at;
  return next;
}

// How far x lies outside [low, high]; 0 inside.
double outsideBy(double x, double low, double high) { return std::max({low - x, 0.0, x - high}); }

}  // namespace

std::optional<SweptVolume> SweptVolume::of(const DesignData& design, const BladeOutline& outline,
                                           const BladeEdgeCurves& edges) {
  if (!stationsRise(outline)) return std::nullopt;
  SweptVolume volume;
  volume.axisZ_ = design.propellerCentreZ;
  volume.rootRadius_ = outline.stationRadius[1];
  volume.tipRadius_ = outline.stationRadius[outline.stationCount];
  volume.edge1_.pieces = risingPiecesOf(edges.upper[0].x);
  volume.edge2_.pieces = risingPiecesOf(edges.upper[1].x);
  volume.root_ = volume.capAt(volume.rootRadius_);
  volume.tip_ = volume.capAt(volume.tipRadius_);
  volume.sampleEdges();
  return volume;
}

SweptVolume::Cap SweptVolume::capAt(double radius) const {
  return {radius, lowX(radius), highX(radius)};
}

// The scan's samples: samplesPerInterval per piece, and the tip. Both edges
// are fitted over the same station radii, so their pieces share their ends
// and sample j lies on piece j / samplesPerInterval of either (the tip on the
// last).
void SweptVolume::sampleEdges() {
  sampleCount_ = edge1_.pieces.size() * samplesPerInterval + 1;
  if (sampleCount_ > maxSamples) throwArithmeticFault("the samples", "more pieces than stations");
  std::size_t j = 0;
  for (const CubicPiece& piece : edge1_.pieces) {
    const double step = checkedDivide(piece.end - piece.start,
                                      static_cast<double>(samplesPerInterval), "the samples");
    for (std::size_t k = 0; k < samplesPerInterval; ++k) {
      sampleRadius_[j++] = piece.start + step * static_cast<double>(k);
    }
  }
  sampleRadius_[j] = tipRadius_;
  minX_ = std::numeric_limits<double>::infinity();
  maxX_ = -minX_;
  double longestSquared = 0.0;  // one root for the longest step, the same as the longest root
  for (EdgeCurve* edge : {&edge1_, &edge2_}) {
    for (j = 0; j < sampleCount_; ++j) {
      const CubicPiece& piece =
          edge->pieces[std::min(j / samplesPerInterval, edge->pieces.size() - 1)];
      const double x = requireFinite(piece.valueAt(sampleRadius_[j]), "the samples");
      edge->sampleX[j] = x;
      minX_ = std::min(minX_, x);
      maxX_ = std::max(maxX_, x);
      if (j > 0) {
        const double dx = x - edge->sampleX[j - 1], dr = sampleRadius_[j] - sampleRadius_[j - 1];
        longestSquared = std::max(longestSquared, squared(dx) + squared(dr));
      }
    }
    std::fill(edge->sampleX.begin() + static_cast<std::ptrdiff_t>(sampleCount_),
              edge->sampleX.end(), edge->sampleX[sampleCount_ - 1]);
  }
  std::fill(sampleRadius_.begin() + static_cast<std::ptrdiff_t>(sampleCount_), sampleRadius_.end(),
            tipRadius_);
  sampleStep_ = std::sqrt(longestSquared);
  chordDeviation_ = std::max(chordDeviation(edge1_.pieces), chordDeviation(edge2_.pieces));
}

// A cubic departs from the chord between two of its points a step s apart by
// no more than s^2 / 8 times its largest |x''| between them (the error of
// linear interpolation); x'' is linear on a piece, largest at one of its
// ends, and a piece's steps are each its length over samplesPerInterval.
double SweptVolume::chordDeviation(std::span<const CubicPiece> pieces) {
  double deviation = 0.0;
  for (const CubicPiece& piece : pieces) {
    const double step = checkedDivide(piece.end - piece.start,
                                      static_cast<double>(samplesPerInterval), "the samples");
    const double bending = std::max(std::abs(piece.secondDerivativeAt(piece.start)),
                                    std::abs(piece.secondDerivativeAt(piece.end)));
    deviation = std::max(deviation, 0.125 * squared(step) * bending);
  }
  return deviation;
}

// Both edges are fitted over the same station radii, so their pieces share
// their ends and one search finds the piece of either.
std::pair<double, double> SweptVolume::edgeXAt(double r) const {
  const std::size_t piece = pieceIndexAt(edge1_.pieces, r);
  return {edge1_.pieces[piece].valueAt(r), edge2_.pieces[piece].valueAt(r)};
}

double SweptVolume::lowX(double r) const {
  const auto [x1, x2] = edgeXAt(r);
  return std::min(x1, x2);
}

double SweptVolume::highX(double r) const {
  const auto [x1, x2] = edgeXAt(r);
  return std::max(x1, x2);
}

bool SweptVolume::contains(MeridionalPoint p) const {
  if (!(p.r >= rootRadius_ && p.r <= tipRadius_)) return false;
  const auto [x1, x2] = edgeXAt(p.r);
  return p.x >= std::min(x1, x2) && p.x <= std::max(x1, x2);
}

SectionDistance SweptVolume::distanceFrom(MeridionalPoint p) const {
  SectionDistance result = distanceFromBoundary(p);
  if (contains(p)) result.signedDistance = -result.signedDistance;
  return result;
}

// A point beyond the samples' x by more than the approximation error lies
// outside M, with no need to evaluate the edges.
double SweptVolume::approximateSignedDistance(MeridionalPoint p) const {
  const double distance = sampledBoundaryDistance(p);
  const double reach = approximationError();
  if (p.x < minX_ - reach || p.x > maxX_ + reach) return distance;
  return contains(p) ? -distance : distance;
}

SectionDistance SweptVolume::distanceFromBoundary(MeridionalPoint p) const {
  SectionDistance best = distanceFromCaps(p);
  SampleDistances toSamples;
  squaredDistancesToSamples(p, toSamples);
  approachAlongEdge(edge1_, toSamples.toEdge1, toSamples.closestToEdge1, p, best);
  approachAlongEdge(edge2_, toSamples.toEdge2, toSamples.closestToEdge2, p, best);
  return best;
}

SectionDistance SweptVolume::distanceFromCaps(MeridionalPoint p) const {
  SectionDistance best;
  best.signedDistance = std::numeric_limits<double>::infinity();
  approachCap(root_, p, best);
  approachCap(tip_, p, best);
  return best;
}

void SweptVolume::approachCap(const Cap& cap, MeridionalPoint p, SectionDistance& best) const {
  const double distance =
      std::sqrt(squared(outsideBy(p.x, cap.lowX, cap.highX)) + squared(p.r - cap.radius));
  if (distance < best.signedDistance) {
    const bool atCorner = p.x < cap.lowX || p.x > cap.highX;
    best.signedDistance = distance;
    best.nearest = {std::clamp(p.x, cap.lowX, cap.highX), cap.radius};
    best.crossCurvature = atCorner ? checkedDivide(1.0, distance, "the distance's curvature") : 0.0;
  }
}

// Both edges' samples share their radii, and so the radial part of each
// squared distance. A pass over whole vectors of lanes: the places beyond
// the last sample repeat it.
void SweptVolume::squaredDistancesToSamples(MeridionalPoint p, SampleDistances& d) const {
  using Lanes = NativeLanes;
  static_assert(sampleCapacity % Lanes::size() == 0);
  const std::size_t n = (sampleCount_ + Lanes::size() - 1) / Lanes::size() * Lanes::size();
  Lanes closest1(std::numeric_limits<double>::infinity()), closest2 = closest1;
  for (std::size_t j = 0; j < n; j += Lanes::size()) {
    const Lanes dr = Lanes(&sampleRadius_[j], elementAligned) - p.r;
    const Lanes dx1 = Lanes(&edge1_.sampleX[j], elementAligned) - p.x;
    const Lanes dx2 = Lanes(&edge2_.sampleX[j], elementAligned) - p.x;
    const Lanes radial = dr * dr;
    const Lanes toEdge1 = dx1 * dx1 + radial, toEdge2 = dx2 * dx2 + radial;
    toEdge1.copy_to(&d.toEdge1[j], elementAligned);
    toEdge2.copy_to(&d.toEdge2[j], elementAligned);
    closest1 = lanewiseMin(closest1, toEdge1);
    closest2 = lanewiseMin(closest2, toEdge2);
  }
  d.closestToEdge1 = smallestLane(closest1);
  d.closestToEdge2 = smallestLane(closest2);
}

// The same pass keeping only the smallest of both edges.
double SweptVolume::closestSquaredToSamples(MeridionalPoint p) const {
  using Lanes = NativeLanes;
  const std::size_t n = (sampleCount_ + Lanes::size() - 1) / Lanes::size() * Lanes::size();
  Lanes closest(std::numeric_limits<double>::infinity());
  for (std::size_t j = 0; j < n; j += Lanes::size()) {
    const Lanes dr = Lanes(&sampleRadius_[j], elementAligned) - p.r;
    const Lanes dx1 = Lanes(&edge1_.sampleX[j], elementAligned) - p.x;
    const Lanes dx2 = Lanes(&edge2_.sampleX[j], elementAligned) - p.x;
    const Lanes radial = dr * dr;
    closest = lanewiseMin(closest, lanewiseMin(dx1 * dx1 + radial, dx2 * dx2 + radial));
  }
  return smallestLane(closest);
}

// The pieces that hold the radii from sample j - 1 to sample j + 1: sample i
// lies on piece i / samplesPerInterval or, at that piece's start, on the one
// before, and the search for a radius among these finds the piece a search
// among all would.
std::span<const CubicPiece> SweptVolume::piecesBetween(const EdgeCurve& edge, std::size_t j) {
  const std::size_t below = j > 0 ? j - 1 : 0;
  const std::size_t first = below / samplesPerInterval > 0 ? below / samplesPerInterval - 1 : 0;
  const std::size_t last = std::min((j + 1) / samplesPerInterval, edge.pieces.size() - 1);
  return std::span<const CubicPiece>(edge.pieces).subspan(first, last - first + 1);
}

// The radius of the edge curve's point nearest p between the neighbours of
// sample j, a local minimum of the scan with the squared distance
// sampleValue; none for a minimum at an end of the curve, which is a corner
// of M that a cap gives; `pieces` are those between the neighbours
// (piecesBetween). Where the squared distance falls at the one
// neighbour and rises at the other, the zero of half its slope,
// (x(r) - p.x) x'(r) + (r - p.r), by Newton's method; otherwise Brent's
// search.
std::optional<double> SweptVolume::nearestAlongEdge(std::span<const CubicPiece> pieces,
                                                    MeridionalPoint p, std::size_t j,
                                                    double sampleValue) const {
  const std::size_t n = sampleCount_;
  const double from = sampleRadius_[j > 0 ? j - 1 : 0];
  const double to = sampleRadius_[std::min(j + 1, n - 1)];
  const auto halfSlopeAt = [&](double r) {
    const CubicPiece& piece = pieceAt(pieces, r);
    const double dx = piece.valueAt(r) - p.x, slope = piece.slopeAt(r);
    return SlopeSample{dx * slope + (r - p.r),
                       slope * slope + dx * piece.secondDerivativeAt(r) + 1.0};
  };
  // The slope at `to` matters only where the distance falls at `from`.
  const double slopeFrom = halfSlopeAt(from).slope;
  if (slopeFrom < 0.0) {
    const double slopeTo = halfSlopeAt(to).slope;
    if (slopeTo > 0.0) {
      return polished(halfSlopeAt,
                      minimumFromSlope(halfSlopeAt, from, to, slopeFrom, slopeTo, edgeTolerance),
                      from, to);
    }
  }
  const auto squaredDistanceAt = [&](double r) {
    return squared(valueOnPieces(pieces, r) - p.x) + squared(r - p.r);
  };
  if (j == 0 && squaredDistanceAt(from + edgeTolerance) >= sampleValue) return {};
  if (j + 1 == n && squaredDistanceAt(to - edgeTolerance) >= sampleValue) return {};
  return polished(halfSlopeAt, minimiseOnInterval(squaredDistanceAt, from, to, edgeTolerance).at,
                  from, to);
}

// The edge's nearest point lies no further than the closest sample, and
// between two samples of which one lies within sampledDistanceBound of the
// point: every local minimum of the scan within that bound may lie next to
// it, and each is refined between its neighbours. A minimum at an end of the
// curve is a corner of M, which its cap gives.
void SweptVolume::approachAlongEdge(const EdgeCurve& edge,
                                    const std::array<double, sampleCapacity>& squaredDistance,
                                    double closestSquared, MeridionalPoint p,
                                    SectionDistance& best) const {
  const std::size_t n = sampleCount_;
  const double closest = std::sqrt(closestSquared);
  if (leastBoundaryDistance(closest) >= best.signedDistance) return;
  const double threshold = squared(sampledDistanceBound(closest));
  for (std::size_t j = 0; j < n; ++j) {
    const double value = squaredDistance[j];
    if (value > threshold) continue;
    if (j > 0 && squaredDistance[j - 1] < value) continue;
    if (j + 1 < n && squaredDistance[j + 1] < value) continue;
    const std::span<const CubicPiece> pieces = piecesBetween(edge, j);
    const std::optional<double> at = nearestAlongEdge(pieces, p, j, value);
    if (!at) continue;
    const CubicPiece& piece = pieceAt(pieces, *at);
    const MeridionalPoint onEdge{piece.valueAt(*at), *at};
    const double foundDistance = std::sqrt(squared(onEdge.x - p.x) + squared(onEdge.r - p.r));
    if (foundDistance < best.signedDistance) {
      best.signedDistance = foundDistance;
      best.nearest = onEdge;
      best.crossCurvature = crossCurvatureAt(piece, onEdge, p, foundDistance);
    }
  }
}

// The edge x(r) has the unit normal n = (1, -x') / w towards +x, w =
// sqrt(1 + x'^2), and bends towards n with the curvature x'' / w^3; it bends
// away from p by that much where p lies on the other side, -n.
double SweptVolume::crossCurvatureAt(const CubicPiece& piece, MeridionalPoint onEdge,
                                     MeridionalPoint p, double distance) {
  const char* what = "the distance's curvature";
  const double slope = piece.slopeAt(onEdge.r);
  const double w = std::sqrt(1.0 + slope * slope);
  const double bending = checkedDivide(piece.secondDerivativeAt(onEdge.r), w * w * w, what);
  const double side = (p.x - onEdge.x) - slope * (p.r - onEdge.r);
  const double away = side > 0.0 ? -bending : bending;
  const double spread = 1.0 + away * distance;
  return spread > 0.0 ? checkedDivide(away, spread, what) : NAN;
}

// A cap comes no nearer than its radial distance from p, so one that lies
// that far beyond the closest sample is passed over.
double SweptVolume::sampledBoundaryDistance(MeridionalPoint p) const {
  double closestSquared = closestSquaredToSamples(p);
  for (const Cap* cap : {&root_, &tip_}) {
    const double radial = squared(p.r - cap->radius);
    if (!(radial < closestSquared)) continue;
    closestSquared =
        std::min(closestSquared, squared(outsideBy(p.x, cap->lowX, cap->highX)) + radial);
  }
  return std::sqrt(closestSquared);
}

}  // namespace propclear
