#pragma once
// Korean texts must render as letters, not boxes: window tests and the window
// pictures check for a font with Hangul before they start.

#include <QString>

// Empty when a font with Hangul is installed, otherwise what to install.
QString MissingHangulFontMessage();
