#include "clearance/shortest_tip_distance.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "common/checked_math.h"
#include "geometry/evaluate_curve.h"
#include "geometry/minimise_on_interval.h"

namespace propclear {

namespace {

// A scan of the contour's heights fine enough that the lowest sample lies in
// the basin of the true minimum for any contour drawn to a few points per
// metre; the refinement then finds it to a tenth of a millimetre.
constexpr int scanSamples = 400;
constexpr double refineToleranceMetres = 1e-5;
// The scan evaluates every samplesPerBlock-th sample first, and the samples
// between two of them only where a bound on the distance's rate of change
// leaves room for one lower than the lowest found.
constexpr int samplesPerBlock = 16;
static_assert(scanSamples % samplesPerBlock == 0);
// What the bound allows for the rounding of the computed distances, relative
// to the size of the figures involved: far above the few units in the last
// place they can differ from the exact ones.
constexpr double roundingAllowance = 1e-9;

struct TipDistancePoint {
  double x;
  double z;
};

struct TipLine {
  double x;
  double bottomZ;  // the shaft's height
  double topZ;     // the tip's
};

// The point of the tip's line nearest (x, z).
TipDistancePoint nearestOnLine(const TipLine& line, double z) {
  return {line.x, std::clamp(z, line.bottomZ, line.topZ)};
}

class ContourDistance {
 public:
  ContourDistance(const SplineCurve& hull, TipLine line) : evaluation_(hull), line_(line) {}

  bool knotsRise() const { return evaluation_.knotsRise(); }

  TipDistancePoint contourAt(double z) const {
    double x = 0.0;
    evaluation_.at(z, x);
    return {x, z};
  }

  double operator()(double z) const {
    const TipDistancePoint contour = contourAt(z);
    const TipDistancePoint tip = nearestOnLine(line_, z);
    // sqrt, correctly rounded everywhere, rather than hypot, whose last bit
    // differs between C libraries: the figure is written to the results.
    const double dx = contour.x - tip.x;
    const double dz = contour.z - tip.z;
    return std::sqrt(dx * dx + dz * dz);
  }

 private:
  CurveEvaluation evaluation_;
  TipLine line_;
};

// How fast the contour's x can change over a stretch of heights, piece by
// piece: on piece i the slope c2 + c3 h + c4 h^2/2 is at most
// |c2| + |c3| H + |c4| H^2/2 in size (H its length), and where two pieces
// meet the rounding of the fit may leave a step between them, which counts
// in full. Stretches are asked for in rising order; each piece's figures are
// worked out once, when first needed.
class ContourChangeBound {
 public:
  explicit ContourChangeBound(const SplineCurve& hull)
      : knot_(hull.knots()), value_(hull.coef(1)), slope_(hull.coef(2)), curvature_(hull.coef(3)),
        jerk_(hull.coef(4)), lastPiece_(hull.knotCount() - 1) {}

  struct Change {
    double slope;  // the largest |dx/dz|
    double steps;  // the sum of the steps between pieces
  };

  // Over [from, to], inside the curve's knots, which rise.
  Change over(double from, double to) {
    while (piece_ < lastPiece_ && knot_[piece_ + 1] < from) ++piece_;
    int last = piece_;
    while (last < lastPiece_ && knot_[last + 1] < to) ++last;
    workOutTo(last);
    Change change{0.0, 0.0};
    for (int i = piece_; i <= last; ++i) {
      change.slope = std::max(change.slope, largestSlope_[static_cast<std::size_t>(i)]);
      if (i < last) change.steps += stepAfter_[static_cast<std::size_t>(i)];
    }
    // The last knot gives its stored value, not the last piece's.
    if (to >= knot_[lastPiece_ + 1]) change.steps += stepAfter_[static_cast<std::size_t>(lastPiece_)];
    return change;
  }

 private:
  void workOutTo(int last) {
    for (; workedOut_ < last; ++workedOut_) {
      const int i = workedOut_ + 1;
      const double h = knot_[i + 1] - knot_[i];
      largestSlope_[static_cast<std::size_t>(i)] =
          std::abs(slope_[i]) + std::abs(curvature_[i]) * h + std::abs(jerk_[i]) * h * h * 0.5;
      // Piece i's value at its end against the next knot's.
      const double end = value_[i] + slope_[i] * h + curvature_[i] * h * h * 0.5 +
                         checkedDivide(jerk_[i] * h * h * h, 6.0, "a bound of the stern contour");
      stepAfter_[static_cast<std::size_t>(i)] = std::abs(end - value_[i + 1]);
    }
  }

  std::span<const double> knot_, value_, slope_, curvature_, jerk_;
  int lastPiece_;
  int piece_ = 1;
  int workedOut_ = 0;  // pieces 1..workedOut_ have their figures
  std::array<double, maxKnots> largestSlope_;
  std::array<double, maxKnots> stepAfter_;
};

// The lowest sample so far: the first of equal ones, as a scan in order keeps.
struct LowestSample {
  int index = 0;
  double distance = 0.0;

