#include "studies/design_edit.h"

#include "geometry/blade_outline.h"

namespace propclear {

namespace {

// How far the lower blade's tip (the midpoint of its two edge points, as b'
// is measured from it) lies below the propeller centre, m.
double lowerTipDepth(const DesignData& design) {
  const BladeOutline outline = buildBladeOutline(design.propellerDiameter, design.pitchRatio,
                                                 design.areaRatio, design.rakeAngle);
  const int tip = outline.stationCount;
  return 0.5 * (outline.edge1Z[tip] + outline.edge2Z[tip]);
}

}  // namespace

DesignData editDesign(const DesignData& fileDesign, std::span<const ParameterSetting> settings,
                      KeepMode keep) {
  DesignData design = fileDesign;
  for (const ParameterSetting& setting : settings) setting.parameter->applyTo(design, setting.value);
  if (keep == KeepMode::TipToHeel) {
    design.propellerCentreZ += lowerTipDepth(design) - lowerTipDepth(fileDesign);
  }
  return design;
}

}  // namespace propclear
