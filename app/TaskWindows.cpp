#include "app/TaskWindows.h"

#include "app/Main.h"
#include "parameters/Parameter.h"
#include "store/StoreForm.h"

// One line per window: main.RegisterChildWindow(ChildWindow::Kind, factory).
// A command whose window is not registered here stays disabled.
void RegisterTaskWindows(TMainForm& main) {
    main.RegisterChildWindow(ChildWindow::ParameterSet, [](TMainForm& m) -> QWidget* {
        return new TParameterFrm(m.Engine(), [&m] { m.StatusForm_Active(); });
    });
    main.RegisterChildWindow(ChildWindow::Store, [axis = std::make_shared<int>(0)](TMainForm& m) {
        return new TFormStore(m.Engine(), {[&m] { m.StatusForm_Active(); },
                                           [&m](const std::string& text) { m.SetStatusText(text); },
                                           m.ParameterDirectory(), axis, {}});
    });
}
