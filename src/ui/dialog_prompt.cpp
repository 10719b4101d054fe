#include "ui/dialog_prompt.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

#include "ui/screen_units.h"

namespace propclear {

namespace {

constexpr int longestMessageLinePixels = 480;

// Rejects the dialog when the watched window is closed, for as long as it lives.
class CancelOnClose : public QObject {
 public:
  CancelOnClose(QWidget* watched, QDialog& dialog) : dialog_(dialog) {
    if (watched != nullptr) watched->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* /*watched*/, QEvent* event) override {
    if (event->type() == QEvent::Close) dialog_.reject();
    return false;
  }

 private:
  QDialog& dialog_;
};

}  // namespace

QPoint promptPixel(PromptPosition position) {
  const QPoint screenCorner = QGuiApplication::primaryScreen()->geometry().topLeft();
  return screenCorner + QPoint(position.xTwips / twipsPerPixel, position.yTwips / twipsPerPixel);
}

// Cancel, Escape, closing the dialog and closing the plot window all give the
// empty answer.
std::string DialogPrompt::askText(const std::string& message, const std::string& title,
                                  const std::string& defaultText,
                                  std::optional<PromptPosition> position) {
  QWidget* parent = window_ != nullptr && window_->isVisible() ? window_ : nullptr;
  QDialog dialog(parent);
  dialog.setWindowTitle(QString::fromStdString(title));

  auto* messageLabel = new QLabel(QString::fromStdString(message));
  // A short question stays on one line; a long message wraps at a readable width.
  if (messageLabel->fontMetrics().horizontalAdvance(messageLabel->text()) > longestMessageLinePixels) {
    messageLabel->setWordWrap(true);
    messageLabel->setMinimumWidth(longestMessageLinePixels);
  }
  auto* answerEdit = new QLineEdit(QString::fromStdString(defaultText));
  answerEdit->selectAll();  // typing replaces the default
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(messageLabel);
  layout->addWidget(answerEdit);
  layout->addWidget(buttons);

  if (position) dialog.move(promptPixel(*position));
  // Not QDialog::exec(): that would block the plot window, which could then
  // not be closed while the question waits.
  const CancelOnClose cancelOnClose(window_, dialog);
  QEventLoop waiting;
  QObject::connect(&dialog, &QDialog::finished, &waiting, &QEventLoop::quit);
  dialog.show();
  waiting.exec();
  if (dialog.result() != QDialog::Accepted) return {};
  return answerEdit->text().toStdString();
}

}  // namespace propclear