  void consider(int i, double d) {
    if (d < distance || (d == distance && i < index)) {
      index = i;
      distance = d;
    }
  }
};

// The sample of the contour's heights nearest the tip's line: the one a
// scan of every sample finds. Every samplesPerBlock-th sample is evaluated
// first; a stretch between two evaluated samples is then halved at its
// middle sample until it holds no more, unless no value below the lowest
// found fits in it: the distance changes with height by at most |dx/dz| + 1
// (the contour moves along x at most that fast, and the line's nearest point
// along z by at most as much as the height), plus any step between the
// contour's pieces.
class SampleScan {
 public:
  SampleScan(const ContourDistance& distance, const SplineCurve& hull, const TipLine& line,
             double lowest, double step)
      : distance_(distance), hull_(hull), line_(line), lowest_(lowest), step_(step), bound_(hull),
        span_(hull.knot(hull.knotCount()) - hull.knot(1)) {}

  LowestSample lowest() {
    for (int i = 0; i <= scanSamples; i += samplesPerBlock) sample(i);
    for (int first = 0; first < scanSamples; first += samplesPerBlock) {
      const int last = first + samplesPerBlock;
      searchBetween(first, last, changeOver(first, last));
    }
    return best_;
  }

 private:
  double heightAt(int i) const { return lowest_ + step_ * i; }

  void sample(int i) {
    const double d = distance_(heightAt(i));
    sampled_[static_cast<std::size_t>(i)] = d;
    if (i == 0) best_ = {0, d};
    best_.consider(i, d);
  }

  // How the contour changes between two samples, for a stretch and every
  // part of it; none where no bound holds: with knots out of order a height
  // may fall in several pieces, and the last one gives the value.
  std::optional<ContourChangeBound::Change> changeOver(int first, int last) {
    if (!distance_.knotsRise()) return std::nullopt;
    const double from = heightAt(first), to = heightAt(last);
    if (from < hull_.knot(1) || to > hull_.knot(hull_.knotCount())) return std::nullopt;
    return bound_.over(from, to);
  }

  void searchBetween(int first, int last, const std::optional<ContourChangeBound::Change>& change) {
    if (last - first < 2 || (change && cannotHoldALowerSample(first, last, *change))) return;
    const int middle = (first + last) / 2;
    sample(middle);
    searchBetween(first, middle, change);
    searchBetween(middle, last, change);
  }

  bool cannotHoldALowerSample(int first, int last, const ContourChangeBound::Change& change) const {
    const double from = heightAt(first), to = heightAt(last);
    const double atFirst = sampled_[static_cast<std::size_t>(first)];
    const double atLast = sampled_[static_cast<std::size_t>(last)];
    const double reach = (change.slope + 1.0) * (to - from);
    // The terms of a piece's value are at most its slope bound times its
    // length in size, and no piece is longer than the contour.
    const double figures = 1.0 + std::abs(line_.x) + std::abs(from) + std::abs(to) + atFirst +
                           atLast + reach + change.steps + change.slope * span_;
    const double floor =
        0.5 * (atFirst + atLast - reach) - change.steps - roundingAllowance * figures;
    return std::isfinite(floor) && floor > best_.distance;
  }

  const ContourDistance& distance_;
  const SplineCurve& hull_;
  const TipLine& line_;
  double lowest_, step_;
  ContourChangeBound bound_;
  double span_;
  LowestSample best_;
  std::array<double, scanSamples + 1> sampled_;
};

}  // namespace

std::optional<ClearanceSegment> shortestTipDistance(const DesignData& design,
                                                    const SplineCurve& hullCurve,
                                                    const ClearanceSegment& upperTip) {
  const int knots = hullCurve.knotCount();
  if (knots < 2) return std::nullopt;
  const double lowest = std::max(hullCurve.knot(1), design.propellerCentreZ);
  const double highest = hullCurve.knot(knots);
  if (!(highest > lowest)) return std::nullopt;
  const TipLine line{upperTip.bladeX, design.propellerCentreZ, upperTip.bladeZ};
  const ContourDistance distance(hullCurve, line);

  const double step = (highest - lowest) / scanSamples;
  const LowestSample lowestSampled = SampleScan(distance, hullCurve, line, lowest, step).lowest();
  const int best = lowestSampled.index;
  const double bestDistance = lowestSampled.distance;
  const double from = lowest + step * std::max(best - 1, 0);
  const double to = lowest + step * std::min(best + 1, scanSamples);
  const IntervalMinimum refined = minimiseOnInterval(distance, from, to, refineToleranceMetres);
  const double z = refined.value < bestDistance ? refined.at : lowest + step * best;

  const TipDistancePoint contour = distance.contourAt(z);
  const TipDistancePoint tip = nearestOnLine(line, z);
  ClearanceSegment segment;
  segment.name = "tip distance";
  segment.bladeX = tip.x;
  segment.bladeZ = tip.z;
  segment.targetX = contour.x;
  segment.targetZ = contour.z;
  segment.length = distance(z);
  return segment;
}

}  // namespace propclear
