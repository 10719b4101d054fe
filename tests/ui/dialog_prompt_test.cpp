#include "ui/dialog_prompt.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "ui/plot_window.h"

namespace propclear {
namespace {

const std::string question = "KIC BODOSLAMA GEOMETRISINDE YANLISLIK VAR MI E/H <H>";
constexpr PromptPosition questionPosition{4000, 8500};
// How often the test looks for the dialog, and when it gives up on it.
constexpr int pollMilliseconds = 10;
constexpr int pollAttempts = 500;

// The prompt's dialog once it is on screen.
QDialog* openDialog() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* dialog = qobject_cast<QDialog*>(widget);
    if (dialog != nullptr && dialog->isVisible()) return dialog;
  }
  return nullptr;
}

// Acts on the dialog as soon as it is open. A dialog that never shows up
// fails the test instead of hanging it.
void whenDialogOpens(std::function<void(QDialog&)> act, int attemptsLeft = pollAttempts) {
  QTimer::singleShot(pollMilliseconds, [act, attemptsLeft] {
    QDialog* dialog = openDialog();
    if (dialog != nullptr) {
      act(*dialog);
    } else if (attemptsLeft > 0) {
      whenDialogOpens(act, attemptsLeft - 1);
    } else {
      ADD_FAILURE() << "the prompt dialog never opened";
    }
  });
}

QLineEdit& answerField(QDialog& dialog) { return *dialog.findChild<QLineEdit*>(); }

std::string ask(const std::function<void(QDialog&)>& act,
                std::optional<PromptPosition> position = questionPosition, QWidget* window = nullptr) {
  whenDialogOpens(act);
  DialogPrompt prompt(window);
  return prompt.askText(question, " ", "H", position);
}

TEST(DialogPrompt, ReturnsTheTypedText) {
  const std::string answer = ask([](QDialog& dialog) {
    QTest::keyClicks(&answerField(dialog), "E");
    QTest::keyClick(&answerField(dialog), Qt::Key_Return);
  });
  EXPECT_EQ(answer, "E");
}

TEST(DialogPrompt, ReturnsTheDefaultWhenAcceptedAsItIs) {
  const std::string answer =
      ask([](QDialog& dialog) { QTest::keyClick(&answerField(dialog), Qt::Key_Return); });
  EXPECT_EQ(answer, "H");
}

TEST(DialogPrompt, ReturnsAClearedAnswerAsEmpty) {
  const std::string answer = ask([](QDialog& dialog) {
    answerField(dialog).clear();
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  });
  EXPECT_EQ(answer, "");
}

TEST(DialogPrompt, CancelGivesAnEmptyAnswer) {
  const std::string answer = ask([](QDialog& dialog) {
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
  });
  EXPECT_EQ(answer, "");
}

TEST(DialogPrompt, EscapeGivesAnEmptyAnswer) {
  const std::string answer =
      ask([](QDialog& dialog) { QTest::keyClick(&answerField(dialog), Qt::Key_Escape); });
  EXPECT_EQ(answer, "");
}

TEST(DialogPrompt, ClosingTheDialogGivesAnEmptyAnswer) {
  const std::string answer = ask([](QDialog& dialog) { dialog.close(); });
  EXPECT_EQ(answer, "");
}

TEST(DialogPrompt, ShowsMessageTitleAndSelectedDefault) {
  QString title, message, shownDefault, selected;
  ask([&](QDialog& dialog) {
    title = dialog.windowTitle();
    message = dialog.findChild<QLabel*>()->text();
    shownDefault = answerField(dialog).text();
    selected = answerField(dialog).selectedText();
    dialog.reject();
  });
  EXPECT_EQ(title.toStdString(), " ");
  EXPECT_EQ(message.toStdString(), question);
  EXPECT_EQ(shownDefault.toStdString(), "H");
  EXPECT_EQ(selected.toStdString(), "H");
}

TEST(DialogPrompt, UpperLeftCornerSitsAtTheGivenTwips) {
  EXPECT_EQ(promptPixel({4000, 6000}), QPoint(266, 400));
  EXPECT_EQ(promptPixel({4000, 8500}), QPoint(266, 566));
  QPoint placed;
  ask([&](QDialog& dialog) {
    placed = dialog.pos();
    dialog.reject();
  });
  EXPECT_EQ(placed, QPoint(266, 566));
}

TEST(DialogPrompt, OpensOverThePlotWindowWhileThatIsShown) {
  PlotWindow window;
  const QWidget* parentWhileHidden = &window;
  ask([&](QDialog& dialog) {
    parentWhileHidden = dialog.parentWidget();
    dialog.reject();
  }, questionPosition, &window);
  EXPECT_EQ(parentWhileHidden, nullptr);

  window.show();
  const QWidget* parentWhileShown = nullptr;
  ask([&](QDialog& dialog) {
    parentWhileShown = dialog.parentWidget();
    dialog.reject();
  }, questionPosition, &window);
  EXPECT_EQ(parentWhileShown, &window);
}

}  // namespace
}  // namespace propclear
