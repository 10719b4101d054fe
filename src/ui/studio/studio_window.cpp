#include "ui/studio/studio_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QStatusBar>
#include <QUndoStack>

#include "common/format_number.h"
#include "common/run_error.h"
#include "ui/studio/dxf_underlay.h"
#include "ui/studio/import_stern_dialog.h"
#include "ui/studio/studio_outputs.h"

namespace propclear {

namespace {

constexpr int maxRecentFiles = 8;
constexpr int statusMessageMilliseconds = 8000;
const QString recentFilesKey = QStringLiteral("studio/recentFiles");
const QString geometryKey = QStringLiteral("studio/geometry");
const QString stateKey = QStringLiteral("studio/windowState");
const QString designFilter = QObject::tr("Design files (*.TSK *.tsk);;All files (*)");

std::filesystem::path pathOf(const QString& text) {
  return std::filesystem::path(text.toStdString());
}

QString textOf(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

QDockWidget* dockFor(QWidget* panel, const QString& title, const QString& name) {
  auto* scroll = new QScrollArea;
  scroll->setWidget(panel);
  scroll->setWidgetResizable(true);
  auto* dock = new QDockWidget(title);
  dock->setObjectName(name);
  dock->setWidget(scroll);
  return dock;
}

}  // namespace

StudioWindow::StudioWindow() {
  view_ = new SternView(document_);
  setCentralWidget(view_);
  designPanel_ = new DesignPanel(document_);
  clearancesPanel_ = new ClearancesPanel(document_);
  addDockWidget(Qt::LeftDockWidgetArea,
                dockFor(designPanel_, tr("Design"), QStringLiteral("designDock")));
  addDockWidget(Qt::RightDockWidgetArea,
                dockFor(clearancesPanel_, tr("Clearances"), QStringLiteral("clearancesDock")));
  cursorReadout_ = new QLabel;
  statusBar()->addPermanentWidget(cursorReadout_);
  buildMenus();

  connect(&document_, &DesignDocument::fileStateChanged, this, &StudioWindow::updateTitle);
  connect(&document_, &DesignDocument::changedOnDisk, this, &StudioWindow::offerReload);
  connect(&document_, &DesignDocument::designChanged, this, [this] {
    if (!document_.analysis().fault.isEmpty()) {
      statusBar()->showMessage(tr("Cannot analyse: %1").arg(document_.analysis().fault));
    }
  });
  connect(designPanel_, &DesignPanel::statusMessage, this,
          [this](const QString& message) { statusBar()->showMessage(message, statusMessageMilliseconds); });
  connect(view_, &SternView::cursorMoved, this, &StudioWindow::showCursor);
  restoreSettings();
  updateTitle();
  // The drawing's keys (F, P, +, -, arrows) work from the start.
  view_->setFocus();
}

QAction* StudioWindow::addAction(QMenu* menu, const QString& text, const QKeySequence& shortcut,
                                 void (StudioWindow::*slot)()) {
  QAction* action = menu->addAction(text);
  action->setShortcut(shortcut);
  connect(action, &QAction::triggered, this, slot);
  return action;
}

void StudioWindow::buildMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  addAction(file, tr("&New from example"), QKeySequence::New, &StudioWindow::newFromExample);
  addAction(file, tr("&Open…"), QKeySequence::Open, &StudioWindow::open);
  recentMenu_ = file->addMenu(tr("Open &recent"));
  addAction(file, tr("&Save"), QKeySequence::Save, &StudioWindow::save);
  addAction(file, tr("Save &as…"), QKeySequence::SaveAs, &StudioWindow::saveAs);
  addAction(file, tr("Re&vert"), QKeySequence(Qt::CTRL | Qt::Key_R), &StudioWindow::revert);
  file->addSeparator();
  addImportSternAction(file, this, document_);
  addAction(file, tr("&Write report and script"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R),
            &StudioWindow::writeReportAndScript);
  addAction(file, tr("Export &drawing…"), QKeySequence(Qt::CTRL | Qt::Key_E),
            &StudioWindow::exportDrawing);
  addAction(file, tr("Export D&XF…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D),
            &StudioWindow::exportDxf);
  addAction(file, tr("Export &JSON…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_J),
            &StudioWindow::exportJson);
  addAction(file, tr("Export clearance &report…"), QKeySequence(), &StudioWindow::exportReport);
  addAction(file, tr("&Print clearance report…"), QKeySequence::Print, &StudioWindow::print);
  addAction(file, tr("Print dra&wing…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P),
            &StudioWindow::printBareDrawing);
  file->addSeparator();
  QAction* quit = file->addAction(tr("&Quit"));
  quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  connect(quit, &QAction::triggered, this, &QWidget::close);

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  QAction* undo = document_.undoStack().createUndoAction(this, tr("&Undo"));
  undo->setShortcut(QKeySequence::Undo);
  QAction* redo = document_.undoStack().createRedoAction(this, tr("&Redo"));
  redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence::Redo});
  edit->addAction(undo);
  edit->addAction(redo);
  QAction* paste = edit->addAction(tr("Paste &contour table"));
  paste->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
  connect(paste, &QAction::triggered, designPanel_, &DesignPanel::pasteContour);

  QMenu* viewMenu = menuBar()->addMenu(tr("&View"));
  const auto viewAction = [&](const QString& text, QList<QKeySequence> keys, auto slot) {
    QAction* action = viewMenu->addAction(text);
    action->setShortcuts(keys);
    connect(action, &QAction::triggered, view_, slot);
  };
  viewAction(tr("Zoom &in"), {QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal),
                              QKeySequence::ZoomIn},
             &SternView::zoomIn);
  viewAction(tr("Zoom &out"), {QKeySequence(Qt::Key_Minus), QKeySequence::ZoomOut},
             &SternView::zoomOut);
  viewAction(tr("&Fit"), {QKeySequence(Qt::Key_F)}, &SternView::fit);
  viewAction(tr("Zoom to &propeller"), {QKeySequence(Qt::Key_P)}, &SternView::zoomToPropeller);
  viewMenu->addSeparator();
  addUnderlayActions(viewMenu, *view_);
  viewMenu->addSeparator();
  for (QDockWidget* dock : findChildren<QDockWidget*>()) viewMenu->addAction(dock->toggleViewAction());
}

void StudioWindow::restoreSettings() {
  QSettings settings;
  if (!restoreGeometry(settings.value(geometryKey).toByteArray())) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize wanted(1400, 860);
    resize(screen != nullptr ? wanted.boundedTo(screen->availableSize()) : wanted);
  }
  if (!restoreState(settings.value(stateKey).toByteArray())) {
    resizeDocks(findChildren<QDockWidget*>(), {330, 450}, Qt::Horizontal);
  }
  updateRecentMenu();
}

