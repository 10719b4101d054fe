#pragma once
// The clearances panel: the six clearances in metres and as a fraction of D
// with their signed gaps (overlaps in red), and, when a ship file lies beside
// the design, the rule check: each rule's required value, margin and verdict,
// coloured, with the overall verdict. While the design cannot be analysed the
// last good values stay, greyed, under the reason.

#include <QLabel>
#include <QTableWidget>
#include <QWidget>

#include "ui/studio/design_document.h"

namespace propclear {

class ClearancesPanel : public QWidget {
  Q_OBJECT

 public:
  explicit ClearancesPanel(DesignDocument& document, QWidget* parent = nullptr);

 private:
  void refresh();
  void showClearances(const SternAnalysis& analysis, bool current);
  void showRules();

  DesignDocument& document_;
  QLabel* state_;
  QTableWidget* clearances_;
  QLabel* ship_;
  QTableWidget* rules_;
  QLabel* overall_;
};

}  // namespace propclear
