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
#include <memory>

#include "common/output_file.h"
#include "ui/export_plot.h"
#include "ui/qt_working_folders.h"

namespace propclear {

namespace {

constexpr QSize chartSize{1200, 760};
constexpr int chartDotsPerInch = 96;
// Shading of the feasible values, and the map's colours: red where the
// smallest margin is negative, white at 0, blue where it is positive, grey
// where the design failed.
const QColor feasibleShade(46, 160, 67, 56);
// The two sides of 0 start from distinct pale colours, so that the edge of
// the feasible region shows.
const QColor negativeColour(178, 24, 43);
const QColor paleNegativeColour(250, 212, 205);
const QColor positiveColour(33, 102, 172);
const QColor palePositiveColour(209, 229, 240);
const QColor failedColour(187, 187, 187);
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

// An axis over exactly `span`, ticked at round numbers.
QValueAxis* addAxis(QChart& chart, const std::string& title, Span span, Qt::Alignment side) {
  auto* axis = new QValueAxis;
  axis->setTitleText(text(title));
  axis->setRange(span.low, span.high);
  axis->setTickType(QValueAxis::TicksDynamic);
  const double interval = roundTickInterval(span.high - span.low);
  axis->setTickInterval(interval);
  axis->setTickAnchor(std::ceil(span.low / interval) * interval);
  axis->setLabelFormat("%.4g");
  chart.addAxis(axis, side);
  return axis;
}

void attach(QChart& chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y, bool inLegend) {
  chart.addSeries(series);
  series->attachAxis(x);
  series->attachAxis(y);
  if (!inLegend) {
    for (QLegendMarker* marker : chart.legend()->markers(series)) marker->setVisible(false);
  }
}

// Each run of designs that were analysed becomes one line; the legend names
// the first.
void addLine(QChart& chart, const SweepPlot& plot, const PlotLine& line, const QColor& colour,
             QAbstractAxis* x, QAbstractAxis* y) {
  bool named = false;
  for (std::size_t i = 0; i < plot.x.size();) {
    if (!line.values[i]) {
      ++i;
      continue;
    }
    auto* series = new QLineSeries;
    series->setName(text(line.name));
    QPen pen(colour, 2.0);
    if (line.dashed) pen.setStyle(line.informative ? Qt::DotLine : Qt::DashLine);
    series->setPen(pen);
    for (; i < plot.x.size() && line.values[i]; ++i) series->append(plot.x[i], *line.values[i]);
    series->setPointsVisible(series->count() == 1);
    attach(chart, series, x, y, !named);
    named = true;
  }
}

// Every stretch of feasible designs, shaded to halfway to its neighbours;
// false when there is none.
bool addShading(QChart& chart, const SweepPlot& plot, Span ySpan, QAbstractAxis* x, QAbstractAxis* y) {
  bool named = false;
  for (std::size_t i = 0; i < plot.x.size();) {
    if (plot.shaded[i] == 0) {
      ++i;
      continue;
    }
    const double low = cellOf(plot.x, i).low;
    while (i + 1 < plot.x.size() && plot.shaded[i + 1] != 0) ++i;
    const double high = cellOf(plot.x, i).high;
    ++i;
    auto* top = new QLineSeries;
    auto* bottom = new QLineSeries;
    top->append(low, ySpan.high);
    top->append(high, ySpan.high);
    bottom->append(low, ySpan.low);
    bottom->append(high, ySpan.low);
    auto* area = new QAreaSeries(top, bottom);
    area->setName(text(plot.shadedLabel));
    area->setBrush(feasibleShade);
    area->setPen(Qt::NoPen);
    attach(chart, area, x, y, !named);
    named = true;
  }
  return named;
}

Span clearanceSpan(const SweepPlot& plot) {
  double low = 0.0;
  double high = 0.0;
  for (const PlotLine& line : plot.lines) {
    for (const std::optional<double>& value : line.values) {
      if (!value) continue;
      low = std::min(low, *value);
      high = std::max(high, *value);
    }
  }
  if (high <= low) high = low + 1.0;
  return {low, high + 0.08 * (high - low)};
}

void buildLineChart(QChart& chart, const SweepPlot& plot) {
  QValueAxis* x = addAxis(chart, plot.xTitle, spanOf(plot.x), Qt::AlignBottom);
  QValueAxis* y = addAxis(chart, plot.yTitle, clearanceSpan(plot), Qt::AlignLeft);
  y->applyNiceNumbers();
  if (!addShading(chart, plot, {y->min(), y->max()}, x, y)) {
    // Without a shaded stretch the legend would not say what is missing.
    chart.setTitle(chart.title() + "<br><small>" + text("shaded where " + plot.shadedLabel +
                                                        ": nowhere in this sweep").toHtmlEscaped() +
                   "</small>");
  }
  for (std::size_t i = 0; i < plot.lines.size(); ++i) {
    addLine(chart, plot, plot.lines[i], clearanceColours[i % clearanceColours.size()], x, y);
  }
  chart.legend()->setAlignment(Qt::AlignRight);
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
void buildMapChart(QChart& chart, const SweepPlot& plot) {
  QAbstractAxis* x = addAxis(chart, plot.xTitle, spanOf(plot.x), Qt::AlignBottom);
  QAbstractAxis* y = addAxis(chart, plot.secondTitle, spanOf(plot.second), Qt::AlignLeft);
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
  chart.addAxis(colours, Qt::AlignRight);
  auto* corners = new QScatterSeries;
  corners->append(spanOf(plot.x).low, spanOf(plot.second).low);
  corners->setColor(Qt::transparent);
  corners->setBorderColor(Qt::transparent);
  attach(chart, corners, x, y, false);
  corners->attachAxis(colours);
  chart.legend()->hide();
}

// The map's cells, under the chart's grid and axes.
void paintMapCells(QPainter& painter, QChart& chart, const SweepPlot& plot) {
  const double scale = largestMagnitude(plot);
  painter.save();
  painter.setClipRect(chart.plotArea());
  for (std::size_t ix = 0; ix < plot.x.size(); ++ix) {
    const Span columns = cellOf(plot.x, ix);
    for (std::size_t iy = 0; iy < plot.second.size(); ++iy) {
      const Span rows = cellOf(plot.second, iy);
      const QPointF corner1 = chart.mapToPosition(QPointF(columns.low, rows.low));
      const QPointF corner2 = chart.mapToPosition(QPointF(columns.high, rows.high));
      QRectF cell = QRectF(corner1, corner2).normalized();
      // One pixel more on each side: no hairline gaps between neighbours.
      cell.adjust(-0.5, -0.5, 0.5, 0.5);
      painter.fillRect(cell, marginColour(plot.smallestMargin[ix * plot.second.size() + iy], scale));
    }
  }
  painter.restore();
}

void saveSweepPlot(const SweepPlot& plot, const std::filesystem::path& path) {
  const std::unique_ptr<QApplication> application = applicationForCharts();
  auto* chart = new QChart;
  chart->setTitle(text(plot.title).toHtmlEscaped());
  const bool map = !plot.second.empty();
  if (map) {
    buildMapChart(*chart, plot);
    chart->setBackgroundVisible(false);
    chart->setPlotAreaBackgroundVisible(false);
  } else {
    buildLineChart(*chart, plot);
  }
  // A scene without a view: nothing is shown, not even offscreen.
  QGraphicsScene scene;
  scene.addItem(chart);
  chart->setGeometry(QRectF(QPointF(0, 0), chartSize));
  chart->layout()->activate();
  OutputFile file(path, path.string(), OutputFile::Devices::WriteInto);
  exportPainting(
      [&](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillRect(QRect(QPoint(0, 0), chartSize), Qt::white);
        if (map) paintMapCells(painter, *chart, plot);
        scene.render(&painter, QRectF(QPointF(0, 0), chartSize), QRectF(QPointF(0, 0), chartSize));
      },
      chartSize, chartDotsPerInch, QStringLiteral("propclear sweep"), file);
  file.commit();
}

}  // namespace

SaveSweepPlotFunction sweepPlotSaver() { return &saveSweepPlot; }

}  // namespace propclear
