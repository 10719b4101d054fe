#include "ui/plot_window.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

#include "ui/render_drawing.h"
#include "ui/screen_units.h"

namespace propclear {

namespace {

// The shortest time between two rounds of event processing while the run draws.
constexpr qint64 eventIntervalMilliseconds = 30;

}  // namespace

PlotWindow::PlotWindow() {
  setAttribute(Qt::WA_OpaquePaintEvent);  // every paint fills the whole area
  resize(designDrawingArea);
}

// The list only grows: take over the commands not seen yet, so that keeping a
// copy costs one step per command.
void PlotWindow::commandRecorded(const std::vector<DrawCommand>& commands) {
  for (std::size_t index = drawing_.size(); index < commands.size(); ++index) {
    takeCommand(commands[index]);
  }
  update();
  if (sinceEventsProcessed_.isValid() && sinceEventsProcessed_.elapsed() < nextEventsAfter_) return;
  QElapsedTimer processing;
  processing.start();
  QCoreApplication::processEvents();
  // A repaint replays the whole list: waiting at least four times as long as
  // the last one took keeps repainting under a fifth of the run's time,
  // however long the drawing grows.
  nextEventsAfter_ = std::max(eventIntervalMilliseconds, 4 * processing.elapsed());
  sinceEventsProcessed_.start();
}

void PlotWindow::takeCommand(const DrawCommand& command) {
  if (command.op == DrawOp::ShowWindow) show();
  if (command.op == DrawOp::SetCaption) setWindowTitle(QString::fromStdString(command.text));
  drawing_.push_back(command);
}

void PlotWindow::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  renderDrawing(drawing_, painter, size());
}

void PlotWindow::keyPressEvent(QKeyEvent* event) {
  const bool altF4 = event->key() == Qt::Key_F4 && event->modifiers() == Qt::AltModifier;
  if (event->key() == Qt::Key_Escape || altF4 || event->matches(QKeySequence::Close)) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace propclear
