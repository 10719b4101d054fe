#include "clearance/lowest_along_structure.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>

#include "common/checked_math.h"
#include "geometry/minimise_on_interval.h"
#include "geometry/minimum_near_guess.h"

namespace propclear {

namespace {

// The coarse scan's step along a structure, as a fraction of the tip radius.
constexpr double scanStepPerTipRadius = 0.125;
// A strand longer than this many steps is scanned more coarsely.
constexpr int maxScanIntervals = 256;
// Where along a strand the minimum is refined to, in its abscissa's unit (m).
constexpr double strandTolerance = 1e-6;
// The longest polishing step after the search, in tolerances.
constexpr double strandPolishReach = 10.0;
// Chords are shorter than the arcs between them; this much is added for the
// curvature between two neighbouring samples.
constexpr double arcPerChord = 1.1;
constexpr const char* scanWhat = "the scan along a structure";

struct StrandPoint {
  std::size_t strand = 0;
  double t = 0.0;
  double value = 0.0;  // signed distance to M, exact or from the scan
};

// A point of the scan, with the structure's x there.
struct ScanSample {
  StrandPoint point;
  double x = 0.0;
};

// The lowest signed distance along a structure's strands: scan, then refine.
class StructureSearch {
 public:
  StructureSearch(const SweptVolume& volume, const std::vector<Strand>& strands)
      : volume_(volume), strands_(strands) {}

  StrandPointDistance lowest() {
    placeSamples();
    if (samples_.empty()) return best_;  // no strands: nothing comes near
    scan();
    refineCandidates();
    refineHiddenBasins();
    polishBest();
    return best_;
  }

 private:
  // The lowest point found lies within the search's tolerance of the
  // minimum, where the search stopped depending on the last bits of its
  // input; one Newton step on the slope from there puts it within rounding
  // of the minimum, so an outline given in another but equal form reports
  // the same point. Outside M only (inside, the distance may have a corner),
  // and only a step within the tolerance's reach that stays on the strand.
  void polishBest() {
    if (!(best_.value() > 0.0)) return;
    const Strand& strand = strands_[best_.strand];
    const SlopeSample sample = slopeAlong(strand.pieces, best_);
    if (!(sample.slopeRate > 0.0)) return;
    const double t = best_.t - checkedDivide(sample.slope, sample.slopeRate, scanWhat);
    if (!(std::abs(t - best_.t) <= strandPolishReach * strandTolerance && t > strand.from &&
          t < strand.to)) {
      return;
    }
    const MeridionalPoint p{strand.xAt(t), std::abs(strand.zAt(t) - volume_.axisZ())};
    best_ = {best_.strand, t, p, volume_.distanceFrom(p)};
  }

  // A lower bound of the signed distance: the distance to M's bounding box.
  double boxDistance(MeridionalPoint p) const {
    const double reach = volume_.approximationError();
    const double dx =
        std::max({volume_.sampledMinX() - reach - p.x, 0.0, p.x - volume_.sampledMaxX() - reach});
    const double dr = std::max({volume_.rootRadius() - p.r, 0.0, p.r - volume_.tipRadius()});
    return planeDistance(dx, dr);
  }

  // About one interval per scan step of arc, the arc measured by 8 chords.
  int intervalsOf(const Strand& strand) const {
    constexpr int chordsForLength = 8;
    const double stepT = checkedDivide(strand.to - strand.from, chordsForLength, scanWhat);
    double length = 0.0;
    double x = strand.xAt(strand.from);
    std::size_t piece = 0;
    for (int k = 0; k < chordsForLength; ++k) {
      const double t0 = strand.from + stepT * k, t1 = strand.from + stepT * (k + 1);
      piece = pieceIndexFrom(strand.pieces, piece, t1);
      const double x1 = strand.pieces[piece].valueAt(t1);
      length += planeDistance(x1 - x, strand.zAt(t1) - strand.zAt(t0));
      x = x1;
    }
    const double step = scanStepPerTipRadius * volume_.tipRadius();
    const double intervals = std::ceil(checkedDivide(length, step, scanWhat));
    return static_cast<int>(std::clamp(intervals, 1.0, static_cast<double>(maxScanIntervals)));
  }

