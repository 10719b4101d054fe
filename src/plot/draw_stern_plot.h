#pragma once
// The side view of the stern on the drawing surface: frame, fitted stern
// contour with point markers, base line, waterline, rudder, aft
// perpendicular, shaft, hub, disc line and both blade positions, then the six
// clearances with their labels, in the established drawing order; then the
// swept volume of the turning propeller and the closest approaches to it.
//
// The lower blade is drawn as the propeller turns it, a' and c' measured on
// it; the established drawing's mirrored lower blade, where the blade never
// is, stays only as a thin dashed outline labelled legacy.

#include "assessment/assessment.h"
#include "design/design_data.h"
#include "plot/drawing_surface.h"

namespace propclear {

inline constexpr const char* plotCaption = "KIC BODOSLAMA GEOMETRISI";
inline constexpr const char* plotFontName = "Arial";
inline constexpr int plotFontPoints = 12;
// The label of the mirrored lower blade's outline.
inline constexpr const char* legacyBladeLabel = "legacy (mirrored)";

// Sets the window up and draws the stern geometry.
void drawSternPlot(const DesignData& design, const SternAnalysis& analysis,
                   DrawingSurface& surface);

// Draws each assessed clearance's segment and label over the stern plot (a'
// and c' of the turning lower blade): a and b labelled with their ratio to D,
// the others with their letter. Where the blade overlaps the structure the
// segment is red and its label is followed by " !". With a rule check, each
// label is followed by its verdict mark (verdictMark) and a clearance below a
// binding minimum is red too.
void drawClearances(const DesignData& design, const Assessment& assessment,
                    DrawingSurface& surface);

// The mark of a clearance's rule lines: "\u2713" when every line meets its
// minimum, "\u2717" when one is below it, "?" when one is not measured; "" for
// a clearance no rule line judges.
std::string verdictMark(const Assessment& assessment, ClearanceIndex which);

// Draws the swept volume of the turning propeller over the plot, its outline
// above and below the shaft in a thin dashed line, and each closest approach
// as a dotted segment labelled with its distance / D; where the swept volume
// overlaps the structure the segment is red and its label is followed by
// " !". Lines are solid again afterwards.
void drawSweptVolume(const SternAnalysis& analysis, DrawingSurface& surface);

}  // namespace propclear
