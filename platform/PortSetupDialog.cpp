#include "platform/PortSetupDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QSerialPortInfo>
#include <QVBoxLayout>
#include <algorithm>

TPortSetupDialog::TPortSetupDialog(const PortSettings& current, const QStringList& ports,
                                   QWidget* parent)
    : QDialog(parent), current_(current) {
    setObjectName("PortSetupDialog");
    setWindowTitle("Setup");
    BuildUi(ports);
}

void TPortSetupDialog::BuildUi(const QStringList& ports) {
    auto* group = new QGroupBox(" Settings ", this);
    group->setObjectName("GroupBox_Settings");
    auto* form = new QFormLayout(group);
    const auto add = [&](const QString& label, QComboBox* list) { form->addRow(label, list); };

    ComboBox_Port = AddList("ComboBox_Port", ports, current_.Port);
    ComboBox_Port->setEditable(true);  // pseudo-terminals and unlisted devices are typed
    ComboBox_Port->setInsertPolicy(QComboBox::NoInsert);
    ComboBox_Port->setEditText(current_.Port);
    add("Port", ComboBox_Port);
    add("Baud rate", ComboBox_BaudRate = AddList("ComboBox_BaudRate", PortSettings::BaudRates(),
                                                 current_.BaudRate));
    add("Data bits", ComboBox_DataBits = AddList("ComboBox_DataBits", PortSettings::DataBitsList(),
                                                 current_.DataBits));
    add("Stop bits", ComboBox_StopBits = AddList("ComboBox_StopBits", PortSettings::StopBitsList(),
                                                 current_.StopBits));
    add("Parity",
        ComboBox_Parity = AddList("ComboBox_Parity", PortSettings::Parities(), current_.Parity));
    add("Flow control",
        ComboBox_FlowControl =
            AddList("ComboBox_FlowControl", PortSettings::FlowControls(), current_.FlowControl()));

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("Btn_OK");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("Btn_Cancel");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QComboBox* TPortSetupDialog::AddList(const QString& name, const QStringList& entries,
                                     const QString& value) {
    auto* list = new QComboBox(this);
    list->setObjectName(name);
    list->addItems(entries);
    list->setMinimumWidth(140);
    const int index = list->findText(value, Qt::MatchFixedString);  // case-insensitive
    if (index >= 0) list->setCurrentIndex(index);
    return list;
}

PortSettings TPortSetupDialog::Chosen() const {
    PortSettings chosen = current_;
    chosen.Port = ComboBox_Port->currentText().trimmed();
    chosen.BaudRate = ComboBox_BaudRate->currentText();
    chosen.DataBits = ComboBox_DataBits->currentText();
    chosen.StopBits = ComboBox_StopBits->currentText();
    chosen.Parity = ComboBox_Parity->currentText();
    chosen.ApplyFlowControl(ComboBox_FlowControl->currentText());
    return chosen;
}

void TPortSetupDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

QStringList AvailablePortNames() {
    QStringList names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) names << info.portName();
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

bool ShowPortSetupDialog(TComPort& port, QWidget* parent) {
    TPortSetupDialog dialog(port.Settings(), AvailablePortNames(), parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    port.SetSettings(dialog.Chosen());
    return true;
}
