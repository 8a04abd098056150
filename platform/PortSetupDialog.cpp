#include "platform/PortSetupDialog.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

TPortSetupDialog::TPortSetupDialog(const PortSettings& current, PortLister listPorts,
                                   QWidget* parent)
    : QDialog(parent), current_(current), listPorts_(std::move(listPorts)) {
    setObjectName("PortSetupDialog");
    setWindowTitle("Setup");
    BuildUi();
}

void TPortSetupDialog::BuildUi() {
    auto* group = new QGroupBox(" Settings ", this);
    group->setObjectName("GroupBox_Settings");
    auto* form = new QFormLayout(group);
    const auto add = [&](const QString& label, QWidget* field) { form->addRow(label, field); };

    add("Port", BuildPortRow());
    form->addRow(nullptr, Label_PortDetails);
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

// The port list shows each port's details in a second column of its popup;
// the edit text, and what is stored, stays the name.
QWidget* TPortSetupDialog::BuildPortRow() {
    portModel_ = new QStandardItemModel(0, 2, this);
    ComboBox_Port = new QComboBox(this);
    ComboBox_Port->setObjectName("ComboBox_Port");
    ComboBox_Port->setEditable(true);  // pseudo-terminals and unlisted devices are typed
    ComboBox_Port->setInsertPolicy(QComboBox::NoInsert);
    ComboBox_Port->setMinimumWidth(140);
    auto* view = new QTreeView(ComboBox_Port);
    view->setHeaderHidden(true);
    view->setRootIsDecorated(false);
    view->setAllColumnsShowFocus(true);
    ComboBox_Port->setModel(portModel_);
    ComboBox_Port->setView(view);
    connect(ComboBox_Port, &QComboBox::currentTextChanged, this,
            &TPortSetupDialog::ShowPortDetails);

    auto* refresh = new QPushButton("Refresh", this);
    refresh->setObjectName("Btn_Refresh");
    refresh->setToolTip("List the serial ports present now");
    connect(refresh, &QPushButton::clicked, this, &TPortSetupDialog::RefreshPorts);

    Label_PortDetails = new QLabel(this);
    Label_PortDetails->setObjectName("Label_PortDetails");
    Label_PortDetails->setWordWrap(true);
    Label_PortDetails->setMaximumWidth(320);
    QPalette dim = Label_PortDetails->palette();
    dim.setColor(QPalette::WindowText, dim.color(QPalette::PlaceholderText));
    Label_PortDetails->setPalette(dim);

    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ComboBox_Port, 1);
    layout->addWidget(refresh);
    RefreshPorts();
    ComboBox_Port->setEditText(current_.Port);
    ShowPortDetails();
    return row;
}

// Lists the ports again; what the user has typed or chosen stays.
void TPortSetupDialog::RefreshPorts() {
    const QString typed = ComboBox_Port->currentText();
    ports_ = listPorts_ ? listPorts_() : QList<PortListing>{};
    portModel_->removeRows(0, portModel_->rowCount());
    for (const PortListing& port : ports_) {
        portModel_->appendRow({new QStandardItem(port.name), new QStandardItem(port.Details())});
    }
    auto* view = static_cast<QTreeView*>(ComboBox_Port->view());
    view->resizeColumnToContents(0);
    view->resizeColumnToContents(1);
    view->setMinimumWidth(view->columnWidth(0) + view->columnWidth(1) + 24);
    ComboBox_Port->setEditText(typed);
    ShowPortDetails();
}

void TPortSetupDialog::ShowPortDetails() {
    const QString name = ComboBox_Port->currentText().trimmed();
    QString details;
    for (const PortListing& port : ports_) {
        if (port.name == name) details = port.Details();
    }
    const QFileInfo location(SystemLocation(name));
    if (!name.isEmpty() && location.isSymLink() && location.exists())
        details = (details.isEmpty() ? QString() : details + ", ") + "leads to " +
                  location.canonicalFilePath();
    Label_PortDetails->setText(details);
    Label_PortDetails->setVisible(!details.isEmpty());
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
    for (const PortListing& port : AvailablePorts()) names << port.name;
    return names;
}

bool ShowPortSetupDialog(TComPort& port, QWidget* parent) {
    TPortSetupDialog dialog(port.Settings(), AvailablePorts, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    port.SetSettings(dialog.Chosen());
    return true;
}
