// The design studio's speed, on Qt's offscreen platform unless a platform is
// named: a recorded drag of the propeller centre replayed as mouse events, each
// step timed from the mouse move to the repainted drawing with the new
// clearances in the panels (the figure to hold is the 99th percentile, the
// counter p99_ms), for the example and for a 250-point contour.
//
//   propclear_bench_studio [benchmark options]   the drag benchmarks
//   propclear_bench_studio --launch FILE         opens the studio on FILE and
//       ends at its first painted drawing: timed whole by hyperfine under Xvfb,
//       launch to first paint

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "bench_designs.h"
#include "sample_design.h"
#include "support/test_support.h"
#include "ui/studio/stern_view.h"
#include "ui/studio/studio_window.h"

namespace propclear::bench {
namespace {

constexpr int dragSteps = 200;

void sendMouse(QWidget& widget, QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
  QMouseEvent event(type, at, widget.mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
  QApplication::sendEvent(&widget, &event);
}

// The recorded drag: the propeller centre 0.5 m up and back down over 200 mouse
// moves, with a slight sideways wander, as a hand drags.
std::vector<QPointF> recordedDrag(const SternView& view, const DesignData& design) {
  std::vector<QPointF> path;
  for (int step = 1; step <= dragSteps; ++step) {
    const double phase = static_cast<double>(step) / dragSteps;
    const double up = 0.5 * std::sin(M_PI * phase);
    const double aside = 0.05 * std::sin(4.0 * M_PI * phase);
    path.push_back(view.pixelOf(design.propellerCentreX + aside, design.propellerCentreZ + up));
  }
  return path;
}

void studioDrag(benchmark::State& state, const DesignData& design) {
  test::ScratchDir folder;
  const std::filesystem::path file = folder / "stern.TSK";
  test::writeFile(file, test::designFileText(design));
  StudioWindow window;
  window.resize(1400, 860);
  window.show();
  window.openFile(file);
  SternView& view = window.view();
  view.repaint();
  const std::vector<QPointF> path = recordedDrag(view, design);

  std::vector<double> stepMilliseconds;
  std::size_t step = path.size();
  for (auto _ : state) {
    if (step == path.size()) {
      state.PauseTiming();
      if (!stepMilliseconds.empty()) sendMouse(view, QEvent::MouseButtonRelease, path.back(), {});
      window.document().undoStack().clear();
      window.openFile(file);
      sendMouse(view, QEvent::MouseButtonPress, view.pixelOf(design.propellerCentreX,
                                                             design.propellerCentreZ),
                Qt::LeftButton);
      step = 0;
      state.ResumeTiming();
    }
    const auto start = std::chrono::steady_clock::now();
    sendMouse(view, QEvent::MouseMove, path[step], Qt::LeftButton);
    view.repaint();
    stepMilliseconds.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    ++step;
  }
  sendMouse(view, QEvent::MouseButtonRelease, path[step - 1], {});
  std::sort(stepMilliseconds.begin(), stepMilliseconds.end());
  const auto at = [&](double fraction) {
    return stepMilliseconds[static_cast<std::size_t>(fraction * (stepMilliseconds.size() - 1))];
  };
  state.counters["p50_ms"] = at(0.50);
  state.counters["p99_ms"] = at(0.99);
  state.counters["max_ms"] = stepMilliseconds.back();
  state.counters["steps"] = static_cast<double>(stepMilliseconds.size());
}

void studioDragExample(benchmark::State& state) {
  state.SetLabel(exampleDesignSource());
  studioDrag(state, exampleDesign());
}
void studioDrag250(benchmark::State& state) { studioDrag(state, resampledDesign(denseContourPoints)); }

BENCHMARK(studioDragExample)->Name("studioDrag/example")->Iterations(4 * dragSteps)->Unit(benchmark::kMillisecond);
BENCHMARK(studioDrag250)->Name("studioDrag/250")->Iterations(4 * dragSteps)->Unit(benchmark::kMillisecond);

// Opens the studio on `file` and ends once its drawing is first painted.
int launch(int argc, char** argv, const char* file) {
  QCoreApplication::setOrganizationName(QStringLiteral("propclear-bench"));
  QApplication application(argc, argv);
  StudioWindow window;
  QObject::connect(&window.view(), &SternView::firstPainted, &application, &QApplication::quit,
                   Qt::QueuedConnection);
  if (!window.openFile(file)) return 1;
  window.show();
  return QApplication::exec();
}

}  // namespace
}  // namespace propclear::bench

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--launch") {
    return propclear::bench::launch(argc, argv, argv[2]);
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
