#pragma once
// The side view of the stern: frame, fitted stern contour with point markers,
// base line, waterline, rudder, aft perpendicular, shaft, hub, disc line and
// both blade positions.

#include "design/design_data.h"
#include "geometry/blade_outline.h"
#include "geometry/curve_workspace.h"
#include "plot/drawing_surface.h"

namespace propclear {

inline constexpr const char* plotCaption = "KIC BODOSLAMA GEOMETRISI";
inline constexpr const char* plotFontName = "Arial";
inline constexpr int plotFontPoints = 12;

// Draws the stern geometry. A contour of zero extent (no points, or all at the
// origin) cannot be scaled and is reported as an error.
void drawSternPlot(const DesignData& design, const BladeOutline& outline, CurveWorkspace& workspace,
                   DrawingSurface& surface);

}  // namespace propclear
