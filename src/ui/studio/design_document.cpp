#include "ui/studio/design_document.h"

#include <QFileInfo>
#include <new>

#include "common/output_file.h"
#include "common/staged_outputs.h"
#include "common/run_error.h"
#include "design/design_file_text.h"
#include "design/read_design_data.h"
#include "design/rewrite_design_text.h"
#include "plot/draw_stern_plot.h"
#include "geometry/blade_outline.h"
#include "rules/propeller_file_text.h"
#include "rules/read_propeller_table.h"
#include "rules/read_ship_particulars.h"
#include "rules/ship_file_text.h"
#include "ui/studio/design_edit_commands.h"

namespace propclear {

namespace {

QString qText(const std::string& text) { return QString::fromStdString(text); }

// The design of `text`; an over-long contour is refused like any fault.
DesignData designOf(const std::string& text, const std::string& name) {
  const ReadResult read = readDesignText(text, name);
  if (read.outcome == ReadOutcome::ContourTooLong) {
    throw RunError(ErrorKind::Input,
                   "the stern contour has no terminator (code 99) within " +
                       std::to_string(maxContourLines) + " lines",
                   ErrorLocation{name});
  }
  return read.design;
}

// The propeller file beside the design file `path`, or an empty path.
std::filesystem::path propellerFileOf(const std::filesystem::path& path) {
  if (path.empty()) return {};
  return findPropellerFile(path).value_or(std::filesystem::path());
}

}  // namespace

DesignDocument::DesignDocument(QObject* parent) : QObject(parent) {
  connect(&undo_, &QUndoStack::cleanChanged, this, &DesignDocument::fileStateChanged);
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &DesignDocument::fileChangedOnDisk);
}

QString DesignDocument::displayName() const {
  return hasFile() ? qText(path_.filename().string()) : tr("Untitled");
}

void DesignDocument::open(const std::filesystem::path& path) {
  load(readDesignFileText(path), path);
}

void DesignDocument::newFromExample() { load(exampleDesignText(), {}); }

// The propeller file beside the design, as a run reads it, from the text
// the studio edits.
DesignData DesignDocument::readDesign(const std::string& text, const std::filesystem::path& path,
                                      const std::filesystem::path& propellerPath,
                                      const std::string& propellerText) const {
  const std::string name = path.empty() ? std::string("Untitled") : path.filename().string();
  DesignData design = designOf(text, name);
  if (!propellerPath.empty()) {
    design.propeller = readPropellerTableText(propellerText, propellerPath.filename().string());
  }
  return design;
}

void DesignDocument::load(const std::string& text, const std::filesystem::path& path) {
  const std::filesystem::path propellerPath = propellerFileOf(path);
  std::string propellerText = propellerPath.empty() ? std::string() : readDesignFileText(propellerPath);
  design_ = readDesign(text, path, propellerPath, propellerText);
  propellerPath_ = propellerPath;
  propellerSavedText_ = propellerText;
  propellerText_ = std::move(propellerText);
  savedDesign_ = design_;
  hasDesign_ = true;
  fileText_ = text;
  path_ = path;
  undo_.clear();
  savedUndoIndex_ = 0;
  loadShip();
  watch();
  recompute();
  emit fileStateChanged();
}

void DesignDocument::save() {
  if (!hasFile()) throw RunError(ErrorKind::Usage, "the design has no file yet: use Save As");
  writeTo(path_);
  // A rename replaces the file the watcher saw: watch the new one.
  watch();
}

