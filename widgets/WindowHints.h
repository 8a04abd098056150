#pragma once
// Properties a task window sets to tell the main window how to open it.

// True: the window opens in the middle of the main window's client area.
inline constexpr const char* kCentreInArea = "CentreInArea";
