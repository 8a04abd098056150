#pragma once
// What the transaction engine needs from the outside: the port it writes to,
// the user-interface hooks of the main window, and the operations the task
// windows offer to the reply path. Windows implement these; tests use doubles.

#include <string>

#include "protocol/StatusReply.h"

// The serial link as the engine sees it.
class ILinkPort {
  public:
    virtual ~ILinkPort() = default;
    virtual bool Connected() const = 0;
    // Writes the whole frame or throws (std::exception) when the write fails.
    virtual void PortWrite(const std::string& bytes) = 0;
};

// The main window's widgets and services the engine drives.
class IEngineHooks {
  public:
    virtual ~IEngineHooks() = default;
    virtual void SetStatusText(const std::string& text) = 0;  // Panel_MainStatus
    virtual void SetCommLed(bool on) = 0;                     // ST_LedComPort
    virtual void SetTimeoutTimer(bool enabled) = 0;           // Timers1 channel 2
    virtual void ShowWarning(const std::string& text) = 0;    // warning box, Yes button
    virtual void RestoreCursor() = 0;                         // mouse cursor back to default
    virtual void PauseMs(int ms) = 0;                         // a pause on the main thread
};

// A parameter editor, or the store window, whose block read runs.
class IBlockReader {
  public:
    virtual ~IBlockReader() = default;
    virtual void BlockReadStep() = 0;
};

class IParameterEditor : public IBlockReader {
  public:
    virtual void RollBackRefusedWrite() = 0;
};

class IMonitorWindow {
  public:
    virtual ~IMonitorWindow() = default;
    virtual void SetLinkControls(bool enabled) = 0;
    // Polling stopped by the engine: timers off, switches off and disabled, pages disabled.
    virtual void StopOnAbort() = 0;
    // Timers_Monitor channel 1, stopped when an alive check times out.
    virtual void StopPollTimer() = 0;
    // The user acknowledged the alarm in the main window: the status LED stops
    // blinking and stays lit, and polling starts again from its first step.
    virtual void AcknowledgeAlarm() = 0;
    virtual bool ManualOffsetActive() const = 0;
    virtual void ShowMonitorValues() = 0;
    virtual void ReadMonitorStream() = 0;
    virtual void ShowMotorName(const std::string& name) = 0;
    virtual void ShowVersion(const std::string& version) = 0;
    virtual void ShowDriveStatus(const StatusReply& status) = 0;
};

class ITriggerWindow {
  public:
    virtual ~ITriggerWindow() = default;
    virtual void SetLinkControls(bool enabled) = 0;
    virtual void ReadTriggerCapture() = 0;
};

class IAlarmHistoryWindow {
  public:
    virtual ~IAlarmHistoryWindow() = default;
    // Row 1..8 of StringGrid_ErrorHistory: the code column and the name column.
    virtual void SetHistoryRow(int row, const std::string& code, const std::string& name) = 0;
};