// A design with a ship or propeller file takes it along: the file is
// written beside the new name too, as the run of the new name will read it
// there. One without a ship file looks for a ship file beside the new name.
void DesignDocument::saveAs(const std::filesystem::path& path) {
  const bool hadShip = !shipPath_.empty();
  const bool hadPropeller = !propellerPath_.empty() && !propellerText_.empty();
  if (path != path_ && (hadShip || hadPropeller)) {
    const std::filesystem::path oldShipPath = shipPath_, oldPropellerPath = propellerPath_;
    const std::string oldShipSaved = shipSavedText_, oldPropellerSaved = propellerSavedText_;
    if (hadShip) {
      shipPath_ = shipFileBeside(path);
      shipSavedText_.clear();
    }
    if (hadPropeller) {
      propellerPath_ = propellerFileBeside(path);
      propellerSavedText_.clear();
    }
    try {
      writeTo(path);
    } catch (...) {
      shipPath_ = oldShipPath;
      shipSavedText_ = oldShipSaved;
      propellerPath_ = oldPropellerPath;
      propellerSavedText_ = oldPropellerSaved;
      throw;
    }
  } else {
    writeTo(path);
  }
  if (path != path_) {
    path_ = path;
    if (!hadShip) loadShip();
    // Its messages name the file it now stands in.
    if (hadPropeller) applyPropellerText(propellerText_);
    recompute();
  }
  watch();
  emit fileStateChanged();
}

// The design file and, when its settings were changed, the ship file beside
// it, each through a temporary file renamed into place, the design last.
void DesignDocument::writeTo(const std::filesystem::path& path) {
  const std::string text = rewriteDesignText(fileText_, path.filename().string(), design_);
  StagedOutputs outputs;
  const bool shipChanged = !shipPath_.empty() && shipText_ != shipSavedText_;
  if (shipChanged) {
    outputs.add(shipPath_, shipPath_.filename().string(), OutputFile::Devices::WriteInto)
        .writeText(shipText_);
  }
  // A file whose creation was undone after it was saved stays on disk.
  const bool propellerChanged = !propellerPath_.empty() && !propellerText_.empty() &&
                                propellerText_ != propellerSavedText_;
  if (propellerChanged) {
    outputs.add(propellerPath_, propellerPath_.filename().string(), OutputFile::Devices::WriteInto)
        .writeText(propellerText_);
  }
  outputs.add(path, path.filename().string(), OutputFile::Devices::WriteInto).writeText(text);
  outputs.commitAll();
  fileText_ = text;
  savedDesign_ = design_;
  savedUndoIndex_ = undo_.index();
  if (shipChanged) shipSavedText_ = shipText_;
  if (propellerChanged) propellerSavedText_ = propellerText_;
  undo_.setClean();
}

void DesignDocument::revert() {
  if (hasFile()) open(path_);
}

void DesignDocument::openText(const std::string& text, const std::filesystem::path& path) {
  load(text, path);
  std::string onDisk;
  try {
    onDisk = readDesignFileText(path);
  } catch (const RunError&) {
    // Gone or unreadable: the text is all there is, and is not saved.
  }
  if (onDisk != text) undo_.resetClean();
  emit fileStateChanged();
}

void DesignDocument::reload() {
  if (!hasFile()) return;
  const std::string text = readDesignFileText(path_);
  std::string propellerText = propellerText_;
  if (!propellerPath_.empty()) propellerText = readDesignFileText(propellerPath_);
  DesignData design = readDesign(text, path_, propellerPath_, propellerText);
  std::string shipText = shipText_;
  if (!shipPath_.empty()) shipText = readDesignFileText(shipPath_);
  undo_.push(new ReloadCommand(*this, {design_, shipText_, propellerText_},
                               {std::move(design), shipText, propellerText},
                               tr("Reload %1").arg(displayName())));
  fileText_ = text;
  shipSavedText_ = shipText;
  propellerSavedText_ = propellerText;
  savedDesign_ = design_;
  savedUndoIndex_ = undo_.index();
  undo_.setClean();
  emit fileStateChanged();
}

void DesignDocument::keepMine() {
  undo_.resetClean();
  emit fileStateChanged();
}

void DesignDocument::applyDesignAndShip(const DesignData& design, const std::string& shipText,
                                        const std::string& propellerText) {
  design_ = design;
  propellerText_ = propellerText;
  if (shipPath_.empty()) {
    recompute();
  } else {
    applyShipText(shipText);
  }
}

void DesignDocument::close() {
  hasDesign_ = false;
  design_ = DesignData{};
  savedDesign_ = DesignData{};
  path_.clear();
  fileText_.clear();
  ship_.reset();
  shipPath_.clear();
  shipFault_.clear();
  propellerPath_.clear();
  propellerText_.clear();
  propellerSavedText_.clear();
  undo_.clear();
  analysis_ = StudioAnalysis{};
  watch();
  emit designChanged();
  emit fileStateChanged();
}

