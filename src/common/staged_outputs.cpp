#include "common/staged_outputs.h"

namespace propclear {

OutputFile& StagedOutputs::add(const std::filesystem::path& path, std::string displayName,
                               OutputFile::Devices devices) {
  return *outputs_.emplace_back(std::make_unique<OutputFile>(path, std::move(displayName), devices));
}

OutputFile& StagedOutputs::addStandardOutput() {
  return *outputs_.emplace_back(std::make_unique<OutputFile>(OutputFile::StandardOutput{}));
}

void StagedOutputs::commitAll() { commitTogether(nullptr); }

void StagedOutputs::commitAllThen(OutputFile& last) { commitTogether(&last); }

void StagedOutputs::commitTogether(OutputFile* last) {
  for (const std::unique_ptr<OutputFile>& output : outputs_) output->sendToDisk();
  if (last != nullptr) last->sendToDisk();
  for (const std::unique_ptr<OutputFile>& output : outputs_) output->commit();
  if (last != nullptr) last->commit();
}

}  // namespace propclear
