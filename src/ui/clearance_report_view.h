#pragma once
// The stern drawing of the clearance report: the side view at a true,
// standard scale (1:20, 1:25, 1:50, ...) around the propeller disc, with the
// stern contour, the rudder, the shaft, hub and blade edges near it (the
// lower blade as the propeller turns it), every
// clearance dimensioned (segment, arrowheads or ticks, value in m and as a
// multiple of D) in the colour of its mark, the closest approaches of the
// structure to the swept volume, a FWD arrow and a scale bar. Drawn
// onto a painter in device units, clipped to its box.

#include <QColor>
#include <QLineF>
#include <QPainter>
#include <QRectF>
#include <vector>

#include "report/clearance_report_content.h"

namespace propclear {

// The report's type face.
inline constexpr const char* reportFontFamily = "Liberation Sans";

// The colour of a clearance's dimension, and of its findings in the table.
QColor clearanceMarkColour(ClearanceMark mark);
// What the colour means, for the legend: "below the minimum".
const char* clearanceMarkMeaning(ClearanceMark mark);

// What the view drew, in device units: every line (structure, rudder, blade
// edges, swept outline, construction and dimension lines, leaders) and the
// box of every text, which no line crosses and no other box covers.
struct ReportViewRecord {
  int scale = 0;  // 1:scale
  std::vector<QLineF> strokes;
  std::vector<QRectF> textBoxes;
  std::vector<QString> unplacedLabels;  // labels that found no free place, left out
};

// The scale 1:N the view is drawn at in `box`.
int clearanceReportScale(const ClearanceReportContent& content, const QRectF& box, double unitsPerMm);

// Draws into `box` (device units, `unitsPerMm` of them to a millimetre on
// paper) at the scale 1:N at which the propeller's region (the disc, the
// blades and every clearance measured against the structure, with a margin)
// fits: the smallest preferred drawing scale that fits, else N rounded up.
// The scale bar and the scale go in a strip along the box's foot. Every
// label (the six dimensions, the closest approaches, B.L., A.P., DWL, heel
// and the FWD arrow) takes the first free place near what it names, with a
// leader where that place is off it.
ReportViewRecord drawClearanceReportView(QPainter& painter, const QRectF& box, double unitsPerMm,
                                         const ClearanceReportContent& content);

}  // namespace propclear
