#include "ui/desktop_platform.h"

#include <QMessageBox>

#include "ui/export_plot.h"

namespace propclear {

DesktopPlatform::DesktopPlatform(std::unique_ptr<QApplication> application,
                                 std::unique_ptr<PlotWindow> window,
                                 std::unique_ptr<PromptService> prompts, bool showErrorBox)
    : application_(std::move(application)),
      window_(std::move(window)),
      prompts_(std::move(prompts)),
      showErrorBox_(showErrorBox) {
  application_->installNativeEventFilter(&lostWindowFilter_);
}

// A designer who started the program from the desktop sees no terminal.
void DesktopPlatform::showError(const std::string& message) {
  if (!showErrorBox_) return;
  QWidget* parent = window_ != nullptr && window_->isVisible() ? window_.get() : nullptr;
  QMessageBox::critical(parent, QStringLiteral("propclear"), QString::fromStdString(message));
}

// Only where the designer answers in the window: an answer given beforehand
// means nobody is watching, and the warning is on standard error.
void DesktopPlatform::showWarning(const std::string& message) {
  if (!showErrorBox_ || window_ == nullptr || !window_->isVisible()) return;
  QMessageBox::warning(window_.get(), QStringLiteral("propclear"), QString::fromStdString(message));
}

void DesktopPlatform::savePlot(const DrawingSurface& surface, OutputFile& file,
                               const std::optional<PlotSize>& size) {
  exportPlot(surface.commands(), file, size);
}

void DesktopPlatform::closeWindow() {
  if (window_ == nullptr) return;
  window_->close();
  QCoreApplication::processEvents();
}

}  // namespace propclear
