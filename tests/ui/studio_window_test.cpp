// The design studio driven like a designer drives it, on Qt's offscreen
// platform: open the example, drag the propeller centre with the mouse, read
// the clearances panel against a plain run of the edited file, undo, edit D,
// save under a new name and read the file back; bad text in every field and
// in pasted tables is refused without a crash. No edit is ever lost: undo
// with the cursor in a field, a file changed on disk while typing, a ship
// file's setting beside a multi-line string, a file that cannot be read.

#include "ui/studio/studio_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <cmath>

#include "common/format_number.h"
#include "common/run_error.h"
#include "design/read_design_data.h"
#include "design/rewrite_design_text.h"
#include "support/test_support.h"
#include "plot/draw_stern_plot.h"
#include "ui/studio/studio_outputs.h"

namespace propclear {
namespace {

using test::readFile;
using test::ScratchDir;

// The studio's settings go to a scratch folder, not the user's.
class Studio : public ::testing::Test {
 protected:
  Studio() {
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString((scratch_ / "settings").string()));
    designPath_ = scratch_ / "hull.TSK";
    test::writeFile(designPath_, readFile(test::examplesDir() / designFileName));
    window_.resize(1400, 900);
    window_.show();
    window_.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window_));
    EXPECT_TRUE(window_.openFile(designPath_));
  }

  QTableWidget& clearancesTable() {
    return *window_.findChild<QTableWidget*>(QStringLiteral("clearancesTable"));
  }
  // The panel's six lengths in metres, as shown.
  std::vector<std::string> shownLengths() {
    std::vector<std::string> lengths;
    for (int row = 0; row < clearanceCount; ++row) {
      lengths.push_back(clearancesTable().item(row, 2)->text().toStdString());
    }
    return lengths;
  }
  QLineEdit& field(const char* name) {
    return *window_.findChild<QLineEdit*>(QString::fromLatin1(name));
  }
  // Every field of the design panel shows the design's value.
  void expectFieldsShowTheDesign() {
    const DesignData& design = window_.document().design();
    for (QLineEdit* edit : window_.designPanel().findChildren<QLineEdit*>()) {
      const std::string name = edit->objectName().toStdString();
      const FieldRef* ref = nullptr;
      for (const FieldRef& candidate : editableFields) {
        if (fieldName(candidate) == name) ref = &candidate;
      }
      if (ref == nullptr) continue;
      EXPECT_EQ(edit->text().toStdString(), formatShortest(fieldValue(design, *ref), name.c_str()))
          << name;
    }
  }
  void press(QWidget& widget, QKeySequence::StandardKey key) {
    const QKeyCombination combination = QKeySequence(key)[0];
    QTest::keyClick(&widget, combination.key(), combination.keyboardModifiers());
  }
  void type(QLineEdit& edit, const QString& text) {
    edit.setFocus();
    edit.selectAll();
    QTest::keyClicks(&edit, text);
    QTest::keyClick(&edit, Qt::Key_Return);
  }
  // The lengths a plain run of `design` gives, rounded as the panel shows them.
  std::vector<std::string> plainRunLengths(const DesignData& design) {
    const std::filesystem::path edited = scratch_ / "edited.TSK";
    test::writeFile(edited, rewriteDesignText(readFile(designPath_), "hull.TSK", design));
    const test::ProcessResult run =
        test::runPropclear({edited.string(), "--no-window", "--answer", "H", "--json", "-"});
    EXPECT_EQ(run.exitStatus, test::kExitCompleted) << run.err;
    const QJsonArray clearances = QJsonDocument::fromJson(QByteArray::fromStdString(run.out))
                                      .object()
                                      .value(QStringLiteral("clearances"))
                                      .toArray();
    std::vector<std::string> lengths;
    for (const QJsonValue& clearance : clearances) {
      lengths.push_back(formatRounded(clearance.toObject().value(QStringLiteral("length_m")).toDouble(), 3));
    }
    return lengths;
  }

  ScratchDir scratch_;
  std::filesystem::path designPath_;
  StudioWindow window_;
  const std::vector<FieldRef> editableFields = {
      {DesignField::PropellerCentreX, 0}, {DesignField::PropellerCentreZ, 0},
      {DesignField::WaterlineHeight, 0},  {DesignField::PropellerDiameter, 0},
      {DesignField::HubDiameter, 0},      {DesignField::PitchRatio, 0},
      {DesignField::AreaRatio, 0},        {DesignField::RakeAngle, 0},
      {DesignField::RudderX, 2},          {DesignField::RudderZ, 3}};
};

