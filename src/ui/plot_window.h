#pragma once
// The window that shows the drawing while the run builds it. The run goes on
// as a straight sequence without an event loop of its own, so the window
// processes pending events itself as commands arrive, but not more often
// than a screen refresh needs, nor so often that repainting a long drawing
// would make drawing it quadratic. Escape and Alt+F4 close it, also where no
// window manager provides Alt+F4.

#include <QElapsedTimer>
#include <QWidget>
#include <vector>

#include "plot/drawing_surface.h"

namespace propclear {

class PlotWindow : public QWidget, public DrawingObserver {
 public:
  PlotWindow();

  void commandRecorded(const std::vector<DrawCommand>& commands) override;
  const std::vector<DrawCommand>& drawing() const { return drawing_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void takeCommand(const DrawCommand& command);

  std::vector<DrawCommand> drawing_;
  QElapsedTimer sinceEventsProcessed_;
  qint64 nextEventsAfter_ = 0;  // milliseconds
};

}  // namespace propclear
