// The program without a display: it must neither abort nor wait for a
// window, and it still saves the plot as an image.

#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <optional>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "test_support.h"
#include "ui/screen_units.h"

namespace propclear {
namespace {

using test::ProcessResult;
using test::ScratchDir;

// Exit statuses of the program's endings.
constexpr int completedStatus = 0;
constexpr int wrongGeometryStatus = 3;

// Sets (or, with no value, removes) an environment variable for the
// programs started within a scope.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    apply(value);
  }
  ~ScopedVariable() { apply(old_); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  void apply(const std::optional<std::string>& value) {
    if (value) {
      ::setenv(name_, value->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  const char* name_;
  std::optional<std::string> old_;
};

// A scratch copy of the example design.
class ExampleFolder : public ScratchDir {
 public:
  ExampleFolder() {
    std::filesystem::copy_file(test::examplesDir() / "Norvalek.TSK", path() / "Norvalek.TSK");
  }
};

// A display name that no X server answers to.
std::string unreachableDisplay() {
  std::string name = ":";
  name += std::to_string(9000 + ::getpid() % 1000);
  return name;
}

void expectDesignSizePng(const std::filesystem::path& path) {
  const QImage plot(QString::fromStdString(path.string()));
  ASSERT_FALSE(plot.isNull()) << path;
  EXPECT_EQ(plot.size(), designDrawingArea);
}

TEST(HeadlessRun, WithoutAnyDisplayRunsOnTheTerminalAndSavesThePlot) {
  const ScopedVariable display("DISPLAY", std::nullopt);
  const ScopedVariable wayland("WAYLAND_DISPLAY", std::nullopt);
  const ScopedVariable platform("QT_QPA_PLATFORM", std::nullopt);
  const ExampleFolder dir;
  const ProcessResult run =
      test::runPropclear({"-C", dir.path().string(), "--plot", (dir / "plot.png").string()}, "H\n");
  EXPECT_EQ(run.exitStatus, completedStatus) << run.err;
  EXPECT_NE(run.err.find("KIC BODOSLAMA GEOMETRISINDE YANLISLIK VAR MI E/H <H>"), std::string::npos);
  EXPECT_GT(std::filesystem::file_size(dir / "Norvalek.SON"), 0u);
  EXPECT_GT(std::filesystem::file_size(dir / "Norvalek.SCR"), 0u);
  expectDesignSizePng(dir / "plot.png");
}

TEST(HeadlessRun, UnreachableDisplayFallsBackToTheTerminal) {
  const ScopedVariable display("DISPLAY", unreachableDisplay());
  const ScopedVariable platform("QT_QPA_PLATFORM", std::nullopt);
  const ExampleFolder dir;
  const ProcessResult run = test::runPropclear(
      {"-C", dir.path().string(), "--plot", (dir / "plot.svg").string()}, "E\n");
  EXPECT_EQ(run.exitStatus, wrongGeometryStatus) << run.err;
  EXPECT_NE(run.err.find("no display can be reached"), std::string::npos) << run.err;
  EXPECT_EQ(std::filesystem::file_size(dir / "Norvalek.SON"), 0u);
  EXPECT_FALSE(std::filesystem::exists(dir / "Norvalek.SCR"));
  EXPECT_GT(std::filesystem::file_size(dir / "plot.svg"), 0u);
}

TEST(HeadlessRun, NoWindowOptionNeverTouchesTheDisplay) {
  const ScopedVariable display("DISPLAY", unreachableDisplay());
  const ScopedVariable platform("QT_QPA_PLATFORM", std::nullopt);
  const ExampleFolder dir;
  const ProcessResult run = test::runPropclear(
      {"--no-window", "--answer", "H", "-C", dir.path().string(), "--plot", (dir / "plot.PNG").string()});
  EXPECT_EQ(run.exitStatus, completedStatus) << run.err;
  EXPECT_EQ(run.err.find("display"), std::string::npos) << run.err;
  expectDesignSizePng(dir / "plot.PNG");
}

TEST(HeadlessRun, UnusableTemporaryFoldersFallBackToFoldersThatWork) {
  const ExampleFolder dir;
  test::writeFile(dir / "a-file", "not a folder\n");
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, std::string>> temporary;  // for the program only
    std::optional<std::string> runtime;
  };
  const Case cases[] = {
      {"missing TMPDIR", {{"TMPDIR", "/nonexistent-propclear-tmp"}}, std::nullopt},
      {"TMPDIR a file", {{"TMPDIR", (dir / "a-file").string()}}, std::nullopt},
      {"missing runtime folder", {}, "/nonexistent-propclear-runtime"},
      {"runtime folder a file", {}, (dir / "a-file").string()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ScopedVariable runtime("XDG_RUNTIME_DIR", c.runtime);
    const ProcessResult run = test::runProgram(
        {PROPCLEAR_BINARY, "--no-window", "--answer", "H", "-C", dir.path().string(), "--plot",
         (dir / "plot.png").string()},
        "", {}, c.temporary);
    EXPECT_EQ(run.exitStatus, completedStatus) << run.err;
    EXPECT_EQ(run.err.find("filesystem error"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("QStandardPaths"), std::string::npos) << run.err;
    expectDesignSizePng(dir / "plot.png");
  }
}

TEST(HeadlessRun, PlotNameThatIsNotUtf8IsKeptByteForByte) {
  const ExampleFolder dir;
  const std::filesystem::path plot = dir / "bad\xff\xfe.png";
  const ProcessResult run = test::runPropclear(
      {"--no-window", "--answer", "H", "-C", dir.path().string(), "--plot", plot.string()});
  EXPECT_EQ(run.exitStatus, completedStatus) << run.err;
  EXPECT_TRUE(std::filesystem::is_regular_file(plot));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4)
      << "the design file, report, script and plot, nothing under another name";
}

}  // namespace
}  // namespace propclear
