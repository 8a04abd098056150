#pragma once
// Where parameter files are kept: the folder PARAMETER beside the program,
// or, when the program's folder cannot hold it (an installed, read-only
// location), PARAMETER in the user's data folder. Every window that reads or
// writes parameter files asks here.

#include <QString>

// The folder to use, created if missing; empty when neither place can hold it.
QString ParameterFolder();

// The choice itself: `programDir`/PARAMETER when it exists or can be made and
// is writable, and `programDir` is not a system folder (/usr/bin ...); else
// `userDataDir`/PARAMETER, created. Empty when both fail.
QString ChooseParameterFolder(const QString& programDir, const QString& userDataDir);
