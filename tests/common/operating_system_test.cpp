#include "common/operating_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "test_support.h"

namespace propclear::os {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;

std::set<std::string> namesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

TEST(TemporaryFiles, ManyBesideOneTargetAtOnceEachGetAHiddenNameOfTheirOwn) {
  constexpr std::size_t count = 500;
  ScratchDir dir;
  std::vector<WrittenFile> files;
  for (std::size_t i = 0; i < count; ++i) {
    std::error_code error;
    files.push_back(WrittenFile::createBeside(dir / "out.txt", error));
    ASSERT_FALSE(error) << error.message();
  }
  const std::set<std::string> names = namesIn(dir.path());
  EXPECT_EQ(names.size(), count);
  const std::regex shape(R"(\.out\.txt\.[A-Za-z0-9]{6})");
  for (const std::string& name : names) EXPECT_TRUE(std::regex_match(name, shape)) << name;
  files.clear();
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

// The name of the one temporary file made beside `target`, made and removed
// again in this process.
std::string nameOfNextTemporary(const fs::path& target) {
  std::error_code error;
  const WrittenFile file = WrittenFile::createBeside(target, error);
  if (error) return "failed: " + error.message();
  return *namesIn(target.parent_path()).begin();
}

TEST(TemporaryFiles, ForkedProcessDoesNotRepeatItsParentsNames) {
  ScratchDir dir;
  nameOfNextTemporary(dir / "out.txt");  // the names are under way before the fork
  int pipeEnds[2];
  ASSERT_EQ(::pipe(pipeEnds), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const std::string name = nameOfNextTemporary(dir / "out.txt");
    const bool sent =
        ::write(pipeEnds[1], name.data(), name.size()) == static_cast<ssize_t>(name.size());
    ::_exit(sent ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  char received[64] = {};
  const ssize_t length = ::read(pipeEnds[0], received, sizeof received);
  ::close(pipeEnds[0]);
  ::close(pipeEnds[1]);
  ASSERT_GT(length, 0);
  const std::string childName(received, static_cast<std::size_t>(length));
  EXPECT_EQ(childName.rfind(".out.txt.", 0), 0u) << childName;
  EXPECT_NE(nameOfNextTemporary(dir / "out.txt"), childName);
}

// Whether openExisting opened `path`, and else its error.
std::error_code openExistingError(const fs::path& path) {
  std::error_code error;
  WrittenFile::openExisting(path, error);
  return error;
}

TEST(OpenExisting, WritesOnlyIntoTheCharacterDeviceOrOwnDescriptorThatItLookedAt) {
  ScratchDir dir;
  test::writeFile(dir / "victim", "victim's\n");
  fs::create_symlink("/dev/null", dir / "to-null");
  fs::create_symlink(dir / "victim", dir / "to-victim");
  fs::create_symlink(dir / "to-null", dir / "to-link-to-null");
  EXPECT_FALSE(openExistingError(dir / "to-null"));
  EXPECT_FALSE(openExistingError(dir / "to-link-to-null"));
  EXPECT_FALSE(openExistingError("/dev/stdout"));
  // A link that another user turned from /dev/null to a file of theirs
  // between the check and the open: the file is opened by no one.
  EXPECT_EQ(openExistingError(dir / "to-victim"), std::errc::no_such_device);
  EXPECT_EQ(openExistingError(dir / "victim"), std::errc::no_such_device);
  EXPECT_EQ(test::readFile(dir / "victim"), "victim's\n");

  // Another process's descriptor would open its file with this process's
  // rights.
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t holder = ::fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    const int held = ::open((dir / "victim").c_str(), O_RDONLY);
    const std::string number = std::to_string(held);
    if (::write(ready[1], number.data(), number.size()) < 0) ::_exit(1);
    ::pause();
    ::_exit(0);
  }
  char number[16] = {};
  ASSERT_GT(::read(ready[0], number, sizeof number - 1), 0);
  const fs::path othersDescriptor =
      fs::path("/proc") / std::to_string(holder) / "fd" / number;
  fs::create_symlink(othersDescriptor, dir / "to-other-process");
  EXPECT_EQ(openExistingError(dir / "to-other-process"), std::errc::no_such_device);
  ::kill(holder, SIGKILL);
  ::waitpid(holder, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
  EXPECT_EQ(test::readFile(dir / "victim"), "victim's\n");
}

TEST(OpenRegularFileForReading, RefusesWithoutWaitingWhatIsNoRegularFileOnADisk) {
  ScratchDir dir;
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);  // no writer: a blocking open would wait
  for (const char* path : {"/dev/zero", "/proc/self/status", "/sys/kernel/mm/transparent_hugepage/enabled"}) {
    if (!fs::exists(path)) continue;
    const FileForReading opened = openRegularFileForReading(path);
    EXPECT_EQ(opened.stream, nullptr) << path;
    EXPECT_NE(opened.refusal, nullptr) << path;
  }
  const FileForReading fifo = openRegularFileForReading(dir / "fifo");
  EXPECT_STREQ(fifo.refusal, "it is not a regular file (a device, pipe or socket)");
  EXPECT_EQ(openRegularFileForReading(dir.path()).error, std::errc::is_a_directory);
  EXPECT_EQ(openRegularFileForReading(dir / "missing").error, std::errc::no_such_file_or_directory);
  test::writeFile(dir / "file", "x");
  const FileForReading file = openRegularFileForReading(dir / "file");
  ASSERT_NE(file.stream, nullptr);
  EXPECT_EQ(std::fgetc(file.stream), 'x');
  std::fclose(file.stream);
}

TEST(SameFile, KnowsAFileUnderEachOfItsNames) {
  ScratchDir dir;
  test::writeFile(dir / "a", "a");
  test::writeFile(dir / "b", "a");
  fs::create_hard_link(dir / "a", dir / "hard");
  fs::create_symlink("a", dir / "soft");
  EXPECT_TRUE(sameFile(dir / "a", dir / "hard"));
  EXPECT_TRUE(sameFile(dir / "soft", dir / "a"));
  EXPECT_FALSE(sameFile(dir / "a", dir / "b"));
  EXPECT_FALSE(sameFile(dir / "a", dir / "missing"));
}

TEST(ChangeableByOthers, FindsTheFirstPlaceAnotherUserCouldReplace) {
  ScratchDir dir;
  const fs::path module = dir / "lib" / "module.so";
  fs::create_directories(module.parent_path());
  test::writeFile(module, "x");
  fs::permissions(module, fs::perms(0644));
  fs::permissions(module.parent_path(), fs::perms(0755));
  fs::permissions(dir.path(), fs::perms(0700));
  EXPECT_EQ(changeableByOthers(module), std::nullopt);
  fs::permissions(dir.path(), fs::perms(0777));
  EXPECT_EQ(changeableByOthers(module), dir.path());
  fs::permissions(dir.path(), fs::perms(01777));  // sticky, as /tmp: others replace only their own
  EXPECT_EQ(changeableByOthers(module), std::nullopt);
  fs::permissions(module, fs::perms(0664));
  EXPECT_EQ(changeableByOthers(module), module);
  fs::permissions(module, fs::perms(0644));
  if (::geteuid() == 0) {
    constexpr uid_t nobody = 65534;
    ASSERT_EQ(::chown(module.parent_path().c_str(), nobody, nobody), 0);
    EXPECT_EQ(changeableByOthers(module), module.parent_path());
  }
  fs::permissions(dir.path(), fs::perms(0700));
}

TEST(TemporaryFiles, EverySignalThatEndsTheProcessRemovesThem) {
  for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGALRM, SIGUSR1,
                                 SIGUSR2, SIGXFSZ, SIGXCPU, SIGVTALRM, SIGPROF}) {
    SCOPED_TRACE(strsignal(signalNumber));
    ScratchDir dir;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const rlimit noCore{0, 0};
      ::setrlimit(RLIMIT_CORE, &noCore);
      removeTemporaryFilesOnInterruption();
      std::error_code error;
      WrittenFile file = WrittenFile::createBeside(dir / "s.csv", error);
      if (error || file.write("row\n")) ::_exit(1);
      ::raise(signalNumber);
      ::_exit(2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), signalNumber);
    EXPECT_TRUE(fs::is_empty(dir.path())) << *namesIn(dir.path()).begin();
  }
}

}  // namespace
}  // namespace propclear::os
