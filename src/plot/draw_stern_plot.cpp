#include "plot/draw_stern_plot.h"

#include "common/checked_math.h"
#include "common/run_error.h"
#include "geometry/evaluate_curve.h"
#include "geometry/set_up_contour.h"

namespace propclear {

namespace {

// The plot's extent and the quantities derived from it: m, M, R and the
// contour step s = R / 100.
struct PlotFrame {
  double low;    // m
  double high;   // M
  double range;  // R
  double step;   // s
};

double part(double whole, double divisor) { return checkedDivide(whole, divisor, "the plot layout"); }

PlotFrame plotFrameOf(const DesignData& design) {
  const PlotFrame frame{design.plotMin, design.plotMax, design.plotRange,
                        part(design.plotRange, 100.0)};
  // A contour of no extent leaves nothing to scale the drawing by.
  if (frame.step <= 0.0) {
    throw RunError(ErrorKind::Input,
                   "cannot draw the stern: the stern contour has no extent (no points, or all at "
                   "the origin), so the plot has no scale");
  }
  return frame;
}

void setUpWindow(DrawingSurface& surface) {
  surface.showWindow();
  surface.clearWindow();
  surface.setFont(plotFontName, plotFontPoints);
  surface.setTextColour(paletteBlue);
  surface.setLineWidth(1);
  surface.setCaption(plotCaption);
}

void drawFrame(const PlotFrame& f, DrawingSurface& surface) {
  const double left = f.low - part(f.range, 4), right = f.high + part(f.range, 4);
  const double top = f.high + part(f.range, 8), bottom = f.low - part(f.range, 8);
  surface.drawLine(left, top, right, top, paletteLightMagenta);
  surface.drawLine(right, top, right, bottom, paletteLightMagenta);
  surface.drawLine(left, bottom, right, bottom, paletteLightMagenta);
  surface.drawLine(left, top, left, bottom, paletteLightMagenta);
}

// The fitted contour, stepped by s in height from the first point while the
// height stays at or below the last point's.
void drawContourCurve(int n, const CurveWorkspace& ws, const PlotFrame& f, DrawingSurface& surface) {
  double previousX = ws.coef[1][1];
  double previousZ = ws.knot[1];
  double x = 0.0;  // kept from step to step where the curve has no piece
  for (double z = ws.knot[1] + f.step; z <= ws.knot[n]; z += f.step) {
    evaluateCurve(n, z, ws.knot, ws.coef, x);
    surface.drawLine(previousX, previousZ, x, z, paletteLightMagenta);
    previousX = x;
    previousZ = z;
  }
}

void drawPointMarkers(int n, const CurveWorkspace& ws, const PlotFrame& f, DrawingSurface& surface) {
  for (int i = 1; i <= n; ++i) {
    surface.drawCircle(ws.coef[1][i], ws.knot[i], part(f.step, 5), paletteLightMagenta);
    surface.drawCircle(ws.coef[1][i], ws.knot[i], part(f.step, 10), paletteLightMagenta);
  }
}

void drawText(DrawingSurface& surface, double x, double z, const char* text) {
  surface.moveTextCursor(x, z);
  surface.printText(text);
}

void drawReferenceLines(const DesignData& design, const PlotFrame& f, DrawingSurface& surface) {
  const double right = f.high + part(f.range, 10), left = f.low - part(f.range, 10);
  surface.drawLine(right, 0.0, left, 0.0, paletteLightGreen);
  drawText(surface, right, part(f.range, 25), "B.L.");
  const double t = design.waterlineHeight;
  surface.drawLine(right, t, left, t, paletteLightGreen);
  drawText(surface, right, t + part(f.range, 25), "DWL");
}

void drawRudder(const DesignData& design, DrawingSurface& surface) {
  const int corners = design.rudderPointCount;
  for (int i = 1; i <= corners; ++i) {
    const int j = i == corners ? 1 : i + 1;
    surface.drawLine(design.rudderX[i], design.rudderZ[i], design.rudderX[j], design.rudderZ[j],
                     paletteLightMagenta);
  }
}

void drawAftPerpendicular(const PlotFrame& f, DrawingSurface& surface) {
  surface.drawLine(0.0, f.low, 0.0, f.high, paletteYellow);
  drawText(surface, -part(f.range, 25), f.low - part(f.range, 40), "A.P.");
}

void drawPropeller(const DesignData& design, DrawingSurface& surface) {
  const double x0 = design.propellerCentreX, z0 = design.propellerCentreZ;
  const double halfLength = part(hubLength(design.hubDiameter), 2);
  const double halfHub = part(design.hubDiameter, 2);
  const double halfDiameter = part(design.propellerDiameter, 2);
  surface.drawLine(x0 - halfLength, z0, x0 + halfLength, z0, paletteLightRed);
  surface.drawLine(x0, z0 - halfDiameter, x0, z0 + halfDiameter, paletteLightRed);
  surface.drawLine(x0 - halfLength, z0 - halfHub, x0 - halfLength, z0 + halfHub, paletteLightCyan);
  surface.drawLine(x0 - halfLength, z0 + halfHub, x0 + halfLength, z0 + halfHub, paletteLightCyan);
  surface.drawLine(x0 + halfLength, z0 - halfHub, x0 + halfLength, z0 + halfHub, paletteLightCyan);
  surface.drawLine(x0 + halfLength, z0 - halfHub, x0 - halfLength, z0 - halfHub, paletteLightCyan);
}

// Upper blade as built, lower blade reflected through the propeller centre.
void drawBlades(const DesignData& design, const BladeOutline& b, DrawingSurface& surface) {
  const double x0 = design.propellerCentreX, z0 = design.propellerCentreZ;
  for (int k = 1; k <= b.stationCount - 1; ++k) {
    surface.drawLine(x0 + b.edge1X[k], z0 + b.edge1Z[k], x0 + b.edge1X[k + 1], z0 + b.edge1Z[k + 1],
                     paletteLightBlue);
    surface.drawLine(x0 + b.edge2X[k], z0 + b.edge2Z[k], x0 + b.edge2X[k + 1], z0 + b.edge2Z[k + 1],
                     paletteLightGreen);
    surface.drawLine(x0 - b.edge1X[k], z0 - b.edge1Z[k], x0 - b.edge1X[k + 1], z0 - b.edge1Z[k + 1],
                     paletteLightBlue);
    surface.drawLine(x0 - b.edge2X[k], z0 - b.edge2Z[k], x0 - b.edge2X[k + 1], z0 - b.edge2Z[k + 1],
                     paletteLightGreen);
  }
}

}  // namespace

void drawSternPlot(const DesignData& design, const BladeOutline& outline, CurveWorkspace& workspace,
                   DrawingSurface& surface) {
  const PlotFrame frame = plotFrameOf(design);
  setUpWindow(surface);
  const double halfRange = part(frame.range, 2);
  surface.setUserScale(frame.low - halfRange, frame.high + halfRange, frame.high + halfRange,
                       frame.low - halfRange);
  drawFrame(frame, surface);
  const int n = setUpContour(design, sternContourRow, workspace);
  drawContourCurve(n, workspace, frame, surface);
  drawPointMarkers(n, workspace, frame, surface);
  drawReferenceLines(design, frame, surface);
  drawRudder(design, surface);
  drawAftPerpendicular(frame, surface);
  drawPropeller(design, surface);
  drawBlades(design, outline, surface);
}

}  // namespace propclear