TEST_F(Studio, DragUndoEditAndSaveAsLikeADesigner) {
  DesignDocument& document = window_.document();
  const DesignData original = document.design();
  const std::vector<std::string> before = shownLengths();
  EXPECT_EQ(before, plainRunLengths(original));

  // Drag the propeller centre 0.5 m up with the mouse.
  SternView& view = window_.view();
  const QPoint from = view.pixelOf(original.propellerCentreX, original.propellerCentreZ).toPoint();
  const QPoint to =
      view.pixelOf(original.propellerCentreX, original.propellerCentreZ + 0.5).toPoint();
  QTest::mousePress(&view, Qt::LeftButton, {}, from);
  QTest::mouseMove(&view, (from + to) / 2);
  QTest::mouseMove(&view, to);
  QTest::mouseRelease(&view, Qt::LeftButton, {}, to);

  const DesignData& dragged = document.design();
  const double metresPerPixel = 1.0 / std::fabs(view.metresToPixels().m11());
  EXPECT_NEAR(dragged.propellerCentreZ - original.propellerCentreZ, 0.5, metresPerPixel);
  EXPECT_NEAR(dragged.propellerCentreX, original.propellerCentreX, metresPerPixel);
  // Snapped to whole millimetres.
  EXPECT_EQ(dragged.propellerCentreZ, std::round(dragged.propellerCentreZ * 1000.0) / 1000.0);
  EXPECT_EQ(document.undoStack().count(), 1) << "one drag, one undo step";
  EXPECT_TRUE(window_.isWindowModified());

  const std::vector<std::string> afterDrag = shownLengths();
  EXPECT_NE(afterDrag, before);
  EXPECT_EQ(afterDrag, plainRunLengths(dragged));

  // Undo with the keyboard: the old values again.
  window_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  QTest::keyClick(&window_.view(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(document.design().propellerCentreZ, original.propellerCentreZ);
  EXPECT_EQ(shownLengths(), before);
  EXPECT_FALSE(window_.isWindowModified());

  // Edit D in the panel.
  type(field("D"), QStringLiteral("4.4"));
  EXPECT_EQ(document.design().propellerDiameter, 4.4);
  EXPECT_EQ(shownLengths(), plainRunLengths(document.design()));

  // Save as a new file and read it back: the same values, the captions kept.
  const std::filesystem::path saved = scratch_ / "hull-d44.TSK";
  ASSERT_TRUE(window_.saveFileAs(saved));
  EXPECT_FALSE(window_.isWindowModified());
  EXPECT_NE(window_.windowTitle().indexOf(QStringLiteral("hull-d44.TSK")), -1);
  const ReadResult read = readDesignData(saved);
  ASSERT_EQ(read.outcome, ReadOutcome::Read);
  EXPECT_EQ(read.design.propellerDiameter, 4.4);
  EXPECT_EQ(read.design.hubDiameter, original.hubDiameter);
  EXPECT_EQ(read.design.propellerCentreZ, original.propellerCentreZ);
  EXPECT_EQ(read.design.contourPointCount, original.contourPointCount);
  const std::vector<std::string> savedLines = test::splitCrLfLines(readFile(saved));
  const std::vector<std::string> exampleLines =
      test::splitCrLfLines(readFile(test::examplesDir() / designFileName));
  ASSERT_EQ(savedLines.size(), exampleLines.size());
  for (std::size_t i = 0; i < savedLines.size(); ++i) {
    if (i + 1 == 17) {
      EXPECT_EQ(savedLines[i], "4.400, 0.850") << "only the changed value, with its decimals";
    } else {
      EXPECT_EQ(savedLines[i], exampleLines[i]) << "line " << i + 1;
    }
  }
}

TEST_F(Studio, RefusesBadTextInEveryFieldWithTheReasonBesideIt) {
  DesignDocument& document = window_.document();
  const QList<QLineEdit*> fields = window_.designPanel().findChildren<QLineEdit*>();
  ASSERT_EQ(fields.size(), 16);
  for (QLineEdit* edit : fields) {
    for (const char* bad : {"abc", "1,5", "1e999", ""}) {
      type(*edit, QString::fromLatin1(bad));
      EXPECT_EQ(document.undoStack().count(), 0) << edit->objectName().toStdString() << " took " << bad;
    }
  }
  type(field("D"), QStringLiteral("0"));
  type(field("rake angle"), QStringLiteral("90"));
  EXPECT_EQ(document.undoStack().count(), 0);
  const QList<QLabel*> messages = window_.designPanel().findChildren<QLabel*>();
  const bool reasonShown = std::any_of(messages.begin(), messages.end(), [](QLabel* label) {
    return label->isVisible() && label->text().contains(QStringLiteral("between -90 and 90"));
  });
  EXPECT_TRUE(reasonShown);

  QTableWidget& contour = *window_.findChild<QTableWidget*>(QStringLiteral("contourTable"));
  const double firstCode = document.design().contourCode[sternContourRow][1];
  contour.item(0, 2)->setText(QStringLiteral("99"));
  contour.item(0, 1)->setText(QStringLiteral("x"));
  EXPECT_EQ(document.design().contourCode[sternContourRow][1], firstCode);
  EXPECT_EQ(contour.item(0, 2)->text().toDouble(), firstCode) << "the refused text gives way";
  EXPECT_EQ(document.undoStack().count(), 0);
}

TEST_F(Studio, PastesAContourTableOrReportsWhyNot) {
  DesignDocument& document = window_.document();
  const int points = document.design().contourPointCount[sternContourRow];
  for (const char* bad : {"0.3\t1.8\tone\n", "0.3\t1.8\t1\t7\n", "", "z\tx\n"}) {
    QApplication::clipboard()->setText(QString::fromLatin1(bad));
    window_.designPanel().pasteContour();
    EXPECT_EQ(document.design().contourPointCount[sternContourRow], points) << bad;
  }
  std::string tooLong;
  for (int i = 0; i <= maxContourPoints; ++i) tooLong += std::to_string(i) + "\t1\t1\n";
  QApplication::clipboard()->setText(QString::fromStdString(tooLong));
  window_.designPanel().pasteContour();
  EXPECT_EQ(document.undoStack().count(), 0);

  QApplication::clipboard()->setText(
      QStringLiteral("z (m)\tx (m)\tcode\n0,3\t1,8\t1\n3\t2,9\t0\n7\t6\t1\n"));
  window_.designPanel().pasteContour();
  ASSERT_EQ(document.design().contourPointCount[sternContourRow], 3);
  EXPECT_EQ(document.design().contourX[sternContourRow][2], 2.9);
  EXPECT_EQ(document.undoStack().count(), 1);
  document.undoStack().undo();
  EXPECT_EQ(document.design().contourPointCount[sternContourRow], points);
}

TEST_F(Studio, KeepsTheLastGoodDrawingWhileTheDesignCannotBeAnalysed) {
  DesignDocument& document = window_.document();
  const std::vector<std::string> before = shownLengths();
  // The rudder edge 3-4 made horizontal: no x at the blade's heights.
  type(field("rudder corner 3 z"), QStringLiteral("0.6"));
  ASSERT_FALSE(document.analysis().fault.isEmpty());
  EXPECT_TRUE(document.analysis().lastGood.has_value());
  EXPECT_FALSE(document.analysis().drawing.empty());
  EXPECT_FALSE(clearancesTable().isEnabled());
  EXPECT_NE(window_.statusBar()->currentMessage().indexOf(QStringLiteral("Cannot analyse")), -1);
  window_.view().grab();  // paints the note over the last good drawing
  document.undoStack().undo();
  EXPECT_TRUE(document.analysis().fault.isEmpty());
  EXPECT_EQ(shownLengths(), before);
}

TEST_F(Studio, WritesTheReportAndScriptOfThePlainRunAndExportsTheDrawing) {
  writeReportAndScript(window_.document());
  ScratchDir plain;
  test::writeFile(plain / "hull.TSK", readFile(designPath_));
  const test::ProcessResult run =
      test::runPropclear({(plain / "hull.TSK").string(), "--no-window", "--answer", "H"});
  ASSERT_EQ(run.exitStatus, test::kExitCompleted) << run.err;
  EXPECT_EQ(readFile(scratch_ / "hull.SON"), readFile(plain / "hull.SON"));
  EXPECT_EQ(readFile(scratch_ / "hull.SCR"), readFile(plain / "hull.SCR"));

  for (const char* name : {"drawing.png", "drawing.svg", "drawing.pdf"}) {
    exportOutput(window_.document(), OutputKind::Plot, scratch_ / name);
    EXPECT_GT(std::filesystem::file_size(scratch_ / name), 1000u) << name;
  }
  exportOutput(window_.document(), OutputKind::Dxf, scratch_ / "drawing.dxf");
  EXPECT_NE(readFile(scratch_ / "drawing.dxf").find("EOF"), std::string::npos);
  exportOutput(window_.document(), OutputKind::Json, scratch_ / "results.json");
  EXPECT_TRUE(QJsonDocument::fromJson(QByteArray::fromStdString(readFile(scratch_ / "results.json")))
                  .isObject());
  EXPECT_THROW(exportOutput(window_.document(), OutputKind::Plot, scratch_ / "drawing.bmp"), RunError);

  // The clearance report of the saved file, exported and printed: one page alike.
  exportOutput(window_.document(), OutputKind::ClearanceReport, scratch_ / "report.pdf");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString((scratch_ / "printed.pdf").string()));
  printClearanceReport(window_.document(), printer);
  for (const char* name : {"report.pdf", "printed.pdf"}) {
    const std::string text =
        test::runProgram({"pdftotext", "-layout", (scratch_ / name).string(), "-"}).out;
    EXPECT_EQ(text.rfind("hull.TSK: no rules", 0), 0u) << name << "\n" << text;
    EXPECT_NE(text.find("contour 0.683 m / 0.149D"), std::string::npos) << name;
    EXPECT_NE(test::runProgram({"pdfinfo", (scratch_ / name).string()}).out.find("(A4)"),
              std::string::npos) << name;
  }
  // An edited design is not the file the clearance report names.
  type(field("Ear"), QStringLiteral("0.6"));
  EXPECT_THROW(exportOutput(window_.document(), OutputKind::ClearanceReport, scratch_ / "edited.pdf"),
               RunError);
}

// The File menu offers every output of the table that has a menu entry, in
// the table's order, with its keys.
TEST_F(Studio, TheFileMenuExportsEveryOutputOfTheTable) {
  QStringList offered;
  for (const QAction* action : window_.findChildren<QAction*>()) {
    if (action->text().startsWith(QStringLiteral("Export"))) offered.append(action->text());
  }
  QStringList expected;
  for (const OutputEntry& output : outputCatalogue()) {
    if (output.menuEntry.empty()) continue;
    expected.append(QString::fromUtf8(output.menuEntry.data(), static_cast<qsizetype>(output.menuEntry.size())));
  }
  EXPECT_EQ(offered, expected);
}

// Answers the "Save changes?" box that the next call opens with `button`,
// once it is up; its title goes to `seenTitle`.
void answerSaveChanges(QMessageBox::StandardButton button, QString& seenTitle) {
  QTimer::singleShot(0, [button, &seenTitle] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    seenTitle = box->windowTitle();
    box->button(button)->click();
  });
}

