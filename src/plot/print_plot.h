#pragma once
// The drawing meant for paper or a screen image (the saved plots, the
// studio's drawing and its print): the stern plot, the clearances and the
// swept volume in the print style, and then every label placed by the label
// layout (sheet/label_layout.h) so that nothing overprints, laid out in the
// pixels of the image it is drawn for (the saved plot's size, else the
// window's design size, 716 x 472), with the texts' size there.

#include <optional>
#include <string>
#include <vector>

#include "assessment/assessment.h"
#include "design/design_data.h"
#include "geometry/drawing_point.h"
#include "plot/drawing_surface.h"
#include "plot/plot_mapping.h"
#include "plot/plot_size.h"

namespace propclear {

// A label kept back until every line is drawn (m).
struct PlotLabel {
  DrawingLine names;    // the segment it names; a point where from and to are one
  DrawingPoint corner;  // its upper-left corner in the established drawing
  std::string text;
  int colour = 0;
};
using PlotLabels = std::vector<PlotLabel>;

void drawPrintPlot(const DesignData& design, const Assessment& assessment, DrawingSurface& surface,
                   const std::optional<PlotSize>& size = std::nullopt);

// Prints each label at the first free place near what it names, beside the
// segment or at its established corner first, with a leader where it stands
// off it; a label that finds no free place stays at its established corner.
// `fontPoints`, `textColour`: the drawing's; leaders in `leaderColour`.
struct PlotLabelStyle {
  int fontPoints;
  int textColour;
  int leaderColour;
};
void placePlotLabels(const PlotLabels& labels, DrawingSurface& surface, const PlotLabelStyle& style,
                     const std::optional<PlotSize>& size);

// The print style's labels: its type size, its text colour, grey leaders.
PlotLabelStyle printLabelStyle();

// A view of the drawing of its own (the studio's, zoomed and panned): user
// units mapped into an area of `area` pixels, texts and lines scaled by
// `detailScale`.
struct PlotLabelView {
  PlotMapping mapping;
  PlotSize area;
  double detailScale = 1.0;
};
void placePlotLabels(const PlotLabels& labels, DrawingSurface& surface, const PlotLabelStyle& style,
                     const PlotLabelView& view);

// The print drawing's lines and texts but its labels, which it returns.
PlotLabels drawUnlabelledPrintPlot(const DesignData& design, const Assessment& assessment,
                                   DrawingSurface& surface);

}  // namespace propclear
