#pragma once
// The side view of the stern on the drawing surface: frame, fitted stern
// contour with point markers, base line, waterline, rudder, aft
// perpendicular, shaft, hub, disc line and both blade positions, then the six
// clearances with their labels, in the established drawing order.

#include "clearance/stern_analysis.h"
#include "design/design_data.h"
#include "plot/drawing_surface.h"

namespace propclear {

inline constexpr const char* plotCaption = "KIC BODOSLAMA GEOMETRISI";
inline constexpr const char* plotFontName = "Arial";
inline constexpr int plotFontPoints = 12;

// Sets the window up and draws the stern geometry.
void drawSternPlot(const DesignData& design, const SternAnalysis& analysis,
                   DrawingSurface& surface);

// Draws each clearance's segment and label over the stern plot: a and b
// labelled with their ratio to D, the others with their letter. Where the
// blade overlaps the structure the segment is red and its label is followed
// by " !".
void drawClearances(const DesignData& design, const SternAnalysis& analysis,
                    DrawingSurface& surface);

}  // namespace propclear
