// The design studio driven like a designer drives it, on Qt's offscreen
// platform: open the example, drag the propeller centre with the mouse, read
// the clearances panel against a plain run of the edited file, undo, edit D,
// save under a new name and read the file back; bad text in every field and
// in pasted tables is refused without a crash.

#include "ui/studio/studio_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
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
      EXPECT_EQ(savedLines[i], "4.4, 0.850") << "only the changed value is rewritten";
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
    exportDrawing(window_.document(), scratch_ / name);
    EXPECT_GT(std::filesystem::file_size(scratch_ / name), 1000u) << name;
  }
  exportDxf(window_.document(), scratch_ / "drawing.dxf");
  EXPECT_NE(readFile(scratch_ / "drawing.dxf").find("EOF"), std::string::npos);
  exportJson(window_.document(), scratch_ / "results.json");
  EXPECT_TRUE(QJsonDocument::fromJson(QByteArray::fromStdString(readFile(scratch_ / "results.json")))
                  .isObject());
  EXPECT_THROW(exportDrawing(window_.document(), scratch_ / "drawing.bmp"), RunError);

  // The clearance report of the saved file, exported and printed: one page alike.
  exportClearanceReport(window_.document(), scratch_ / "report.pdf");
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

}  // namespace
}  // namespace propclear