TEST_F(Studio, AsksBeforeAChangedDesignGoesAndOnlyThen) {
  type(field("Ear"), QStringLiteral("0.6"));
  ASSERT_TRUE(window_.isWindowModified());
  QString title;
  answerSaveChanges(QMessageBox::Cancel, title);
  EXPECT_FALSE(window_.close());
  EXPECT_EQ(title, QStringLiteral("Save changes?"));
  EXPECT_TRUE(window_.isVisible());

  answerSaveChanges(QMessageBox::Discard, title);
  EXPECT_TRUE(window_.openFile(designPath_)) << "discarded, the file opens again";
  EXPECT_EQ(window_.document().design().areaRatio, 0.55);

  title.clear();
  answerSaveChanges(QMessageBox::Cancel, title);
  EXPECT_TRUE(window_.close()) << "nothing unsaved: closed without asking";
  EXPECT_TRUE(title.isEmpty());
  EXPECT_EQ(readFile(designPath_), readFile(test::examplesDir() / designFileName));
}

TEST_F(Studio, UndoWithTheCursorInAFieldUndoesTheDesignAndShowsIt) {
  DesignDocument& document = window_.document();
  QLineEdit& diameter = field("D");
  type(diameter, QStringLiteral("5.2"));
  ASSERT_TRUE(diameter.hasFocus());
  ASSERT_EQ(document.design().propellerDiameter, 5.2);

  press(diameter, QKeySequence::Undo);
  EXPECT_EQ(document.design().propellerDiameter, 4.6);
  EXPECT_EQ(diameter.text(), QStringLiteral("4.6"));
  window_.view().setFocus();  // leaving the field is no edit
  EXPECT_EQ(document.design().propellerDiameter, 4.6);
  EXPECT_TRUE(document.undoStack().canRedo());

  diameter.setFocus();
  press(diameter, QKeySequence::Redo);
  EXPECT_EQ(document.design().propellerDiameter, 5.2);
  EXPECT_EQ(diameter.text(), QStringLiteral("5.2"));

  // Text typed and not yet taken is undone alone.
  const int steps = document.undoStack().index();
  diameter.selectAll();
  QTest::keyClicks(&diameter, QStringLiteral("7"));
  press(diameter, QKeySequence::Undo);
  EXPECT_EQ(diameter.text(), QStringLiteral("5.2"));
  EXPECT_EQ(document.undoStack().index(), steps);
  window_.view().setFocus();
  EXPECT_EQ(document.design().propellerDiameter, 5.2);

  type(field("Dh"), QStringLiteral("0.9"));
  press(field("Dh"), QKeySequence::Undo);
  press(field("Dh"), QKeySequence::Undo);
  press(field("Dh"), QKeySequence::Redo);
  EXPECT_EQ(document.design().propellerDiameter, 5.2);
  EXPECT_EQ(document.design().hubDiameter, 0.85);
  expectFieldsShowTheDesign();
}

