#pragma once
// The clearances panel: the overall status (a red banner for a clash), the
// six clearances with the blade each is measured on, in metres and as a
// fraction of D with their signed gaps and status (a clash or a shortfall in
// red), the mirrored lower blade's legacy a' and c' in grey, and, when a
// ship file lies beside the design, the rule check: each rule's measured and
// required value, margin and verdict, coloured, with the overall line. While the design cannot be analysed the
// last good values stay, greyed, under the reason. The ship's particulars are
// editable there: each change is checked as the ship file's reader checks it,
// is one undo step, and is saved to the ship file with the design.

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QWidget>
#include <vector>

#include "ui/studio/design_document.h"

namespace propclear {

class ClearancesPanel : public QWidget {
  Q_OBJECT

 public:
  explicit ClearancesPanel(DesignDocument& document, QWidget* parent = nullptr);

 private:
  // One editable particular: its ship file key and how its text becomes TOML.
  struct ParticularEditor {
    std::string key;
    enum class Kind { Number, Text, List, Point } kind;
    QLineEdit* edit;
  };

  QGroupBox* particularsBox();
  void particularEdited(const ParticularEditor& editor);
  void skewChosen(int index);
  void rudderChosen(int index);
  void refresh();
  void refreshParticulars();
  void showStatus(const Assessment& assessment, bool current);
  void showRow(int row, const QString& name, const QString& blade, const ClearanceSegment& segment,
               double perDiameter, const std::optional<double>& gap, const QString& status,
               const QColor& colour);
  void showClearances(const Assessment& assessment, bool current);
  void showRules();

  DesignDocument& document_;
  QGroupBox* particulars_;
  std::vector<ParticularEditor> particularEditors_;
  QComboBox* skew_;
  QComboBox* rudder_;
  QLabel* particularsMessage_;
  bool refreshing_ = false;
  QLabel* status_;  // the overall status: a red banner for a clash
  QLabel* state_;
  QTableWidget* clearances_;
  QLabel* ship_;
  QTableWidget* rules_;
  QLabel* overall_;
};

}  // namespace propclear
