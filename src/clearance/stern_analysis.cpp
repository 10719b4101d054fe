#include "clearance/stern_analysis.h"

#include <algorithm>
#include <span>
#include <vector>

#include "clearance/design_validity.h"
#include "clearance/hub_section.h"
#include "clearance/measuring_operations.h"
#include "common/checked_math.h"
#include "common/diagnostics.h"
#include "common/run_error.h"
#include "geometry/set_up_contour.h"

namespace propclear {

namespace {

// The drawings step the contour by a hundredth of the extent; with no extent
// there is neither a step nor a scale.
void requireExtent(const PlotExtent& extent) {
  if (!(checkedDivide(extent.range, 100.0, "the plot layout") > 0.0)) {
    throw RunError(ErrorKind::Input,
                   "cannot draw the stern: the stern contour has no extent (no points, or all at "
                   "the origin), so the plot has no scale");
  }
}

// The hub of a propeller file's propeller joins the swept solid, with its
// own closest approach to the stern contour.
void addHubApproach(const DesignData& design, SternAnalysis& analysis) {
  analysis.hub = hubSectionOf(design);
  if (!analysis.hub) return;
  analysis.hubApproach =
      hubApproach(design, *analysis.hub, analysis.sweptVolume->tipRadius(), analysis.hullCurve);
}

// The stern contour's two fits (piecewise between break points for the
// drawings, whole for measuring), remembered per thread with the points they
// were fitted from: a study varies the propeller and the rudder of one stern,
// whose contour is then fitted once per thread instead of once per design.
// The fits are pure functions of these points, so a remembered one is the
// one the fitting would give.
struct FittedContour {
  int pointCount = -1;
  std::vector<double> heights, positions, codes;
  SplineCurve pieces;
  SplineCurve whole;
};

std::span<const double> sternPoints(const ContourTable& table, int count) {
  return std::span<const double>(table[sternContourRow]).subspan(1, static_cast<std::size_t>(count));
}

bool fittedFrom(const FittedContour& fitted, const DesignData& design) {
  const int count = design.contourPointCount[sternContourRow];
  if (fitted.pointCount != count) return false;
  const auto same = [&](const std::vector<double>& kept, const ContourTable& table) {
    const std::span<const double> points = sternPoints(table, count);
    return std::equal(kept.begin(), kept.end(), points.begin(), points.end());
  };
  return same(fitted.heights, design.contourZ) && same(fitted.positions, design.contourX) &&
         same(fitted.codes, design.contourCode);
}

const FittedContour& fittedContourOf(const DesignData& design) {
  thread_local FittedContour fitted;
  if (fittedFrom(fitted, design)) return fitted;
  fitted.pointCount = -1;  // until both fits have succeeded
  fitted.pieces = setUpContour(design, sternContourRow);
  fitted.whole = fitWholeContour(design, sternContourRow);
  const int count = design.contourPointCount[sternContourRow];
  const auto kept = [&](const ContourTable& table) {
    const std::span<const double> points = sternPoints(table, count);
    return std::vector<double>(points.begin(), points.end());
  };
  fitted.heights = kept(design.contourZ);
  fitted.positions = kept(design.contourX);
  fitted.codes = kept(design.contourCode);
  fitted.pointCount = count;
  return fitted;
}

}  // namespace

SternAnalysis analyseStern(const DesignData& design) {
  SternAnalysis analysis;
  analysis.outline = bladeOutlineOf(design);
  analysis.extent = plotExtentOf(design);
  Diagnostics diagnostics;
  analysis.validityProblems = designValidityProblems(design);
  for (const std::string& problem : analysis.validityProblems) {
    diagnostics.warn(WarningKind::InvalidDesign, problem);
  }
  requireExtent(analysis.extent);
  const FittedContour& contour = fittedContourOf(design);
  analysis.contourCurve = contour.pieces;
  analysis.hullCurve = contour.whole;

  const BladeEdgeCurves edges = fitBladeEdgeCurves(design, analysis.outline);
  const MeasuringContext context{design, analysis.outline, edges, analysis.hullCurve, diagnostics};
  computeUpperBladeClearances(context, analysis.clearances);
  computeLowerBladeClearances(context, analysis.clearances);
  analysis.signedGaps = signedGapsOf(analysis.clearances);
  checkMeasuringFrame(design, analysis.hullCurve, diagnostics);
  analysis.baseLineClearance = analysis.clearances[clearanceBPrime].bladeZ;
  analysis.shortestTipDistance =
      shortestTipDistance(design, analysis.hullCurve, analysis.clearances[clearanceB]);

  analysis.turningLowerBlade = measureTurningLowerBlade(context);
  warnAboutOverlaps(turningBladeGaps(analysis.signedGaps, analysis.turningLowerBlade),
                    design.propellerDiameter, diagnostics);
  noteMirroredLowerBlade(analysis.clearances, analysis.turningLowerBlade, diagnostics);

  analysis.sweptVolume = SweptVolume::of(design, analysis.outline, edges);
  if (analysis.sweptVolume) {
    analysis.closestApproaches =
        closestApproaches(design, *analysis.sweptVolume, analysis.hullCurve);
    warnAboutSweptOverlaps(analysis.closestApproaches, design.propellerDiameter, diagnostics);
    addHubApproach(design, analysis);
    if (analysis.hubApproach) {
      warnAboutSweptOverlaps({*analysis.hubApproach}, design.propellerDiameter, diagnostics);
    }
  }
  analysis.warnings = std::move(diagnostics.warnings);
  return analysis;
}

}  // namespace propclear
