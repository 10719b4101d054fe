#pragma once
// Windows that another program destroyed behind Qt's back (xdotool
// windowclose, a window manager's forced close) count as closed: a dialog is
// rejected, exactly as by Escape, and any other window is closed. Qt itself
// would keep waiting for an answer from a dialog that nobody can see any more.
// Acts on the X11 platform; elsewhere it sees no events it knows.

#include <QAbstractNativeEventFilter>

namespace propclear {

class LostWindowFilter : public QAbstractNativeEventFilter {
 public:
  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
};

}  // namespace propclear
