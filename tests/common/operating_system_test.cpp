#include "common/operating_system.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

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

}  // namespace
}  // namespace propclear::os
