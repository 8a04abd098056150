// vrx5: the set-up and monitoring program of the servo drive.

#include <QApplication>
#include <iostream>
#include <string_view>
#include <vector>

#include "app/CommandLine.h"
#include "app/InstanceGuard.h"
#include "app/Main.h"
#include "app/TaskWindows.h"

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (const auto answered = AnswerCommandLine(args, std::cout, std::cerr)) return *answered;
    // Checked before the application object exists, so a second copy never shows a window.
    InstanceGuard guard;
    if (!guard.Acquire()) return 0;

    QApplication application(argc, argv);
    QApplication::setApplicationName("vrx5");
    QApplication::setApplicationVersion(VRX5_VERSION);
    QGuiApplication::setDesktopFileName("vrx5");  // the desktop matches the window to its entry
    TMainForm mainForm;
    RegisterTaskWindows(mainForm);
    mainForm.show();
    return QApplication::exec();
}