  void placeSamples() {
    std::vector<int> intervalCounts;
    intervalCounts.reserve(strands_.size());
    std::size_t sampleCount = 0;
    for (const Strand& strand : strands_) {
      intervalCounts.push_back(strand.to > strand.from ? intervalsOf(strand) : 0);
      sampleCount += static_cast<std::size_t>(intervalCounts.back()) + 1;
    }
    samples_.reserve(sampleCount);
    double longestSquared = 0.0;  // the longest chord, squared
    for (std::size_t i = 0; i < strands_.size(); ++i) {
      const Strand& strand = strands_[i];
      const int intervals = intervalCounts[i];
      const double stepT =
          intervals > 0 ? checkedDivide(strand.to - strand.from, intervals, scanWhat) : 0.0;
      std::size_t piece = 0;
      for (int k = 0; k <= intervals; ++k) {
        const double t = k == intervals ? strand.to : strand.from + stepT * k;
        piece = pieceIndexFrom(strand.pieces, piece, t);
        const double x = strand.pieces[piece].valueAt(t);
        if (k > 0) {
          const ScanSample& before = samples_.back();
          const double dx = x - before.x, dz = strand.zAt(t) - strand.zAt(before.point.t);
          longestSquared = std::max(longestSquared, dx * dx + dz * dz);
        }
        samples_.push_back({{i, t, 0.0}, x});
      }
    }
    // The lowest sample lies within half an arc plus the scan's error of the
    // lowest point of its basin, and every basin's lowest sample within the
    // scan's error of its own.
    halfArc_ = 0.5 * arcPerChord * std::sqrt(longestSquared);
    margin_ = halfArc_ + 2.0 * volume_.approximationError();
  }

  // The least exact distance at a sample of the scan: inside M its scan value
  // (the samples lie no nearer than the boundary), outside it the least
  // boundary distance that value allows (or a bound to M's box, below it).
  double leastExact(const StrandPoint& sample) const {
    return sample.value > 0.0 ? volume_.leastBoundaryDistance(sample.value) : sample.value;
  }

  // The margin of the candidates, once the lowest sample is known: no point
  // lies lower than half an arc below the least exact distance at a sample,
  // and the scan's error there is the most it can be at that distance.
  double candidateMargin() const {
    const double lowestSample = samples_[lowestIndex_].point.value;
    const double lowestDistance =
        lowestSample > 0.0 ? std::max(volume_.leastBoundaryDistance(lowestSample) - halfArc_, 0.0)
                           : 0.0;
    const double error = volume_.sampledDistanceBound(lowestDistance) - lowestDistance;
    return halfArc_ + 2.0 * error;
  }

  // A sample whose bound to M's box lies beyond the margin cannot be a
  // candidate: the bound will do.
  void scan() {
    double lowest = std::numeric_limits<double>::infinity();
    for (std::size_t k = 0; k < samples_.size(); ++k) {
      const MeridionalPoint p = meridionalPointOf(k);
      const double bound = boxDistance(p);
      double& value = samples_[k].point.value;
      value = bound > lowest + margin_ ? bound : volume_.approximateSignedDistance(p);
      if (value < lowest) lowest = value, lowestIndex_ = k;
    }
  }

  // Where sample k lies in the meridional plane.
  MeridionalPoint meridionalPointOf(std::size_t k) const {
    const StrandPoint& sample = samples_[k].point;
    const Strand& strand = strands_[sample.strand];
    return {samples_[k].x, std::abs(strand.zAt(sample.t) - volume_.axisZ())};
  }

  bool sameStrand(std::size_t i, std::size_t j) const {
    return j < samples_.size() && samples_[i].point.strand == samples_[j].point.strand;
  }
  // Whether sample k has a neighbour on its strand before it, and after it.
  bool hasBelow(std::size_t k) const { return k > 0 && sameStrand(k, k - 1); }
  bool hasAbove(std::size_t k) const { return sameStrand(k, k + 1); }

