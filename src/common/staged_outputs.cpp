#include "common/staged_outputs.h"

namespace propclear {

OutputFile& StagedOutputs::add(const std::filesystem::path& path, std::string displayName,
                               OutputFile::Devices devices) {
  return *outputs_.emplace_back(std::make_unique<OutputFile>(path, std::move(displayName), devices));
}

OutputFile& StagedOutputs::addStandardOutput() {
  return *outputs_.emplace_back(std::make_unique<OutputFile>(OutputFile::StandardOutput{}));
}

void StagedOutputs::commitAll() {
  for (const std::unique_ptr<OutputFile>& output : outputs_) output->commit();
}

}  // namespace propclear
