#include "studies/sweep_plot_collector.h"

#include <algorithm>

#include "common/checked_math.h"
#include "common/format_number.h"

namespace propclear {

namespace {

std::string axisTitle(const StudyParameter& parameter) {
  std::string title(parameter.name);
  if (parameter.kind == ParameterKind::Shift) title += " shift";
  if (!parameter.unit.empty()) title += " (" + std::string(parameter.unit) + ")";
  return title;
}

std::vector<double> valuesOf(const ParameterValues& values) {
  std::vector<double> all;
  all.reserve(values.count);
  for (std::uint64_t i = 0; i < values.count; ++i) all.push_back(values.at(i));
  return all;
}

std::string shortfallText(double metres) {
  std::string text = formatFixed(metres, 1, 3);
  if (text.back() == '%') text.pop_back();
  return text + " m";
}

// Where a margin going from m0 at x0 to m1 at x1 crosses 0, along the
// straight line between them; halfway when either is unknown.
double crossingOf(double x0, double x1, const std::optional<double>& m0,
                  const std::optional<double>& m1) {
  if (!m0 || !m1 || (*m0 >= 0.0) == (*m1 >= 0.0)) return 0.5 * (x0 + x1);
  return x0 + (x1 - x0) * checkedDivide(*m0, *m0 - *m1, "a crossing between two designs");
}

std::optional<double> marginNamed(const std::vector<BindingMargin>& margins, std::string_view name) {
  for (const BindingMargin& margin : margins) {
    if (margin.name == name && margin.measured) return margin.metres;
  }
  return std::nullopt;
}

// "a (lr-recommended a)" for a rule line, the margin's own name otherwise.
std::string bindingName(std::string_view name, bool rules) {
  if (!rules) return std::string(name);
  const std::size_t space = name.rfind(' ');
  return std::string(name.substr(space + 1)) + " (" + std::string(name) + ")";
}

bool meets(const PlotPoint& point, int k) {
  const std::optional<double>& margin = point.panelMargin[k];
  const std::optional<double>& gap = point.gapMetres[k];
  return margin && *margin >= 0.0 && gap && *gap > 0.0;
}

// The zero contour of the map's smallest margin, cell by cell: each edge of
// a cell whose corners lie on both sides of 0 holds one point of it.
std::vector<ContourSegment> zeroContourOf(const SweepPlot& plot) {
  std::vector<ContourSegment> segments;
  const std::size_t columns = plot.second.size();
  for (std::size_t ix = 0; ix + 1 < plot.x.size(); ++ix) {
    for (std::size_t iy = 0; iy + 1 < columns; ++iy) {
      const std::array<std::pair<std::size_t, std::size_t>, 4> corners = {
          {{ix, iy}, {ix + 1, iy}, {ix + 1, iy + 1}, {ix, iy + 1}}};
      std::vector<std::pair<double, double>> points;
      for (std::size_t c = 0; c < corners.size(); ++c) {
        const auto [ax, ay] = corners[c];
        const auto [bx, by] = corners[(c + 1) % corners.size()];
        const std::optional<double>& a = plot.smallestMargin[ax * columns + ay];
        const std::optional<double>& b = plot.smallestMargin[bx * columns + by];
        if (!a || !b || (*a >= 0.0) == (*b >= 0.0)) continue;
        const double share = checkedDivide(*a, *a - *b, "the map's zero contour");
        points.emplace_back(plot.x[ax] + share * (plot.x[bx] - plot.x[ax]),
                            plot.second[ay] + share * (plot.second[by] - plot.second[ay]));
      }
      for (std::size_t p = 0; p + 1 < points.size(); p += 2) {
        segments.push_back({points[p].first, points[p].second, points[p + 1].first, points[p + 1].second});
      }
    }
  }
  return segments;
}

}  // namespace

PlotPoint plotPointOf(const DesignAssessment& assessment, const StudyRules* rules) {
  PlotPoint point;
  point.smallestMargin = smallestMargin(assessment, rules);
  point.feasible = isFeasible(assessment, rules);
  if (!assessment.analysed) return point;
  point.margins = bindingMargins(assessment, rules);
  for (int k = 0; k < clearanceCount; ++k) point.gapMetres[k] = point.panelMargin[k] = assessment.gaps[k];
  for (std::size_t line = 0; line < assessment.rules.size(); ++line) {
    const RuleMargin& rule = assessment.rules[line];
    point.requiredMetres.push_back(rule.applies ? std::optional(rule.requiredMetres) : std::nullopt);
    point.informative.push_back(rule.applies && rule.informative ? 1 : 0);
    if (!rule.applies || rule.informative) continue;
    std::optional<double>& panel = point.panelMargin[line % clearanceCount];
    panel = panel && rule.marginMetres ? std::optional(std::min(*panel, *rule.marginMetres)) : std::nullopt;
  }
  return point;
}

SweepPlotCollector::SweepPlotCollector(const std::vector<ParameterValues>& varied,
                                       const StudyRules* rules, SweepPlotFrame frame)
    : parameter_(varied.front().parameter),
      secondParameter_(varied.back().parameter),
      rules_(rules != nullptr) {
  plot_.title = std::move(frame.title);
  plot_.size = frame.size;
  plot_.xTitle = axisTitle(*parameter_);
  plot_.x = valuesOf(varied.front());
  plot_.currentX = frame.fileValues.front();
  plot_.currentLabel = frame.designName;
  if (varied.size() == 2) {
    plot_.secondTitle = axisTitle(*varied.back().parameter);
    plot_.second = valuesOf(varied.back());
    plot_.currentSecond = frame.fileValues.back();
    plot_.marginTitle = rules != nullptr ? "smallest rule margin (m)" : "smallest gap (m)";
    return;
  }
  plot_.currentLabel += ": " + valueWithUnit(*parameter_, frame.fileValues.front());
  plot_.yTitle = "gap (m)";
  const std::size_t ruleSets = rules != nullptr ? rules->lineLabels().size() / clearanceCount : 0;
  for (int k = 0; k < clearanceCount; ++k) {
    SweepPanel panel{std::string(clearanceNames[k]), {}, {}, {}, {}};
    for (std::size_t set = 0; set < ruleSets; ++set) {
      panel.required.push_back({rules->lineLabels()[set * clearanceCount + k], false, {}});
    }
    plot_.panels.push_back(std::move(panel));
  }
  plot_.shadedLabel = rules != nullptr ? "every rule holds" : "nothing overlaps";
}

void SweepPlotCollector::add(PlotPoint point) {
  if (!plot_.second.empty()) {
    plot_.smallestMargin.push_back(point.smallestMargin);
    plot_.feasible.push_back(point.feasible ? 1 : 0);
    ++added_;
    return;
  }
  addToPanels(point);
  noteHeadlineCrossing(point);
  plot_.shaded.push_back(point.feasible ? 1 : 0);
  previous_ = std::move(point);
  ++added_;
}

void SweepPlotCollector::addToPanels(const PlotPoint& point) {
  for (int k = 0; k < clearanceCount; ++k) {
    SweepPanel& panel = plot_.panels[k];
    panel.gapMetres.push_back(point.gapMetres[k]);
    for (std::size_t set = 0; set < panel.required.size(); ++set) {
      const std::size_t line = set * clearanceCount + k;
      const bool judged = line < point.requiredMetres.size();
      panel.required[set].metres.push_back(judged ? point.requiredMetres[line] : std::nullopt);
      if (judged && point.informative[line] != 0) panel.required[set].informative = true;
    }
    const bool meetsHere = meets(point, k);
    if (previous_ && meetsHere != (panel.meets.back() != 0)) {
      const double x = crossingOf(plot_.x[added_ - 1], plot_.x[added_], previous_->panelMargin[k],
                                  point.panelMargin[k]);
      panel.crossings.push_back({x, valueToThousandths(*parameter_, x)});
    }
    panel.meets.push_back(meetsHere ? 1 : 0);
  }
}

// The end of a feasible stretch, and the nearest miss of an infeasible design.
void SweepPlotCollector::noteHeadlineCrossing(const PlotPoint& point) {
  if (point.feasible) return;
  const BindingMargin* failing = failingMargin(point.margins);
  const std::string binding =
      failing != nullptr ? bindingName(failing->name, rules_) : std::string("the design itself");
  const double x = plot_.x[added_];
  if (point.smallestMargin && (!nearest_ || *point.smallestMargin > nearest_->metres)) {
    nearest_ = Miss{x, binding, *point.smallestMargin};
  }
  if (!previous_ || !previous_->feasible) return;
  std::optional<double> before;
  std::optional<double> here;
  if (failing != nullptr && failing->measured) {
    before = marginNamed(previous_->margins, failing->name);
    here = failing->metres;
  }
  const double end = crossingOf(plot_.x[added_ - 1], x, before, here);
  lastEnd_ = Crossing{end, valueToThousandths(*parameter_, end)};
  lastEndBinding_ = binding;
}

const SweepPlot& SweepPlotCollector::finish() {
  const std::string symbol(parameter_->symbol);
  const std::string meeting = rules_ ? "meeting every rule" : "with nothing overlapping";
  const std::vector<std::uint8_t>& feasible = plot_.second.empty() ? plot_.shaded : plot_.feasible;
  const std::size_t count = static_cast<std::size_t>(std::count(feasible.begin(), feasible.end(), 1));
  if (!plot_.second.empty()) {
    plot_.zeroContour = zeroContourOf(plot_);
    std::size_t last = feasible.size();
    for (std::size_t i = 0; i < feasible.size(); ++i) if (feasible[i] != 0) last = i;
    plot_.headline = count == 0 ? "No design of the grid " + std::string(rules_ ? "meets every rule" : "is free of overlaps")
                                : "Largest " + symbol + " " + meeting + ": " +
                                      valueWithUnit(*parameter_, plot_.x[last / plot_.second.size()]) +
                                      " (" + std::string(secondParameter_->name) + " " +
                                      valueWithUnit(*secondParameter_, plot_.second[last % plot_.second.size()]) +
                                      ") \u2014 " + std::to_string(count) + " of " +
                                      std::to_string(feasible.size()) + " designs feasible";
    return plot_;
  }
  if (count > 0 && feasible.back() != 0) {
    plot_.headline = "Largest " + symbol + " " + meeting + ": \u2265 " +
                     valueToThousandths(*parameter_, plot_.x.back()) + " \u2014 the sweep's end";
  } else if (count > 0 && lastEnd_) {
    plot_.headline = "Largest " + symbol + " " + meeting + ": " + lastEnd_->text + " \u2014 bound by " +
                     lastEndBinding_;
  } else {
    plot_.headline = "No " + symbol + " from " + readableNumber(plot_.x.front()) + " to " +
                     valueWithUnit(*parameter_, plot_.x.back()) + " " +
                     (rules_ ? "meets every rule" : "is free of overlaps");
    if (nearest_) {
      plot_.headline += " \u2014 nearest at " + valueWithUnit(*parameter_, nearest_->x) + ": " +
                        nearest_->binding + " short by " + shortfallText(-nearest_->metres);
    }
  }
  return plot_;
}

}  // namespace propclear
