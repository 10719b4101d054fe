#include "ui/sweep_chart.h"

#include <QApplication>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QChart>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QtCharts/QColorAxis>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <memory>

#include "common/checked_math.h"
#include "common/output_file.h"
#include "plot/sweep_plot_layout.h"
#include "ui/export_plot.h"
#include "ui/qt_working_folders.h"

namespace propclear {

namespace {

constexpr int chartDotsPerInch = 96;
// Shading where a clearance meets its minima (and the map's feasible cells),
// and the map's colours: red where the
// smallest margin is negative, white at 0, blue where it is positive, grey
// where the design failed.
const QColor feasibleShade(46, 160, 67, 56);
const QColor feasibleHatch(0, 100, 0);
// The two sides of 0 start from distinct pale colours, so that the edge of
// the feasible region shows.
const QColor negativeColour(178, 24, 43);
const QColor paleNegativeColour(250, 212, 205);
const QColor positiveColour(33, 102, 172);
const QColor palePositiveColour(209, 229, 240);
const QColor failedColour(187, 187, 187);
const QColor requiredColour(40, 40, 40);
const QColor currentDesignColour(90, 90, 90);
// One colour per clearance a, b, c, a', b', c' (the "tableau" palette, told
// apart also by most colour-blind readers); a rule line takes its clearance's.
const std::array<QColor, 6> clearanceColours = {QColor(31, 119, 180), QColor(255, 127, 14),
                                                QColor(44, 160, 44),  QColor(214, 39, 40),
                                                QColor(148, 103, 189), QColor(140, 86, 75)};

// Qt Charts draws on widgets; a run without the desktop front end starts an
// application on the offscreen platform for the time of the plot.
std::unique_ptr<QApplication> applicationForCharts() {
  if (QCoreApplication::instance() != nullptr) return nullptr;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  provideWorkingFolders();
  static int argc = 1;
  static char name[] = "propclear";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QApplication>(argc, argv);
}

QString text(const std::string& value) { return QString::fromStdString(value); }

// 1, 2 or 5 times a power of ten, giving four to ten ticks over `width`.
double roundTickInterval(double width) {
  const double rough = width / 5.0;
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  for (const double step : {1.0, 2.0, 5.0}) {
    if (step * power >= rough) return step * power;
  }
  return 10.0 * power;
}

struct Span {
  double low;
  double high;
};

// From the smallest to the largest value, widened where all are one.
Span spanOf(const std::vector<double>& values) {
  const auto [low, high] = std::minmax_element(values.begin(), values.end());
  if (*low < *high) return {*low, *high};
  return {*low - 0.5, *high + 0.5};
}

// The edges of cell i of a list of values: halfway to its neighbours.
Span cellOf(const std::vector<double>& values, std::size_t i) {
  const double low = i > 0 ? 0.5 * (values[i - 1] + values[i]) : values[i];
  const double high = i + 1 < values.size() ? 0.5 * (values[i] + values[i + 1]) : values[i];
  return {low, high};
}

QFont fontOf(double pixels, bool bold = false) {
  QFont font;
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
  font.setBold(bold);
  return font;
}

QRectF rectOf(const LayoutBox& box) { return {box.left, box.top, box.width, box.height}; }

// An axis over exactly `span`, drawn by nothing of its own: its grid, frame
// and labels are painted from the same mapping as the series (paintGrid,
// paintAxisLabels), so that they stay where the layout's plot area puts them.
QValueAxis* addAxis(QChart& chart, Span span, Qt::Alignment side) {
  auto* axis = new QValueAxis;
  axis->setRange(span.low, span.high);
  axis->setTickType(QValueAxis::TicksDynamic);
  const double interval = roundTickInterval(span.high - span.low);
  axis->setTickInterval(interval);
  axis->setTickAnchor(std::ceil(span.low / interval) * interval);
  axis->setLabelsVisible(false);
  axis->setGridLineVisible(false);
  axis->setLineVisible(false);
  chart.addAxis(axis, side);
  return axis;
}

// `span` widened to whole ticks at both ends.
Span niceSpan(Span span) {
  const double interval = roundTickInterval(span.high - span.low);
  return {std::floor(span.low / interval) * interval, std::ceil(span.high / interval) * interval};
}

// The values of an axis's ticks over `span`, as addAxis places them.
std::vector<double> ticksOf(Span span) {
  const double interval = roundTickInterval(span.high - span.low);
  const double first = std::ceil(span.low / interval) * interval;
  std::vector<double> ticks;
  for (int i = 0;; ++i) {
    const double tick = first + i * interval;
    if (tick > span.high + 1e-9 * interval) break;
    // A tick at 0 reached from below must not read "-0" or "1e-17".
    ticks.push_back(std::abs(tick) < 1e-9 * interval ? 0.0 : tick);
  }
  return ticks;
}

const QColor gridColour(225, 225, 225);
const QColor frameColour(150, 150, 150);

// A grid line at each tick, under the series.
void paintGrid(QPainter& painter, QChart& chart, Span x, Span y) {
  const QRectF area = chart.plotArea().translated(chart.pos());
  const auto position = [&](double valueX, double valueY) {
    return chart.mapToPosition(QPointF(valueX, valueY)) + chart.pos();
  };
  painter.setPen(QPen(gridColour, 1.0));
  for (const double tick : ticksOf(x)) {
    const double at = position(tick, y.low).x();
    painter.drawLine(QPointF(at, area.top()), QPointF(at, area.bottom()));
  }
  for (const double tick : ticksOf(y)) {
    const double at = position(x.low, tick).y();
    painter.drawLine(QPointF(area.left(), at), QPointF(area.right(), at));
  }
}

QString tickText(double value) { return QString::number(value, 'g', 4); }

// Tick labels below the plot area (when `xLabels`) and left of it, and the y
// title turned along the left edge of the panel's box.
void paintAxisLabels(QPainter& painter, QChart& chart, Span x, Span y, bool xLabels,
                     const std::string& yTitle, const QRectF& box, double textPixels) {
  const QRectF area = chart.plotArea().translated(chart.pos());
  const auto position = [&](double valueX, double valueY) {
    return chart.mapToPosition(QPointF(valueX, valueY)) + chart.pos();
  };
  painter.setPen(QPen(frameColour, 1.0));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(area);
  painter.setPen(Qt::black);
  painter.setFont(fontOf(textPixels));
  const double gap = textPixels * 0.4;
  if (xLabels) {
    for (const double tick : ticksOf(x)) {
      const double at = position(tick, y.low).x();
      painter.drawText(QRectF(at - textPixels * 3, area.bottom() + gap, textPixels * 6, textPixels * 1.3),
                       Qt::AlignHCenter | Qt::AlignTop, tickText(tick));
    }
  }
  for (const double tick : ticksOf(y)) {
    const double at = position(x.low, tick).y();
    painter.drawText(QRectF(area.left() - gap - textPixels * 6, at - textPixels, textPixels * 6, textPixels * 2),
                     Qt::AlignRight | Qt::AlignVCenter, tickText(tick));
  }
  painter.save();
  painter.translate(box.left() + textPixels * 0.7, area.center().y());
  painter.rotate(-90.0);
  painter.drawText(QRectF(-area.height() / 2, -textPixels * 0.7, area.height(), textPixels * 1.4),
                   Qt::AlignCenter, text(yTitle));
  painter.restore();
}

void attach(QChart& chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y, bool inLegend) {
  chart.addSeries(series);
  series->attachAxis(x);
  series->attachAxis(y);
  if (!inLegend) {
    for (QLegendMarker* marker : chart.legend()->markers(series)) marker->setVisible(false);
  }
}

// Each run of designs that were measured becomes one line.
void addLine(QChart& chart, const std::vector<double>& x, const std::vector<std::optional<double>>& values,
             const QPen& pen, QAbstractAxis* xAxis, QAbstractAxis* yAxis) {
  for (std::size_t i = 0; i < x.size();) {
    if (!values[i]) {
      ++i;
      continue;
    }
    auto* series = new QLineSeries;
    series->setPen(pen);
    for (; i < x.size() && values[i]; ++i) series->append(x[i], *values[i]);
    series->setPointsVisible(series->count() == 1);
    attach(chart, series, xAxis, yAxis, false);
  }
}

// Every stretch where `flags` is set, shaded to halfway to its neighbours.
void addShading(QChart& chart, const std::vector<double>& x, const std::vector<std::uint8_t>& flags,
                Span ySpan, const QColor& colour, QAbstractAxis* xAxis, QAbstractAxis* yAxis) {
  for (std::size_t i = 0; i < x.size();) {
    if (flags[i] == 0) {
      ++i;
      continue;
    }
    const double low = cellOf(x, i).low;
    while (i + 1 < x.size() && flags[i + 1] != 0) ++i;
    const double high = cellOf(x, i).high;
    ++i;
    auto* top = new QLineSeries;
    auto* bottom = new QLineSeries;
    top->append(low, ySpan.high);
    top->append(high, ySpan.high);
    bottom->append(low, ySpan.low);
    bottom->append(high, ySpan.low);
    auto* area = new QAreaSeries(top, bottom);
    area->setBrush(colour);
    area->setPen(Qt::NoPen);
    attach(chart, area, xAxis, yAxis, false);
  }
}

// From 0 (touching) over every gap and minimum, with a little room above and below.
Span gapSpan(const SweepPanel& panel) {
  double low = 0.0;
  double high = 0.0;
  const auto widen = [&](const std::vector<std::optional<double>>& values) {
    for (const std::optional<double>& value : values) {
      if (!value) continue;
      low = std::min(low, *value);
      high = std::max(high, *value);
    }
  };
  widen(panel.gapMetres);
  for (const RequiredLine& line : panel.required) widen(line.metres);
  if (high <= low) high = low + 1.0;
  const double room = 0.08 * (high - low);
  return {low - room, high + room};
}

// The panel's minimum: each rule line's required value dashed (dotted when
// informative), or 0 without rules.
void addMinima(QChart& chart, const SweepPlot& plot, const SweepPanel& panel, QAbstractAxis* x,
               QAbstractAxis* y) {
  QPen pen(requiredColour, 1.6, Qt::DashLine);
  if (panel.required.empty()) {
    addLine(chart, plot.x, std::vector<std::optional<double>>(plot.x.size(), 0.0), pen, x, y);
    return;
  }
  for (const RequiredLine& line : panel.required) {
    pen.setStyle(line.informative ? Qt::DotLine : Qt::DashLine);
    addLine(chart, plot.x, line.metres, pen, x, y);
  }
}

QChart* panelChart(const SweepPlot& plot, std::size_t k) {
  const SweepPanel& panel = plot.panels[k];
  auto* chart = new QChart;
  chart->legend()->hide();
  chart->setBackgroundVisible(false);
  chart->setMargins(QMargins());
  QValueAxis* x = addAxis(*chart, spanOf(plot.x), Qt::AlignBottom);
  const Span ySpan = niceSpan(gapSpan(panel));
  QValueAxis* y = addAxis(*chart, ySpan, Qt::AlignLeft);
  addShading(*chart, plot.x, panel.meets, ySpan, feasibleShade, x, y);
  addMinima(*chart, plot, panel, x, y);
  addLine(*chart, plot.x, panel.gapMetres, QPen(clearanceColours[k % clearanceColours.size()], 2.5), x, y);
  return chart;
}

// The gap at `x`, along the straight line between the designs either side.
std::optional<double> gapAt(const SweepPlot& plot, const SweepPanel& panel, double x) {
  for (std::size_t i = 0; i + 1 < plot.x.size(); ++i) {
    const double x0 = plot.x[i], x1 = plot.x[i + 1];
    if (x < std::min(x0, x1) || x > std::max(x0, x1)) continue;
    const std::optional<double>& g0 = panel.gapMetres[i];
    const std::optional<double>& g1 = panel.gapMetres[i + 1];
    if (!g0 || !g1) return g0 ? g0 : g1;
    return x1 == x0 ? *g0 : *g0 + (*g1 - *g0) * checkedDivide(x - x0, x1 - x0, "a gap between two designs");
  }
  return std::nullopt;
}

// The panel's caption, its crossings marked with their values, and the
// design file's value as a vertical line.
void paintPanelMarks(QPainter& painter, QChart& chart, const SweepPlot& plot, std::size_t k,
                     const SweepPlotLayout& layout) {
  const SweepPanel& panel = plot.panels[k];
  const QRectF box = rectOf(layout.panelBoxes[k]);
  const QRectF area = rectOf(layout.plotAreas[k]);
  const auto position = [&](double x, double y) { return chart.mapToPosition(QPointF(x, y)) + chart.pos(); };
  painter.setFont(fontOf(layout.textPixels * 1.1, true));
  painter.setPen(Qt::black);
  painter.drawText(QRectF(area.left(), box.top(), area.width(), area.top() - box.top()),
                   Qt::AlignLeft | Qt::AlignVCenter, text(layout.captions[k]));
  painter.save();
  painter.setClipRect(area);
  if (plot.currentX) {
    const double xPixel = position(*plot.currentX, 0.0).x();
    painter.setPen(QPen(currentDesignColour, 1.5, Qt::DashDotLine));
    painter.drawLine(QPointF(xPixel, area.top()), QPointF(xPixel, area.bottom()));
  }
  painter.setFont(fontOf(layout.textPixels, true));
  for (const Crossing& crossing : panel.crossings) {
    const std::optional<double> gap = gapAt(plot, panel, crossing.x);
    if (!gap) continue;
    const QPointF at = position(crossing.x, *gap);
    painter.setPen(QPen(Qt::black, 1.5));
    painter.setBrush(Qt::white);
    painter.drawEllipse(at, layout.textPixels * 0.35, layout.textPixels * 0.35);
    const QRectF label(at.x() + layout.textPixels * 0.5, at.y() - layout.textPixels * 1.6,
                       layout.textPixels * 8, layout.textPixels * 1.3);
    painter.drawText(label, Qt::AlignLeft | Qt::AlignVCenter, text(crossing.text));
  }
  painter.restore();
}

// One entry of the legend: its sample drawn by `sample` into a short box,
// then its text; returns where the next entry starts.
double legendEntry(QPainter& painter, double left, const QRectF& row, const QString& label,
                   const std::function<void(const QRectF&)>& sample) {
  const double sampleWidth = row.height() * 1.6;
  sample(QRectF(left, row.top() + row.height() * 0.2, sampleWidth, row.height() * 0.6));
  const double textLeft = left + sampleWidth + row.height() * 0.3;
  const double textWidth = painter.fontMetrics().horizontalAdvance(label);
  painter.setPen(Qt::black);
  painter.drawText(QRectF(textLeft, row.top(), textWidth + 2, row.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   label);
  return textLeft + textWidth + row.height() * 1.2;
}

void paintLegend(QPainter& painter, const SweepPlot& plot, const SweepPlotLayout& layout) {
  const QRectF row = rectOf(layout.legendBox);
  painter.setFont(fontOf(layout.textPixels));
  const auto line = [&](const QPen& pen) {
    return [&painter, pen](const QRectF& box) {
      painter.setPen(pen);
      painter.drawLine(QPointF(box.left(), box.center().y()), QPointF(box.right(), box.center().y()));
    };
  };
  double left = row.left();
  left = legendEntry(painter, left, row, "signed gap (< 0: overlap)", line(QPen(clearanceColours[0], 2.5)));
  left = legendEntry(painter, left, row,
                     text(plot.panels.front().required.empty() ? "minimum: 0 (touching)" : "required minimum"),
                     line(QPen(requiredColour, 1.6, Qt::DashLine)));
  left = legendEntry(painter, left, row, "meets it", [&painter](const QRectF& box) {
    painter.fillRect(box, feasibleShade);
  });
  left = legendEntry(painter, left, row, "crossing", [&painter](const QRectF& box) {
    painter.setPen(QPen(Qt::black, 1.5));
    painter.setBrush(Qt::white);
    painter.drawEllipse(box.center(), box.height() * 0.35, box.height() * 0.35);
  });
  legendEntry(painter, left, row, text(plot.currentLabel), [&painter](const QRectF& box) {
    painter.setPen(QPen(currentDesignColour, 1.5, Qt::DashDotLine));
    painter.drawLine(QPointF(box.center().x(), box.top()), QPointF(box.center().x(), box.bottom()));
  });
}

// The title, the headline, and each x title, from the layout.
void paintTexts(QPainter& painter, const SweepPlot& plot, const SweepPlotLayout& layout) {
  painter.setPen(Qt::black);
  painter.setFont(fontOf(layout.textPixels * 1.1));
  painter.drawText(rectOf(layout.titleBox), Qt::AlignLeft | Qt::AlignVCenter, text(layout.title));
  painter.setFont(fontOf(layout.headlinePixels, true));
  painter.drawText(rectOf(layout.headlineBox), Qt::AlignLeft | Qt::AlignVCenter, text(layout.headline));
  painter.setFont(fontOf(layout.textPixels));
  for (const LayoutBox& box : layout.xTitleBoxes) {
    painter.drawText(rectOf(box), Qt::AlignHCenter | Qt::AlignVCenter, text(plot.xTitle));
  }
}

double largestMagnitude(const SweepPlot& plot) {
  double largest = 0.0;
  for (const std::optional<double>& margin : plot.smallestMargin) {
    if (margin) largest = std::max(largest, std::abs(*margin));
  }
  return largest > 0.0 ? largest : 1.0;
}

QColor blend(const QColor& from, const QColor& to, double share) {
  const auto mix = [share](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * share)); };
  return QColor(mix(from.red(), to.red()), mix(from.green(), to.green()), mix(from.blue(), to.blue()));
}

QColor marginColour(const std::optional<double>& margin, double scale) {
  if (!margin) return failedColour;
  // A margin of exactly 0 fails: a blade touching the structure.
  const double share = std::clamp(*margin / scale, -1.0, 1.0);
  return share > 0.0 ? blend(palePositiveColour, positiveColour, share)
                     : blend(paleNegativeColour, negativeColour, -share);
}

// The map's axes, and a colour bar through an invisible series that spans them.
QChart* mapChart(const SweepPlot& plot, const SweepPlotLayout& layout) {
  auto* chartItem = new QChart;
  QChart& chart = *chartItem;
  chart.setBackgroundVisible(false);
  chart.setPlotAreaBackgroundVisible(false);
  chart.setMargins(QMargins());
  const QFont font = fontOf(layout.textPixels);
  QAbstractAxis* x = addAxis(chart, spanOf(plot.x), Qt::AlignBottom);
  QAbstractAxis* y = addAxis(chart, spanOf(plot.second), Qt::AlignLeft);
  const double scale = largestMagnitude(plot);
  auto* colours = new QColorAxis;
  // From the bottom of the bar (the range's low end) to its top.
  QLinearGradient gradient(0, 0, 0, 1);
  gradient.setColorAt(0.0, negativeColour);
  gradient.setColorAt(0.4999, paleNegativeColour);
  gradient.setColorAt(0.5, palePositiveColour);
  gradient.setColorAt(1.0, positiveColour);
  colours->setGradient(gradient);
  colours->setRange(-scale, scale);
  colours->setTitleText(text(plot.marginTitle));
  colours->setTitleFont(font);
  colours->setLabelsFont(font);
  chart.addAxis(colours, Qt::AlignRight);
  auto* corners = new QScatterSeries;
  corners->append(spanOf(plot.x).low, spanOf(plot.second).low);
  corners->setColor(Qt::transparent);
  corners->setBorderColor(Qt::transparent);
  attach(chart, corners, x, y, false);
  corners->attachAxis(colours);
  chart.legend()->hide();
  return chartItem;
}

// The map's cells over the chart (which draws no grid or background); the
// feasible ones hatched.
void paintMapCells(QPainter& painter, QChart& chart, const SweepPlot& plot) {
  const double scale = largestMagnitude(plot);
  painter.save();
  painter.setClipRect(chart.plotArea().translated(chart.pos()));
  for (std::size_t ix = 0; ix < plot.x.size(); ++ix) {
    const Span columns = cellOf(plot.x, ix);
    for (std::size_t iy = 0; iy < plot.second.size(); ++iy) {
      const Span rows = cellOf(plot.second, iy);
      const QPointF corner1 = chart.mapToPosition(QPointF(columns.low, rows.low)) + chart.pos();
      const QPointF corner2 = chart.mapToPosition(QPointF(columns.high, rows.high)) + chart.pos();
      QRectF cell = QRectF(corner1, corner2).normalized();
      // One pixel more on each side: no hairline gaps between neighbours.
      cell.adjust(-0.5, -0.5, 0.5, 0.5);
      const std::size_t index = ix * plot.second.size() + iy;
      painter.fillRect(cell, marginColour(plot.smallestMargin[index], scale));
      if (plot.feasible[index] != 0) painter.fillRect(cell, QBrush(feasibleHatch, Qt::BDiagPattern));
    }
  }
  painter.restore();
}

// The zero contour of the smallest margin and the design file's values,
// over the cells.
void paintMapMarks(QPainter& painter, QChart& chart, const SweepPlot& plot,
                   const SweepPlotLayout& layout) {
  const auto position = [&](double x, double y) { return chart.mapToPosition(QPointF(x, y)) + chart.pos(); };
  painter.save();
  painter.setClipRect(rectOf(layout.plotAreas.front()));
  painter.setPen(QPen(Qt::black, 2.5));
  for (const ContourSegment& segment : plot.zeroContour) {
    painter.drawLine(position(segment.x1, segment.y1), position(segment.x2, segment.y2));
  }
  if (plot.currentX && plot.currentSecond) {
    const QPointF at = position(*plot.currentX, *plot.currentSecond);
    const double arm = layout.textPixels * 0.6;
    painter.setPen(QPen(Qt::black, 2.5));
    painter.drawLine(at - QPointF(arm, arm), at + QPointF(arm, arm));
    painter.drawLine(at - QPointF(arm, -arm), at + QPointF(arm, -arm));
    painter.setFont(fontOf(layout.textPixels, true));
    painter.drawText(QRectF(at.x() + arm * 1.5, at.y() - arm * 2.5, layout.textPixels * 20, arm * 2.5),
                     Qt::AlignLeft | Qt::AlignVCenter, text(plot.currentLabel));
  }
  painter.restore();
}

void paintMapLegend(QPainter& painter, const SweepPlotLayout& layout) {
  const QRectF row = rectOf(layout.legendBox);
  painter.setFont(fontOf(layout.textPixels));
  double left = row.left();
  left = legendEntry(painter, left, row, "smallest margin 0", [&painter](const QRectF& box) {
    painter.setPen(QPen(Qt::black, 2.5));
    painter.drawLine(QPointF(box.left(), box.center().y()), QPointF(box.right(), box.center().y()));
  });
  left = legendEntry(painter, left, row, "feasible", [&painter](const QRectF& box) {
    painter.fillRect(box, palePositiveColour);
    painter.fillRect(box, QBrush(feasibleHatch, Qt::BDiagPattern));
  });
  legendEntry(painter, left, row, "the design file's values", [&painter](const QRectF& box) {
    const QPointF at = box.center();
    const double arm = box.height() * 0.4;
    painter.setPen(QPen(Qt::black, 2.5));
    painter.drawLine(at - QPointF(arm, arm), at + QPointF(arm, arm));
    painter.drawLine(at - QPointF(arm, -arm), at + QPointF(arm, -arm));
  });
}

// The charts of the plot, each placed in its panel's box with its plot area
// where the layout puts it.
std::vector<QChart*> chartsOf(const SweepPlot& plot, const SweepPlotLayout& layout) {
  std::vector<QChart*> charts;
  if (!plot.second.empty()) {
    charts.push_back(mapChart(plot, layout));
  } else {
    for (std::size_t k = 0; k < plot.panels.size(); ++k) charts.push_back(panelChart(plot, k));
  }
  return charts;
}

void placeChart(QChart& chart, const LayoutBox& box, const LayoutBox& plotArea) {
  chart.setGeometry(rectOf(box));
  chart.setPlotArea(QRectF(plotArea.left - box.left, plotArea.top - box.top, plotArea.width, plotArea.height));
}

void saveSweepPlot(const SweepPlot& plot, const std::filesystem::path& path) {
  const std::unique_ptr<QApplication> application = applicationForCharts();
  const SweepPlotLayout layout = layoutSweepPlot(plot);
  const QSize size(layout.size.width, layout.size.height);
  // A scene without a view: nothing is shown, not even offscreen.
  QGraphicsScene scene;
  const std::vector<QChart*> charts = chartsOf(plot, layout);
  for (std::size_t i = 0; i < charts.size(); ++i) {
    scene.addItem(charts[i]);
    placeChart(*charts[i], layout.panelBoxes[i], layout.plotAreas[i]);
    charts[i]->layout()->activate();
  }
  const bool map = !plot.second.empty();
  OutputFile file(path, path.string(), OutputFile::Devices::WriteInto);
  exportPainting(
      [&](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
        if (!map) {
          for (std::size_t k = 0; k < charts.size(); ++k) {
            paintGrid(painter, *charts[k], spanOf(plot.x), niceSpan(gapSpan(plot.panels[k])));
          }
        }
        scene.render(&painter, QRectF(QPointF(0, 0), size), QRectF(QPointF(0, 0), size));
        if (map) {
          // The map's chart draws no grid and no background: its cells go
          // over it.
          paintMapCells(painter, *charts.front(), plot);
          paintAxisLabels(painter, *charts.front(), spanOf(plot.x), spanOf(plot.second), true,
                          plot.secondTitle, rectOf(layout.panelBoxes.front()), layout.textPixels);
          paintMapMarks(painter, *charts.front(), plot, layout);
          paintMapLegend(painter, layout);
        } else {
          for (std::size_t k = 0; k < charts.size(); ++k) {
            paintAxisLabels(painter, *charts[k], spanOf(plot.x), niceSpan(gapSpan(plot.panels[k])),
                            layout.showsXLabels[k], plot.yTitle, rectOf(layout.panelBoxes[k]), layout.textPixels);
            paintPanelMarks(painter, *charts[k], plot, k, layout);
          }
          paintLegend(painter, plot, layout);
        }
        paintTexts(painter, plot, layout);
      },
      size, chartDotsPerInch, QStringLiteral("propclear sweep"), file);
  file.commit();
}

}  // namespace

SaveSweepPlotFunction sweepPlotSaver() { return &saveSweepPlot; }

}  // namespace propclear
