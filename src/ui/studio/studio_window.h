#pragma once
// The design studio's main window: the drawing in the centre, the design
// panel and the clearances panel as docks, menus with the file commands,
// undo and redo, the view commands and the outputs, and a status bar with the
// cursor's position in metres. It asks "Save changes?" before a changed
// design is closed or replaced, offers in a bar that takes no focus to reload
// a file another program changed, opens a file that cannot be read as text
// to mend, and remembers its size, docks and recent files.

#include <QDockWidget>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QStackedWidget>
#include <QTimer>
#include <filesystem>

#include "common/run_error.h"
#include "driver/output_catalogue.h"
#include "ui/studio/broken_file_pane.h"
#include "ui/studio/clearances_panel.h"
#include "ui/studio/design_document.h"
#include "ui/studio/design_panel.h"
#include "ui/studio/file_changed_bar.h"
#include "ui/studio/stern_view.h"

class QPrinter;

namespace propclear {

class StudioWindow : public QMainWindow {
  Q_OBJECT

 public:
  StudioWindow();

  // Opens `path`, asking first about unsaved changes; an error is shown in a
  // message box and the window stays as it was. Returns whether it opened.
  bool openFile(const std::filesystem::path& path);
  // Saves under `path` (Save As without its dialog); errors as for openFile.
  bool saveFileAs(const std::filesystem::path& path);

  DesignDocument& document() { return document_; }
  SternView& view() { return *view_; }
  DesignPanel& designPanel() { return *designPanel_; }
  ClearancesPanel& clearancesPanel() { return *clearancesPanel_; }
  FileChangedBar& fileChangedBar() { return *changedBar_; }
  BrokenFilePane& brokenFilePane() { return *brokenPane_; }
  bool showsBrokenFile() const { return centre_->currentWidget() == brokenPane_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildMenus();
  QAction* addAction(QMenu* menu, const QString& text, const QKeySequence& shortcut,
                     void (StudioWindow::*slot)());
  void newFromExample();
  void open();
  void save();
  void saveAs();
  void revert();
  void writeReportAndScript();
  void exportOutput(const OutputEntry& output);
  void print();
  void printBareDrawing();
  void printWith(void (*printPages)(const DesignDocument&, QPrinter&));
  bool maybeSave();
  bool saveOrAsk();
  void updateTitle();
  void updateRecentMenu();
  void rememberRecent(const std::filesystem::path& path);
  void offerReload(const QString& fileName);
  void showCursor(std::optional<QPointF> metres);
  void showError(const QString& what, const std::exception& error);
  QString askSavePath(const QString& title, const QString& filter, const QString& suffix);
  void restoreSettings();
  bool openBroken(const std::filesystem::path& path, const RunError& error);
  void showDesign();
  void offerShipFileMending();
  void fitDocksToContent();
  void reloadFromDisk();
  void buildHelpMenu();
  void showDocumentation();
  void showShortcuts();
  void showAbout();

  DesignDocument document_;
  SternView* view_;
  DesignPanel* designPanel_;
  ClearancesPanel* clearancesPanel_;
  QDockWidget* designDock_;
  QDockWidget* clearancesDock_;
  QLabel* cursorReadout_;
  QMenu* recentMenu_ = nullptr;
  FileChangedBar* changedBar_;
  QStackedWidget* centre_;
  BrokenFilePane* brokenPane_;
  QTimer dockFit_;
};

}  // namespace propclear