  // The local minima of the scan within the margin of the lowest sample are
  // the candidates. The lowest sample's is refined first, so that the lowest
  // found lies near the lowest point from the start; every other one only
  // where a point between it and a neighbour may lie below that.
  void refineCandidates() {
    candidateThreshold_ = samples_[lowestIndex_].point.value + candidateMargin();
    refineAround(lowestIndex_, samples_[lowestIndex_].point);
    for (std::size_t k = 0; k < samples_.size(); ++k) {
      if (k == lowestIndex_ || !isCandidate(k)) continue;
      double lowest = leastExact(samples_[k].point);
      if (hasBelow(k)) lowest = std::min(lowest, lowestBetween(k - 1, k));
      if (hasAbove(k)) lowest = std::min(lowest, lowestBetween(k, k + 1));
      if (lowest < best_.value()) refineAround(k, samples_[k].point);
    }
  }

  // The least the distance can be between neighbouring samples i and j of a
  // strand, an arc a apart, whose least exact distances are no less than f.
  // f changes by no more than the arc, so it stays above f - a / 2; and a
  // distance to a set is semiconcave: along a path its second derivative is
  // at most 1 / d plus the path's curvature k (each distance to one point of
  // the set has so), so a lowest point between them, where the slope is
  // zero, lies no more than (1 / d + k) a^2 / 8 below the nearer sample.
  double lowestBetween(std::size_t i, std::size_t j) const {
    const double least = std::min(leastExact(samples_[i].point), leastExact(samples_[j].point));
    const Strand& strand = strands_[samples_[i].point.strand];
    const double arc = arcPerChord * planeDistance(samples_[j].x - samples_[i].x,
                                                   strand.zAt(samples_[j].point.t) -
                                                       strand.zAt(samples_[i].point.t));
    const double nearest = least - 0.5 * arc;
    if (!(nearest > 0.0)) return nearest;
    const double curvature = pathCurvatureBound(strand, samples_[i].point.t, samples_[j].point.t);
    const double bending = checkedDivide(1.0, nearest, scanWhat) + curvature;
    return std::max(nearest, least - 0.125 * bending * arc * arc);
  }

  // The path (x(t), rho(t)) has the curvature |x'' rho'| / (x'^2 + rho'^2)^1.5,
  // rho'' = 0 on a strand: at most max |x''| / rho'^2 over [from, to], x''
  // linear on each piece.
  static double pathCurvatureBound(const Strand& strand, double from, double to) {
    double bending = 0.0;
    for (const CubicPiece& piece : piecesOver(strand.pieces, from, to)) {
      bending = std::max({bending, std::abs(piece.secondDerivativeAt(std::max(piece.start, from))),
                          std::abs(piece.secondDerivativeAt(std::min(piece.end, to)))});
    }
    if (bending == 0.0) return 0.0;
    if (strand.zRate == 0.0) return std::numeric_limits<double>::infinity();
    return checkedDivide(bending, strand.zRate * strand.zRate, scanWhat);
  }

  bool isCandidate(std::size_t k) const {
    const double value = samples_[k].point.value;
    if (value > candidateThreshold_) return false;
    if (hasBelow(k) && samples_[k - 1].point.value < value) return false;
    return !(hasAbove(k) && samples_[k + 1].point.value < value);
  }

  // Two basins whose lowest points differ by less than the scan's error may
  // be ordered wrongly by it, the lower showing no local minimum among the
  // samples (a flat valley along the section's edge). Every other sample
  // whose scan value leaves room for a point below the lowest found gets its
  // exact distance and slope; one from which the tangent falls below the
  // lowest found within a step, towards its lower side (as it does in a
  // basin, where the distance is convex), is refined between its neighbours,
  // its exact distance bounding the search.
  void refineHiddenBasins() {
    const double error = volume_.approximationError();
    for (std::size_t k = 0; k < samples_.size(); ++k) {
      const StrandPoint& sample = samples_[k].point;
      if (!(sample.value - error < best_.value())) continue;  // the cheap bound first
      if (!(leastExact(sample) < best_.value()) || isCandidate(k)) continue;
      const StrandPointDistance exact = exactAt(k);
      if (exact.value() < best_.value() || tangentFallsBelowBest(k, exact)) {
        refineAround(k, {sample.strand, sample.t, exact.value()});
      }
    }
  }

