// The propeller panel over the skewed example's propeller file: a chord
// edited in the table moves the clearances and undo brings them back; a value
// the file's reader refuses is shown with its message and changes nothing; a
// pasted table is one undo step; Save rewrites only the changed values; a
// design without a propeller file gets one holding the B-series outline.

#include "ui/studio/propeller_panel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <cmath>

#include "rules/read_propeller_table.h"
#include "support/test_support.h"

namespace propclear {
namespace {

using test::readFile;

class PropellerPanelTest : public ::testing::Test {
 protected:
  PropellerPanelTest() {
    test::writeFile(scratch_ / "hull.TSK", readFile(test::examplesDir() / "Norvalek.TSK"));
    test::writeFile(propellerPath_, propellerText_);
    document_.open(scratch_ / "hull.TSK");
  }

  QTableWidget& table() { return *panel_.findChild<QTableWidget*>(QStringLiteral("outlineTable")); }
  double lengthOfA() const {
    return document_.analysis().lastGood->clearance(clearanceA).segment.length;
  }
  const PropellerTable& propeller() const { return *document_.design().propeller; }
  // The fault shown beside a field, empty when there is none.
  QString shownMessage() {
    for (QLabel* label : panel_.findChildren<QLabel*>()) {
      if (label->text().contains(QStringLiteral(".toml:")) && !label->isHidden()) {
        return label->text();
      }
    }
    return {};
  }

  test::ScratchDir scratch_;
  const std::filesystem::path propellerPath_ = scratch_ / "hull.propeller.toml";
  const std::string propellerText_ =
      readFile(test::examplesDir() / "Norvalek-skewed.propeller.toml");
  DesignDocument document_;
  PropellerPanel panel_{document_};
};

constexpr int chordColumn = 1;
constexpr int stationAt07 = 5;

TEST_F(PropellerPanelTest, AChordEditMovesTheClearancesAndUndoBringsThemBack) {
  ASSERT_EQ(table().rowCount(), 10);
  ASSERT_EQ(table().columnCount(), 4);
  EXPECT_EQ(table().item(stationAt07, chordColumn)->text(), QStringLiteral("0.2358"));
  const double before = lengthOfA();

  table().item(stationAt07, chordColumn)->setText(QStringLiteral("0,30"));
  EXPECT_EQ(propeller().chordPerDiameter[stationAt07], 0.30);
  EXPECT_EQ(document_.undoStack().count(), 1);
  EXPECT_GT(std::abs(lengthOfA() - before), 1e-3);

  document_.undoStack().undo();
  EXPECT_EQ(lengthOfA(), before);
  EXPECT_EQ(table().item(stationAt07, chordColumn)->text(), QStringLiteral("0.2358"));

  // A negative chord: the reader's message, with the file and line, and the
  // table shows the file's value again.
  table().item(3, chordColumn)->setText(QStringLiteral("-0.1"));
  EXPECT_TRUE(shownMessage().startsWith(QStringLiteral("hull.propeller.toml:12: [outline] chord_over_D")))
      << shownMessage().toStdString();
  EXPECT_EQ(table().item(3, chordColumn)->text(), QStringLiteral("0.2367"));
  EXPECT_EQ(document_.undoStack().index(), 0);
  EXPECT_EQ(lengthOfA(), before);
}

TEST_F(PropellerPanelTest, PastesASpreadsheetTableAsOneUndoStep) {
  const std::vector<double> chords = propeller().chordPerDiameter;
  const std::vector<double> edges = propeller().edge2PerChord;
  table().setCurrentCell(2, chordColumn);
  QApplication::clipboard()->setText(QStringLiteral("0.23\t0.60\n\n0,24\t0,59\n0.25\t0.58\n"));
  panel_.pasteOutline();
  ASSERT_EQ(document_.undoStack().count(), 1);
  EXPECT_EQ(propeller().chordPerDiameter[2], 0.23);
  EXPECT_EQ(propeller().edge2PerChord[3], 0.59);
  EXPECT_EQ(propeller().chordPerDiameter[4], 0.25);
  EXPECT_EQ(propeller().chordPerDiameter[5], chords[5]);
  EXPECT_EQ(table().item(4, chordColumn + 1)->text(), QStringLiteral("0.58"));

  document_.undoStack().undo();
  EXPECT_EQ(propeller().chordPerDiameter, chords);
  EXPECT_EQ(propeller().edge2PerChord, edges);

  // Past the last station, or a cell that is no number: nothing is taken.
  for (const auto& [row, text] : {std::pair{8, "0.1\n0.05\n0.0\n"}, std::pair{0, "0.2\tx\n"}}) {
    table().setCurrentCell(row, chordColumn);
    QApplication::clipboard()->setText(QString::fromLatin1(text));
    panel_.pasteOutline();
    EXPECT_EQ(document_.undoStack().index(), 0) << text;
    EXPECT_EQ(propeller().chordPerDiameter, chords) << text;
  }
}

TEST_F(PropellerPanelTest, SaveKeepsEveryCommentAndRewritesOnlyTheChangedValues) {
  table().item(stationAt07, chordColumn)->setText(QStringLiteral("0.25"));
  auto* blades = panel_.findChild<QLineEdit*>(QStringLiteral("blades"));
  blades->setText(QStringLiteral("6"));
  blades->setModified(true);
  emit blades->editingFinished();
  ASSERT_EQ(propeller().bladeCount, 6);
  ASSERT_EQ(document_.undoStack().count(), 2);

  document_.save();
  std::string expected = propellerText_;
  expected.replace(expected.find("0.2358"), 6, "0.25");
  expected.replace(expected.find("blades = 5"), 10, "blades = 6");
  EXPECT_EQ(readFile(propellerPath_), expected);
  EXPECT_FALSE(document_.isModified());

  // Blades beyond 7 are the reader's fault beside the field; the file stays.
  blades->setText(QStringLiteral("8"));
  blades->setModified(true);
  emit blades->editingFinished();
  EXPECT_EQ(propeller().bladeCount, 6);
  EXPECT_EQ(blades->text(), QStringLiteral("6"));
  EXPECT_TRUE(shownMessage().startsWith(QStringLiteral("hull.propeller.toml:7: blades = 8")))
      << shownMessage().toStdString();
  EXPECT_FALSE(document_.isModified());
}

TEST_F(PropellerPanelTest, ADesignWithoutAFileGetsTheBSeriesOutlineAsOne) {
  std::filesystem::remove(propellerPath_);
  document_.open(scratch_ / "hull.TSK");
  EXPECT_EQ(table().rowCount(), 0);
  const double bSeries = lengthOfA();

  auto* create = panel_.findChild<QPushButton*>(QStringLiteral("createPropellerFile"));
  ASSERT_TRUE(create != nullptr && create->isEnabled());
  create->click();
  ASSERT_EQ(table().rowCount(), 11);
  EXPECT_EQ(propeller().bladeCount, 4);
  EXPECT_NEAR(lengthOfA(), bSeries, 1e-9);
  EXPECT_EQ(document_.undoStack().count(), 1);

  document_.save();
  const PropellerTable saved = readPropellerTable(propellerPath_);
  EXPECT_EQ(saved.chordPerDiameter, propeller().chordPerDiameter);
  EXPECT_EQ(saved.radiusRatio.back(), 1.0);

  document_.undoStack().undo();
  EXPECT_FALSE(document_.design().propeller.has_value());
  EXPECT_EQ(table().rowCount(), 0);
}

}  // namespace
}  // namespace propclear
