// The studio's drawing commands driven as a designer drives them, on Qt's
// offscreen platform: a stern imported from a DXF drawing through its dialog
// (one undo step, the propeller kept), and a drawing laid under the stern.
// PROPCLEAR_SCREENSHOTS names a folder for pictures of both.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <cstdlib>

#include "design/read_design_data.h"
#include "support/test_support.h"
#include "ui/studio/dxf_underlay.h"
#include "ui/studio/import_stern_dialog.h"
#include "ui/studio/studio_window.h"

namespace propclear {
namespace {

void screenshot(QWidget& widget, const char* name) {
  const char* folder = std::getenv("PROPCLEAR_SCREENSHOTS");
  if (folder != nullptr)
    widget.grab().save(QString::fromLatin1(folder) + QLatin1Char('/') + QLatin1String(name));
}

class StudioDrawings : public ::testing::Test {
 protected:
  StudioDrawings() {
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString((scratch_ / "settings").string()));
    window_.resize(1400, 900);
    window_.show();
  }

  test::ScratchDir scratch_;
  StudioWindow window_;
};

TEST_F(StudioDrawings, ImportsTheSternThroughItsDialogAsOneUndoStepKeepingThePropeller) {
  window_.document().newFromExample();
  window_.document().editValue({DesignField::PropellerDiameter, 0}, 4.2);
  const DesignData before = window_.document().design();
  QString summary;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->resize(1100, 640);
    screenshot(*dialog, "import-stern-dialog.png");
    for (QLabel* label : dialog->findChildren<QLabel*>()) summary += label->text();
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  });
  ASSERT_TRUE(
      importSternFrom(&window_, window_.document(), test::examplesDir() / "Norvalek-stern.dxf"));
  EXPECT_TRUE(summary.contains(QStringLiteral("stern contour from layer STERN_CONTOUR")))
      << summary.toStdString();

  const DesignData& imported = window_.document().design();
  const DesignData example = readDesignData(test::examplesDir() / designFileName).design;
  EXPECT_EQ(imported.propellerDiameter, 4.2);
  EXPECT_EQ(imported.contourPointCount[sternContourRow],
            example.contourPointCount[sternContourRow]);
  for (int corner = 1; corner <= rudderCornerCount; ++corner) {
    EXPECT_NEAR(imported.rudderX[corner], example.rudderX[corner], 1e-9);
    EXPECT_NEAR(imported.rudderZ[corner], example.rudderZ[corner], 1e-9);
  }
  window_.document().undoStack().undo();
  EXPECT_EQ(window_.document().design().contourPointCount[sternContourRow],
            before.contourPointCount[sternContourRow]);
  EXPECT_EQ(window_.document().design().rudderX, before.rudderX);
}

TEST_F(StudioDrawings, AnUnderlayIsDrawnWithTheSternAtTrueScale) {
  window_.document().newFromExample();
  window_.view().fit();
  const QImage plain = window_.view().grab().toImage();
  const DxfDrawing drawing =
      readDxfDrawing(test::examplesDir() / "Norvalek-stern.dxf", "Norvalek-stern.dxf");
  DrawingFrame frame;  // millimetres, origin 0, 0
  showUnderlay(window_.view(), drawing, frame);
  QApplication::processEvents();
  const QImage underlaid = window_.view().grab().toImage();
  screenshot(window_, "underlay.png");
  EXPECT_NE(plain, underlaid);
  // A frame line of the drawing at x = 5.0 m shows where the stern's scale puts x = 5.0 m.
  const QPointF frameLine = window_.view().pixelOf(5.0, 10.8);
  bool tinted = false;
  for (int dx = -1; dx <= 1; ++dx) {
    const QColor c = underlaid.pixelColor(QPoint(static_cast<int>(std::lround(frameLine.x())) + dx,
                                                 static_cast<int>(std::lround(frameLine.y()))));
    tinted = tinted || c.blue() > c.red() + 10;
  }
  EXPECT_TRUE(tinted);
}

}  // namespace
}  // namespace propclear
