#pragma once
// The "Setup" dialog of the serial port: six lists that start on the port's
// current settings; OK applies all of them at once.

#include <QDialog>
#include <functional>

#include "platform/ComPort.h"
#include "platform/PortDiagnosis.h"

class QComboBox;
class QLabel;
class QStandardItemModel;

class TPortSetupDialog : public QDialog {
    Q_OBJECT
  public:
    using PortLister = std::function<QList<PortListing>()>;

    // The "Port" list offers what `listPorts` finds, with each port's details
    // beside its name, and lists again on "Refresh"; any other path (a
    // pseudo-terminal, a /dev/serial/by-id link) may be typed.
    TPortSetupDialog(const PortSettings& current, PortLister listPorts = AvailablePorts,
                     QWidget* parent = nullptr);

    // The current settings with the six choices applied.
    PortSettings Chosen() const;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void BuildUi();
    QWidget* BuildPortRow();
    void RefreshPorts();
    void ShowPortDetails();
    QComboBox* AddList(const QString& name, const QStringList& entries, const QString& value);

    PortSettings current_;
    PortLister listPorts_;
    QList<PortListing> ports_;
    QStandardItemModel* portModel_ = nullptr;
    QLabel* Label_PortDetails = nullptr;
    QComboBox* ComboBox_Port = nullptr;
    QComboBox* ComboBox_BaudRate = nullptr;
    QComboBox* ComboBox_DataBits = nullptr;
    QComboBox* ComboBox_StopBits = nullptr;
    QComboBox* ComboBox_Parity = nullptr;
    QComboBox* ComboBox_FlowControl = nullptr;
};

// The names of the serial ports present on this machine, sorted.
QStringList AvailablePortNames();

// Shows the dialog modally; on OK applies the choices to the port, which an
// open port takes at once (a new port name reopens it; PortError if that fails).
// Returns true for OK.
bool ShowPortSetupDialog(TComPort& port, QWidget* parent = nullptr);
