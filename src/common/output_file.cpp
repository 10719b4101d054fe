#include "common/output_file.h"

#include "common/run_error.h"

namespace propclear {

namespace fs = std::filesystem;

namespace {

// Written to the file in pieces of this size at most.
constexpr std::size_t bufferBytes = 64 * 1024;

// What an opt-in output finds when the device or descriptor it looked at is
// not what the open reached: a link changed on the way.
constexpr const char* changedDevice =
    "it is not the device or this program's own descriptor that it appeared to be (a link "
    "that changed, or another program's descriptor)";
constexpr const char* writeProtected = "the existing file is write-protected";

bool writtenIntoDirectly(const fs::path& target, OutputFile::Devices devices) {
  return devices == OutputFile::Devices::WriteInto && os::reachesDeviceOrDescriptor(target);
}

// What stands at the target and rules out replacing it.
std::optional<std::string> entryProblem(os::Entry entry) {
  switch (entry) {
    case os::Entry::Folder: return "it is a folder, not a file";
    case os::Entry::Special: return "it is not a regular file (a device, pipe or socket)";
    case os::Entry::Missing:
    case os::Entry::RegularFile:
    case os::Entry::Link: break;
  }
  return std::nullopt;
}

std::string folderProblem(const fs::path& target, const std::error_code& error) {
  // Built by appending: GCC 12 warns falsely about '"\"" + string'.
  std::string text = "the folder \"";
  text.append(folderOf(target).string()).append("\" is not writable (");
  return text.append(error.message()).append(")");
}

}  // namespace

OutputFile::OutputFile(const fs::path& path, std::string displayName, Devices devices)
    : target_(path), displayName_(std::move(displayName)) {
  if (writtenIntoDirectly(target_, devices)) {
    openDevice();
    return;
  }
  const os::Entry entry = os::entryAt(target_);
  if (const std::optional<std::string> problem = entryProblem(entry)) refuse(*problem);
  if (entry == os::Entry::RegularFile && !os::mayWrite(target_)) refuse(writeProtected);
  startVersion();
}

OutputFile::OutputFile(const fs::path& path, std::string displayName, Devices devices, Checked)
    : target_(path), displayName_(std::move(displayName)) {
  if (const std::optional<std::string> problem = targetProblem(target_, devices)) refuse(*problem);
  if (writtenIntoDirectly(target_, devices)) {
    openDevice();
    return;
  }
  std::error_code error;
  file_ = os::WrittenFile::createBeside(target_, error);
  if (error) refuse(folderProblem(target_, error));
}

OutputFile::OutputFile(StandardOutput)
    : displayName_("standard output"), intoDevice_(true), file_(os::WrittenFile::standardOutput()) {}

void OutputFile::writeLine(std::string_view text) {
  writeText(text);
  writeText("\r\n");
}

void OutputFile::writeText(std::string_view text) {
  if (!file_.isOpen()) startVersion();
  buffered_.append(text);
  if (buffered_.size() >= bufferBytes) flush();
}

void OutputFile::commit() {
  if (!file_.isOpen()) return;
  flush();
  if (intoDevice_) return;
  if (!sentToDisk_) file_.takeAttributesOf(target_);
  if (const std::error_code error = file_.finish()) fail("cannot write", error);
  if (const std::error_code error = file_.replace(target_)) fail("cannot replace", error);
  file_ = os::WrittenFile();
  sentToDisk_ = false;
}

void OutputFile::sendToDisk() {
  // A device gets its bytes on commit only, in the order of the commits.
  if (!file_.isOpen() || intoDevice_) return;
  flush();
  file_.takeAttributesOf(target_);
  file_.startWriteBack();
  sentToDisk_ = true;
}

void OutputFile::startVersion() {
  std::error_code error;
  file_ = os::WrittenFile::createBeside(target_, error);
  if (error) fail("cannot create", error);
}

void OutputFile::flush() {
  const std::error_code error = file_.write(buffered_);
  buffered_.clear();
  if (error) fail("cannot write", error);
}

void OutputFile::openDevice() {
  std::error_code error;
  intoDevice_ = true;
  file_ = os::WrittenFile::openExisting(target_, error);
  if (error == std::errc::no_such_device) refuse(changedDevice);
  if (error) fail("cannot open", error);
}

void OutputFile::refuse(const std::string& problem) const {
  throw RunError(ErrorKind::FileSystem, "cannot write the file: " + problem,
                 ErrorLocation{displayName_});
}

void OutputFile::fail(const char* action, std::error_code error) const {
  throw RunError(ErrorKind::FileSystem, std::string(action) + " the file: " + error.message(),
                 ErrorLocation{displayName_});
}

fs::path folderOf(const fs::path& target) {
  return target.has_parent_path() ? target.parent_path() : fs::path(".");
}

std::optional<std::string> lengthProblem(const fs::path& target) {
  const fs::path folder = folderOf(target);
  const std::size_t longestName = os::longestNameIn(folder);
  if (target.filename().native().size() > longestName) {
    return "the name is longer than the " + std::to_string(longestName) +
           " bytes the file system takes";
  }
  std::error_code error;
  const std::size_t longestPath = os::longestPathIn(folder);
  if (fs::absolute(target, error).native().size() >= longestPath) {
    return "the path is longer than the " + std::to_string(longestPath - 1) +
           " bytes the system takes";
  }
  return std::nullopt;
}

std::optional<std::string> targetProblem(const fs::path& target, OutputFile::Devices devices) {
  if (std::optional<std::string> problem = lengthProblem(target)) return problem;
  if (writtenIntoDirectly(target, devices)) {
    std::error_code error;
    os::WrittenFile::openExisting(target, error);
    if (error == std::errc::no_such_device) return changedDevice;
    if (error) return "it cannot be opened for writing (" + error.message() + ")";
    return std::nullopt;
  }
  const os::Entry entry = os::entryAt(target);
  if (std::optional<std::string> problem = entryProblem(entry)) return problem;
  if (entry == os::Entry::RegularFile && !os::mayWrite(target)) {
    return writeProtected;
  }
  return std::nullopt;
}

std::optional<std::string> replacementProblem(const fs::path& target, OutputFile::Devices devices) {
  if (std::optional<std::string> problem = targetProblem(target, devices)) return problem;
  if (writtenIntoDirectly(target, devices)) return std::nullopt;
  std::error_code error;
  os::WrittenFile::createBeside(target, error);
  if (error) return folderProblem(target, error);
  return std::nullopt;
}

}  // namespace propclear
