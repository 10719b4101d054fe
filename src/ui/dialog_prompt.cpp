#include "ui/dialog_prompt.h"

#include <QDialog>
#include <QDialogButtonBox>
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

}  // namespace

QPoint promptPixel(PromptPosition position) {
  const QPoint screenCorner = QGuiApplication::primaryScreen()->geometry().topLeft();
  return screenCorner + QPoint(position.xTwips / twipsPerPixel, position.yTwips / twipsPerPixel);
}

// Cancel, Escape and closing the dialog all give the empty answer.
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
  if (dialog.exec() != QDialog::Accepted) return {};
  return answerEdit->text().toStdString();
}

}  // namespace propclear
