#pragma once
// The propeller panel: the propeller file beside the design, its blade
// number, hub length and blade outline table, each value editable and a
// table pasted from a spreadsheet. Every accepted edit is one undo step of
// the document that rewrites only the changed values' text; a value the
// file's reader refuses is shown beside its field with the reader's message,
// and nothing changes. Without a propeller file the panel says so and offers
// to create one holding the B-series outline.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QWidget>
#include <vector>

#include "ui/studio/design_document.h"

namespace propclear {

class PropellerPanel : public QWidget {
  Q_OBJECT

 public:
  explicit PropellerPanel(DesignDocument& document, QWidget* parent = nullptr);

  // The clipboard's table written over the outline from the current cell
  // on, as one undo step.
  void pasteOutline();

 private:
  QWidget* settingsBox();
  QWidget* outlineBox();
  void settingEdited(QLineEdit* edit, QLabel* message, const char* key);
  void cellEdited(int row, int column);
  void take(const std::vector<PropellerValue>& values, QLabel* message, const QString& what);
  void refresh();
  void refreshOutline();

  DesignDocument& document_;
  QLabel* file_ = nullptr;
  QPushButton* create_ = nullptr;
  QWidget* settings_ = nullptr;
  QLineEdit* blades_ = nullptr;
  QLabel* bladesMessage_ = nullptr;
  QLineEdit* hubLength_ = nullptr;
  QLabel* hubLengthMessage_ = nullptr;
  QWidget* outlineGroup_ = nullptr;
  QTableWidget* outline_ = nullptr;
  QLabel* outlineMessage_ = nullptr;
  bool refreshing_ = false;
};

}  // namespace propclear
