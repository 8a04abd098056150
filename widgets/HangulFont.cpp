#include "widgets/HangulFont.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

QString MissingHangulFontMessage() {
    constexpr char32_t kHangulLetter = U'\uD55C';
    for (const QString& family : QFontDatabase::families(QFontDatabase::Korean)) {
        if (QFontMetrics(QFont(family)).inFontUcs4(kHangulLetter)) return {};
    }
    return "No font with Hangul letters is installed; Korean texts would show as boxes. "
           "Install the Debian package fonts-nanum.";
}
