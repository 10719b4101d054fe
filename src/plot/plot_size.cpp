#include "plot/plot_size.h"

#include <charconv>
#include <string_view>

#include "common/run_error.h"

namespace propclear {

namespace {

int plotSide(std::string_view text, const std::string& whole) {
  int side = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), side);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() || side < 1 ||
      side > maxPlotSide) {
    throw RunError(ErrorKind::Usage, "--plot-size takes WIDTHxHEIGHT, each a whole number from 1 to " +
                                         std::to_string(maxPlotSide) + ", not \"" + whole + "\"");
  }
  return side;
}

}  // namespace

PlotSize parsePlotSize(const std::string& text) {
  const std::size_t times = text.find('x');
  if (times == std::string::npos) plotSide("", text);
  const std::string_view whole(text);
  return {plotSide(whole.substr(0, times), text), plotSide(whole.substr(times + 1), text)};
}

}  // namespace propclear
