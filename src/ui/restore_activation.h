#pragma once
// Gives the activation back to the window of `parent` after a modal box of its own.
#include <QWidget>

namespace marlo {

inline void RestoreActivation(QWidget* parent) {
  // Without a window manager nothing gives the activation back when a modal box closes,
  // and an inactive main window takes no menu short-cuts.
  if (!parent) return;
  QWidget* window = parent->window();
  if (window->isVisible() && !window->isActiveWindow()) window->activateWindow();
}

} // namespace marlo
