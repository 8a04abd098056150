#pragma once
// Finds the user guide shipped with the program: installed beside it under
// share/vrx5/guide, or, in a build tree, the docs folder of the sources.

#include <QString>

// The guide's first page, or empty when it is nowhere to be found.
QString FindUserGuide(const QString& programDir);
