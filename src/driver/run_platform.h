#pragma once
// What a run needs from the platform it runs on: the prompt, the window that
// shows the drawing, and a place to show an error. The terminal provides the
// first and the last; the desktop front end provides all three.

#include <optional>
#include <string>

#include "driver/run_options.h"

#include "driver/prompt_service.h"
#include "plot/drawing_surface.h"

namespace propclear {

class OutputFile;

class RunPlatform {
 public:
  virtual ~RunPlatform() = default;
  virtual PromptService& prompts() = 0;
  // The window's view of the drawing, or nullptr when the run has no window.
  virtual DrawingObserver* window() = 0;
  // Called with the error message of an error ending, before the run ends.
  virtual void showError(const std::string& message) = 0;
  // Shows a warning the designer must see before answering the geometry
  // question (the run has written it to standard error already).
  virtual void showWarning(const std::string& message) = 0;
  // Whether savePlot can write images at all, and the desktop front end can
  // write the clearance report (a build without the front end cannot).
  virtual bool savesPlots() const = 0;
  // Writes the drawing into `file` as an image (PNG, SVG or PDF by the
  // extension of its target), at the window's size or the given one. Throws
  // RunError when the format is not supported or the file cannot be written.
  virtual void savePlot(const DrawingSurface& surface, OutputFile& file,
                        const std::optional<PlotSize>& size) = 0;
  // Called once when the run ends, on every ending: the window closes.
  virtual void closeWindow() = 0;
};

}  // namespace propclear
