#include "driver/export_targets.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "common/run_error.h"
#include "test_support.h"

namespace propclear {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;

// Everything the check may not leave behind: the folder's entries.
std::vector<fs::path> entriesOf(const fs::path& folder) {
  std::vector<fs::path> entries;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) entries.push_back(entry.path());
  return entries;
}

struct Rejection {
  ErrorKind kind;
  std::string file;
  std::string message;
};

Rejection rejectionOf(const RunOptions& options) {
  try {
    checkExportTargets(options);
  } catch (const RunError& error) {
    return {error.kind(), error.where().file, error.what()};
  }
  ADD_FAILURE() << "accepted";
  return {};
}

RunOptions optionsIn(const ScratchDir& dir) {
  RunOptions options;
  options.workDir = dir.path();
  return options;
}

TEST(ExportTargets, WritableTargetsPassAndNothingIsCreated) {
  const ScratchDir dir;
  test::writeFile(dir / "old.json", "earlier\n");
  RunOptions options = optionsIn(dir);
  options.plotFile = dir / "stern.PNG";
  options.dxfFile = dir / "stern.dxf";
  options.jsonFile = (dir / "old.json").string();
  EXPECT_NO_THROW(checkExportTargets(options));
  options.jsonFile.emplace(1, '-');  // standard output; GCC 12 warns falsely on = "-"
  options.plotFile = dir / "stern.Svg";
  EXPECT_NO_THROW(checkExportTargets(options));
  EXPECT_EQ(entriesOf(dir.path()), std::vector<fs::path>{dir / "old.json"});
}

TEST(ExportTargets, NoExportsNeedNoCheck) {
  RunOptions options;
  options.workDir = "/nonexistent-propclear-folder";
  EXPECT_NO_THROW(checkExportTargets(options));
}

TEST(ExportTargets, UnwritablePathsAreRejectedNamingFileAndReason) {
  const ScratchDir dir;
  fs::create_directory(dir / "sub");
  test::writeFile(dir / "plain", "a file\n");
  struct Case {
    fs::path path;
    ErrorKind kind;
    const char* reason;
  };
  const Case cases[] = {
      {dir / "missing" / "stern.dxf", ErrorKind::FileSystem, "does not exist"},
      {dir / "sub", ErrorKind::FileSystem, "it is a folder"},
      {dir / "sub" / "", ErrorKind::Usage, "names no file"},
      {dir / "plain" / "stern.dxf", ErrorKind::FileSystem, "is not a folder"},
      {"", ErrorKind::Usage, "file name is empty"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path.string());
    RunOptions options = optionsIn(dir);
    options.dxfFile = c.path;
    const Rejection rejection = rejectionOf(options);
    EXPECT_EQ(rejection.kind, c.kind);
    EXPECT_EQ(rejection.file, c.path.string());
    EXPECT_NE(rejection.message.find("--dxf"), std::string::npos) << rejection.message;
    EXPECT_NE(rejection.message.find(c.reason), std::string::npos) << rejection.message;
  }
}

TEST(ExportTargets, PlotNeedsAnImageExtensionInAnyCase) {
  const ScratchDir dir;
  for (const char* name : {"stern.gif", "stern", "stern.png.txt", "stern.jpeg"}) {
    SCOPED_TRACE(name);
    RunOptions options = optionsIn(dir);
    options.plotFile = dir / name;
    const Rejection rejection = rejectionOf(options);
    EXPECT_EQ(rejection.kind, ErrorKind::Usage);
    EXPECT_NE(rejection.message.find("--plot"), std::string::npos) << rejection.message;
    EXPECT_NE(rejection.message.find(".png, .svg or .pdf"), std::string::npos) << rejection.message;
  }
  for (const char* name : {"a.png", "a.SVG", "a.Pdf"}) {
    RunOptions options = optionsIn(dir);
    options.plotFile = dir / name;
    EXPECT_NO_THROW(checkExportTargets(options)) << name;
  }
}

TEST(ExportTargets, TheRunsOwnFilesAndDoubleNamesAreRejected) {
  const ScratchDir dir;
  for (const char* own : {"Norvalek.TSK", "Norvalek.SON", "Norvalek.SCR"}) {
    SCOPED_TRACE(own);
    RunOptions options = optionsIn(dir);
    options.jsonFile = (dir / "." / own).string();
    const Rejection rejection = rejectionOf(options);
    EXPECT_EQ(rejection.kind, ErrorKind::Usage);
    EXPECT_NE(rejection.message.find(std::string("own file ") + own), std::string::npos)
        << rejection.message;
  }
  RunOptions options = optionsIn(dir);
  options.dxfFile = dir / "out";
  options.jsonFile = (dir / "sub" / ".." / "out").string();
  fs::create_directory(dir / "sub");
  const Rejection rejection = rejectionOf(options);
  EXPECT_NE(rejection.message.find("already given to --dxf"), std::string::npos)
      << rejection.message;
  RunOptions pdfs = optionsIn(dir);
  pdfs.plotFile = dir / "stern.pdf";
  pdfs.reportPdfFile = dir / "sub" / ".." / "stern.pdf";
  const Rejection twice = rejectionOf(pdfs);
  EXPECT_NE(twice.message.find("--report-pdf"), std::string::npos) << twice.message;
  EXPECT_NE(twice.message.find("already given to --plot"), std::string::npos) << twice.message;
}

// An output replaces a link in its place, so links to one file are distinct
// outputs; the file a link to the design leads to, or a hard link to it, is
// the design itself.
TEST(ExportTargets, LinksAreJudgedByWhatTheOutputWouldReplace) {
  const ScratchDir dir;
  test::writeFile(dir / "elsewhere.txt", "elsewhere\n");
  fs::create_symlink(dir / "elsewhere.txt", dir / "Norvalek.SON");
  fs::create_symlink(dir / "elsewhere.txt", dir / "results.json");
  RunOptions links = optionsIn(dir);
  links.jsonFile = (dir / "results.json").string();
  EXPECT_NO_THROW(checkExportTargets(links));

  const ScratchDir other;
  test::writeFile(dir / "Norvalek.TSK", "design\n");
  fs::create_symlink(dir / "Norvalek.TSK", other / "Norvalek.TSK");
  fs::create_hard_link(dir / "Norvalek.TSK", other / "hard.json");
  for (const fs::path& target : {dir / "Norvalek.TSK", other / "hard.json"}) {
    SCOPED_TRACE(target);
    RunOptions throughLink = optionsIn(other);
    throughLink.jsonFile = target.string();
    EXPECT_NE(rejectionOf(throughLink).message.find("own file Norvalek.TSK"), std::string::npos);
  }
}

TEST(ExportTargets, PermissionsAreChecked) {
  if (::geteuid() == 0) GTEST_SKIP() << "file permissions do not bind the super-user";
  const ScratchDir dir;
  fs::create_directory(dir / "locked");
  fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  test::writeFile(dir / "kept.dxf", "protected\n");
  fs::permissions(dir / "kept.dxf", fs::perms::owner_read);
  RunOptions options = optionsIn(dir);
  options.dxfFile = dir / "locked" / "stern.dxf";
  EXPECT_NE(rejectionOf(options).message.find("is not writable"), std::string::npos);
  options.dxfFile = dir / "kept.dxf";
  EXPECT_NE(rejectionOf(options).message.find("write-protected"), std::string::npos);
  fs::permissions(dir / "locked", fs::perms::owner_all);
}

}  // namespace
}  // namespace propclear
