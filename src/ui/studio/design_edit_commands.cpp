#include "ui/studio/design_edit_commands.h"

#include <algorithm>

namespace propclear {

namespace {

// The id shared by the moves of drags; a drag's serial tells drags apart.
constexpr int dragCommandId = 1;

}  // namespace

ChangeFieldsCommand::ChangeFieldsCommand(DesignDocument& document, std::vector<FieldChange> changes,
                                         const QString& text, int dragSerial)
    : QUndoCommand(text), document_(document), changes_(std::move(changes)),
      dragSerial_(dragSerial) {}

void ChangeFieldsCommand::redo() { document_.applyFields(changes_, true); }

void ChangeFieldsCommand::undo() { document_.applyFields(changes_, false); }

int ChangeFieldsCommand::id() const { return dragSerial_ == 0 ? -1 : dragCommandId; }

// A later move of the same drag: its values become this step's end values;
// the values before the drag stay this step's start values.
bool ChangeFieldsCommand::mergeWith(const QUndoCommand* other) {
  const auto* later = static_cast<const ChangeFieldsCommand*>(other);
  if (later->dragSerial_ != dragSerial_) return false;
  for (const FieldChange& change : later->changes_) {
    const auto known = std::find_if(changes_.begin(), changes_.end(),
                                    [&](const FieldChange& own) { return own.ref == change.ref; });
    if (known != changes_.end()) {
      known->after = change.after;
    } else {
      changes_.push_back(change);
    }
  }
  return true;
}

ReplaceContourCommand::ReplaceContourCommand(DesignDocument& document,
                                             std::vector<ContourPoint> before,
                                             std::vector<ContourPoint> after, const QString& text)
    : QUndoCommand(text), document_(document), before_(std::move(before)),
      after_(std::move(after)) {}

void ReplaceContourCommand::redo() { document_.applyContour(after_); }

void ReplaceContourCommand::undo() { document_.applyContour(before_); }

ReplaceFileTextCommand::ReplaceFileTextCommand(DesignDocument& document, File file,
                                               std::string before, std::string after,
                                               const QString& text)
    : QUndoCommand(text), document_(document), file_(file), before_(std::move(before)),
      after_(std::move(after)) {}

void ReplaceFileTextCommand::redo() { apply(after_); }

void ReplaceFileTextCommand::undo() { apply(before_); }

void ReplaceFileTextCommand::apply(const std::string& text) {
  if (file_ == File::Ship) {
    document_.applyShipText(text);
  } else {
    document_.applyPropellerText(text);
  }
}

ReloadCommand::ReloadCommand(DesignDocument& document, DesignAndShip before, DesignAndShip after,
                             const QString& text)
    : QUndoCommand(text), document_(document), before_(std::move(before)),
      after_(std::move(after)) {}

void ReloadCommand::redo() {
  document_.applyDesignAndShip(after_.design, after_.shipText, after_.propellerText);
}

void ReloadCommand::undo() {
  document_.applyDesignAndShip(before_.design, before_.shipText, before_.propellerText);
}

}  // namespace propclear
