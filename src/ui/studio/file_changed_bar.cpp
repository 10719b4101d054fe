#include "ui/studio/file_changed_bar.h"

#include <QHBoxLayout>

namespace propclear {

FileChangedBar::FileChangedBar(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("fileChangedBar"));
  setFocusPolicy(Qt::NoFocus);
  setFrameShape(QFrame::StyledPanel);
  setStyleSheet(QStringLiteral("#fileChangedBar { background: #fff4c8; }"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(8, 3, 8, 3);
  text_ = new QLabel;
  layout->addWidget(text_, 1);
  const auto button = [&](const QString& label, const QString& tip) {
    auto* pushButton = new QPushButton(label);
    pushButton->setFocusPolicy(Qt::NoFocus);
    pushButton->setAutoDefault(false);
    pushButton->setToolTip(tip);
    layout->addWidget(pushButton);
    return pushButton;
  };
  reload_ = button(tr("Reload"), tr("Take the files as they are on disk now; Undo brings your "
                                    "edits back"));
  keep_ = button(tr("Keep mine"), tr("Keep the design as edited; saving it replaces the file "
                                     "on disk"));
  connect(reload_, &QPushButton::clicked, this, [this] {
    hide();
    emit reloadChosen();
  });
  connect(keep_, &QPushButton::clicked, this, [this] {
    hide();
    emit keepChosen();
  });
  hide();
}

void FileChangedBar::offer(const QString& fileName) {
  text_->setText(tr("%1 changed on disk —").arg(fileName));
  show();
}

}  // namespace propclear
