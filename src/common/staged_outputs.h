#pragma once
// The outputs of a run that are written while it goes on and put in place
// together at its end, so that a failure on the way leaves each file as it
// was before the run: a late failure never leaves some new files beside old
// ones. Outputs not put in place when the object goes are discarded.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/output_file.h"

namespace propclear {

class StagedOutputs {
 public:
  // A new output, put in place by commitAll() after those added before it.
  OutputFile& add(const std::filesystem::path& path, std::string displayName,
                  OutputFile::Devices devices);
  OutputFile& addStandardOutput();
  // Commits every output in the order they were added. All are sent to the
  // disk before the first commit waits for it, so that the waits overlap.
  void commitAll();
  // The same, then commits `last`, an output the object does not hold,
  // sent to the disk together with the others.
  void commitAllThen(OutputFile& last);

 private:
  void commitTogether(OutputFile* last);

  std::vector<std::unique_ptr<OutputFile>> outputs_;
};

}  // namespace propclear
