#pragma once
// Window tests fail with the package to install when no font has Hangul,
// rather than passing with boxes where the Korean texts should be.

#include <QString>
#include <QTest>

#include "widgets/HangulFont.h"

#define REQUIRE_HANGUL_FONT()                               \
    do {                                                    \
        const QString missing = MissingHangulFontMessage(); \
        if (!missing.isEmpty()) QFAIL(qPrintable(missing)); \
    } while (false)
