#pragma once
// The design panel: the propeller's data, the rudder corners and the stern
// contour table, each value editable. Text that is not an acceptable value is
// refused with the reason beside the field; an accepted value is one undo
// step. A value the analysis cannot work with is kept, and the analysis's
// reason is shown beside the field that was changed last.
//
// Undo and redo in a field are the document's: a field shows the design's
// value after every step. Only text typed and not yet taken is the field's
// own: undo puts the field back to the design's value.

#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QWidget>
#include <vector>

#include "design/design_field.h"
#include "ui/studio/design_document.h"

namespace propclear {

class DesignPanel : public QWidget {
  Q_OBJECT

 public:
  explicit DesignPanel(DesignDocument& document, QWidget* parent = nullptr);

  // The contour table's rows replaced by the clipboard's table.
  void pasteContour();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 signals:
  void statusMessage(const QString& message);

 private:
  struct FieldEditor {
    FieldRef ref;
    QLineEdit* edit;
    QLabel* message;
  };

  QWidget* propellerBox();
  QWidget* rudderBox();
  QWidget* contourBox();
  FieldEditor& addEditor(FieldRef ref);
  void fieldEdited(FieldEditor& editor);
  FieldEditor* editorOf(QObject* widget);
  void showDesignValue(FieldEditor& editor);
  void cellEdited(int row, int column);
  void refresh();
  void refreshContourTable();
  void showFault(QLabel* message, const QString& fault);
  void insertPoint();
  void deletePoint();
  void movePoint(int by);

  DesignDocument& document_;
  std::vector<FieldEditor> editors_;  // reserved once: editors keep their address
  QTableWidget* contour_ = nullptr;
  QLabel* contourMessage_ = nullptr;
  QLabel* lastEditedMessage_ = nullptr;
  bool refreshing_ = false;
};

}  // namespace propclear
