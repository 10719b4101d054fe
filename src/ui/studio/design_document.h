#pragma once
// The studio's document: one design being edited, the file it belongs to,
// its undo history, and its analysis recomputed after every change. Not a
// widget: the window shows it and edits it only through its operations, so
// that every edit is one undo step and the analysis always matches the design.

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QUndoStack>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "assessment/assessment.h"
#include "design/contour_table_text.h"
#include "design/design_data.h"
#include "design/design_field.h"
#include "plot/drawing_surface.h"
#include "plot/print_plot.h"
#include "rules/ship_particulars.h"

namespace propclear {

// The judged result of the design as it stands, or why there is none: then
// the last one that succeeded and its drawing stay for the display. Its rule
// check is there when a ship file is loaded and the check could run.
struct StudioAnalysis {
  std::optional<Assessment> lastGood;
  std::vector<DrawCommand> drawing;  // the stern plot with the clearances, of lastGood
  // The same without its labels, and the labels, for a view that lays them
  // out at its own scale.
  std::vector<DrawCommand> unlabelledDrawing;
  PlotLabels labels;
  QString fault;                     // empty when lastGood is the design's own
  QString rulesFault;
};

// One value changed by an edit.
struct FieldChange {
  FieldRef ref;
  double before = 0.0;
  double after = 0.0;
};

// One value of the propeller file: a top-level setting (no table), or one
// station (element) of a column of a table such as [outline], as TOML text.
struct PropellerValue {
  std::string table;
  std::string key;
  std::optional<std::size_t> element;
  std::string tomlValue;
};

class DesignDocument : public QObject {
  Q_OBJECT

 public:
  explicit DesignDocument(QObject* parent = nullptr);

  // Files. Each throws RunError naming the file and leaves the document as it
  // was when the file cannot be read or written.
  void open(const std::filesystem::path& path);
  // The example stern, untitled: Save asks for a name.
  void newFromExample();
  void save();
  void saveAs(const std::filesystem::path& path);
  // Reads the file again, forgetting every change.
  void revert();
  // Takes the design file, the ship file and the propeller file as they are
  // on disk now, as one undo step: undoing it brings the edits back. The document is then as
  // saved. Throws RunError as open does, leaving the document as it was.
  void reload();
  // Keeps the design as edited though the files on disk differ: it counts as
  // changed until it is saved.
  void keepMine();
  // Opens `text` as the design file `path`, in place of the file's own
  // content (a broken file fixed in the studio); it counts as changed until
  // it is saved. Throws RunError as open does.
  void openText(const std::string& text, const std::filesystem::path& path);
  void close();

  bool hasDesign() const { return hasDesign_; }
  bool hasFile() const { return !path_.empty(); }
  const std::filesystem::path& path() const { return path_; }
  // The file's name, or "Untitled".
  QString displayName() const;
  bool isModified() const { return !undo_.isClean(); }

  const DesignData& design() const { return design_; }
  // The design as last opened, saved or reloaded, and whether an undo step
  // has changed it since.
  const DesignData& savedDesign() const { return savedDesign_; }
  bool differsFromSaved() const { return undo_.index() != savedUndoIndex_; }
  const StudioAnalysis& analysis() const { return analysis_; }
  QUndoStack& undoStack() { return undo_; }

  // One undo step each.
  void editValue(FieldRef ref, double value);
  void replaceContour(const std::vector<ContourPoint>& points, const QString& what);
  // A drag: every call with the same serial joins one undo step.
  int newDragSerial() { return ++lastDragSerial_; }
  void dragTo(int dragSerial, const std::vector<std::pair<FieldRef, double>>& values);

  // The ship file beside the design, when there is one, and its particulars.
  const std::optional<ShipParticulars>& ship() const { return ship_; }
  const std::filesystem::path& shipPath() const { return shipPath_; }
  QString shipFault() const { return shipFault_; }
  // The ship file's text as edited.
  const std::string& shipText() const { return shipText_; }
  // The ship file's text replaced by `text` mended in the studio, as one undo
  // step, saved with the design. Throws the reader's RunError, naming the
  // line, while the text is still broken; nothing changes then.
  void mendShipText(const std::string& text);
  // One top-level setting of the ship file changed to `tomlValue` (TOML as
  // written: 118.5, "high", ["lr-recommended"]): one undo step, saved to the
  // ship file with the design. Returns why it is refused (the reader's
  // reason, naming the key), or nothing when it was taken.
  QString editShipValue(const std::string& key, const std::string& tomlValue);

  // The propeller file beside the design, when there is one, and its text
  // as edited.
  const std::filesystem::path& propellerPath() const { return propellerPath_; }
  const std::string& propellerText() const { return propellerText_; }
  // Values of the propeller file changed together as one undo step named
  // `what`, saved to the propeller file with the design: only those values'
  // text is rewritten. Returns why they are refused (the reader's message,
  // naming the file, the line, the key and the rule), or nothing when taken.
  QString editPropellerValues(const std::vector<PropellerValue>& values, const QString& what);
  // A propeller file beside a design that has none, holding the B-series
  // outline of the design's Ear: one undo step, written on Save.
  void createPropellerFile();

  // For the undo commands only.
  void applyFields(const std::vector<FieldChange>& changes, bool forward);
  void applyContour(const std::vector<ContourPoint>& points);
  void applyShipText(const std::string& text);
  void applyDesignAndShip(const DesignData& design, const std::string& shipText,
                          const std::string& propellerText);
  void applyPropellerText(const std::string& text);

 signals:
  // After every change of the design or its analysis.
  void designChanged();
  // The file, its name or its modified state changed.
  void fileStateChanged();
  // The design file, its ship file or its propeller file, named `fileName`,
  // was changed on disk by another program.
  void changedOnDisk(const QString& fileName);

 private:
  void load(const std::string& text, const std::filesystem::path& path);
  DesignData readDesign(const std::string& text, const std::filesystem::path& path,
                        const std::filesystem::path& propellerPath,
                        const std::string& propellerText) const;
  void writeTo(const std::filesystem::path& path);
  void watch();
  void fileChangedOnDisk(const QString& changedPath);
  void loadShip();
  void recompute();
  void drawLastGood();

  bool hasDesign_ = false;
  DesignData design_{};
  DesignData savedDesign_{};
  int savedUndoIndex_ = 0;
  std::filesystem::path path_;
  std::string fileText_;  // the text last read or written: captions and layout for saving
  StudioAnalysis analysis_;
  QUndoStack undo_;
  QFileSystemWatcher watcher_;
  int lastDragSerial_ = 0;

  std::optional<ShipParticulars> ship_;
  std::filesystem::path shipPath_;
  QString shipFault_;
  std::string shipText_;       // as edited
  std::string shipSavedText_;  // as last read or written

  std::filesystem::path propellerPath_;
  std::string propellerText_;       // as edited
  std::string propellerSavedText_;  // as last read or written
};

// The example stern's design file, whose captions a new design takes.
const std::string& exampleDesignText();

}  // namespace propclear
