// The command as a user runs it: drawings written with ezdxf, and drawings
// that must end with a message and no design file.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/test_support.h"

namespace propclear {
namespace {

namespace fs = std::filesystem;

constexpr const char* systemPython = "/usr/bin/python3";  // Debian's, with python3-ezdxf

const std::string header =
    "0\nSECTION\n2\nHEADER\n9\n$INSUNITS\n70\n4\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n";
const std::string rudder =
    "0\nLWPOLYLINE\n5\n2A\n8\nRUDDER\n90\n4\n70\n1\n10\n9100\n20\n600\n10\n8900\n20\n6000\n"
    "10\n6250\n20\n6000\n10\n6150\n20\n600\n";
const std::string contour =
    "0\nLWPOLYLINE\n5\n1F\n8\nSTERN\n90\n3\n70\n0\n10\n1800\n20\n300\n10\n2900\n20\n3000\n"
    "10\n10700\n20\n10500\n";
const std::string ending = "0\nENDSEC\n0\nEOF\n";

struct Imported {
  test::ProcessResult run;
  bool written;
};

Imported importIn(const test::ScratchDir& dir, const std::string& drawing,
                  std::vector<std::string> options = {}) {
  test::writeFile(dir / "drawing.dxf", drawing);
  std::vector<std::string> args{"import", (dir / "drawing.dxf").string(), "-o",
                                (dir / "out.TSK").string()};
  args.insert(args.end(), options.begin(), options.end());
  return {test::runPropclear(args), fs::exists(dir / "out.TSK")};
}

TEST(ImportCommand, WritesTheDesignAndSummarisesOnStandardError) {
  test::ScratchDir dir;
  const Imported imported = importIn(dir, header + contour + rudder + ending,
                                     {"--design", (test::examplesDir() / "Norvalek.TSK").string(),
                                      "--diameter", "4.2", "--corner-angle", "20"});
  ASSERT_EQ(imported.run.exitStatus, 0) << imported.run.err;
  ASSERT_TRUE(imported.written);
  EXPECT_NE(imported.run.err.find("layer STERN: 1 LWPOLYLINE"), std::string::npos)
      << imported.run.err;
  EXPECT_NE(imported.run.err.find("3 points thinned to 3"), std::string::npos) << imported.run.err;
  const std::vector<std::string> lines = test::splitCrLfLines(test::readFile(dir / "out.TSK"));
  EXPECT_EQ(lines[0],
            test::splitCrLfLines(test::readFile(test::examplesDir() / "Norvalek.TSK"))[0]);
  EXPECT_EQ(lines[16], "4.200, 0.850");  // with the decimals the base file has
  EXPECT_EQ(lines[29], "0.300, 1.800, 1");
  EXPECT_EQ(lines[30], "3.000, 2.900, 0");  // a turn of 24 degrees
  EXPECT_EQ(lines[32], "0.000, 0.000, 99");
}

TEST(ImportCommand, TheSampleDrawingGivesTheExampleBackByteForByte) {
  test::ScratchDir dir;
  const test::ProcessResult run =
      test::runPropclear({"import", (test::examplesDir() / "Norvalek-stern.dxf").string(), "-o",
                          (dir / "out.TSK").string(), "--design",
                          (test::examplesDir() / "Norvalek.TSK").string(), "--corner-angle", "25"});
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(test::readFile(dir / "out.TSK"), test::readFile(test::examplesDir() / "Norvalek.TSK"));
}

TEST(ImportCommand, WithoutABaseDesignTheCaptionsWarnOfTheExamplesValues) {
  test::ScratchDir dir;
  const Imported imported =
      importIn(dir, header + contour + rudder + ending, {"--centre", "4.1,2.9"});
  ASSERT_EQ(imported.run.exitStatus, 0) << imported.run.err;
  const std::string text = test::readFile(dir / "out.TSK");
  EXPECT_NE(text.find("WARNING: THESE VALUES ARE THE EXAMPLE'S"), std::string::npos);
  EXPECT_EQ(text.find("PROPELLER CENTRE X"), std::string::npos);  // given
  EXPECT_NE(text.find("4.100, 2.900\r\n"), std::string::npos);
}

// Every drawing the import cannot use ends with a message naming the place and no file.
TEST(ImportCommand, DrawingsItCannotUseEndWithAMessageAndNoFile) {
  std::string manyEntities = header;
  for (int i = 0; i < 1000000; ++i) manyEntities += "0\nPOINT\n8\n0\n10\n1\n20\n2\n";
  const std::string nestedBlocks =
      "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nA\n0\nINSERT\n2\nB\n0\nENDBLK\n0\nBLOCK\n2\nB\n0\nINSERT"
      "\n2\nA\n"
      "0\nENDBLK\n0\nENDSEC\n" +
      header + "0\nINSERT\n8\nSTERN\n2\nA\n" + rudder + ending;
  const struct {
    const char* what;
    std::string drawing;
    std::vector<std::string> options;
    const char* message;
  } cases[] = {
      {"binary",
       std::string("AutoCAD Binary DXF\r\n\x1a\0", 22) + "\x01\x02",
       {},
       "drawing.dxf:1: a binary DXF"},
      {"truncated", (header + contour).substr(0, header.size() + 40), {}, "truncated"},
      {"no EOF", header + contour + rudder, {}, "truncated"},
      {"a million entities", manyEntities, {}, "more than 200000 entities"},
      {"nested blocks", nestedBlocks, {}, "block references are not read, and the drawing has 1"},
      {"NaN",
       header + "0\nLINE\n5\n3C\n8\nSTERN\n10\nnan\n20\n0\n" + rudder + ending,
       {},
       "LINE (handle 3C, line 15): x = \"nan\": not a finite number"},
      {"no units", "0\nSECTION\n2\nENTITIES\n" + contour + rudder + ending, {}, "--units mm"},
      {"no layer",
       header + contour + rudder + ending,
       {"--contour-layer", "HULL"},
       "no entity on the layer HULL"},
      {"two chains",
       header + contour + "0\nLINE\n5\n4D\n8\nSTERN\n10\n0\n20\n0\n11\n0\n20\n0\n21\n11000\n" +
           rudder + ending,
       {},
       "two chains could be the stern contour"},
      {"folds back",
       header +
           "0\nLWPOLYLINE\n5\n1F\n8\nSTERN\n10\n0\n20\n0\n10\n1000\n20\n2000\n10\n2000\n20\n1000"
           "\n" +
           rudder + ending,
       {},
       "drawing.dxf:15: LWPOLYLINE (handle 1F, line 15): the stern contour folds back"},
      {"three corners",
       header + contour +
           "0\nLWPOLYLINE\n5\n2B\n8\nRUDDER\n70\n1\n10\n9100\n20\n600\n10\n8900\n20\n6000\n"
           "10\n6250\n20\n6000\n" +
           ending,
       {},
       "LWPOLYLINE (handle 2B, line 37): the rudder's outline has 3 corners"},
  };
  for (const auto& c : cases) {
    test::ScratchDir dir;
    const Imported imported = importIn(dir, c.drawing, c.options);
    EXPECT_EQ(imported.run.exitStatus, 1) << c.what;
    EXPECT_FALSE(imported.written) << c.what;
    EXPECT_NE(imported.run.err.find(c.message), std::string::npos)
        << c.what << ": " << imported.run.err;
    EXPECT_EQ(imported.run.err.find("written"), std::string::npos) << c.what;
  }
}

TEST(ImportCommand, AFileLargerThanADrawingMayBeIsRefusedUnread) {
  test::ScratchDir dir;
  test::writeFile(dir / "huge.dxf", "0\nSECTION\n");
  fs::resize_file(dir / "huge.dxf", 300u * 1024u * 1024u);  // sparse: no disk taken
  const test::ProcessResult run =
      test::runPropclear({"import", (dir / "huge.dxf").string(), "-o", (dir / "out.TSK").string()});
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_NE(
      run.err.find(
          "huge.dxf: cannot read the drawing: it holds 314572800 bytes, more than the 268435456"),
      std::string::npos)
      << run.err;
  EXPECT_FALSE(fs::exists(dir / "out.TSK"));
}

TEST(ImportCommand, DrawingsMadeWithEzdxfImportWithinTheTolerance) {
  if (test::runProgram({systemPython, "-c", "import ezdxf"}).exitStatus != 0) {
    GTEST_SKIP() << "Debian's python3-ezdxf is not installed (scripts/test installs it)";
  }
  test::ScratchDir dir;
  const fs::path script = test::testDataDir().parent_path() / "import/check_ezdxf_drawings.py";
  const test::ProcessResult checked =
      test::runProgram({systemPython, script.string(), PROPCLEAR_BINARY,
                        (test::examplesDir() / "Norvalek.TSK").string(), dir.path().string()});
  EXPECT_EQ(checked.exitStatus, 0) << checked.out << checked.err;
}

}  // namespace
}  // namespace propclear