  // Whether the tangent at sample k falls below the lowest found within the
  // step to the neighbour on its lower side. (A candidate's refinement over
  // that step may have settled in the other of two minima there.)
  bool tangentFallsBelowBest(std::size_t k, const StrandPointDistance& exact) const {
    const double slope = slopeAlong(strands_[exact.strand].pieces, exact).slope;
    const bool fallsUp = slope < 0.0;  // towards the next sample
    if (!(fallsUp ? hasAbove(k) : hasBelow(k))) return false;
    const std::size_t lower = fallsUp ? k + 1 : k - 1;
    const double step = std::abs(samples_[lower].point.t - exact.t);
    return exact.value() - std::abs(slope) * step < best_.value();
  }

  StrandPointDistance exactAt(std::size_t k) const {
    const MeridionalPoint p = meridionalPointOf(k);
    return {samples_[k].point.strand, samples_[k].point.t, p, volume_.distanceFrom(p)};
  }

  // The slope of the signed distance along its strand at a point evaluated,
  // and the slope's rate; `pieces` hold the point's t.
  SlopeSample slopeAlong(std::span<const CubicPiece> pieces,
                         const StrandPointDistance& point) const {
    const CubicPiece& piece = pieceAt(pieces, point.t);
    return slopeAt(strands_[point.strand], piece.slopeAt(point.t),
                   piece.secondDerivativeAt(point.t), point);
  }

  // Refines sample k between its neighbours on its strand; `bound` is the
  // sample with its scan value or its exact distance.
  void refineAround(std::size_t k, const StrandPoint& bound) {
    const StrandPoint* below = hasBelow(k) ? &samples_[k - 1].point : nullptr;
    const StrandPoint* above = hasAbove(k) ? &samples_[k + 1].point : nullptr;
    const std::optional<Parabola> guess = parabolaAround(k, below, above);
    const StrandEnd end = !below ? StrandEnd::First : !above ? StrandEnd::Last : StrandEnd::None;
    refine(bound, (below ? *below : bound).t, (above ? *above : bound).t, guess, end);
  }

  // The parabola through candidate k's scan value and its neighbours', or at
  // the end of a strand through the two samples before it.
  std::optional<Parabola> parabolaAround(std::size_t k, const StrandPoint* below,
                                         const StrandPoint* above) const {
    const auto through = [](const StrandPoint& a, const StrandPoint& b, const StrandPoint& c) {
      return parabolaThrough(a.t, a.value, b.t, b.value, c.t, c.value);
    };
    const StrandPoint& candidate = samples_[k].point;
    if (below && above) return through(*below, candidate, *above);
    if (below && k > 1 && sameStrand(k, k - 2))
      return through(samples_[k - 2].point, *below, candidate);
    if (above && sameStrand(k, k + 2)) return through(candidate, *above, samples_[k + 2].point);
    return std::nullopt;
  }

  // Whether a candidate is the first or the last sample of its strand.
  enum class StrandEnd { None, First, Last };

  // The lowest point between two samples: where the distance falls at one
  // point and rises at another, the zero of its slope; at the strand's end,
  // where the candidate is its end sample and the distance falls towards it;
  // else, and wherever the point found touches or lies inside M (where the
  // signed distance may have a corner), Brent's search.
  void refine(const StrandPoint& candidate, double from, double to, std::optional<Parabola> guess,
              StrandEnd end) {
    StrandPointDistance found;
    for (int pass = 0; pass < 2; ++pass) {
      const StrandPointDistance point = lowestPointBetween(candidate.strand, from, to, guess, end);
      if (point.value() < found.value()) found = point;
      // Outside M the scan's value bounds the distance at the candidate from
      // above, so a lowest point above it lies in another basin, one the
      // search strayed into across a ridge (where the nearest part of M
      // changes): the search goes once more from the candidate, on the side
      // away from that point.
      if (!(found.value() > candidate.value && candidate.value > 0.0)) break;
      (found.t < candidate.t ? from : to) = found.t;
      if (!(from < to)) break;
      if (guess) guess = Parabola{candidate.t, guess->curvature};
    }
    if (found.value() < best_.value()) best_ = found;
  }

