// The closest approach to the swept volume, checked against a brute force
// that knows nothing of meridional sections: the blade sampled in 3-D along
// the helix of each radius between its edges, turned through a full
// revolution in 0.05 degree steps, and the 3-D distance taken to densely
// sampled points of the centre-plane structure. The same 3-D blade, turned
// through half a revolution, checks the turning-blade a' and c'.

#include "clearance/closest_approach.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "clearance/lowest_along_structure.h"
#include "clearance/stern_analysis.h"
#include "design/read_design_data.h"
#include "geometry/evaluate_curve.h"
#include "geometry/fit_curve.h"
#include "sample_design.h"
#include "test_support.h"

namespace propclear {

void PrintTo(const Warning& warning, std::ostream* out) {
  *out << warningKindCode(warning.kind) << " [" << warning.clearance << "] " << warning.text;
}

namespace {

// The brute force's sampling error stays below this; the computed figure
// must lie within it above the brute force's, never below it.
constexpr double kBruteForceTolerance = 0.001;
// The computed closest approach may undercut the sampled one only by its own
// refinement tolerance.
constexpr double kRefinementTolerance = 1e-5;

// Radii between root and tip (besides the stations), points along each
// section's helix, points along the contour and the rudder edge.
constexpr int kRadii = 160, kChordPoints = 32, kStructurePoints = 1600;
constexpr int kTurnSteps = 7200;  // 0.05 degrees

// The outline's own decimal constants (geometry/blade_outline.h).
constexpr double kPiForRake = 3.141592654;
constexpr double kTwoPiForLead = 6.2831853;

DesignData exampleDesign() { return readDesignData(test::examplesDir() / "Norvalek.TSK").design; }

struct Point3 {
  double x, y, z;  // x absolute, y and z from the shaft axis
};

// A fitted spline of one edge's absolute x over the station radii: the
// interpolation between stations that defines the blade there.
SplineCurve edgeSpline(const BladeOutline& outline, double x0, const StationList& edgeX) {
  SplineCurve curve(outline.stationCount);
  for (int i = 1; i <= outline.stationCount; ++i) {
    curve.knots()[i] = outline.stationRadius[i];
    curve.coef(1)[i] = x0 + edgeX[i];
  }
  fitCurve(curve, EndCondition::NotAKnot, EndCondition::NotAKnot);
  return curve;
}

double valueAt(const SplineCurve& curve, double t) {
  double y = std::numeric_limits<double>::quiet_NaN();
  evaluateCurve(curve, t, y);
  return y;
}

// The blade in its upright position: at each radius the helix from edge 1 to
// edge 2, x = x0 + k(r) - h theta, y = r sin theta, z = r cos theta.
std::vector<Point3> bladePoints(const DesignData& design, const BladeOutline& outline) {
  const double x0 = design.propellerCentreX;
  const double lead = design.pitchRatio * design.propellerDiameter / kTwoPiForLead;
  const double rakeSlope = std::tan(kPiForRake * design.rakeAngle / 180.0);
  const SplineCurve edge1 = edgeSpline(outline, x0, outline.edge1X);
  const SplineCurve edge2 = edgeSpline(outline, x0, outline.edge2X);
  std::vector<double> radii(outline.stationRadius.begin() + 1,
                            outline.stationRadius.begin() + 1 + outline.stationCount);
  const double r1 = outline.stationRadius[1], tip = outline.stationRadius[outline.stationCount];
  for (int i = 0; i <= kRadii; ++i) radii.push_back(r1 + (tip - r1) * i / kRadii);
  std::vector<Point3> points;
  for (const double r : radii) {
    const double k = r * rakeSlope;
    const double theta1 = (x0 + k - valueAt(edge1, r)) / lead;
    const double theta2 = (x0 + k - valueAt(edge2, r)) / lead;
    for (int j = 0; j <= kChordPoints; ++j) {
      const double theta = theta1 + (theta2 - theta1) * j / kChordPoints;
      points.push_back({x0 + k - lead * theta, r * std::sin(theta), r * std::cos(theta)});
    }
  }
  return points;
}

// Points of the centre plane (y = 0), z from the shaft axis.
std::vector<Point3> structurePoints(const DesignData& design, const SternAnalysis& analysis,
                                    SternStructure structure) {
  const double z0 = design.propellerCentreZ;
  std::vector<Point3> points;
  auto add = [&](double x, double z) { points.push_back({x, 0.0, z - z0}); };
  switch (structure) {
    case SternStructure::SternContour: {
      const SplineCurve& hull = analysis.hullCurve;
      const double zFirst = hull.knot(1), zLast = hull.knot(hull.knotCount());
      for (int i = 0; i <= kStructurePoints; ++i) {
        const double z = zFirst + (zLast - zFirst) * i / kStructurePoints;
        add(valueAt(hull, z), z);
      }
      if (zFirst < z0 && z0 < zLast) add(valueAt(hull, z0), z0);
      break;
    }
    case SternStructure::RudderEdge: {
      const double x3 = design.rudderX[3], z3 = design.rudderZ[3];
      const double x4 = design.rudderX[4], z4 = design.rudderZ[4];
      for (int i = 0; i <= kStructurePoints; ++i) {
        const double u = static_cast<double>(i) / kStructurePoints;
        add(x3 + (x4 - x3) * u, z3 + (z4 - z3) * u);
      }
      const double u = (z0 - z3) / (z4 - z3);
      if (u > 0.0 && u < 1.0) add(x3 + (x4 - x3) * u, z0);
      break;
    }
    case SternStructure::Heel:
      add(design.contourX[sternContourRow][1], design.contourZ[sternContourRow][1]);
      break;
  }
  return points;
}

// The smallest 3-D distance between the blade turned through every step and
// a structure point. The turn keeps x and the radius, so no turn brings a
// pair closer than the distance of their (x, radius) pairs: pairs that
// cannot beat the best so far are passed over, which leaves the minimum as
// the full loop would find it.
double bruteForceApproach(const std::vector<Point3>& blade, const std::vector<Point3>& structure) {
  static const auto turns = [] {
    std::vector<std::pair<double, double>> cosSin(kTurnSteps);
    for (int k = 0; k < kTurnSteps; ++k) {
      const double phi = 2.0 * M_PI * k / kTurnSteps;
      cosSin[static_cast<std::size_t>(k)] = {std::cos(phi), std::sin(phi)};
    }
    return cosSin;
  }();
  auto turnedSquaredDistance = [](const Point3& b, const Point3& s) {
    double best = std::numeric_limits<double>::infinity();
    for (const auto& [c, sn] : turns) {
      const double y = b.y * c - b.z * sn, z = b.y * sn + b.z * c;
      best = std::min(best, (b.x - s.x) * (b.x - s.x) + y * y + (z - s.z) * (z - s.z));
    }
    return best;
  };
  std::vector<double> bladeRadius, structureRadius;
  for (const Point3& b : blade) bladeRadius.push_back(std::hypot(b.y, b.z));
  for (const Point3& s : structure) structureRadius.push_back(std::abs(s.z));
  auto squaredBound = [&](std::size_t i, std::size_t j) {
    const double dx = blade[i].x - structure[j].x, dr = bladeRadius[i] - structureRadius[j];
    return dx * dx + dr * dr;
  };
  std::size_t nearBlade = 0, nearStructure = 0;
  double lowestBound = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < blade.size(); ++i) {
    for (std::size_t j = 0; j < structure.size(); ++j) {
      const double bound = squaredBound(i, j);
      if (bound < lowestBound) lowestBound = bound, nearBlade = i, nearStructure = j;
    }
  }
  double best = turnedSquaredDistance(blade[nearBlade], structure[nearStructure]);
  for (std::size_t i = 0; i < blade.size(); ++i) {
    for (std::size_t j = 0; j < structure.size(); ++j) {
      if (squaredBound(i, j) < best) {
        best = std::min(best, turnedSquaredDistance(blade[i], structure[j]));
      }
    }
  }
  return std::sqrt(best);
}

const ClosestApproach* find(const SternAnalysis& analysis, SternStructure structure) {
  for (const ClosestApproach& approach : analysis.closestApproaches) {
    if (approach.structure == structure) return &approach;
  }
  return nullptr;
}

// The reported points agree with the distance, and the swept point lies on
// M's boundary.
void expectConsistent(const ClosestApproach& approach, const SweptVolume& volume, double z0) {
  const std::string name = structureName(approach.structure);
  const double r = std::abs(approach.sweptZ - z0);
  EXPECT_NEAR(r / volume.tipRadius(), approach.radiusRatio, 1e-12) << name;
  EXPECT_EQ(approach.aboveShaft, approach.structureZ >= z0) << name;
  EXPECT_EQ(approach.aboveShaft, approach.sweptZ >= z0) << name;
  if (approach.overlaps) {
    EXPECT_EQ(approach.distance, 0.0) << name;
    EXPECT_GT(approach.overlapDepth, 0.0) << name;
    EXPECT_TRUE(volume.contains({approach.structureX, std::abs(approach.structureZ - z0)})) << name;
    return;
  }
  EXPECT_NEAR(
      std::hypot(approach.structureX - approach.sweptX, std::abs(approach.structureZ - z0) - r),
      approach.distance, 1e-9)
      << name;
  const bool onCap =
      std::abs(r - volume.rootRadius()) < 1e-9 || std::abs(r - volume.tipRadius()) < 1e-9;
  const bool onEdge = std::abs(approach.sweptX - volume.lowX(r)) < 1e-9 ||
                      std::abs(approach.sweptX - volume.highX(r)) < 1e-9;
  EXPECT_TRUE(onCap || onEdge) << name << " swept point (" << approach.sweptX << ", r " << r << ")";
}

// Where a structure cuts M, the brute force's samples come within a few
// millimetres of touching, not always within its tolerance: `cutsToo` false
// leaves the upper bound out there.
void expectMatchesBruteForce(const DesignData& design, bool cutsToo = true) {
  const SternAnalysis analysis = analyseStern(design);
  ASSERT_TRUE(analysis.sweptVolume.has_value());
  const std::vector<Point3> blade = bladePoints(design, analysis.outline);
  for (const SternStructure structure :
       {SternStructure::SternContour, SternStructure::RudderEdge, SternStructure::Heel}) {
    const ClosestApproach* approach = find(analysis, structure);
    ASSERT_NE(approach, nullptr) << structureName(structure);
    const double brute = bruteForceApproach(blade, structurePoints(design, analysis, structure));
    EXPECT_GE(brute, approach->distance - kRefinementTolerance) << structureName(structure);
    if (cutsToo || !approach->overlaps) {
      EXPECT_LE(brute, approach->distance + kBruteForceTolerance) << structureName(structure);
    }
    EXPECT_NEAR(approach->distancePerDiameter, approach->distance / design.propellerDiameter,
                1e-12);
    expectConsistent(*approach, *analysis.sweptVolume, design.propellerCentreZ);
  }
}

struct VariedDesign {
  const char* name;
  void (*change)(DesignData&);
};

const VariedDesign kVariedDesigns[] = {
    {"example", [](DesignData&) {}},
    {"strong_rake", [](DesignData& d) { d.rakeAngle = 25.0, d.pitchRatio = 1.1; }},
    {"negative_rake_small_propeller",
     [](DesignData& d) { d.rakeAngle = -8.0, d.pitchRatio = 1.3, d.propellerDiameter = 3.6; }},
    // The frame swells aft between the shaft and the tip's height.
    {"bulging_contour",
     [](DesignData& d) {
       d.contourX[sternContourRow][8] = 3.30;   // z = 3.6
       d.contourX[sternContourRow][9] = 3.45;   // z = 4.1
       d.contourX[sternContourRow][10] = 3.50;  // z = 4.6
     }},
    // A large wide propeller before a frame swelling aft below the shaft:
    // the lowest sample of the scan is not in the lowest basin, which lies
    // 17 mm lower.
    {"wide_propeller_swollen_frame",
     [](DesignData& d) {
       d.propellerDiameter = 5.12;
       d.pitchRatio = 0.63, d.areaRatio = 0.886, d.rakeAngle = 8.7;
       const double x[] = {2.052, 2.424, 2.795, 3.003, 3.017, 2.981, 2.872};  // z = 0.8 to 3.6
       for (int k = 2; k <= 8; ++k) d.contourX[sternContourRow][k] = x[k - 2];
     }},
    // The rudder's leading edge leans forward at its foot.
    {"leaning_rudder", [](DesignData& d) { d.rudderX[4] = 5.05; }},
    // The propeller moved forward into the stern frame.
    {"overlapping_frame", [](DesignData& d) { d.propellerCentreX = 2.4; }},
};

void PrintTo(const VariedDesign& design, std::ostream* out) { *out << design.name; }

class AgainstBruteForce : public ::testing::TestWithParam<VariedDesign> {};

TEST_P(AgainstBruteForce, ClosestApproachOfEveryStructure) {
  DesignData design = exampleDesign();
  GetParam().change(design);
  expectMatchesBruteForce(design);
}

INSTANTIATE_TEST_SUITE_P(Designs, AgainstBruteForce, ::testing::ValuesIn(kVariedDesigns),
                         [](const auto& info) { return std::string(info.param.name); });

// The hub in 3-D: its mantle's line and its faces' radii in the upright
// plane, every millimetre; the brute force turns them.
std::vector<Point3> hubPoints(const DesignData& design) {
  const double halfLength = *design.propeller->hubLengthMetres / 2, radius = design.hubDiameter / 2;
  const double x0 = design.propellerCentreX;
  std::vector<Point3> points;
  const int along = static_cast<int>(2 * halfLength / 0.001), across = static_cast<int>(radius / 0.001);
  for (int i = 0; i <= along; ++i) points.push_back({x0 - halfLength + 2 * halfLength * i / along, 0, radius});
  for (int i = 0; i <= across; ++i) {
    points.push_back({x0 - halfLength, 0, radius * i / across});
    points.push_back({x0 + halfLength, 0, radius * i / across});
  }
  return points;
}

// A five-bladed propeller skewed 25 degrees at the tip, from a table with its
// own pitch and rake at radii that do not hold 0.7R: the closest approaches
// of the blades and of the hub within 0.1 mm of the brute force's (which
// takes each radius's helix between the two edges' x; its pitch there does
// not move the point's radius or x range).
TEST(SkewedPropeller, ClosestApproachesOfBladesAndHubMatchTheBruteForceToATenthOfAMillimetre) {
  constexpr double tenthOfAMillimetre = 1e-4;
  DesignData design = exampleDesign();
  design.propeller = test::skewedFiveBladedPropeller();
  const SternAnalysis analysis = analyseStern(design);
  const std::vector<Point3> blade = bladePoints(design, analysis.outline);
  for (const SternStructure structure :
       {SternStructure::SternContour, SternStructure::RudderEdge, SternStructure::Heel}) {
    const ClosestApproach* approach = find(analysis, structure);
    ASSERT_NE(approach, nullptr) << structureName(structure);
    const double brute = bruteForceApproach(blade, structurePoints(design, analysis, structure));
    EXPECT_NEAR(brute, approach->distance, tenthOfAMillimetre) << structureName(structure);
    expectConsistent(*approach, *analysis.sweptVolume, design.propellerCentreZ);
  }
  ASSERT_TRUE(analysis.hubApproach.has_value());
  EXPECT_EQ(analysis.hubApproach->sweptPart, SweptPart::Hub);
  const double hubBrute = bruteForceApproach(
      hubPoints(design), structurePoints(design, analysis, SternStructure::SternContour));
  EXPECT_NEAR(hubBrute, analysis.hubApproach->distance, tenthOfAMillimetre);
  EXPECT_GT(analysis.hubApproach->distance, 0.3);
}

// Rudder edges along which the distance to M runs through a flat valley with
// two shallow minima, each checked against the exact distance at every
// 0.27 mm of the edge: the scan's samples must not lead the search to the
// higher one.
struct ShallowValley {
  const char* name;
  double diameter, pitchRatio, areaRatio, rakeAngle;
  double corner3X, corner4X;  // the leading edge, from z = 6 down to z = 0.6
};

const ShallowValley kShallowValleys[] = {
    // 0.27 m apart, 1.1 mm different, either side of the height where the
    // nearest part of M changes, the samples either side in the higher one's
    // reach.
    {"either_side_of_a_ridge", 4.274, 1.008, 0.771, 6.9, 5.654, 5.651},
    // Along M's high edge, nearly parallel to the rudder: the scan orders the
    // two minima wrongly and shows none in the lower (1.7 mm lower).
    {"ordered_wrongly_by_the_scan", 4.877, 1.163, 0.797, 6.7, 5.609, 5.692},
    // The lower at the foot of the edge, where the scan falls towards the
    // other.
    {"lower_at_the_foot", 5.043, 1.002, 0.810, 2.0, 6.453, 5.964},
    // The lower between two samples, each above the higher minimum.
    {"lower_between_two_samples", 4.233, 1.189, 0.820, 3.7, 6.788, 6.570},
    // Both between the same two samples, the search from the scan's parabola
    // settling in the higher (1.1 mm higher).
    {"both_between_the_same_samples", 4.974, 1.068, 0.629, 2.7, 5.825, 6.118},
};

void PrintTo(const ShallowValley& valley, std::ostream* out) { *out << valley.name; }

class RudderEdgeValley : public ::testing::TestWithParam<ShallowValley> {};

TEST_P(RudderEdgeValley, ClosestApproachIsTheLowerMinimum) {
  const ShallowValley& valley = GetParam();
  DesignData design = exampleDesign();
  design.propellerDiameter = valley.diameter;
  design.pitchRatio = valley.pitchRatio, design.areaRatio = valley.areaRatio;
  design.rakeAngle = valley.rakeAngle;
  design.rudderX[3] = valley.corner3X, design.rudderZ[3] = 6.0;
  design.rudderX[4] = valley.corner4X, design.rudderZ[4] = 0.6;
  const SternAnalysis analysis = analyseStern(design);
  const SweptVolume& volume = analysis.sweptVolume.value();
  double lowest = std::numeric_limits<double>::infinity();
  constexpr int steps = 20000;
  for (int k = 0; k <= steps; ++k) {
    const double u = static_cast<double>(k) / steps;
    const double x = design.rudderX[3] + u * (design.rudderX[4] - design.rudderX[3]);
    const double z = design.rudderZ[3] + u * (design.rudderZ[4] - design.rudderZ[3]);
    lowest =
        std::min(lowest, volume.distanceFrom({x, std::abs(z - volume.axisZ())}).signedDistance);
  }
  const ClosestApproach* rudder = find(analysis, SternStructure::RudderEdge);
  ASSERT_NE(rudder, nullptr);
  EXPECT_LE(rudder->distance, lowest + 1e-7);
  EXPECT_GE(rudder->distance, lowest - 1e-4);
}

INSTANTIATE_TEST_SUITE_P(Designs, RudderEdgeValley, ::testing::ValuesIn(kShallowValleys),
                         [](const auto& info) { return std::string(info.param.name); });

// Seven hundred drawn designs, each structure's closest approach against the
// brute force and against a dense scan of M's exact distance (every 0.1 mm
// of the structure, to 1e-7 m): the validation of the search. It takes about
// a minute of one core, so its shards are instantiated under the prefix
// "Slow", which the build labels "slow".
//
// Each design is the example with D, P/D, Ear and the rake drawn from the
// ranges below, the rudder moved and its foot leaned, and the stern frame
// swollen or hollowed about a height within the propeller's disc.

// Uniform draws from the 53 high bits of a 64-bit Mersenne twister, whose
// sequence the standard fixes: the same designs from any library.
class UniformDraw {
 public:
  explicit UniformDraw(std::uint64_t seed) : engine_(seed) {}
  double between(double low, double high) {
    return low + (high - low) * static_cast<double>(engine_() >> 11) * 0x1p-53;
  }

