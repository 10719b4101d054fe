#include "ui/studio/broken_file_pane.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBlock>
#include <QVBoxLayout>

#include "common/run_error.h"

namespace propclear {

namespace {

const QColor faultLineColour(0xFF, 0xD8, 0xD8);

}  // namespace

BrokenFilePane::BrokenFilePane(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  message_ = new QLabel;
  message_->setObjectName(QStringLiteral("brokenFileMessage"));
  message_->setWordWrap(true);
  message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  message_->setStyleSheet(QStringLiteral("color: #a00000; background: #fff0f0; padding: 6px"));
  layout->addWidget(message_);
  text_ = new QPlainTextEdit;
  text_->setObjectName(QStringLiteral("brokenFileText"));
  text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  layout->addWidget(text_, 1);
  auto* buttons = new QHBoxLayout;
  auto* readButton = new QPushButton(tr("Read again"));
  readButton->setObjectName(QStringLiteral("readAgainButton"));
  readButton->setToolTip(tr("Read the text as it stands here; the file on disk changes when the "
                            "design is saved"));
  readButton->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
  connect(readButton, &QPushButton::clicked, this, &BrokenFilePane::readAgain);
  auto* notNow = new QPushButton(tr("Not now"));
  notNow->setObjectName(QStringLiteral("notNowButton"));
  notNow->setToolTip(tr("Leave the file as it is"));
  connect(notNow, &QPushButton::clicked, this, &BrokenFilePane::dismissed);
  buttons->addWidget(new QLabel(tr("Mend the text, then read it again (Ctrl+Return).")), 1);
  buttons->addWidget(notNow);
  buttons->addWidget(readButton);
  layout->addLayout(buttons);
}

void BrokenFilePane::show(const std::filesystem::path& path, const std::string& text,
                          const QString& message, long line, Reader reader) {
  path_ = path;
  reader_ = std::move(reader);
  crlf_ = text.find("\r\n") != std::string::npos;
  text_->setPlainText(QString::fromStdString(text));
  message_->setText(message);
  markLine(line);
}

QString BrokenFilePane::message() const { return message_->text(); }

void BrokenFilePane::readAgain() {
  try {
    QString text = text_->toPlainText();
    // The editor holds lines; the file keeps its own line ends.
    if (crlf_) text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    reader_(text.toStdString());
  } catch (const RunError& error) {
    message_->setText(QString::fromStdString(error.what()));
    markLine(error.where().line);
    return;
  }
  emit read();
}

// The line gets a background of its own and the cursor, scrolled into view.
void BrokenFilePane::markLine(long line) {
  markedLine_ = 0;
  QList<QTextEdit::ExtraSelection> marks;
  const QTextBlock block = text_->document()->findBlockByNumber(static_cast<int>(line) - 1);
  if (line > 0 && block.isValid()) {
    markedLine_ = line;
    QTextEdit::ExtraSelection mark;
    mark.format.setBackground(faultLineColour);
    mark.format.setProperty(QTextFormat::FullWidthSelection, true);
    mark.cursor = QTextCursor(block);
    marks.append(mark);
    text_->setTextCursor(mark.cursor);
    text_->centerCursor();
  }
  text_->setExtraSelections(marks);
}

}  // namespace propclear