  // The lowest point between two samples (see refine).
  StrandPointDistance lowestPointBetween(std::size_t strandIndex, double from, double to,
                                         std::optional<Parabola> guess, StrandEnd end) {
    const Strand& strand = strands_[strandIndex];
    const std::span<const CubicPiece> pieces = piecesOver(strand.pieces, from, to);
    StrandPointDistance last;  // the point evaluated last, kept for the one the search ends on
    const auto evaluate = [&](double t) -> const StrandPointDistance& {
      const MeridionalPoint p{valueOnPieces(pieces, t), std::abs(strand.zAt(t) - volume_.axisZ())};
      last = {strandIndex, t, p, volume_.distanceFrom(p)};
      return last;
    };
    const auto foundAt = [&](double t) { return t == last.t ? last : evaluate(t); };
    const auto slope = [&](double t) { return slopeAlong(pieces, evaluate(t)); };
    StrandPointDistance found;
    bool outside = false;  // found by the slope, outside M
    if (from < to) {
      const std::optional<double> zero = lowestBetween(slope, from, to, guess, end);
      if (zero) {
        found = foundAt(*zero);
        outside = found.value() > 0.0;
      }
    }
    if (!outside) {
      const auto f = [&](double t) { return evaluate(t).value(); };
      found = foundAt(minimiseOnInterval(f, from, to, strandTolerance).at);
    }
    return found;
  }

  // Where in [from, to] the slope is zero, or the end of the strand towards
  // which the distance falls; none where neither is found.
  template <class SlopeFunction>
  static std::optional<double> lowestBetween(const SlopeFunction& slope, double from, double to,
                                             std::optional<Parabola> guess, StrandEnd end) {
    const SlopeSearch search = minimumNearGuess(slope, from, to, guess, strandTolerance);
    if (search.zero) return search.zero;
    if (end == StrandEnd::Last && search.bracket.low == to) return to;
    if (end == StrandEnd::First && search.bracket.high == from) return from;
    return std::nullopt;
  }

  // The slope of the signed distance along the strand at a point evaluated,
  // where x changes at xRate and xRate at xAcceleration: the rate at which
  // the structure's point P moves away from the nearest point N of M's
  // boundary (which stays the nearest to first order), f' = u . P' with u =
  // (P - N) / |P - N|; and its own rate f'' = (|P'|^2 - f'^2) c + u . P'',
  // c the distance's curvature across u (the part of P' across u turns the
  // line to N) and rho'' = 0 on a strand. Both with the sign of the signed
  // distance; zero on the boundary itself, and no rate where c is not known.
  SlopeSample slopeAt(const Strand& strand, double xRate, double xAcceleration,
                      const StrandPointDistance& point) const {
    const double dx = point.at.x - point.section.nearest.x;
    const double dr = point.at.r - point.section.nearest.r;
    const double length = planeDistance(dx, dr);
    if (length == 0.0) return {};
    const double rhoRate = strand.rhoRate(volume_.axisZ());
    const double towards = dx * xRate + dr * rhoRate;
    const double slope = checkedDivide(towards, length, scanWhat);
    const double across = xRate * xRate + rhoRate * rhoRate - slope * slope;
    const double rate =
        across * point.section.crossCurvature + checkedDivide(dx * xAcceleration, length, scanWhat);
    const double sign = point.value() < 0.0 ? -1.0 : 1.0;
    return {sign * slope, std::isfinite(rate) ? sign * rate : NAN};
  }

  const SweptVolume& volume_;
  const std::vector<Strand>& strands_;
  std::vector<ScanSample> samples_;
  double halfArc_ = 0.0;  // half the longest arc between samples
  double margin_ = 0.0;   // of the scan's bounds to M's box
  double candidateThreshold_ = 0.0;
  std::size_t lowestIndex_ = 0;
  StrandPointDistance best_;
};

}  // namespace

StrandPointDistance lowestAlongStrands(const SweptVolume& volume,
                                       const std::vector<Strand>& strands) {
  return StructureSearch(volume, strands).lowest();
}

}  // namespace propclear
