#pragma once
// Parameter files: one StoreSet as 140 lines of value text ("*.pf"), CR LF
// ended, line n holding group (n - 1) / 20, slot (n - 1) % 20 + 1. Saving
// replaces an old file only once the new one is complete; loading reads the
// file as a stream, so its size does not matter.

#include <QString>

#include "store/StoreSet.h"

namespace ParameterFile {

inline constexpr const char* NoDataText = "Parameter data not found!";
inline constexpr const char* NoNameText = "File name not found!";
inline constexpr const char* Extension = ".pf";
inline constexpr const char* NameFilter = "*.pf";

// What went wrong, for the user: empty when all went well.
struct Outcome {
    QString error;
    bool Ok() const { return error.isEmpty(); }
};

// Why the set cannot be saved under the typed name, in the order the checks
// are made (no Pr-0.00 value, then no name); empty when it can.
QString SaveRefusal(const StoreSet& set, const QString& typedName);

// The file a typed name gives, in `directory`: the name as typed plus ".pf".
QString FilePath(const QString& directory, const QString& typedName);

// The file's 140 lines, each ended by CR LF.
QByteArray Content(const StoreSet& set);

// Writes the set to `path` through a temporary file that replaces the old
// file only when it is complete: a failed save leaves the old file as it was.
Outcome Save(const StoreSet& set, const QString& path);

// Reads `path` into `set`. A line ends at LF (a CR before it is dropped); its
// first 20 characters are the value, the rest of it is skipped; slots past the
// end of the file become empty; lines after the 140th are not read. A read
// error stops there: slots read so far hold the file's values, the others keep
// theirs. A file that cannot be opened leaves the set untouched.
Outcome Load(const QString& path, StoreSet& set);

}  // namespace ParameterFile
