#pragma once
// The stern drawing of the clearance report: the side view at a true,
// standard scale (1:20, 1:25, 1:50, ...) around the propeller disc, with the
// stern contour, the rudder, the shaft, hub and blade edges near it (the
// lower blade as the propeller turns it), every
// clearance dimensioned (segment, arrowheads or ticks, value in m and as a
// multiple of D) in the colour of its mark, a legend and a scale bar. Drawn
// onto a painter in device units, clipped to its box.

#include <QColor>
#include <QPainter>
#include <QRectF>

#include "report/clearance_report_content.h"

namespace propclear {

// The report's type face.
inline constexpr const char* reportFontFamily = "Liberation Sans";

// The colour of a clearance's dimension, and of its findings in the table.
QColor clearanceMarkColour(ClearanceMark mark);

// Draws into `box` (device units, `unitsPerMm` of them to a millimetre on
// paper) at the scale 1:N at which the propeller's region (the disc, the
// blades and every clearance measured against the structure, with a margin)
// fits: the smallest preferred drawing scale that fits, else N rounded up.
void drawClearanceReportView(QPainter& painter, const QRectF& box, double unitsPerMm,
                             const ClearanceReportContent& content);

}  // namespace propclear
