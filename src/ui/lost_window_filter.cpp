#include "ui/lost_window_filter.h"

#include <xcb/xcb.h>

#include <cstdint>

#include <QDialog>
#include <QWidget>

namespace propclear {

namespace {

// The event code without the bit that marks events sent by another client.
constexpr std::uint8_t eventCodeMask = 0x7f;

}  // namespace

bool LostWindowFilter::nativeEventFilter(const QByteArray& eventType, void* message,
                                         qintptr* /*result*/) {
  if (eventType != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & eventCodeMask) != XCB_DESTROY_NOTIFY) return false;
  const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
  // Qt's own destruction of a window unregisters it first: only windows
  // destroyed by others are still found here.
  QWidget* widget = QWidget::find(destroyed->window);
  if (widget == nullptr || !widget->isWindow()) return false;
  if (auto* dialog = qobject_cast<QDialog*>(widget)) {
    dialog->reject();
  } else {
    widget->close();
  }
  return false;
}

}  // namespace propclear
