#pragma once
// Runs an action once a window is on the screen, so that what the action shows (a
// message box over the window) appears over it rather than before it.
// User-interface thread.

#include <functional>

class QWidget;

namespace sonvira {

// Calls `action` from the event loop after `window` (a top-level widget) was first
// exposed and painted; at once from the event loop when it already is. Nothing is called
// when the window is destroyed before.
void RunWhenExposed(QWidget* window, std::function<void()> action);

}  // namespace sonvira
