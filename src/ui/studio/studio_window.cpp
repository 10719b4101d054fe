#include "ui/studio/studio_window.h"

#include <QAction>
#include <algorithm>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QHeaderView>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QUndoStack>

#include "common/format_number.h"
#include "common/run_error.h"
#include "common/version.h"
#include "design/design_file_text.h"
#include "rules/read_ship_particulars.h"
#include "ui/studio/dxf_underlay.h"
#include "ui/studio/import_stern_dialog.h"
#include "ui/studio/propeller_panel.h"
#include "ui/studio/studio_outputs.h"

namespace propclear {

namespace {

constexpr int maxRecentFiles = 8;
constexpr int statusMessageMilliseconds = 8000;
constexpr int dockFitDelayMilliseconds = 300;
constexpr double drawingShareMin = 0.33;
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

QString textOf(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The platform's keys for `key`, or `fallback` where the platform has none
// (Save As has none on some desktops).
QList<QKeySequence> standardKeys(QKeySequence::StandardKey key, const QKeySequence& fallback) {
  QList<QKeySequence> keys = QKeySequence::keyBindings(key);
  if (keys.isEmpty()) keys.append(fallback);
  return keys;
}

// Every action of `menu` and its submenus that has keys, in menu order.
void collectShortcuts(const QMenu* menu, QList<const QAction*>& actions) {
  for (const QAction* action : menu->actions()) {
    if (action->menu() != nullptr) {
      collectShortcuts(action->menu(), actions);
    } else if (!action->shortcuts().isEmpty()) {
      actions.append(action);
    }
  }
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
  changedBar_ = new FileChangedBar;
  brokenPane_ = new BrokenFilePane;
  centre_ = new QStackedWidget;
  centre_->addWidget(view_);
  centre_->addWidget(brokenPane_);
  auto* central = new QWidget;
  auto* centralLayout = new QVBoxLayout(central);
  centralLayout->setContentsMargins(0, 0, 0, 0);
  centralLayout->setSpacing(0);
  centralLayout->addWidget(changedBar_);
  centralLayout->addWidget(centre_, 1);
  setCentralWidget(central);
  designPanel_ = new DesignPanel(document_);
  clearancesPanel_ = new ClearancesPanel(document_);
  designDock_ = dockFor(designPanel_, tr("Design"), QStringLiteral("designDock"));
  clearancesDock_ = dockFor(clearancesPanel_, tr("Clearances"), QStringLiteral("clearancesDock"));
  addDockWidget(Qt::LeftDockWidgetArea, designDock_);
  addDockWidget(Qt::RightDockWidgetArea, clearancesDock_);
  QDockWidget* propellerDock =
      dockFor(new PropellerPanel(document_), tr("Propeller"), QStringLiteral("propellerDock"));
  addDockWidget(Qt::LeftDockWidgetArea, propellerDock);
  tabifyDockWidget(designDock_, propellerDock);
  designDock_->raise();
  cursorReadout_ = new QLabel;
  statusBar()->addPermanentWidget(cursorReadout_);
  buildMenus();

  connect(&document_, &DesignDocument::fileStateChanged, this, &StudioWindow::updateTitle);
  connect(&document_, &DesignDocument::changedOnDisk, this, &StudioWindow::offerReload);
  connect(changedBar_, &FileChangedBar::reloadChosen, this, &StudioWindow::reloadFromDisk);
  connect(changedBar_, &FileChangedBar::keepChosen, &document_, &DesignDocument::keepMine);
  connect(brokenPane_, &BrokenFilePane::read, this, [this] {
    const QString name = textOf(brokenPane_->path().filename());
    showDesign();
    rememberRecent(document_.path());
    statusBar()->showMessage(tr("Read %1").arg(name), statusMessageMilliseconds);
    offerShipFileMending();
  });
  connect(brokenPane_, &BrokenFilePane::dismissed, this, &StudioWindow::showDesign);
  // Docks are fitted once edits pause: a drag's steps stay quick.
  dockFit_.setSingleShot(true);
  dockFit_.setInterval(dockFitDelayMilliseconds);
  connect(&dockFit_, &QTimer::timeout, this, &StudioWindow::fitDocksToContent);
  connect(&document_, &DesignDocument::designChanged, this, [this] {
    dockFit_.start();
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
  addAction(file, tr("Save &as…"), QKeySequence(), &StudioWindow::saveAs)
      ->setShortcuts(standardKeys(QKeySequence::SaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)));
  addAction(file, tr("Re&vert"), QKeySequence(Qt::CTRL | Qt::Key_R), &StudioWindow::revert);
  file->addSeparator();
  addImportSternAction(file, this, document_);
  addAction(file, tr("&Write report and script"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R),
            &StudioWindow::writeReportAndScript);
  for (const OutputEntry& output : outputCatalogue()) {
    if (output.menuEntry.empty()) continue;
    QAction* action = file->addAction(textOf(output.menuEntry));
    action->setShortcut(QKeySequence(textOf(output.menuShortcut), QKeySequence::PortableText));
    connect(action, &QAction::triggered, this, [this, &output] { exportOutput(output); });
  }
  addAction(file, tr("&Print clearance report…"), QKeySequence::Print, &StudioWindow::print);
  addAction(file, tr("Print dra&wing…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P),
            &StudioWindow::printBareDrawing);
  file->addSeparator();
  QAction* quit = file->addAction(tr("&Quit"));
  quit->setShortcuts(standardKeys(QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q)));
  connect(quit, &QAction::triggered, this, &QWidget::close);

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  QAction* undo = document_.undoStack().createUndoAction(this, tr("&Undo"));
  undo->setShortcuts(standardKeys(QKeySequence::Undo, QKeySequence(Qt::CTRL | Qt::Key_Z)));
  QAction* redo = document_.undoStack().createRedoAction(this, tr("&Redo"));
  QList<QKeySequence> redoKeys = standardKeys(QKeySequence::Redo, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
  if (!redoKeys.contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z))) {
    redoKeys.append(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
  }
  redo->setShortcuts(redoKeys);
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
  viewAction(tr("Zoom &in"),
             standardKeys(QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Plus)) +
                 QList<QKeySequence>{QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal)},
             &SternView::zoomIn);
  viewAction(tr("Zoom &out"),
             standardKeys(QKeySequence::ZoomOut, QKeySequence(Qt::CTRL | Qt::Key_Minus)) +
                 QList<QKeySequence>{QKeySequence(Qt::Key_Minus)},
             &SternView::zoomOut);
  viewAction(tr("&Fit"), {QKeySequence(Qt::Key_F)}, &SternView::fit);
  viewAction(tr("Zoom to &propeller"), {QKeySequence(Qt::Key_P)}, &SternView::zoomToPropeller);
  viewMenu->addSeparator();
  const auto toggle = [&](const QString& text, bool checked, const QKeySequence& key, auto slot) {
    QAction* action = viewMenu->addAction(text);
    action->setCheckable(true);
    action->setChecked(checked);
    action->setShortcut(key);
    connect(action, &QAction::toggled, view_, slot);
    return action;
  };
  toggle(tr("&Measure distance"), false, QKeySequence(Qt::Key_M), &SternView::setMeasuring)
      ->setObjectName(QStringLiteral("measureAction"));
  toggle(tr("Last &saved design"), true, QKeySequence(), &SternView::setSavedGhostShown);
  toggle(tr("&Legacy mirrored lower blade"), true, QKeySequence(), &SternView::setLegacyBladeShown);
  viewMenu->addSeparator();
  addUnderlayActions(viewMenu, *view_);
  viewMenu->addSeparator();
  for (QDockWidget* dock : findChildren<QDockWidget*>()) viewMenu->addAction(dock->toggleViewAction());
  buildHelpMenu();
}

void StudioWindow::buildHelpMenu() {
  QMenu* help = menuBar()->addMenu(tr("&Help"));
  addAction(help, tr("&Documentation"), QKeySequence::HelpContents, &StudioWindow::showDocumentation);
  addAction(help, tr("&Keyboard shortcuts"), QKeySequence(), &StudioWindow::showShortcuts);
  help->addSeparator();
  addAction(help, tr("&About propclear studio"), QKeySequence(), &StudioWindow::showAbout);
}

// The README and docs/ as installed beside the program (share/doc/propclear),
// else as in the source tree the program was built from.
void StudioWindow::showDocumentation() {
  const QString programDir = QCoreApplication::applicationDirPath();
  for (const QString& candidate :
       {programDir + QStringLiteral("/../share/doc/propclear/README.md"),
        programDir + QStringLiteral("/../README.md"),
        QStringLiteral("/usr/share/doc/propclear/README.md")}) {
    if (QFileInfo::exists(candidate)) {
      QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(candidate).canonicalFilePath()));
      return;
    }
  }
  QMessageBox::information(this, tr("Documentation"),
                           tr("The documentation (README.md and docs/) is installed in "
                              "/usr/share/doc/propclear."));
}