// The design file and the ship and propeller files beside it; a propeller
// file created in the studio is watched once it is saved.
void DesignDocument::watch() {
  if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
  if (hasFile()) watcher_.addPath(qText(path_.string()));
  if (!shipPath_.empty()) watcher_.addPath(qText(shipPath_.string()));
  if (!propellerPath_.empty() && QFileInfo::exists(qText(propellerPath_.string()))) {
    watcher_.addPath(qText(propellerPath_.string()));
  }
}

// Editors that save write a new file and rename it, which a watcher sees as
// the file going away: the path is watched again once it is back. Only a
// content other than the one last read or written is a change.
void DesignDocument::fileChangedOnDisk(const QString& changedPath) {
  if (!hasFile()) return;
  if (!watcher_.files().contains(changedPath) && QFileInfo::exists(changedPath)) {
    watcher_.addPath(changedPath);
  }
  const auto isPath = [&changedPath](const std::filesystem::path& path) {
    return !path.empty() && changedPath == qText(path.string());
  };
  const std::filesystem::path& changed =
      isPath(shipPath_) ? shipPath_ : isPath(propellerPath_) ? propellerPath_ : path_;
  const std::string& known = isPath(shipPath_)        ? shipSavedText_
                             : isPath(propellerPath_) ? propellerSavedText_
                                                      : fileText_;
  try {
    if (readDesignFileText(changed) == known) return;
  } catch (const RunError&) {
    // Gone or unreadable for now: nothing to offer until it is back.
    return;
  }
  emit changedOnDisk(qText(changed.filename().string()));
}

void DesignDocument::loadShip() {
  ship_.reset();
  shipFault_.clear();
  shipPath_.clear();
  shipText_.clear();
  shipSavedText_.clear();
  if (!hasFile()) return;
  const std::optional<std::filesystem::path> found = findShipFile(path_);
  if (!found) return;
  shipPath_ = *found;
  try {
    shipText_ = shipSavedText_ = readDesignFileText(*found);
    ship_ = readShipParticularsText(shipText_, found->filename().string());
  } catch (const RunError& error) {
    shipFault_ = qText(error.what());
  }
}

QString DesignDocument::editShipValue(const std::string& key, const std::string& tomlValue) {
  if (shipPath_.empty()) return tr("there is no ship file beside the design");
  const std::string name = shipPath_.filename().string();
  try {
    std::string changed = setShipFileValue(shipText_, name, key, tomlValue);
    if (changed == shipText_) return {};
    readShipParticularsText(changed, name);  // the reader's checks, before anything changes
    undo_.push(new ReplaceFileTextCommand(*this, ReplaceFileTextCommand::File::Ship, shipText_,
                                          std::move(changed), tr("Change %1").arg(qText(key))));
    return {};
  } catch (const RunError& error) {
    return qText(error.what());
  }
}

void DesignDocument::mendShipText(const std::string& text) {
  if (shipPath_.empty() || text == shipText_) return;
  readShipParticularsText(text, shipPath_.filename().string());
  undo_.push(new ReplaceFileTextCommand(
      *this, ReplaceFileTextCommand::File::Ship, shipText_, text,
      tr("Mend %1").arg(qText(shipPath_.filename().string()))));
}

void DesignDocument::applyShipText(const std::string& text) {
  shipText_ = text;
  try {
    ship_ = readShipParticularsText(shipText_, shipPath_.filename().string());
    shipFault_.clear();
  } catch (const RunError& error) {
    ship_.reset();
    shipFault_ = qText(error.what());
  }
  recompute();
}

// Each value replaces only its own text; the reader then checks the whole
// file before anything changes.
QString DesignDocument::editPropellerValues(const std::vector<PropellerValue>& values,
                                            const QString& what) {
  if (propellerPath_.empty() || !design_.propeller) {
    return tr("there is no propeller file beside the design");
  }
  const std::string name = propellerPath_.filename().string();
  try {
    std::string changed = propellerText_;
    for (const PropellerValue& value : values) {
      changed = value.table.empty()
                    ? setShipFileValue(changed, name, value.key, value.tomlValue)
                    : setTableFileValue(changed, name, value.table, value.key, value.element,
                                        value.tomlValue);
    }
    if (changed == propellerText_) return {};
    readPropellerTableText(changed, name);
    undo_.push(new ReplaceFileTextCommand(*this, ReplaceFileTextCommand::File::Propeller,
                                          propellerText_, std::move(changed), what));
    return {};
  } catch (const RunError& error) {
    return qText(error.what());
  }
}

