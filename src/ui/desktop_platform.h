#pragma once
// The run's platform on the desktop: the plot window, dialog prompts and
// error boxes when a display is reached; otherwise the terminal's prompts.
// Image export works either way.

#include <QApplication>
#include <memory>

#include "driver/run_platform.h"
#include "ui/lost_window_filter.h"
#include "ui/plot_window.h"

namespace propclear {

class DesktopPlatform : public RunPlatform {
 public:
  // `window` is null when there is no display to show it on. Errors are shown
  // in a message box only when `showErrorBox` is set. Windows destroyed by
  // other programs count as closed (LostWindowFilter).
  DesktopPlatform(std::unique_ptr<QApplication> application, std::unique_ptr<PlotWindow> window,
                  std::unique_ptr<PromptService> prompts, bool showErrorBox);

  PromptService& prompts() override { return *prompts_; }
  DrawingObserver* window() override { return window_.get(); }
  void showError(const std::string& message) override;
  void showWarning(const std::string& message) override;
  bool savesPlots() const override { return true; }
  void savePlot(const DrawingSurface& surface, OutputFile& file,
                const std::optional<PlotSize>& size) override;
  void closeWindow() override;

 private:
  // Declared first: the application outlives every widget.
  std::unique_ptr<QApplication> application_;
  LostWindowFilter lostWindowFilter_;
  std::unique_ptr<PlotWindow> window_;
  std::unique_ptr<PromptService> prompts_;
  bool showErrorBox_;
};

}  // namespace propclear