TEST_F(Studio, AFileChangedOnDiskWhileTypingKeepsEveryEdit) {
  DesignDocument& document = window_.document();
  type(field("D"), QStringLiteral("5.2"));
  QLineEdit& hub = field("Dh");
  hub.setFocus();
  hub.selectAll();
  QTest::keyClicks(&hub, QStringLiteral("0.9"));  // typed, not yet taken

  DesignData changed = readDesignText(readFile(designPath_), "hull.TSK").design;
  changed.pitchRatio = 0.9;
  const std::string onDisk = rewriteDesignText(readFile(designPath_), "hull.TSK", changed);
  test::writeFile(designPath_, onDisk);
  QTRY_VERIFY(window_.fileChangedBar().isVisible());
  EXPECT_TRUE(hub.hasFocus()) << "the bar takes no focus";
  EXPECT_EQ(hub.text(), QStringLiteral("0.9"));
  QTest::keyClick(&hub, Qt::Key_Return);  // meant for the field, and taken by it
  EXPECT_EQ(document.design().hubDiameter, 0.9);
  EXPECT_EQ(document.design().propellerDiameter, 5.2);
  EXPECT_EQ(document.design().pitchRatio, 0.8);
  EXPECT_TRUE(window_.fileChangedBar().isVisible());

  QTest::mouseClick(&window_.fileChangedBar().reloadButton(), Qt::LeftButton);
  EXPECT_FALSE(window_.fileChangedBar().isVisible());
  EXPECT_EQ(document.design().pitchRatio, 0.9);
  EXPECT_EQ(document.design().propellerDiameter, 4.6);
  EXPECT_FALSE(document.isModified());
  expectFieldsShowTheDesign();

  press(hub, QKeySequence::Undo);  // the reload is one step
  EXPECT_EQ(document.design().propellerDiameter, 5.2);
  EXPECT_EQ(document.design().hubDiameter, 0.9);
  EXPECT_EQ(document.design().pitchRatio, 0.8);
  EXPECT_TRUE(document.isModified());
  expectFieldsShowTheDesign();

  // Saved, the file holds the edits with the file's decimals, the rest as on disk.
  document.save();
  const std::vector<std::string> saved = test::splitCrLfLines(readFile(designPath_));
  const std::vector<std::string> disk = test::splitCrLfLines(onDisk);
  ASSERT_EQ(saved.size(), disk.size());
  for (std::size_t i = 0; i < saved.size(); ++i) {
    if (i + 1 == 17) {
      EXPECT_EQ(saved[i], "5.200, 0.900");
    } else if (i + 1 == 20) {
      EXPECT_EQ(saved[i], "0.800, 0.550, 10.0");
    } else {
      EXPECT_EQ(saved[i], disk[i]) << "line " << i + 1;
    }
  }

  // Keep mine: the design stays as edited and counts as changed.
  test::writeFile(designPath_, onDisk);
  QTRY_VERIFY(window_.fileChangedBar().isVisible());
  QTest::mouseClick(&window_.fileChangedBar().keepButton(), Qt::LeftButton);
  EXPECT_EQ(document.design().propellerDiameter, 5.2);
  EXPECT_TRUE(document.isModified());
}

