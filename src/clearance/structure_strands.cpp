#include "clearance/structure_strands.h"

#include <utility>

#include "common/checked_math.h"

namespace propclear {

namespace {

// rho = |z - z0| has a corner where the strand crosses the shaft's height.
void addSplitAtAxis(Strand strand, double axisZ, std::vector<Strand>& strands) {
  if (strand.zRate != 0.0) {
    const double atAxis =
        checkedDivide(axisZ - strand.zAtZero, strand.zRate, "where a structure crosses the shaft");
    if (strand.from < atAxis && atAxis < strand.to) {
      Strand below = strand;
      below.to = atAxis;
      strand.from = atAxis;
      strands.push_back(std::move(below));
      strands.push_back(std::move(strand));
      return;
    }
  }
  strands.push_back(std::move(strand));
}

// Room for a structure's strands as a contour of one run of rising pieces
// has them, split at the shaft.
constexpr std::size_t usualStrandCount = 4;

}  // namespace

Strand pointStrand(double x, double z) {
  Strand strand;
  strand.pieces.push_back(CubicPiece{0.0, 0.0, x, 0.0, 0.0, 0.0});
  strand.zAtZero = z;
  return strand;
}

std::vector<Strand> contourStrands(const SplineCurve& hullCurve, double axisZ) {
  std::vector<Strand> strands;
  strands.reserve(usualStrandCount);
  const int n = hullCurve.knotCount();
  if (n == 1) strands.push_back(pointStrand(hullCurve.value(1), hullCurve.knot(1)));
  for (int i = 1; i < n;) {
    if (!(hullCurve.knot(i) < hullCurve.knot(i + 1))) {
      ++i;
      continue;
    }
    Strand strand;
    strand.zRate = 1.0;
    strand.pieces.reserve(static_cast<std::size_t>(n - i));
    for (; i < n && hullCurve.knot(i) < hullCurve.knot(i + 1); ++i) {
      strand.pieces.push_back(pieceOf(hullCurve, i));
    }
    strand.from = strand.pieces.front().start;
    strand.to = strand.pieces.back().end;
    addSplitAtAxis(std::move(strand), axisZ, strands);
  }
  return strands;
}

std::vector<Strand> rudderStrands(const DesignData& design, double axisZ) {
  const double x3 = design.rudderX[3], z3 = design.rudderZ[3];
  const double length = planeDistance(design.rudderX[4] - x3, design.rudderZ[4] - z3);
  Strand strand = pointStrand(x3, z3);
  std::vector<Strand> strands;
  strands.reserve(usualStrandCount);
  if (!(length > 0.0)) {
    strands.push_back(std::move(strand));
    return strands;
  }
  strand.pieces.front().end = length;
  strand.pieces.front().c1 = checkedDivide(design.rudderX[4] - x3, length, "the rudder edge");
  strand.zRate = checkedDivide(design.rudderZ[4] - z3, length, "the rudder edge");
  strand.to = length;
  addSplitAtAxis(std::move(strand), axisZ, strands);
  return strands;
}

}  // namespace propclear