void DesignDocument::createPropellerFile() {
  if (!hasFile() || design_.propeller) return;
  propellerPath_ = propellerFileBeside(path_);
  undo_.push(new ReplaceFileTextCommand(
      *this, ReplaceFileTextCommand::File::Propeller, std::string(),
      propellerFileText(bSeriesPropellerTable(design_.areaRatio)),
      tr("Create %1").arg(qText(propellerPath_.filename().string()))));
}

// The text was read before it was taken: it reads again. No text: the file
// was created by the step undone, and the blade is the B-series again.
void DesignDocument::applyPropellerText(const std::string& text) {
  propellerText_ = text;
  if (text.empty()) {
    design_.propeller.reset();
  } else {
    design_.propeller = readPropellerTableText(text, propellerPath_.filename().string());
  }
  recompute();
}

void DesignDocument::editValue(FieldRef ref, double value) {
  const double before = fieldValue(design_, ref);
  if (before == value) return;
  undo_.push(new ChangeFieldsCommand(*this, {{ref, before, value}},
                                     tr("Change %1").arg(qText(fieldName(ref)))));
}

void DesignDocument::dragTo(int dragSerial,
                            const std::vector<std::pair<FieldRef, double>>& values) {
  std::vector<FieldChange> changes;
  for (const auto& [ref, value] : values) {
    const double before = fieldValue(design_, ref);
    if (before != value) changes.push_back({ref, before, value});
  }
  if (changes.empty()) return;
  undo_.push(new ChangeFieldsCommand(*this, std::move(changes), tr("Drag"), dragSerial));
}

void DesignDocument::replaceContour(const std::vector<ContourPoint>& points, const QString& what) {
  std::vector<ContourPoint> before = sternContourOf(design_);
  if (before == points) return;
  undo_.push(new ReplaceContourCommand(*this, std::move(before), points, what));
}

void DesignDocument::applyFields(const std::vector<FieldChange>& changes, bool forward) {
  for (const FieldChange& change : changes) {
    setFieldValue(design_, change.ref, forward ? change.after : change.before);
  }
  recompute();
}

void DesignDocument::applyContour(const std::vector<ContourPoint>& points) {
  setSternContour(design_, points);
  recompute();
}

// The assessment takes microseconds: it runs after every change, also while
// dragging. A design it cannot analyse keeps the last good drawing; one whose
// rules cannot be applied is shown unjudged, with the reason.
void DesignDocument::recompute() {
  if (hasDesign_) {
    try {
      analysis_.rulesFault = shipFault_;
      try {
        analysis_.lastGood = assess(design_, AssessmentInputs{ship_ ? &*ship_ : nullptr});
      } catch (const RunError& error) {
        if (!ship_) throw;
        analysis_.lastGood = assess(design_, AssessmentInputs{});
        analysis_.rulesFault = qText(error.what());
      }
      analysis_.fault.clear();
      drawLastGood();
    } catch (const RunError& error) {
      analysis_.fault = qText(error.what());
    } catch (const std::bad_alloc&) {
      analysis_.fault = tr("out of memory");
    }
  }
  emit designChanged();
}

// The stern plot with the clearances and, with a rule check, their verdict
// marks, then the swept volume and its closest approaches: the drawing of
// every output, as a run draws it.
void DesignDocument::drawLastGood() {
  DrawingSurface surface;
  const Assessment& assessment = *analysis_.lastGood;
  analysis_.labels = drawUnlabelledPrintPlot(design_, assessment, surface);
  analysis_.unlabelledDrawing = surface.commands();
  placePlotLabels(analysis_.labels, surface, printLabelStyle(), std::nullopt);
  analysis_.drawing = surface.commands();
}

}  // namespace propclear
