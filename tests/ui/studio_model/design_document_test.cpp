// The studio's document: every edit one undo step (a whole drag too), undo
// and redo restoring values exactly, saving with the file's own captions and
// layout, files it cannot read refused without losing the design, a file
// changed by another program noticed (the design's, its ship file or its
// propeller file), and the rule check of a ship file.

#include "ui/studio/design_document.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include "common/run_error.h"
#include "clearance/stern_analysis.h"
#include "design/read_design_data.h"
#include "rules/read_ship_particulars.h"
#include "support/sample_design.h"
#include "support/test_support.h"

namespace propclear {
namespace {

using test::readFile;
using test::ScratchDir;
using test::splitCrLfLines;

constexpr FieldRef diameter{DesignField::PropellerDiameter, 0};
constexpr FieldRef corner1X{DesignField::RudderX, 1};
constexpr FieldRef corner1Z{DesignField::RudderZ, 1};

TEST(DesignDocument, EachEditAndEachWholeDragIsOneUndoStep) {
  DesignDocument document;
  document.newFromExample();
  const DesignData original = document.design();

  document.editValue(diameter, 4.4);
  document.editValue(diameter, 4.4);  // no change, no step
  const int drag = document.newDragSerial();
  for (const double x : {9.15, 9.2, 9.25}) document.dragTo(drag, {{corner1X, x}, {corner1Z, 0.7}});
  document.replaceContour({{0.5, 2.0, 1.0}, {6.0, 3.0, 1.0}}, "paste");
  EXPECT_EQ(document.undoStack().count(), 3);
  EXPECT_TRUE(document.isModified());
  EXPECT_EQ(document.design().rudderX[1], 9.25);

  document.undoStack().undo();
  EXPECT_EQ(document.design().contourPointCount, original.contourPointCount);
  EXPECT_EQ(document.design().contourX, original.contourX);
  document.undoStack().undo();
  EXPECT_EQ(document.design().rudderX[1], original.rudderX[1]);
  EXPECT_EQ(document.design().rudderZ[1], original.rudderZ[1]);
  EXPECT_EQ(document.design().propellerDiameter, 4.4);
  document.undoStack().undo();
  EXPECT_EQ(document.design().propellerDiameter, original.propellerDiameter);
  EXPECT_FALSE(document.isModified());

  document.undoStack().redo();
  document.undoStack().redo();
  EXPECT_EQ(document.design().rudderX[1], 9.25);
  EXPECT_EQ(document.design().rudderZ[1], 0.7);
  // A new drag is a new step.
  document.dragTo(document.newDragSerial(), {{corner1X, 9.3}, {corner1Z, 0.7}});
  EXPECT_EQ(document.undoStack().index(), 3);
}

TEST(DesignDocument, SavesWithTheFilesCaptionsChangingOnlyChangedValues) {
  ScratchDir folder;
  const std::filesystem::path path = folder / "stern.tsk";
  const std::string original = test::designFileText(test::sampleDesign());
  test::writeFile(path, original);
  DesignDocument document;
  document.open(path);
  document.editValue({DesignField::WaterlineHeight, 0}, 7.25);
  document.save();
  EXPECT_FALSE(document.isModified());

  const std::vector<std::string> before = splitCrLfLines(original);
  const std::vector<std::string> after = splitCrLfLines(readFile(path));
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (i + 1 != 15) {
      EXPECT_EQ(after[i], before[i]) << "line " << i + 1;
    }
  }
  EXPECT_EQ(after[14], "7.25");
  EXPECT_EQ(readDesignData(path).design.waterlineHeight, 7.25);
  // Saved through a temporary file: nothing else is left in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(DesignDocument, ANewDesignTakesTheExamplesCaptions) {
  ScratchDir folder;
  DesignDocument document;
  document.newFromExample();
  EXPECT_FALSE(document.hasFile());
  EXPECT_THROW(document.save(), RunError);
  document.replaceContour({{0.5, 2.0, 1.0}, {3.0, 2.5, 0.0}, {6.0, 3.0, 1.0}}, "three points");
  document.saveAs(folder / "new.TSK");
  EXPECT_EQ(document.displayName().toStdString(), "new.TSK");

