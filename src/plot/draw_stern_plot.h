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
#include "plot/print_plot.h"

namespace propclear {

inline constexpr const char* plotCaption = "KIC BODOSLAMA GEOMETRISI";
inline constexpr const char* plotFontName = "Arial";
inline constexpr int plotFontPoints = 12;
// The label of the mirrored lower blade's outline.
inline constexpr const char* legacyBladeLabel = "legacy (mirrored)";

// The colours of the drawing by what they draw, and how clearances are
// labelled. The plain run's window keeps the established colours and labels
// ("a=0.242D", "c"); what is meant for paper or a screen image (saved plots,
// the studio) takes the print palette and labels every clearance and closest
// approach with its value in m and as a multiple of D ("c 1.714 m / 0.373D").
struct PlotStyle {
  int frame, structure, referenceLines, aftPerpendicular, shaft, hub;
  int bladeEdge1, bladeEdge2, legacyBlade, sweptOutline, approach, text;
  int upperClearances, otherClearances, failure;  // a and b; c, a', b', c'; below or clash
  bool valuedLabels;
  int fontPoints;       // the labels' type size
  bool hatchesClashes;  // each clash's region hatched in the failure colour
};
inline constexpr PlotStyle screenPlotStyle{
    paletteLightMagenta, paletteLightMagenta, paletteLightGreen, paletteYellow,   paletteLightRed,
    paletteLightCyan,    paletteLightBlue,    paletteLightGreen, paletteDarkGrey, paletteDarkGrey,
    paletteBlue,         paletteBlue,         paletteLightGreen, paletteLightBlue, paletteLightRed,
    false,               plotFontPoints,     false};
inline constexpr PlotStyle printPlotStyle{
    printConstruction, printStructure,    printConstruction, printConstruction, printConstruction,
    printPropeller,    printPropeller,    printPropeller,    printConstruction, printConstruction,
    printText,         printText,         printMeets,        printMeets,        printFailure,
    true,              8,                 true};

// Sets the window up and draws the stern geometry.
// With `deferred` the texts are kept there for the label layout
// (plot/print_plot.h), not printed; so in drawClearances and drawSweptVolume.
void drawSternPlot(const DesignData& design, const SternAnalysis& analysis,
                   DrawingSurface& surface, const PlotStyle& style = screenPlotStyle,
                   PlotLabels* deferred = nullptr);

// Draws each assessed clearance's segment and label over the stern plot (a'
// and c' of the turning lower blade): a and b labelled with their ratio to D,
// the others with their letter. Where the blade overlaps the structure the
// segment is red and its label is followed by " !". With a rule check, each
// label is followed by its verdict mark (verdictMark) and a clearance below a
// binding minimum is red too.
// With valued labels every label reads "a 1.113 m / 0.242D" (the signed gap
// where there is one) in the colour of its segment. A style that hatches
// clashes first hatches each clash's region, lines R/60 apart.
void drawClearances(const DesignData& design, const Assessment& assessment,
                    DrawingSurface& surface, const PlotStyle& style = screenPlotStyle,
                    PlotLabels* deferred = nullptr);

// The mark of a clearance's rule lines: "\u2713" when every line meets its
// minimum, "\u2717" when one is below it, "?" when one is not measured; "" for
// a clearance no rule line judges.
std::string verdictMark(const Assessment& assessment, ClearanceIndex which);

// Draws the swept volume of the turning propeller over the plot, its outline
// above and below the shaft in a thin dashed line, and each closest approach
// as a dotted segment labelled with its distance / D; where the swept volume
// overlaps the structure the segment is red and its label is followed by
// " !". Lines are solid again afterwards.
// With valued labels a closest approach reads "contour 0.683 m / 0.149D".
void drawSweptVolume(const SternAnalysis& analysis, DrawingSurface& surface,
                     const PlotStyle& style = screenPlotStyle, PlotLabels* deferred = nullptr);

}  // namespace propclear
