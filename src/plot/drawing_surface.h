#pragma once
// The window's drawing operations, recorded in call order as a display list.
// Every front end replays the list: the desktop window, image export, tests.
// Coordinates are in user units and handed over in single precision; a
// coordinate that does not fit a float is an arithmetic fault.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace propclear {

// Indices of the conventional 16-colour palette used by the drawing.
enum PaletteColour : int {
  paletteBlue = 1,
  paletteDarkGrey = 8,
  paletteLightBlue = 9,
  paletteLightGreen = 10,
  paletteLightCyan = 11,
  paletteLightRed = 12,
  paletteLightMagenta = 13,
  paletteYellow = 14,
};
inline constexpr int paletteSize = 16;

// The print palette, after the conventional 16: for what is meant for paper
// or a screen image (saved plots, the studio's drawing and its print).
enum PrintColour : int {
  printStructure = 16,     // hull, rudder: near-black
  printConstruction = 17,  // frame, base line, waterline, A.P., shaft, outlines: grey
  printPropeller = 18,     // hub and blades: blue
  printFailure = 19,       // a clearance below its minimum, a clash: red
  printMeets = 20,         // a clearance that is clear or meets its minima: green
  printText = 21,          // labels: dark grey
};
inline constexpr int drawingColourCount = 22;

// The conventional 16-colour palette as 0xRRGGBB, by index: black, blue,
// green, cyan, red, magenta, brown, light grey, dark grey, then the light
// versions of blue to magenta, yellow and white; then the print palette.
inline constexpr std::array<std::uint32_t, drawingColourCount> paletteRgb{
    0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
    0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF,
    0x202020, 0x808080, 0x1F4E9A, 0xD01010, 0x007A33, 0x303030,
};

// How lines are drawn; lines are solid until a style is set.
enum class LineStyle : int { Solid = 0, Dashed = 1, Dotted = 2 };

enum class DrawOp {
  ShowWindow,
  ClearWindow,
  SetCaption,      // text
  SetFont,         // text = font name, size = points
  SetTextColour,   // colour
  SetLineWidth,    // size = pixels
  SetLineStyle,    // size = LineStyle
  SetUserScale,    // left, top, right, bottom (upper-left and lower-right corners)
  DrawLine,        // x1, y1 to x2, y2 in colour
  DrawCircle,      // centre x1, y1, radius (along x) in colour
  MoveTextCursor,  // x1, y1
  PrintText,       // text at the cursor, upper-left corner; cursor moves a line down
};

struct DrawCommand {
  DrawOp op = DrawOp::ClearWindow;
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // line ends, circle centre (x1, y1), cursor
  float radius = 0;
  double left = 0, top = 0, right = 0, bottom = 0;  // user scale
  int colour = 0;
  int size = 0;  // font points or line width
  std::string text;
};

// Told of every command as it is recorded, so that a window can show the
// drawing while it is being built.
class DrawingObserver {
 public:
  virtual ~DrawingObserver() = default;
  virtual void commandRecorded(const std::vector<DrawCommand>& commands) = 0;
};

class DrawingSurface {
 public:
  DrawingSurface() = default;
  // Goes on from a drawing recorded before.
  explicit DrawingSurface(std::vector<DrawCommand> commands) : commands_(std::move(commands)) {}

  void showWindow();
  void clearWindow();
  void setCaption(const std::string& text);
  void setFont(const std::string& fontName, int points);
  void setTextColour(int colour);
  void setLineWidth(int pixels);
  void setLineStyle(LineStyle style);
  void setUserScale(double left, double top, double right, double bottom);
  void drawLine(double x1, double y1, double x2, double y2, int colour);
  void drawCircle(double x, double y, double radius, int colour);
  void moveTextCursor(double x, double y);
  void printText(const std::string& text);

  const std::vector<DrawCommand>& commands() const { return commands_; }
  void setObserver(DrawingObserver* observer) { observer_ = observer; }

 private:
  void record(DrawCommand command);

  std::vector<DrawCommand> commands_;
  DrawingObserver* observer_ = nullptr;
};

}  // namespace propclear
