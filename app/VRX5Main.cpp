// vrx5: the set-up and monitoring program of the servo drive.

#include <QApplication>

#include "app/InstanceGuard.h"
#include "app/Main.h"
#include "app/TaskWindows.h"

int main(int argc, char** argv) {
    // Checked before the application object exists, so a second copy never shows a window.
    InstanceGuard guard;
    if (!guard.Acquire()) return 0;

    QApplication application(argc, argv);
    QApplication::setApplicationName("vrx5");
    TMainForm mainForm;
    RegisterTaskWindows(mainForm);
    mainForm.show();
    return QApplication::exec();
}
