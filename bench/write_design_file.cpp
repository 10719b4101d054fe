// Writes a design file for the whole-process timings:
//   propclear_bench_design_file FILE           the example stern (sample stern without it)
//   propclear_bench_design_file FILE POINTS    the sample stern resampled to POINTS points

#include <charconv>
#include <exception>
#include <fstream>
#include <iostream>
#include <string>

#include "bench_designs.h"
#include "sample_design.h"

namespace {

int pointCountOf(const std::string& text) {
  int points = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), points);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() || points < 2 ||
      points > propclear::maxContourPoints) {
    throw std::invalid_argument("POINTS must be a whole number from 2 to " +
                                std::to_string(propclear::maxContourPoints) + ", not \"" + text +
                                "\"");
  }
  return points;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace propclear;
  if (argc != 2 && argc != 3) {
    std::cerr << "usage: propclear_bench_design_file FILE [POINTS]\n";
    return 2;
  }
  try {
    const DesignData design =
        argc == 3 ? bench::resampledDesign(pointCountOf(argv[2])) : bench::exampleDesign();
    std::ofstream out(argv[1], std::ios::binary);
    out << test::designFileText(design);
    out.close();
    if (!out) throw std::runtime_error(std::string("cannot write ") + argv[1]);
  } catch (const std::exception& error) {
    std::cerr << "propclear_bench_design_file: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
