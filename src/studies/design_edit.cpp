#include "studies/design_edit.h"

#include "geometry/blade_outline.h"

namespace propclear {

namespace {

// How far the lower blade's tip (the midpoint of its two edge points, as b'
// is measured from it) lies below the propeller centre, m.
double lowerTipDepth(const DesignData& design) {
  const BladeOutline outline = bladeOutlineOf(design);
  const int tip = outline.stationCount;
  return 0.5 * (outline.edge1Z[tip] + outline.edge2Z[tip]);
}

}  // namespace

void editDesignInPlace(DesignData& design, const DesignData& fileDesign,
                       std::span<const ParameterSetting> settings, KeepMode keep) {
  design.propellerCentreX = fileDesign.propellerCentreX;
  design.propellerCentreZ = fileDesign.propellerCentreZ;
  design.propellerDiameter = fileDesign.propellerDiameter;
  design.hubDiameter = fileDesign.hubDiameter;
  design.pitchRatio = fileDesign.pitchRatio;
  design.areaRatio = fileDesign.areaRatio;
  design.rakeAngle = fileDesign.rakeAngle;
  design.rudderX = fileDesign.rudderX;
  design.rudderZ = fileDesign.rudderZ;
  for (const ParameterSetting& setting : settings) setting.parameter->applyTo(design, setting.value);
  if (keep == KeepMode::TipToHeel) {
    design.propellerCentreZ += lowerTipDepth(design) - lowerTipDepth(fileDesign);
  }
}

DesignData editDesign(const DesignData& fileDesign, std::span<const ParameterSetting> settings,
                      KeepMode keep) {
  DesignData design = fileDesign;
  editDesignInPlace(design, fileDesign, settings, keep);
  return design;
}

}  // namespace propclear