// Every key of the menus, and the drawing's own.
void StudioWindow::showShortcuts() {
  QList<const QAction*> actions;
  for (const QAction* menuAction : menuBar()->actions()) {
    if (menuAction->menu() != nullptr) collectShortcuts(menuAction->menu(), actions);
  }
  QList<QPair<QString, QString>> rows;
  for (const QAction* action : actions) {
    QStringList keys;
    for (const QKeySequence& key : action->shortcuts()) keys.append(key.toString(QKeySequence::NativeText));
    rows.append({action->text().remove(QLatin1Char('&')), keys.join(QStringLiteral(", "))});
  }
  rows.append({tr("Pan the drawing"), tr("Arrow keys, or drag the background")});
  rows.append({tr("Zoom about the cursor"), tr("Wheel")});
  rows.append({tr("Drag a point to 0.1 mm / freely"), tr("Shift / Alt while dragging")});
  rows.append({tr("Measure: place the two ends / start again"), tr("Click, click / Esc")});
  QDialog dialog(this);
  dialog.setWindowTitle(tr("Keyboard shortcuts"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* table = new QTableWidget(static_cast<int>(rows.size()), 2);
  table->setObjectName(QStringLiteral("shortcutsTable"));
  table->setHorizontalHeaderLabels({tr("Command"), tr("Keys")});
  table->verticalHeader()->hide();
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  for (int row = 0; row < rows.size(); ++row) {
    table->setItem(row, 0, new QTableWidgetItem(rows[row].first));
    table->setItem(row, 1, new QTableWidgetItem(rows[row].second));
  }
  table->resizeColumnsToContents();
  table->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(table);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  dialog.resize(560, 520);
  dialog.exec();
}

void StudioWindow::showAbout() {
  QMessageBox::about(this, tr("About propclear studio"),
                     tr("<b>propclear studio</b> %1<br>Propeller, hull and rudder clearances of a "
                        "single-screw ship.<br><br>propclear is %2.")
                         .arg(QString::fromLatin1(programVersion), QString::fromLatin1(programLicence)));
}

void StudioWindow::restoreSettings() {
  QSettings settings;
  if (!restoreGeometry(settings.value(geometryKey).toByteArray())) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize wanted(1600, 960);
    resize(screen != nullptr ? wanted.boundedTo(screen->availableSize()) : wanted);
  }
  restoreState(settings.value(stateKey).toByteArray());
  updateRecentMenu();
}

void StudioWindow::updateTitle() {
  QString name = document_.hasDesign() ? document_.displayName() : tr("No design");
  if (showsBrokenFile()) name = textOf(brokenPane_->path().filename());
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
  } catch (const RunError& error) {
    if (openBroken(path, error)) return false;
    showError(tr("Cannot open %1").arg(textOf(path.filename())), error);
    return false;
  } catch (const std::exception& error) {
    showError(tr("Cannot open %1").arg(textOf(path.filename())), error);
    return false;
  }
  showDesign();
  rememberRecent(path);
  statusBar()->showMessage(tr("Opened %1").arg(textOf(path)), statusMessageMilliseconds);
  offerShipFileMending();
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

// A file that can be read as text but not as a design opens as text to mend.
bool StudioWindow::openBroken(const std::filesystem::path& path, const RunError& error) {
  if (error.kind() != ErrorKind::Input) return false;
  std::string text;
  try {
    text = readDesignFileText(path);
  } catch (const RunError&) {
    return false;
  }
  document_.close();
  changedBar_->hide();
  brokenPane_->show(path, text, QString::fromStdString(error.what()), error.where().line,
                    [this, path](const std::string& mended) { document_.openText(mended, path); });
  centre_->setCurrentWidget(brokenPane_);
  updateTitle();
  statusBar()->showMessage(tr("%1 cannot be read: mend it and read it again")
                               .arg(textOf(path.filename())),
                           statusMessageMilliseconds);
  return true;
}

// A ship file beside the design that its reader refuses opens as text to
// mend; the design stays open behind it, unjudged.
void StudioWindow::offerShipFileMending() {
  if (document_.shipFault().isEmpty() || document_.shipText().empty()) return;
  const std::filesystem::path shipPath = document_.shipPath();
  try {
    readShipParticularsText(document_.shipText(), shipPath.filename().string());
  } catch (const RunError& error) {
    brokenPane_->show(shipPath, document_.shipText(), QString::fromStdString(error.what()),
                      error.where().line,
                      [this](const std::string& mended) { document_.mendShipText(mended); });
    centre_->setCurrentWidget(brokenPane_);
    updateTitle();
  }
}

void StudioWindow::showDesign() {
  centre_->setCurrentWidget(view_);
  changedBar_->hide();
  updateTitle();
  fitDocksToContent();
  view_->fit();
}

// A dock narrower than its panel needs is widened, so that no column of its
// tables is cut, the design panel first; the drawing keeps at least
// drawingShareMin of the window, and a dock that cannot have its width then
// scrolls. A dock the user made wider stays so.
void StudioWindow::fitDocksToContent() {
  const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  int room = width() - static_cast<int>(drawingShareMin * width());
  QList<QDockWidget*> docks;
  QList<int> widths;
  for (QDockWidget* dock : {designDock_, clearancesDock_}) {
    const auto* scroll = qobject_cast<QScrollArea*>(dock->widget());
    const int needed =
        scroll->widget()->minimumSizeHint().width() + scrollBar + 2 * scroll->frameWidth() + 2;
    const int width = std::max(dock->width(), std::min(needed, room));
    room -= width;
    if (dock->isFloating() || !dock->isVisible() || width == dock->width()) continue;
    docks.append(dock);
    widths.append(width);
  }
  if (!docks.isEmpty()) resizeDocks(docks, widths, Qt::Horizontal);
}

void StudioWindow::newFromExample() {
  if (!maybeSave()) return;
  document_.newFromExample();
  showDesign();
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
  changedBar_->hide();
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

// The file dialog offers the output's extensions, the first by default.
void StudioWindow::exportOutput(const OutputEntry& output) {
  // The clearance report names the design file by its SHA-256: it is of the
  // design as saved.
  if (output.kind == OutputKind::ClearanceReport && document_.hasDesign() &&
      (!document_.hasFile() || document_.isModified()) && !saveOrAsk()) {
    return;
  }
  const QString name = textOf(output.name);
  const QString path =
      askSavePath(tr("Export %1").arg(name),
                  QStringLiteral("%1 (%2)").arg(name, QString::fromStdString(extensionPatterns(output))),
                  textOf(output.extensions.front().substr(1)));
  if (path.isEmpty()) return;
  try {
    propclear::exportOutput(document_, output.kind, pathOf(path));
    statusBar()->showMessage(tr("Exported %1").arg(path), statusMessageMilliseconds);
  } catch (const std::exception& error) {
    showError(tr("Cannot export the %1").arg(name), error);
  }
}

// The clearance report's page; the bare drawing is the menu's second choice.
void StudioWindow::print() {
  if (document_.hasDesign() && (!document_.hasFile() || document_.isModified()) && !saveOrAsk()) {
    return;
  }
  printWith(printClearanceReport);
}

void StudioWindow::printBareDrawing() { printWith(printDrawing); }

// Landscape, on the printer the user chooses.
void StudioWindow::printWith(void (*printPages)(const DesignDocument&, QPrinter&)) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(QPageLayout::Landscape);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  try {
    printPages(document_, printer);
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

void StudioWindow::offerReload(const QString& fileName) {
  if (!document_.hasDesign() || showsBrokenFile()) return;
  changedBar_->offer(fileName);
}

void StudioWindow::reloadFromDisk() {
  try {
    document_.reload();
    statusBar()->showMessage(tr("Reloaded %1; Undo brings your edits back").arg(document_.displayName()),
                             statusMessageMilliseconds);
  } catch (const std::exception& error) {
    statusBar()->showMessage(tr("Cannot reload: %1").arg(QString::fromStdString(error.what())),
                             statusMessageMilliseconds);
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
