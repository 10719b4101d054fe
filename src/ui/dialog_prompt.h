#pragma once
// The run's prompt as a dialog, shown over the plot window when that is on
// screen. The run waits for the answer; the plot window stays live, and
// closing it (Escape, Alt+F4, its title bar) cancels the prompt like the
// dialog's own Cancel, Escape or closing.

#include <QPoint>
#include <optional>
#include <string>

#include "driver/prompt_service.h"

class QWidget;

namespace propclear {

class DialogPrompt : public PromptService {
 public:
  // `window` (may be null) becomes the dialog's parent while it is visible.
  explicit DialogPrompt(QWidget* window) : window_(window) {}

  std::string askText(const std::string& message, const std::string& title,
                      const std::string& defaultText,
                      std::optional<PromptPosition> position) override;

 private:
  QWidget* window_;
};

// The screen pixel of a prompt's upper-left corner, counted from the primary
// screen's upper-left corner.
QPoint promptPixel(PromptPosition position);

}  // namespace propclear
