#pragma once
// Value texts reach the dialogs as the drive reported them, sometimes with
// blanks around them; the dialogs read them without those blanks.

#include <string_view>

inline std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}