  const std::vector<std::string> example = splitCrLfLines(exampleDesignText());
  const std::vector<std::string> saved = splitCrLfLines(readFile(folder / "new.TSK"));
  ASSERT_GE(saved.size(), 29u);
  for (std::size_t i = 0; i < 29; ++i) {
    EXPECT_EQ(saved[i], example[i]) << "line " << i + 1;
  }
  EXPECT_EQ(saved[30], "3.000, 2.500, 0");  // in the example's decimals
  const ReadResult read = readDesignData(folder / "new.TSK");
  EXPECT_EQ(read.design.contourPointCount[sternContourRow], 3);
  EXPECT_EQ(read.design.contourX[sternContourRow][3], 3.0);
}

TEST(DesignDocument, AFileItCannotReadLeavesTheDesignAsItWas) {
  ScratchDir folder;
  DesignDocument document;
  document.newFromExample();
  document.editValue(diameter, 4.2);
  test::writeFile(folder / "bad.TSK", "only a caption\r\n");
  std::string tooLong = test::designFileText(test::sampleDesign());
  tooLong.resize(tooLong.rfind("0, 0, 99"));
  for (int i = 0; i < maxContourLines; ++i) tooLong += std::to_string(i) + ", 1, 1\r\n";
  test::writeFile(folder / "long.TSK", tooLong);
  for (const char* name : {"bad.TSK", "long.TSK", "missing.TSK"}) {
    EXPECT_THROW(document.open(folder / name), RunError) << name;
    EXPECT_EQ(document.design().propellerDiameter, 4.2);
    EXPECT_TRUE(document.isModified());
    EXPECT_FALSE(document.hasFile());
  }
  EXPECT_THROW(document.saveAs(folder / "no-such-folder" / "x.TSK"), RunError);
  EXPECT_TRUE(document.isModified());
}

TEST(DesignDocument, NoticesAFileChangedByAnotherProgramButNotItsOwnSave) {
  ScratchDir folder;
  const std::filesystem::path path = folder / "stern.TSK";
  test::writeFile(path, test::designFileText(test::sampleDesign()));
  DesignDocument document;
  document.open(path);
  QSignalSpy changed(&document, &DesignDocument::changedOnDisk);

  document.editValue(diameter, 4.4);
  document.save();
  EXPECT_FALSE(changed.wait(300));

  DesignData other = test::sampleDesign();
  other.propellerDiameter = 5.0;
  test::writeFile(path, test::designFileText(other));
  ASSERT_TRUE(changed.wait(3000));
  document.revert();
  EXPECT_EQ(document.design().propellerDiameter, 5.0);
  EXPECT_FALSE(document.isModified());
}

TEST(DesignDocument, WatchesThePropellerFileReloadsItAsOneStepAndTakesItAlongOnSaveAs) {
  ScratchDir folder;
  const std::filesystem::path path = folder / "stern.TSK";
  const std::filesystem::path propellerPath = folder / "stern.propeller.toml";
  test::writeFile(path, test::designFileText(test::sampleDesign()));
  const std::string skewed = readFile(test::examplesDir() / "Norvalek-skewed.propeller.toml");
  test::writeFile(propellerPath, skewed);
  DesignDocument document;
  document.open(path);
  QSignalSpy changed(&document, &DesignDocument::changedOnDisk);

  ASSERT_TRUE(document.editPropellerValues({{"", "hub_length", std::nullopt, "1.5"}}, "hub").isEmpty());
  document.save();
  EXPECT_FALSE(changed.wait(300)) << "its own save is no change";

  std::string other = skewed;
  other.replace(other.find("hub_length = 1.2"), 16, "hub_length = 0.9");
  test::writeFile(propellerPath, other);
  ASSERT_TRUE(changed.wait(3000));
  EXPECT_EQ(changed.takeFirst().at(0).toString(), QStringLiteral("stern.propeller.toml"));
  document.editValue(diameter, 4.4);  // an edit of the design's own, kept by Undo
  document.reload();
  EXPECT_EQ(document.design().propeller->hubLengthMetres, 0.9);
  EXPECT_EQ(document.propellerText(), other);
  EXPECT_FALSE(document.isModified());
  document.undoStack().undo();
  EXPECT_EQ(document.design().propeller->hubLengthMetres, 1.5);
  EXPECT_EQ(document.design().propellerDiameter, 4.4);
  EXPECT_TRUE(document.isModified());

  // Keeping mine: saved, the file holds the studio's text again.
  std::string third = skewed;
  third.replace(third.find("hub_length = 1.2"), 16, "hub_length = 1.1");
  test::writeFile(propellerPath, third);
  ASSERT_TRUE(changed.wait(3000));
  document.keepMine();
  document.save();
  EXPECT_NE(readFile(propellerPath).find("hub_length = 1.5"), std::string::npos);

  // Save As takes the propeller file along, and watches it there.
  document.saveAs(folder / "copy.TSK");
  EXPECT_EQ(readFile(folder / "copy.propeller.toml"), readFile(propellerPath));
  EXPECT_FALSE(document.isModified());
  changed.clear();
  test::writeFile(folder / "copy.propeller.toml", other);
  ASSERT_TRUE(changed.wait(3000));
  EXPECT_EQ(changed.takeFirst().at(0).toString(), QStringLiteral("copy.propeller.toml"));
}

TEST(DesignDocument, AFaultyDesignKeepsTheLastGoodAnalysisUntilUndone) {
  DesignDocument document;
  document.newFromExample();
  const double a = document.analysis().lastGood->clearance(clearanceA).segment.length;
  // Rudder edge 3-4 horizontal: the rudder's x at a height cannot be found.
  document.editValue({DesignField::RudderZ, 3}, 0.6);
  EXPECT_NE(document.analysis().fault.toStdString().find("rudder"), std::string::npos)
      << document.analysis().fault.toStdString();
  ASSERT_TRUE(document.analysis().lastGood);
  EXPECT_EQ(document.analysis().lastGood->clearance(clearanceA).segment.length, a);
  EXPECT_FALSE(document.analysis().drawing.empty());
  document.undoStack().undo();
  EXPECT_TRUE(document.analysis().fault.isEmpty());
}

TEST(DesignDocument, ChecksTheRulesOfTheShipFileBesideTheDesign) {
  ScratchDir folder;
  test::writeFile(folder / "Norvalek.TSK", readFile(test::examplesDir() / "Norvalek.TSK"));
  DesignDocument document;
  document.open(folder / "Norvalek.TSK");
  EXPECT_FALSE(document.ship());
  EXPECT_FALSE(document.analysis().lastGood->rules);

  test::writeFile(folder / "Norvalek.ship.toml", readFile(test::examplesDir() / "Norvalek.ship.toml"));
  document.open(folder / "Norvalek.TSK");
  ASSERT_TRUE(document.analysis().lastGood->rules) << document.analysis().rulesFault.toStdString();
  const RuleCheck before = *document.analysis().lastGood->rules;
  EXPECT_FALSE(before.lines.empty());
  // As in a run's check, a' and c' are those of the blade as the propeller turns it.
  const TurningLowerBlade turning = analyseStern(document.design()).turningLowerBlade;
  int turningLines = 0;
  for (const RuleLine& line : before.lines) {
    if (line.clearance == clearanceAPrime || line.clearance == clearanceCPrime) ++turningLines;
    if (line.clearance == clearanceAPrime) {
      EXPECT_EQ(line.measuredMetres, turning.aPrime.signedGap);
    } else if (line.clearance == clearanceCPrime) {
      EXPECT_EQ(line.measuredMetres, turning.cPrime.signedGap);
    }
  }
  EXPECT_EQ(turningLines, 2);
  // The check follows every edit: a larger D needs more clearance everywhere.
  document.editValue(diameter, 5.2);
  ASSERT_TRUE(document.analysis().lastGood->rules);
  EXPECT_GT(document.analysis().lastGood->rules->lines[0].requiredMetres, before.lines[0].requiredMetres);

  test::writeFile(folder / "Norvalek.ship.toml", "block_coefficient = 1.3\n");
  document.open(folder / "Norvalek.TSK");
  EXPECT_FALSE(document.analysis().lastGood->rules);
  EXPECT_NE(document.analysis().rulesFault.indexOf(QStringLiteral("block_coefficient")), -1);
}

TEST(DesignDocument, ShipParticularsAreEditedCheckedUndoneAndSavedWithTheDesign) {
  ScratchDir folder;
  test::writeFile(folder / "Norvalek.TSK", readFile(test::examplesDir() / "Norvalek.TSK"));
  const std::string shipText = readFile(test::examplesDir() / "Norvalek.ship.toml");
  test::writeFile(folder / "Norvalek.ship.toml", shipText);
  DesignDocument document;
  document.open(folder / "Norvalek.TSK");
  ASSERT_TRUE(document.analysis().lastGood->rules);
  const double required = document.analysis().lastGood->rules->lines[0].requiredMetres;

  EXPECT_NE(document.editShipValue("block_coefficient", "1.3").indexOf(QStringLiteral("(0, 1]")), -1);
  EXPECT_EQ(document.undoStack().count(), 0);
  EXPECT_EQ(document.editShipValue("power", "9000"), QString());
  EXPECT_EQ(document.ship()->shaftPowerKilowatts, 9000.0);
  EXPECT_GT(document.analysis().lastGood->rules->lines[0].requiredMetres, required);
  EXPECT_TRUE(document.isModified());
  EXPECT_EQ(readFile(folder / "Norvalek.ship.toml"), shipText) << "nothing is written before Save";

  document.undoStack().undo();
  EXPECT_EQ(document.ship()->shaftPowerKilowatts, 6500.0);
  document.undoStack().redo();
  document.save();
  const std::string saved = readFile(folder / "Norvalek.ship.toml");
  // The value replaced, its blanks and its comment kept.
  EXPECT_NE(saved.find("power = 9000                # P, kW on the shaft\n"), std::string::npos)
      << saved;
  EXPECT_EQ(readShipParticulars(folder / "Norvalek.ship.toml").shaftPowerKilowatts, 9000.0);

  // Save As takes the ship file along.
  document.saveAs(folder / "Copy.TSK");
  EXPECT_EQ(readFile(folder / "Copy.ship.toml"), saved);
  ASSERT_TRUE(document.analysis().lastGood->rules);
}

}  // namespace
}  // namespace propclear
