#pragma once
// How the auxiliary windows are put in front of the user: modally, destroyed
// when they close, centred on the screen or on their owner.

class QPoint;
class QWidget;

// Shows `window` application-modal and returns once it is closed or hidden;
// the window is destroyed by then.
void RunModal(QWidget* window);

// Moves `window`, frame included, so that its centre is `centre`.
void CentreWindow(QWidget* window, const QPoint& centre);
