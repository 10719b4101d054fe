#include "clearance/stern_analysis.h"

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
  analysis.contourCurve = setUpContour(design, sternContourRow);
  analysis.hullCurve = fitWholeContour(design, sternContourRow);

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