TEST_F(Studio, AShipFileSettingChangesOnlyItsValueBesideAMultiLineString) {
  const std::string ship =
      "name = \"\"\"MV Norvalek\n"
      "power = 100 (a note of the name, not a setting)\"\"\"  # shown in the report\n"
      "# power = 200 in a comment\n"
      "rule_length = 118.0           # L, m\n"
      "block_coefficient = 0.72\n"
      "power  =  6500.0   # P, kW on the shaft\n"
      "blades = 4\n"
      "rudder_thickness = 0.55\n"
      "rule_sets = [\n  \"lr-recommended\",  # the society's\n]\n";
  const std::filesystem::path shipPath = scratch_ / "hull.ship.toml";
  test::writeFile(shipPath, ship);
  ASSERT_TRUE(window_.openFile(designPath_));
  ASSERT_TRUE(window_.document().ship().has_value()) << window_.document().shipFault().toStdString();
  type(*window_.clearancesPanel().findChild<QLineEdit*>(QStringLiteral("power")),
       QStringLiteral("7200"));
  window_.document().save();
  std::string expected = ship;
  expected.replace(expected.find("6500.0"), 6, "7200");
  EXPECT_EQ(readFile(shipPath), expected);
  EXPECT_EQ(readFile(designPath_), readFile(test::examplesDir() / designFileName));
}

