#pragma once
// Modal showing of windows that are destroyed when they close.

class QWidget;

// Shows `window` application-modal and returns once it is closed or hidden;
// the window is destroyed by then.
void RunModal(QWidget* window);
