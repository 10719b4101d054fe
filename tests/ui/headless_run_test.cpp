// The program without a display: it must neither abort nor wait for a
// window, and it still saves the plot as an image. A run without a window or
// an image never maps Qt; one with them loads the desktop front end, and a
// missing or broken front end is an error that names it.

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <cstdlib>
#include <functional>
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

const std::filesystem::path builtProgram = PROPCLEAR_BINARY;
const std::filesystem::path builtFrontEnd = builtProgram.parent_path() / "propclear-desktop.so";

// A run of the built program that waits at the geometry question: its
// memory map is taken while it waits, then it is answered "H".
struct RunAtQuestion {
  std::string maps;  // /proc/PID/maps at the question; empty if it never came
  int exitStatus = -1;
  std::string err;
};

bool readSome(int fd, std::string& text) {
  pollfd ready{fd, POLLIN, 0};
  if (::poll(&ready, 1, 30000) <= 0) return false;
  char buffer[4096];
  const ssize_t count = ::read(fd, buffer, sizeof buffer);
  if (count <= 0) return false;
  text.append(buffer, static_cast<std::size_t>(count));
  return true;
}

RunAtQuestion runUntilQuestion(const std::vector<std::string>& args) {
  int input[2], errors[2];
  if (::pipe(input) != 0 || ::pipe(errors) != 0) throw std::runtime_error("pipe failed");
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(input[0], 0);
    ::dup2(errors[1], 2);
    ::close(input[1]);
    ::close(errors[0]);
    std::vector<std::string> copies{builtProgram.string()};
    copies.insert(copies.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(input[0]);
  ::close(errors[1]);
  RunAtQuestion run;
  const auto waiting = [&run] {
    const std::size_t question = run.err.find("E/H <H>");
    return question != std::string::npos && run.err.find("> ", question) != std::string::npos;
  };
  while (!waiting() && readSome(errors[0], run.err)) {
  }
  if (waiting()) {
    run.maps = test::readFile("/proc/" + std::to_string(pid) + "/maps");
  } else {
    ::kill(pid, SIGKILL);
  }
  if (::write(input[1], "H\n", 2) != 2) run.err += "[the answer could not be written]";
  ::close(input[1]);
  while (readSome(errors[0], run.err)) {
  }
  ::close(errors[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

// A copy of the built program in DIR/bin, without the desktop front end
// beside it or in DIR/lib.
class ProgramCopy : public ScratchDir {
 public:
  ProgramCopy() {
    std::filesystem::create_directory(path() / "bin");
    std::filesystem::copy_file(builtProgram, program());
  }
  std::filesystem::path program() const { return path() / "bin" / "propclear"; }
  std::filesystem::path frontEndBeside() const { return path() / "bin" / "propclear-desktop.so"; }
  test::ProcessResult run(const std::vector<std::string>& args,
                          const std::vector<std::pair<std::string, std::string>>& environment) const {
    std::vector<std::string> argv{program().string()};
    argv.insert(argv.end(), args.begin(), args.end());
    return test::runProgram(argv, "", {}, environment);
  }
};

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

TEST(HeadlessRun, MapsNoQtLibraryAndNotTheDesktopFrontEnd) {
  const ExampleFolder dir;
  const RunAtQuestion run = runUntilQuestion({"--no-window", "-C", dir.path().string()});
  EXPECT_EQ(run.exitStatus, completedStatus) << run.err;
  ASSERT_NE(run.maps.find("libstdc++"), std::string::npos) << "no map taken:\n" << run.err;
  EXPECT_EQ(run.maps.find("libQt6"), std::string::npos) << run.maps;
  EXPECT_EQ(run.maps.find("propclear-desktop"), std::string::npos) << run.maps;
  EXPECT_GT(std::filesystem::file_size(dir / "Norvalek.SCR"), 0u);
}

TEST(HeadlessRun, PlotIsSavedThroughTheDesktopFrontEndBesideTheProgram) {
  const ExampleFolder dir;
  const RunAtQuestion run = runUntilQuestion(
      {"--no-window", "-C", dir.path().string(), "--plot", (dir / "plot.png").string()});
  EXPECT_EQ(run.exitStatus, completedStatus) << run.err;
  EXPECT_NE(run.maps.find(builtFrontEnd.string()), std::string::npos) << run.maps;
  EXPECT_NE(run.maps.find("libQt6Gui"), std::string::npos) << run.maps;
  expectDesignSizePng(dir / "plot.png");
}

TEST(HeadlessRun, MissingDesktopFrontEndIsNeededOnlyForAWindowOrAnImage) {
  const ProgramCopy copy;
  // A copied program looks for the installed module only.
  const std::filesystem::path expected = PROPCLEAR_INSTALLED_DESKTOP_MODULE;
  if (std::filesystem::exists(expected)) GTEST_SKIP() << expected << " is installed";
  const std::vector<std::pair<std::string, std::string>> display{{"DISPLAY", unreachableDisplay()}};
  struct Case {
    std::vector<std::string> args;
    int status;
  };
  const std::vector<Case> cases = {
      {{"--no-window", "--answer", "H"}, completedStatus},
      {{"--answer", "H"}, test::kExitError},
      {{"--no-window", "--answer", "H", "--plot", "plot.png"}, test::kExitError},
      // The SVG plot is the core's own.
      {{"--no-window", "--answer", "H", "--plot", "plot.svg"}, completedStatus},
  };
  for (const Case& c : cases) {
    const ExampleFolder dir;
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"-C", dir.path().string()});
    const test::ProcessResult run = copy.run(args, display);
    EXPECT_EQ(run.exitStatus, c.status) << args.front() << "\n" << run.err;
    if (c.status == completedStatus) continue;
    EXPECT_NE(run.err.find(expected.string() + ": cannot load the desktop module"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("No such file or directory"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("--no-window runs without it"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "Norvalek.SON")) << "written before the error";
  }
}

// A program copied into a folder that everyone may write, such as a
// subfolder of /tmp: a module planted beside it or in the folder's
// lib/propclear must never run with the user's rights.
TEST(HeadlessRun, ModuleIsNeverTakenFromWhereACopiedProgramLies) {
  const ScratchDir shared;
  std::filesystem::permissions(shared.path(), std::filesystem::perms(0777));
  std::filesystem::create_directories(shared / "sub");
  std::filesystem::create_directories(shared / "lib" / "propclear");
  std::filesystem::copy_file(builtProgram, shared / "sub" / "propclear");
  std::filesystem::copy_file(builtFrontEnd, shared / "sub" / "propclear-desktop.so");
  std::filesystem::copy_file(builtFrontEnd, shared / "lib" / "propclear" / "propclear-desktop.so");
  const ExampleFolder dir;
  const test::ProcessResult run = test::runProgram(
      {(shared / "sub" / "propclear").string(), "--no-window", "--answer", "H", "-C",
       dir.path().string(), "--plot", "p.png"});
  if (std::filesystem::exists(PROPCLEAR_INSTALLED_DESKTOP_MODULE)) return;
  EXPECT_EQ(run.exitStatus, test::kExitError) << run.err;
  EXPECT_NE(run.err.find(std::string(PROPCLEAR_INSTALLED_DESKTOP_MODULE) + ": cannot load"),
            std::string::npos)
      << run.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "p.png"));

  // Named outright, a module in that folder is refused too.
  const std::string planted = (shared / "lib" / "propclear" / "propclear-desktop.so").string();
  const test::ProcessResult named = test::runProgram(
      {builtProgram.string(), "--no-window", "--answer", "H", "-C", dir.path().string(), "--plot",
       "p.png"},
      "", {}, {{"PROPCLEAR_DESKTOP_MODULE", planted}});
  EXPECT_EQ(named.exitStatus, test::kExitError) << named.err;
  EXPECT_NE(named.err.find(planted + ": cannot load the desktop module (the window, --plot and "
                                     "--report-pdf need it; --no-window runs without it): " +
                           shared.path().string() + " may be changed by other users"),
            std::string::npos)
      << named.err;
}

TEST(HeadlessRun, BrokenDesktopFrontEndIsAnErrorNamingIt) {
  const std::string cannotLoad =
      ": cannot load the desktop module (the window, --plot and --report-pdf need it; "
      "--no-window runs without it): ";
  struct Case {
    std::string name;
    std::function<void(const std::filesystem::path&)> place;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"not a shared object",
       [](const std::filesystem::path& to) { test::writeFile(to, std::string(256, 'x')); },
       cannotLoad + "invalid ELF header"},
      {"cut short",
       [](const std::filesystem::path& to) {
         const std::string whole = test::readFile(builtFrontEnd);
         test::writeFile(to, whole.substr(0, whole.size() / 2));
       },
       cannotLoad + "it is cut short"},
      {"a FIFO", [](const std::filesystem::path& to) { ::mkfifo(to.c_str(), 0644); },
       cannotLoad + "it is not a regular file (a device, pipe or socket)"},
      {"an entry point that gives nothing",
       [](const std::filesystem::path& to) {
         std::filesystem::copy_file(PROPCLEAR_NULL_FRONT_END, to);
       },
       cannotLoad + "its entry point gave no front end"},
      {"another version's",
       [](const std::filesystem::path& to) {
         std::filesystem::copy_file(PROPCLEAR_OTHER_VERSION_FRONT_END, to);
       },
       ": the desktop front end belongs to propclear 0.0.0-other, this is propclear " +
           std::string(PROPCLEAR_VERSION)},
  };
  for (const Case& c : cases) {
    const ScratchDir modules;
    const std::filesystem::path module = modules / "propclear-desktop.so";
    c.place(module);
    const ExampleFolder dir;
    const test::ProcessResult run = test::runProgram(
        {builtProgram.string(), "--no-window", "--answer", "H", "-C", dir.path().string(), "--plot",
         "p.png"},
        "", {}, {{"PROPCLEAR_DESKTOP_MODULE", module.string()}});
    EXPECT_EQ(run.exitStatus, test::kExitError) << c.name << "\n" << run.err;
    EXPECT_NE(run.err.find(module.string() + c.reason), std::string::npos) << c.name << "\n" << run.err;
  }
}

TEST(HeadlessRun, StudioWithAnUnreachableDisplayEndsWithAMessage) {
  const ScopedVariable display("DISPLAY", unreachableDisplay());
  const ScopedVariable platform("QT_QPA_PLATFORM", std::nullopt);
  const ExampleFolder dir;
  const ProcessResult run = test::runPropclear({"--edit", (dir / "Norvalek.TSK").string()});
  EXPECT_EQ(run.exitStatus, test::kExitError) << run.err;
  EXPECT_NE(run.err.find("propclear: the design studio cannot reach the display \"" +
                         unreachableDisplay() + "\""),
            std::string::npos)
      << run.err;
}

}  // namespace
}  // namespace propclear
