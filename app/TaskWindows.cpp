#include "app/TaskWindows.h"

#include "alarms/ErrorDisplayForm.h"
#include "app/Main.h"
#include "download/PgmDownForm.h"
#include "monitoring/MonitoringFrm.h"
#include "parameters/Parameter.h"
#include "store/StoreForm.h"
#include "trigger/TriggerForm.h"

// One line per window: main.RegisterChildWindow(ChildWindow::Kind, factory).
// A command whose window is not registered here stays disabled.
void RegisterTaskWindows(TMainForm& main) {
    main.RegisterChildWindow(ChildWindow::ParameterSet, [](TMainForm& m) -> QWidget* {
        return new TParameterFrm(m.Engine(), [&m] { m.StatusForm_Active(); });
    });
    main.RegisterChildWindow(ChildWindow::ErrorDisplay, [](TMainForm& m) -> QWidget* {
        return new TForm_ErrorDisplay(m.Engine());
    });
    main.RegisterChildWindow(ChildWindow::TriggerMonitoring,
                             [](TMainForm& m) -> QWidget* { return new TFrmTrigger(m.Engine()); });
    main.RegisterChildWindow(ChildWindow::ProgramDown, [](TMainForm& m) -> QWidget* {
        return new TForm_PgmDown(m.Engine(), *m.ComPort, &m);
    });
    main.RegisterChildWindow(ChildWindow::Monitoring, [](TMainForm& m) -> QWidget* {
        auto* window = new TFrm_Monitoring(m.Engine());
        QObject::connect(window, &TFrm_Monitoring::AlarmAcknowledged, &m,
                         &TMainForm::ClearAlarmIndicator);
        return window;
    });
    main.RegisterChildWindow(ChildWindow::Store, [axis = std::make_shared<int>(0)](TMainForm& m) {
        return new TFormStore(m.Engine(), {[&m] { m.StatusForm_Active(); },
                                           [&m](const std::string& text) { m.SetStatusText(text); },
                                           m.ParameterDirectory(),
                                           axis,
                                           {}});
    });
}
