#pragma once
// The undo steps of the studio: values changed by a field edit or a drag
// (the moves of one drag merge into one step), the stern contour replaced by
// a table edit, an insertion, a deletion, a move or a paste, values of the
// ship file or the propeller file changed, and the files read again from disk.

#include <QUndoCommand>
#include <string>
#include <vector>

#include "ui/studio/design_document.h"

namespace propclear {

class ChangeFieldsCommand : public QUndoCommand {
 public:
  // dragSerial 0: a step of its own; otherwise the drag it belongs to.
  ChangeFieldsCommand(DesignDocument& document, std::vector<FieldChange> changes,
                      const QString& text, int dragSerial = 0);

  void redo() override;
  void undo() override;
  int id() const override;
  bool mergeWith(const QUndoCommand* other) override;

 private:
  DesignDocument& document_;
  std::vector<FieldChange> changes_;
  int dragSerial_;
};

class ReplaceContourCommand : public QUndoCommand {
 public:
  ReplaceContourCommand(DesignDocument& document, std::vector<ContourPoint> before,
                        std::vector<ContourPoint> after, const QString& text);

  void redo() override;
  void undo() override;

 private:
  DesignDocument& document_;
  std::vector<ContourPoint> before_;
  std::vector<ContourPoint> after_;
};

// The text of the ship file or of the propeller file changed by an edit of
// its values (or, for the propeller file, by its creation).
class ReplaceFileTextCommand : public QUndoCommand {
 public:
  enum class File { Ship, Propeller };

  ReplaceFileTextCommand(DesignDocument& document, File file, std::string before,
                         std::string after, const QString& text);

  void redo() override;
  void undo() override;

 private:
  void apply(const std::string& text);

  DesignDocument& document_;
  File file_;
  std::string before_;
  std::string after_;
};

// The design and the texts of the ship and propeller files, as a reload
// replaces them.
struct DesignAndShip {
  DesignData design;
  std::string shipText;
  std::string propellerText;
};

class ReloadCommand : public QUndoCommand {
 public:
  ReloadCommand(DesignDocument& document, DesignAndShip before, DesignAndShip after,
                const QString& text);

  void redo() override;
  void undo() override;

 private:
  DesignDocument& document_;
  DesignAndShip before_;
  DesignAndShip after_;
};

}  // namespace propclear