TEST_F(Studio, AFileWithAMissingValueOpensAsTextIsMendedAndReads) {
  std::string text = readFile(designPath_);
  const std::size_t hub = text.find("4.600, 0.850");
  ASSERT_NE(hub, std::string::npos);
  std::string broken = text;
  broken.replace(hub, 12, "4.600");
  const std::filesystem::path brokenPath = scratch_ / "broken.TSK";
  test::writeFile(brokenPath, broken);

  EXPECT_FALSE(window_.openFile(brokenPath));
  ASSERT_TRUE(window_.showsBrokenFile());
  EXPECT_TRUE(window_.windowTitle().startsWith(QStringLiteral("broken.TSK")));
  const test::ProcessResult run = test::runPropclear({brokenPath.string(), "--no-window"});
  const std::string message = window_.brokenFilePane().message().toStdString();
  EXPECT_NE(message.find("a missing value is the usual cause"), std::string::npos) << message;
  EXPECT_NE(run.err.find(message), std::string::npos) << "as the command line says it: " << run.err;
  EXPECT_EQ(window_.brokenFilePane().markedLine(),
            static_cast<long>(std::count(broken.begin(), broken.begin() + static_cast<long>(hub), '\n')) + 2)
      << "the line after the one missing a value, where the reader stopped";

  auto* pane = window_.findChild<QPlainTextEdit*>(QStringLiteral("brokenFileText"));
  pane->setPlainText(QString::fromStdString(text));
  QTest::mouseClick(window_.findChild<QPushButton*>(QStringLiteral("readAgainButton")), Qt::LeftButton);
  ASSERT_FALSE(window_.showsBrokenFile()) << window_.brokenFilePane().message().toStdString();
  EXPECT_EQ(window_.document().path(), brokenPath);
  EXPECT_EQ(window_.document().design().hubDiameter, 0.85);
  EXPECT_TRUE(window_.document().isModified()) << "the mended text is not on disk yet";
  window_.document().save();
  EXPECT_EQ(readFile(brokenPath), text);
}

