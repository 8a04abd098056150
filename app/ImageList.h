#pragma once
// The pictures of the menus and the tool bar by image number, and the splash
// picture, drawn from the program's own resources.

#include <QIcon>
#include <QPixmap>

namespace ImageList {

enum Image {
    ParameterSet = 0,
    Store = 1,
    Monitoring = 2,
    TriggerMonitoring = 3,
    ProgramDown = 4,
    ErrorDisplay = 5,
    ComPortSetUp = 6,
    Cut = 7,
    Copy = 8,
    Paste = 9,
    Cascade = 10,
    TileHorizontally = 11,
    TileVertically = 12,
    MinimizeAll = 13,
    ArrangeAll = 14,
    About = 15,
    Help = 16,
    Application = 17,
    Offline = 18,
    Online = 19,
};

QIcon Icon(int image);
// The splash picture at the given size.
QPixmap Splash(const QSize& size);

}  // namespace ImageList
