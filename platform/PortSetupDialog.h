#pragma once
// The "Setup" dialog of the serial port: six lists that start on the port's
// current settings; OK applies all of them at once.

#include <QDialog>

#include "platform/ComPort.h"

class QComboBox;

class TPortSetupDialog : public QDialog {
    Q_OBJECT
  public:
    // `ports` are offered in the "Port" list; any other port path may be typed.
    TPortSetupDialog(const PortSettings& current, const QStringList& ports,
                     QWidget* parent = nullptr);

    // The current settings with the six choices applied.
    PortSettings Chosen() const;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void BuildUi(const QStringList& ports);
    QComboBox* AddList(const QString& name, const QStringList& entries, const QString& value);

    PortSettings current_;
    QComboBox* ComboBox_Port = nullptr;
    QComboBox* ComboBox_BaudRate = nullptr;
    QComboBox* ComboBox_DataBits = nullptr;
    QComboBox* ComboBox_StopBits = nullptr;
    QComboBox* ComboBox_Parity = nullptr;
    QComboBox* ComboBox_FlowControl = nullptr;
};

// The serial ports present on this machine, sorted by name.
QStringList AvailablePortNames();

// Shows the dialog modally; on OK applies the choices to the port, which an
// open port takes at once (a new port name reopens it; PortError if that fails).
// Returns true for OK.
bool ShowPortSetupDialog(TComPort& port, QWidget* parent = nullptr);
