#pragma once
// The parameter windows size their Arial texts in pixels, as their layout is given.

#include <QFont>

inline QFont ArialPixels(int pixels, bool bold = false) {
    QFont font("Arial");
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}