 private:
  std::mt19937_64 engine_;
};

DesignData drawnDesign(std::uint64_t seed) {
  UniformDraw draw(seed);
  DesignData design = exampleDesign();
  design.propellerDiameter = draw.between(3.6, 5.4);
  design.pitchRatio = draw.between(0.6, 1.2);
  design.areaRatio = draw.between(0.4, 0.9);
  design.rakeAngle = draw.between(0.0, 15.0);
  const double rudderShift = draw.between(-0.6, 0.6);
  for (int corner = 1; corner <= rudderCornerCount; ++corner) design.rudderX[corner] += rudderShift;
  design.rudderX[4] += draw.between(-0.5, 0.5);
  const double swell = draw.between(-0.4, 0.4);
  const double swellZ =
      design.propellerCentreZ + 0.5 * design.propellerDiameter * draw.between(-1.0, 1.0);
  const double swellHeight = draw.between(0.5, 2.0);
  for (int k = 1; k <= design.contourPointCount[sternContourRow]; ++k) {
    const double above = (design.contourZ[sternContourRow][k] - swellZ) / swellHeight;
    design.contourX[sternContourRow][k] += swell * std::exp(-above * above);
  }
  return design;
}

struct PlanePoint {
  double x, z;
};

// The scan's spacing along a structure, m.
constexpr double kDenseStep = 1e-4;

// A structure as the dense scan walks it: its points 0 to `steps`, no more
// than kDenseStep apart (the scan checks it), the point at the shaft's
// height besides, where the distance may have a corner, and its x at a
// height.
struct DensePath {
  std::function<PlanePoint(int)> pointAt;
  int steps = 0;
  std::vector<PlanePoint> atShaftHeight;
  std::function<double(double)> xAtHeight;
};

// The fitted stern contour from its first point to its last, the heights
// rising; `hull` must outlive the path.
DensePath contourPath(const SplineCurve& hull, double z0) {
  const double zFirst = hull.knot(1), zLast = hull.knot(hull.knotCount());
  DensePath path;
  path.xAtHeight = [evaluation = CurveEvaluation(hull)](double z) {
    double x = std::numeric_limits<double>::quiet_NaN();
    evaluation.at(z, x);
    return x;
  };
  double steepest = 0.0;  // |dx/dz| at a millimetre's resolution
  for (double z = zFirst; z + 1e-3 <= zLast; z += 1e-3) {
    steepest = std::max(steepest, std::abs(path.xAtHeight(z + 1e-3) - path.xAtHeight(z)) / 1e-3);
  }
  const int steps =
      static_cast<int>(std::ceil((zLast - zFirst) * 1.1 * std::hypot(1.0, steepest) / kDenseStep));
  path.steps = steps;
  path.pointAt = [=, xAt = path.xAtHeight](int i) {
    const double z = i == steps ? zLast : zFirst + (zLast - zFirst) * i / steps;
    return PlanePoint{xAt(z), z};
  };
  if (zFirst < z0 && z0 < zLast) path.atShaftHeight.push_back({path.xAtHeight(z0), z0});
  return path;
}

// The rudder's leading edge from corner 3 to corner 4.
DensePath rudderPath(const DesignData& design, double z0) {
  const PlanePoint top{design.rudderX[3], design.rudderZ[3]};
  const PlanePoint foot{design.rudderX[4], design.rudderZ[4]};
  const auto at = [=](double u) {
    return PlanePoint{top.x + u * (foot.x - top.x), top.z + u * (foot.z - top.z)};
  };
  DensePath path;
  const int steps =
      static_cast<int>(std::ceil(std::hypot(foot.x - top.x, foot.z - top.z) / kDenseStep));
  path.steps = steps;
  path.pointAt = [=](int i) { return at(static_cast<double>(i) / steps); };
  path.xAtHeight = [=](double z) { return at((z - top.z) / (foot.z - top.z)).x; };
  const double shaftU = (z0 - top.z) / (foot.z - top.z);
  if (shaftU > 0.0 && shaftU < 1.0) path.atShaftHeight.push_back(at(shaftU));
  return path;
}

// The lowest signed distance to M along `path`, where it lies below
// `ceiling`; otherwise `ceiling`. A point is passed over where the last one
// measured shows it cannot lie below the lowest so far: the distance changes
// no faster than the point moves.
double lowestOnDenseScan(const SweptVolume& volume, const DensePath& path, double ceiling) {
  const auto distanceAt = [&](PlanePoint q) {
    return volume.distanceFrom({q.x, std::abs(q.z - volume.axisZ())}).signedDistance;
  };
  double lowest = ceiling;
  for (const PlanePoint corner : path.atShaftHeight) lowest = std::min(lowest, distanceAt(corner));
  PlanePoint measured = path.pointAt(0), previous = measured;
  double measuredValue = distanceAt(measured);
  lowest = std::min(lowest, measuredValue);
  double longestStep = 0.0;
  for (int i = 1; i <= path.steps; ++i) {
    const PlanePoint q = path.pointAt(i);
    longestStep = std::max(longestStep, std::hypot(q.x - previous.x, q.z - previous.z));
    previous = q;
    if (std::hypot(q.x - measured.x, q.z - measured.z) < measuredValue - lowest) continue;
    measured = q;
    measuredValue = distanceAt(q);
    lowest = std::min(lowest, measuredValue);
  }
  EXPECT_LE(longestStep, kDenseStep);
  return lowest;
}

// No point of the stern contour or the rudder edge, every 0.1 mm, lies more
// than 1e-7 m nearer to M (or deeper inside it) than the closest approach
// found; that lies on the structure, at the distance it gives.
void expectNoPointComesCloser(const DesignData& design) {
  const SternAnalysis analysis = analyseStern(design);
  ASSERT_TRUE(analysis.sweptVolume.has_value());
  const SweptVolume& volume = *analysis.sweptVolume;
  const double z0 = design.propellerCentreZ;
  const std::pair<SternStructure, DensePath> paths[] = {
      {SternStructure::SternContour, contourPath(analysis.hullCurve, z0)},
      {SternStructure::RudderEdge, rudderPath(design, z0)}};
  for (const auto& [structure, path] : paths) {
    const ClosestApproach* approach = find(analysis, structure);
    ASSERT_NE(approach, nullptr) << structureName(structure);
    SCOPED_TRACE(structureName(structure));
    const double found = approach->overlaps ? -approach->overlapDepth : approach->distance;
    EXPECT_NEAR(approach->structureX, path.xAtHeight(approach->structureZ), 1e-9);
    EXPECT_NEAR(volume.distanceFrom({approach->structureX, std::abs(approach->structureZ - z0)})
                    .signedDistance,
                found, 1e-9);
    EXPECT_GE(lowestOnDenseScan(volume, path, found), found - 1e-7);
  }
}

constexpr int kDrawnDesigns = 700, kShards = 10;

class DrawnDesigns : public ::testing::TestWithParam<int> {};

TEST_P(DrawnDesigns, NoPointOfAStructureComesCloserThanItsClosestApproach) {
  for (int seed = GetParam() + 1; seed <= kDrawnDesigns; seed += kShards) {
    SCOPED_TRACE("drawnDesign(" + std::to_string(seed) + ")");
    const DesignData design = drawnDesign(static_cast<std::uint64_t>(seed));
    expectMatchesBruteForce(design, false);
    expectNoPointComesCloser(design);
  }
}

INSTANTIATE_TEST_SUITE_P(Slow, DrawnDesigns, ::testing::Range(0, kShards));

// The curvature of the distance across the line to the nearest point, which
// the search's Newton steps read, against the second difference of the exact
// distance along that cross direction: near an edge bending either way, near
// a cap and beyond a corner.
TEST(SweptVolumeDistance, CrossCurvatureIsTheDistancesSecondDifferenceAcross) {
  const SternAnalysis analysis = analyseStern(exampleDesign());
  ASSERT_TRUE(analysis.sweptVolume);
  const SweptVolume& volume = *analysis.sweptVolume;
  const double low = volume.lowX(1.5), high = volume.highX(1.5);
  const double tip = volume.tipRadius(), root = volume.rootRadius();
  // clang-format off
  const std::vector<MeridionalPoint> points = {
      {low - 0.7, 1.5},  {high + 0.7, 1.5},  {low - 0.3, 0.9 * tip}, {high + 0.3, 0.6 * tip},
      {0.5 * (low + high), tip + 0.4}, {volume.lowX(root) - 0.5, root - 0.5}};
  // clang-format on
  constexpr double step = 1e-3;
  for (const MeridionalPoint p : points) {
    const SectionDistance at = volume.distanceFrom(p);
    ASSERT_GT(at.signedDistance, 0.0);
    const double ux = (p.x - at.nearest.x) / at.signedDistance;
    const double ur = (p.r - at.nearest.r) / at.signedDistance;
    const auto across = [&](double s) {
      return volume.distanceFrom({p.x - s * ur, p.r + s * ux}).signedDistance;
    };
    const double secondDifference =
        (across(step) + across(-step) - 2.0 * at.signedDistance) / (step * step);
    EXPECT_NEAR(at.crossCurvature, secondDifference, 2e-3 + 1e-3 * std::abs(secondDifference))
        << p.x << " " << p.r;
  }
}

// The scan's signed distance from the edge samples against the exact one, on
// a grid about M reaching into it and just inside its faces, for the example
// and a wide blade of high pitch whose edges bend sharply near the tip: the
// same side of M's boundary, the samples never nearer to it than it is, and
// no further than the bound the search relies on.
TEST(SweptVolumeDistance, SamplesComeWithinTheirBoundOfTheExactDistance) {
  DesignData wide = exampleDesign();
  wide.pitchRatio = 1.2, wide.areaRatio = 0.9, wide.rakeAngle = 15.0;
  for (const DesignData& design : {exampleDesign(), wide}) {
    const SternAnalysis analysis = analyseStern(design);
    ASSERT_TRUE(analysis.sweptVolume);
    const SweptVolume& volume = *analysis.sweptVolume;
    const double tip = volume.tipRadius();
    std::vector<MeridionalPoint> points;
    for (int i = 0; i <= 60; ++i) {
      for (int j = 0; j <= 60; ++j) {
        points.push_back({volume.sampledMinX() - 0.5 * tip + i * (0.025 * tip) +
                              j * 1e-3 * (volume.sampledMaxX() - volume.sampledMinX()),
                          j * (0.025 * tip)});
      }
    }
    for (int j = 0; j <= 100; ++j) {
      const double r = volume.rootRadius() + (tip - volume.rootRadius()) * j / 100;
      points.push_back({volume.lowX(r) + 1e-3, r});
      points.push_back({volume.highX(r) - 1e-3, r});
    }
    for (const MeridionalPoint p : points) {
      const double sampled = volume.approximateSignedDistance(p);
      const double exact = volume.distanceFrom(p).signedDistance;
      EXPECT_EQ(sampled < 0.0, exact < 0.0)
          << p.x << ", " << p.r << ": " << sampled << ", " << exact;
      const double sampledSize = std::abs(sampled), exactSize = std::abs(exact);
      // The exact distance is found to about 1e-6 m.
      constexpr double found = 1e-7;
      EXPECT_LE(exactSize, sampledSize + found) << p.x << ", " << p.r;
      EXPECT_LE(sampledSize, volume.sampledDistanceBound(exactSize) + found) << p.x << ", " << p.r;
      EXPECT_LE(volume.leastBoundaryDistance(sampledSize), exactSize + found) << p.x << ", " << p.r;
      EXPECT_LE(sampledSize - exactSize, volume.approximationError() + found) << p.x << ", " << p.r;
    }
  }
}

TEST(ClosestApproach, ExampleComesClosestAtTheBladeRootAndNearTheRudderFoot) {
  const SternAnalysis analysis = analyseStern(exampleDesign());
  ASSERT_EQ(analysis.closestApproaches.size(), 3u);
  const ClosestApproach& contour = analysis.closestApproaches[0];
  // The frame passes the shaft 0.7 m ahead of the root section's leading
  // corner, nearer than a = 1.113 m measured at 0.7R.
  EXPECT_EQ(contour.structure, SternStructure::SternContour);
  EXPECT_NEAR(contour.distance, 0.6832, 1e-4);
  EXPECT_NEAR(contour.radiusRatio, 0.2, 1e-9);
  EXPECT_TRUE(contour.aboveShaft);
  const ClosestApproach& rudder = analysis.closestApproaches[1];
  EXPECT_EQ(rudder.structure, SternStructure::RudderEdge);
  EXPECT_NEAR(rudder.distance, 1.6099, 1e-4);
  EXPECT_LT(rudder.distance, analysis.turningLowerBlade.cPrime.segment.length);
  for (const ClosestApproach& approach : analysis.closestApproaches)
    EXPECT_FALSE(approach.overlaps);
}

TEST(ClosestApproach, OverlapIsZeroWithItsDepthAndAWarning) {
  DesignData design = exampleDesign();
  design.propellerCentreX = 2.4;
  const SternAnalysis analysis = analyseStern(design);
  const ClosestApproach* contour = find(analysis, SternStructure::SternContour);
  ASSERT_NE(contour, nullptr);
  EXPECT_TRUE(contour->overlaps);
  EXPECT_EQ(contour->distance, 0.0);
  EXPECT_EQ(contour->sweptX, contour->structureX);
  EXPECT_EQ(contour->sweptZ, contour->structureZ);
  const bool warned = std::any_of(analysis.warnings.begin(), analysis.warnings.end(), [](auto& w) {
    return w.kind == WarningKind::Overlap && w.text.find("swept volume of the turning propeller overlaps the stern contour") !=
           std::string::npos;
  });
  EXPECT_TRUE(warned);
}

// Zero pitch lays every section flat in one plane: M shrinks to the line of
// the rake, and the distances are those to a segment.
TEST(ClosestApproach, FlatBladeSweepsALineOfZeroWidth) {
  DesignData design = exampleDesign();
  design.pitchRatio = 0.0;
  design.rakeAngle = 0.0;
  design.rudderX[3] = design.rudderX[4] = 5.5;
  const SternAnalysis analysis = analyseStern(design);
  const SweptVolume& volume = *analysis.sweptVolume;
  EXPECT_DOUBLE_EQ(volume.lowX(1.0), volume.highX(1.0));
  const ClosestApproach* rudder = find(analysis, SternStructure::RudderEdge);
  ASSERT_NE(rudder, nullptr);
  EXPECT_NEAR(rudder->distance, 1.5, 1e-9);
  const ClosestApproach* heel = find(analysis, SternStructure::Heel);
  // The heel (1.8, 0.3) lies 2.5 m below the shaft, beyond the tip's 2.3 m.
  EXPECT_NEAR(heel->distance, std::hypot(4.0 - 1.8, 2.5 - 2.3), 1e-9);
  EXPECT_FALSE(heel->aboveShaft);
  EXPECT_NEAR(heel->radiusRatio, 1.0, 1e-12);
}

TEST(ClosestApproach, NoStrandsComeNowhereNear) {
  const SternAnalysis analysis = analyseStern(exampleDesign());
  ASSERT_TRUE(analysis.sweptVolume);
  EXPECT_EQ(lowestAlongStrands(*analysis.sweptVolume, {}).value(),
            std::numeric_limits<double>::infinity());
}

TEST(ClosestApproach, RudderEdgeOfNoLengthIsItsCorner) {
  DesignData design = exampleDesign();
  design.rudderX[4] = design.rudderX[3];
  design.rudderZ[4] = design.rudderZ[3];
  const SternAnalysis analysis = analyseStern(design);
  const ClosestApproach* rudder = find(analysis, SternStructure::RudderEdge);
  ASSERT_NE(rudder, nullptr);
  EXPECT_EQ(rudder->structureX, design.rudderX[3]);
  EXPECT_EQ(rudder->structureZ, design.rudderZ[3]);
}

TEST(ClosestApproach, ContourWithoutRisingHeightsHasNoneAndNoDiameterNoSweptVolume) {
  DesignData design = exampleDesign();
  test::setContour(design, {{6.6, 6.0, 1}, {5.0, 2.1, 1}, {0.2, 1.2, 1}});
  const SternAnalysis falling = analyseStern(design);
  EXPECT_EQ(find(falling, SternStructure::SternContour), nullptr);
  EXPECT_NE(find(falling, SternStructure::Heel), nullptr);

  design = exampleDesign();
  design.propellerDiameter = -4.6;
  const SternAnalysis negative = analyseStern(design);
  EXPECT_FALSE(negative.sweptVolume.has_value());
  EXPECT_TRUE(negative.closestApproaches.empty());
}

// The turning blade: the 3-D blade at 0.7R turned through half a revolution.
// Its extreme chord points in x are the blade ends of a' and c'.
TEST(TurningLowerBlade, EdgesFacingEachStructureAreThoseOfTheBladeTurnedHalfARevolution) {
  for (const VariedDesign& varied : kVariedDesigns) {
    DesignData design = exampleDesign();
    varied.change(design);
    const SternAnalysis analysis = analyseStern(design);
    const double z0 = design.propellerCentreZ;
    const double r07 = 0.35 * design.propellerDiameter;
    double minX = std::numeric_limits<double>::infinity(), maxX = -minX, zAtMin = 0, zAtMax = 0;
    for (const Point3& p : bladePoints(design, analysis.outline)) {
      if (std::abs(std::hypot(p.y, p.z) - r07) > 1e-9) continue;
      const double turnedZ = z0 - p.z;  // (x, y, z) -> (x, -y, -z)
      if (p.x < minX) minX = p.x, zAtMin = turnedZ;
      if (p.x > maxX) maxX = p.x, zAtMax = turnedZ;
    }
    const TurningLowerBlade& turning = analysis.turningLowerBlade;
    SCOPED_TRACE(varied.name);
    EXPECT_NEAR(turning.aPrime.segment.bladeX, minX, 1e-6);
    EXPECT_NEAR(turning.aPrime.segment.bladeZ, zAtMin, 1e-6);
    EXPECT_NEAR(turning.cPrime.segment.bladeX, maxX, 1e-6);
    EXPECT_NEAR(turning.cPrime.segment.bladeZ, zAtMax, 1e-6);
    ASSERT_TRUE(turning.aPrime.signedGap.has_value());
    EXPECT_NEAR(*turning.aPrime.signedGap, minX - valueAt(analysis.hullCurve, zAtMin), 1e-6);
    EXPECT_NEAR(*turning.cPrime.signedGap, rudderEdgeXAtHeight(design, zAtMax) - maxX, 1e-6);
  }
}

TEST(TurningLowerBlade, ExampleGivesTheTurningFiguresBesideTheMirroredOnes) {
  const SternAnalysis analysis = analyseStern(exampleDesign());
  EXPECT_NEAR(analysis.clearances[clearanceAPrime].length, 1.194, 5e-4);
  EXPECT_NEAR(analysis.clearances[clearanceCPrime].length, 2.204, 5e-4);
  EXPECT_NEAR(*analysis.turningLowerBlade.aPrime.signedGap, 1.728, 5e-4);
  EXPECT_NEAR(*analysis.turningLowerBlade.cPrime.signedGap, 1.658, 5e-4);
  ASSERT_EQ(analysis.warnings.size(), 1u);
  EXPECT_EQ(analysis.warnings[0].text,
            "the report and the CAD script give the legacy a' = 1.194 m, c' = 2.204 m of the "
            "mirrored lower blade; the blade as it turns gives a' = 1.728 m, c' = 1.658 m");
}

// Either figure differing alone brings the note. The blade ends do not depend
// on the structures, so the example's place them: a rudder edge through the
// points the turning blade's c' lies aft of both blades' ends makes the two
// c' agree and leaves a' differing; a straight stern frame through the points
// its a' lies forward of them does the same for a'. The turning figures stay
// the example's.
TEST(TurningLowerBlade, EitherFigureDifferingAloneIsNoted) {
  const SternAnalysis example = analyseStern(exampleDesign());
  // The note's end: the turning figures, the example's; its start gives the legacy ones.
  const auto noted = [](const SternAnalysis& analysis) {
    return std::count_if(analysis.warnings.begin(), analysis.warnings.end(), [](const Warning& w) {
      return w.kind == WarningKind::LegacyLowerBlade &&
             w.text.ends_with("the blade as it turns gives a' = 1.728 m, c' = 1.658 m");
    });
  };
  // The line through (x1 + offset, z1) and (x2 + offset, z2), at height z.
  const auto through = [](const ClearanceSegment& one, const ClearanceSegment& other, double offset,
                          double z) {
    const double slope = (other.bladeX - one.bladeX) / (other.bladeZ - one.bladeZ);
    return one.bladeX + offset + slope * (z - one.bladeZ);
  };

  DesignData onlyA = exampleDesign();
  const ClearanceSegment& mirroredC = example.clearances[clearanceCPrime];
  const ClearanceSegment& turningC = example.turningLowerBlade.cPrime.segment;
  const double gapC = *example.turningLowerBlade.cPrime.signedGap;
  for (const int corner : {3, 4}) {
    onlyA.rudderX[corner] = through(turningC, mirroredC, gapC, onlyA.rudderZ[corner]);
  }
  const SternAnalysis aDiffers = analyseStern(onlyA);
  EXPECT_NEAR(aDiffers.clearances[clearanceCPrime].length,
              *aDiffers.turningLowerBlade.cPrime.signedGap, 1e-6);
  EXPECT_EQ(noted(aDiffers), 1);

  DesignData onlyC = exampleDesign();
  const ClearanceSegment& mirroredA = example.clearances[clearanceAPrime];
  const ClearanceSegment& turningA = example.turningLowerBlade.aPrime.segment;
  const double gapA = *example.turningLowerBlade.aPrime.signedGap;
  const auto frameAt = [&](double z) {
    return test::ContourPoint{z, through(turningA, mirroredA, -gapA, z), 1};
  };
  test::setContour(
      onlyC, {frameAt(0.3), frameAt(1.0), frameAt(2.0), frameAt(3.5), frameAt(6.0), frameAt(10.5)});
  const SternAnalysis cDiffers = analyseStern(onlyC);
  EXPECT_NEAR(cDiffers.clearances[clearanceAPrime].length,
              *cDiffers.turningLowerBlade.aPrime.signedGap, 1e-6);
  EXPECT_EQ(noted(cDiffers), 1);
}

// A rudder whose foot leans far forward: the reflected blade stays clear of
// it, the turning blade and its swept volume cut into it.
TEST(TurningLowerBlade, OverlapHiddenByTheMirroredBladeIsWarnedAndCounted) {
  DesignData design = exampleDesign();
  design.rudderX[4] = 4.1;
  const SternAnalysis analysis = analyseStern(design);
  EXPECT_FALSE(overlaps(analysis.signedGaps[clearanceCPrime]));
  EXPECT_TRUE(overlaps(analysis.turningLowerBlade.cPrime.signedGap));
  EXPECT_TRUE(find(analysis, SternStructure::RudderEdge)->overlaps);
  const std::vector<Warning> expected = {
      {WarningKind::Overlap, "c'",
       "clearance c': the blade overlaps the rudder edge by 0.125 m (0.027 D)"},
      {WarningKind::LegacyLowerBlade, "",
       "the report and the CAD script give the legacy a' = 1.194 m, c' = 0.430 m of the mirrored "
       "lower blade; the blade as it turns gives a' = 1.728 m, c' = -0.125 m"},
      {WarningKind::Overlap, "",
       "the swept volume of the turning propeller overlaps the rudder leading edge: its point x = "
       "4.305 m, z = 1.114 m lies 0.206 m (0.045 D) inside it (blade thickness neglected)"}};
  EXPECT_EQ(analysis.warnings, expected);
}

TEST(TurningLowerBlade, StraightBladeNeedsNoNoteAndAFallbackHasNoSign) {
  // A blade of no chord and no rake lies on the line x = x0, z = z0 + r:
  // both conventions give the same figures.
  DesignData design = exampleDesign();
  design.rakeAngle = 0.0;
  design.areaRatio = 0.0;
  const SternAnalysis flat = analyseStern(design);
  EXPECT_NEAR(*flat.turningLowerBlade.aPrime.signedGap, flat.clearances[clearanceAPrime].length,
              1e-9);
  // No note about the mirrored blade; only the warning that a blade of no
  // area is no real design.
  ASSERT_EQ(flat.warnings.size(), 1u);
  EXPECT_EQ(flat.warnings.front().kind, WarningKind::InvalidDesign) << flat.warnings.front().text;

  // A contour that ends below the turned 0.7R point: measured to x = 0, no sign.
  design = exampleDesign();
  test::setContour(design, {{1.5, 2.3, 1}, {2.0, 2.6, 1}, {2.5, 2.8, 1}});
  const SternAnalysis low = analyseStern(design);
  EXPECT_FALSE(low.turningLowerBlade.aPrime.signedGap.has_value());
  EXPECT_EQ(low.turningLowerBlade.aPrime.segment.targetX, 0.0);
}

}  // namespace
}  // namespace propclear
