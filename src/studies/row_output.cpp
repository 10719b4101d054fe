#include "studies/row_output.h"

#include "report/write_json_results.h"

namespace propclear {

std::unique_ptr<OutputFile> openRowOutput(const std::string& target) {
  if (target == standardOutputTarget) return std::make_unique<OutputFile>(OutputFile::StandardOutput{});
  return std::make_unique<OutputFile>(target, target, OutputFile::Devices::WriteInto,
                                      OutputFile::Checked{});
}

}  // namespace propclear