void StudioWindow::updateTitle() {
  const QString name = document_.hasDesign() ? document_.displayName() : tr("No design");
  setWindowTitle(tr("%1[*] — propclear studio").arg(name));
  setWindowModified(document_.isModified());
}

void StudioWindow::showCursor(std::optional<QPointF> metres) {
  if (!metres) {
    cursorReadout_->clear();
    return;
  }
  cursorReadout_->setText(tr("x %1 m   z %2 m")
                              .arg(QString::fromStdString(formatRounded(metres->x(), 3)),
                                   QString::fromStdString(formatRounded(metres->y(), 3))));
}

void StudioWindow::showError(const QString& what, const std::exception& error) {
  const QString message = QString::fromStdString(error.what());
  statusBar()->showMessage(what + QStringLiteral(": ") + message, statusMessageMilliseconds);
  QMessageBox::warning(this, what, message);
}

// "Save changes?" for a changed design: true when it may go.
bool StudioWindow::maybeSave() {
  if (!document_.hasDesign() || !document_.isModified()) return true;
  const QMessageBox::StandardButton answer = QMessageBox::question(
      this, tr("Save changes?"),
      tr("The design %1 has changes that are not saved. Save them?").arg(document_.displayName()),
      QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
  if (answer == QMessageBox::Cancel) return false;
  if (answer == QMessageBox::Discard) return true;
  return saveOrAsk();
}

bool StudioWindow::saveOrAsk() {
  if (!document_.hasFile()) {
    const QString path = askSavePath(tr("Save design as"), designFilter, QStringLiteral("TSK"));
    return !path.isEmpty() && saveFileAs(pathOf(path));
  }
  try {
    document_.save();
    statusBar()->showMessage(tr("Saved %1").arg(document_.displayName()), statusMessageMilliseconds);
    return true;
  } catch (const std::exception& error) {
    showError(tr("Cannot save"), error);
    return false;
  }
}

bool StudioWindow::openFile(const std::filesystem::path& path) {
  if (!maybeSave()) return false;
  try {
    document_.open(path);
  } catch (const std::exception& error) {
    showError(tr("Cannot open %1").arg(textOf(path.filename())), error);
    return false;
  }
  view_->fit();
  rememberRecent(path);
  statusBar()->showMessage(tr("Opened %1").arg(textOf(path)), statusMessageMilliseconds);
  return true;
}

bool StudioWindow::saveFileAs(const std::filesystem::path& path) {
  try {
    document_.saveAs(path);
  } catch (const std::exception& error) {
    showError(tr("Cannot save"), error);
    return false;
  }
  rememberRecent(path);
  statusBar()->showMessage(tr("Saved %1").arg(textOf(path)), statusMessageMilliseconds);
  return true;
}

void StudioWindow::newFromExample() {
  if (!maybeSave()) return;
  document_.newFromExample();
  view_->fit();
}

void StudioWindow::open() {
  const QString path = QFileDialog::getOpenFileName(this, tr("Open design"), QString(), designFilter);
  if (!path.isEmpty()) openFile(pathOf(path));
}

void StudioWindow::save() {
  if (document_.hasDesign()) saveOrAsk();
}

void StudioWindow::saveAs() {
  if (!document_.hasDesign()) return;
  const QString path = askSavePath(tr("Save design as"), designFilter, QStringLiteral("TSK"));
  if (!path.isEmpty()) saveFileAs(pathOf(path));
}

void StudioWindow::revert() {
  if (!document_.hasFile()) return;
  if (document_.isModified() &&
      QMessageBox::question(this, tr("Revert"),
                            tr("Forget every change since %1 was saved?")
                                .arg(document_.displayName())) != QMessageBox::Yes) {
    return;
  }
  try {
    document_.revert();
  } catch (const std::exception& error) {
    showError(tr("Cannot revert"), error);
  }
}

QString StudioWindow::askSavePath(const QString& title, const QString& filter,
                                  const QString& suffix) {
  QFileDialog dialog(this, title, document_.hasFile() ? textOf(document_.path().parent_path())
                                                      : QString(),
                     filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(suffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

void StudioWindow::writeReportAndScript() {
  if (!document_.hasFile() && document_.hasDesign() && !saveOrAsk()) return;
  try {
    const auto [script, report] = propclear::writeReportAndScript(document_);
    statusBar()->showMessage(tr("Wrote %1 and %2").arg(textOf(script.filename()),
                                                        textOf(report.filename())),
                             statusMessageMilliseconds);
  } catch (const std::exception& error) {
    showError(tr("Cannot write the report and the script"), error);
  }
}

void StudioWindow::exportDrawing() {
  const QString path = askSavePath(tr("Export drawing"),
                                   tr("PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)"),
                                   QStringLiteral("png"));
  if (path.isEmpty()) return;
  try {
    propclear::exportDrawing(document_, pathOf(path));
    statusBar()->showMessage(tr("Exported %1").arg(path), statusMessageMilliseconds);
  } catch (const std::exception& error) {
    showError(tr("Cannot export the drawing"), error);
  }
}

void StudioWindow::exportDxf() {
  const QString path = askSavePath(tr("Export DXF"), tr("DXF drawing (*.dxf)"), QStringLiteral("dxf"));
  if (path.isEmpty()) return;
  try {
    propclear::exportDxf(document_, pathOf(path));
    statusBar()->showMessage(tr("Exported %1").arg(path), statusMessageMilliseconds);
  } catch (const std::exception& error) {
    showError(tr("Cannot export the DXF drawing"), error);
  }
}

void StudioWindow::exportJson() {
  const QString path = askSavePath(tr("Export JSON"), tr("JSON results (*.json)"), QStringLiteral("json"));
  if (path.isEmpty()) return;
  try {
    propclear::exportJson(document_, pathOf(path));
    statusBar()->showMessage(tr("Exported %1").arg(path), statusMessageMilliseconds);
  } catch (const std::exception& error) {
    showError(tr("Cannot export the results"), error);
  }
}

void StudioWindow::exportReport() {
  if (document_.hasDesign() && (!document_.hasFile() || document_.isModified()) && !saveOrAsk()) {
    return;
  }
  const QString path = askSavePath(tr("Export clearance report"), tr("PDF document (*.pdf)"),
                                   QStringLiteral("pdf"));
  if (path.isEmpty()) return;
  try {
    exportClearanceReport(document_, pathOf(path));
    statusBar()->showMessage(tr("Exported %1").arg(path), statusMessageMilliseconds);
  } catch (const std::exception& error) {
    showError(tr("Cannot export the clearance report"), error);
  }
}

// The clearance report's page; the bare drawing is the menu's second choice.
void StudioWindow::print() {
  if (document_.hasDesign() && (!document_.hasFile() || document_.isModified()) && !saveOrAsk()) {
    return;
  }
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(QPageLayout::Landscape);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  try {
    printClearanceReport(document_, printer);
  } catch (const std::exception& error) {
    showError(tr("Cannot print"), error);
  }
}

void StudioWindow::printBareDrawing() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(QPageLayout::Landscape);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  try {
    printDrawing(document_, printer);
  } catch (const std::exception& error) {
    showError(tr("Cannot print"), error);
  }
}

void StudioWindow::rememberRecent(const std::filesystem::path& path) {
  QSettings settings;
  QStringList recent = settings.value(recentFilesKey).toStringList();
  const QString absolute = textOf(std::filesystem::absolute(path).lexically_normal());
  recent.removeAll(absolute);
  recent.prepend(absolute);
  while (recent.size() > maxRecentFiles) recent.removeLast();
  settings.setValue(recentFilesKey, recent);
  updateRecentMenu();
}

void StudioWindow::updateRecentMenu() {
  recentMenu_->clear();
  const QStringList recent = QSettings().value(recentFilesKey).toStringList();
  for (const QString& path : recent) {
    QAction* action = recentMenu_->addAction(path);
    connect(action, &QAction::triggered, this, [this, path] { openFile(pathOf(path)); });
  }
  recentMenu_->setEnabled(!recent.isEmpty());
}

void StudioWindow::offerReload() {
  if (reloadOffered_) return;
  reloadOffered_ = true;
  const QString question =
      document_.isModified()
          ? tr("%1 was changed by another program. Reload it and lose your changes?")
          : tr("%1 was changed by another program. Reload it?");
  const bool reload = QMessageBox::question(this, tr("File changed on disk"),
                                            question.arg(document_.displayName())) ==
                      QMessageBox::Yes;
  reloadOffered_ = false;
  if (!reload) return;
  try {
    document_.revert();
  } catch (const std::exception& error) {
    showError(tr("Cannot reload"), error);
  }
}

void StudioWindow::closeEvent(QCloseEvent* event) {
  if (!maybeSave()) {
    event->ignore();
    return;
  }
  QSettings settings;
  settings.setValue(geometryKey, saveGeometry());
  settings.setValue(stateKey, saveState());
  event->accept();
}

}  // namespace propclear
