#pragma once
// The bar across the top of the studio that says a file changed on disk, with
// "Reload" and "Keep mine". It never takes the keyboard focus: whatever is
// being typed goes on being typed, and the bar waits for a click.

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace propclear {

class FileChangedBar : public QFrame {
  Q_OBJECT

 public:
  explicit FileChangedBar(QWidget* parent = nullptr);

  // Shown with `fileName` named, until a button is clicked or it is hidden.
  void offer(const QString& fileName);
  QPushButton& reloadButton() { return *reload_; }
  QPushButton& keepButton() { return *keep_; }

 signals:
  void reloadChosen();
  void keepChosen();

 private:
  QLabel* text_ = nullptr;
  QPushButton* reload_ = nullptr;
  QPushButton* keep_ = nullptr;
};

}  // namespace propclear