TEST_F(Studio, AShipFileItsReaderRefusesIsMendedBesideTheOpenDesign) {
  std::string ship = readFile(test::examplesDir() / "Norvalek.ship.toml");
  const std::string good = ship;
  ship.replace(ship.find("blades = 4"), 10, "blades = 9");
  const std::filesystem::path shipPath = scratch_ / "hull.ship.toml";
  test::writeFile(shipPath, ship);
  ASSERT_TRUE(window_.openFile(designPath_));
  ASSERT_TRUE(window_.showsBrokenFile());
  EXPECT_TRUE(window_.document().hasDesign());
  EXPECT_EQ(window_.brokenFilePane().markedLine(), 5);
  EXPECT_NE(window_.brokenFilePane().message().toStdString().find("hull.ship.toml:5"),
            std::string::npos);

  window_.findChild<QPlainTextEdit*>(QStringLiteral("brokenFileText"))
      ->setPlainText(QString::fromStdString(good));
  window_.brokenFilePane().readAgain();
  ASSERT_FALSE(window_.showsBrokenFile()) << window_.brokenFilePane().message().toStdString();
  ASSERT_TRUE(window_.document().ship().has_value());
  window_.document().save();
  EXPECT_EQ(readFile(shipPath), good);
}

TEST_F(Studio, ShowsTheStatusBannerAndMeasuresBetweenTwoClicks) {
  SternView& view = window_.view();
  const auto bannerColour = [&] { return view.grab().toImage().pixelColor(4, 4); };
  EXPECT_EQ(bannerColour(), QColor(0xEC, 0xEC, 0xEC)) << "no ship file: no rules, grey";
  type(field("D"), QStringLiteral("6.4"));
  ASSERT_TRUE(window_.document().analysis().lastGood->hasClash());
  EXPECT_EQ(bannerColour(), QColor(0xC0, 0x00, 0x00)) << "a clash is red";

  // A click on a point measures from the point itself; the third starts anew.
  view.setMeasuring(true);
  const DesignData& design = window_.document().design();
  const QPointF centre = view.pixelOf(design.propellerCentreX, design.propellerCentreZ);
  const QPointF corner = view.pixelOf(design.rudderX[4], design.rudderZ[4]);
  QTest::mouseClick(&view, Qt::LeftButton, {}, (centre + QPointF(2, -2)).toPoint());
  QTest::mouseClick(&view, Qt::LeftButton, {}, (corner + QPointF(-3, 1)).toPoint());
  ASSERT_EQ(view.measuredPoints().size(), 2u);
  EXPECT_EQ(view.measuredPoints()[0], QPointF(4.0, 2.8));
  EXPECT_EQ(view.measuredPoints()[1], QPointF(6.15, 0.6));
  EXPECT_EQ(window_.document().design().propellerCentreX, 4.0) << "measuring moves nothing";
  EXPECT_EQ(measurementText(QPointF(1, 1), QPointF(4, -3)),
            QStringLiteral("d 5.000 m   \u0394x 3.000 m   \u0394z -4.000 m"));
  QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(10, 200));
  EXPECT_EQ(view.measuredPoints().size(), 1u);
}

TEST_F(Studio, TheLegacyMirroredBladeCanBeLeftOutOfTheDrawing) {
  const std::vector<DrawCommand>& drawing = window_.document().analysis().drawing;
  const std::vector<DrawCommand> without = withoutLegacyLowerBlade(drawing);
  const auto count = [](const std::vector<DrawCommand>& commands, auto predicate) {
    return std::count_if(commands.begin(), commands.end(), predicate);
  };
  const auto legacyLabel = [](const DrawCommand& c) { return c.text == legacyBladeLabel; };
  const auto line = [](const DrawCommand& c) { return c.op == DrawOp::DrawLine; };
  const auto setting = [](const DrawCommand& c) {
    return c.op == DrawOp::SetLineStyle || c.op == DrawOp::SetTextColour || c.op == DrawOp::SetFont;
  };
  EXPECT_EQ(count(drawing, legacyLabel), 1);
  EXPECT_EQ(count(without, legacyLabel), 0);
  // The outline's 20 lines go (two edges of ten), and the label's leader if
  // it has one; the swept volume's dashed outline and every other label stay.
  const auto removedLines = count(drawing, line) - count(without, line);
  EXPECT_GE(removedLines, 20);
  EXPECT_LE(removedLines, 21);
  const auto text = [](const DrawCommand& c) { return c.op == DrawOp::PrintText; };
  EXPECT_EQ(count(without, text), count(drawing, text) - 1);
  EXPECT_EQ(count(without, setting), count(drawing, setting)) << "styles set there still hold";
  // The swept volume and its closest approaches are drawn as a run draws them.
  EXPECT_FALSE(window_.document().analysis().lastGood->closestApproaches().empty());
}

}  // namespace
}  // namespace propclear
