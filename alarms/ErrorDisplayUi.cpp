// The alarm history window's controls: the plot over the history table, split
// by a movable bar, and the column of selectors and buttons on the right.

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "alarms/AlarmData.h"
#include "alarms/ErrorDisplayForm.h"
#include "alarms/HistoryGrid.h"
#include "platform/ThreadTimers.h"
#include "widgets/Plot.h"

namespace {

constexpr int kTableHeight = 233;
constexpr int kColumnWidth = 146;

QPushButton* Button(const char* caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setMinimumHeight(30);
    return button;
}

QComboBox* Selector(const char* name, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setFont(QFont("Arial", 8));
    for (std::string_view item : AlarmData::QuantityNames())
        combo->addItem(QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size())));
    // The list may be wider than the column, so every item reads in full.
    combo->view()->setMinimumWidth(combo->view()->sizeHintForColumn(0) + 8);
    return combo;
}

}  // namespace

void TForm_ErrorDisplay::BuildUi() {
    setObjectName("Form_ErrorDisplay");
    setWindowTitle("Error Display");
    resize(578, 578);

    Splitter1 = new QSplitter(Qt::Vertical, this);
    Splitter1->setObjectName("Splitter1");
    Splitter1->setChildrenCollapsible(false);
    Plot_Error = new Plot(Splitter1);
    Plot_Error->setObjectName("Plot_Error");
    StringGrid_ErrorHistory = CreateHistoryGrid(Splitter1);
    StringGrid_ErrorHistory->setMinimumHeight(60);
    Splitter1->addWidget(Plot_Error);
    Splitter1->addWidget(StringGrid_ErrorHistory);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    Splitter1->setSizes({578 - kTableHeight, kTableHeight});

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(4);
    layout->addWidget(Splitter1, 1);
    layout->addWidget(BuildSelectColumn());

    ThreadTimers_Error = new TiThreadTimers(this);
    ThreadTimers_Error->setObjectName("ThreadTimers_Error");
    for (int channel : {1, 2}) {
        ThreadTimers_Error->SetInterval(channel, kTimerMs);
        ThreadTimers_Error->SetEnabled(channel, false);
    }
    ThreadTimers_Error->SetOnTimer(1, [this](TiThreadTimers*) { ThreadTimers_ErrorTimer1(); });
    ThreadTimers_Error->SetOnTimer(2, [this](TiThreadTimers*) { ThreadTimers_ErrorTimer2(); });
}

QWidget* TForm_ErrorDisplay::BuildSelectColumn() {
    auto* column = new QWidget(this);
    column->setObjectName("Panel_Select");
    column->setFixedWidth(kColumnWidth);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(2, 4, 2, 4);
    layout->setSpacing(6);

    Label_Select = new QLabel("SELECT", column);
    Label_Select->setObjectName("Label_Select");
    Label_Select->setAlignment(Qt::AlignCenter);
    QFont large("Arial", 16);
    large.setBold(true);
    Label_Select->setFont(large);
    ComboBox1 = Selector("ComboBox1", column);
    ComboBox2 = Selector("ComboBox2", column);
    ComboBox3 = Selector("ComboBox3", column);
    Btn_ErrorLoadD = Button("LOAD", "Btn_ErrorLoadD", column);
    Label_LoadNote = new QLabel(column);
    Label_LoadNote->setObjectName("Label_LoadNote");
    Label_LoadNote->setWordWrap(true);
    Label_LoadNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Btn_ErrorHistoryClear = Button("Error History Clear", "Btn_ErrorHistoryClear", column);
    Btn_ErrorHistoryLoad = Button("Error History Load", "Btn_ErrorHistoryLoad", column);
    Btn_Exit = Button("Exit", "Btn_Exit", column);
    Btn_Exit->setToolTip(QString::fromUtf8("종료 합니다."));

    layout->addWidget(Label_Select);
    for (QWidget* control : {ComboBox1, ComboBox2, ComboBox3}) layout->addWidget(control);
    layout->addWidget(Btn_ErrorLoadD);
    layout->addWidget(Label_LoadNote, 1);
    for (QWidget* control : {Btn_ErrorHistoryClear, Btn_ErrorHistoryLoad, Btn_Exit})
        layout->addWidget(control);

    for (QComboBox* combo : {ComboBox1, ComboBox2, ComboBox3})
        connect(combo, &QComboBox::currentIndexChanged, this, &TForm_ErrorDisplay::ComboBox1Change);
    connect(Btn_ErrorLoadD, &QPushButton::clicked, this, &TForm_ErrorDisplay::Btn_ErrorLoadDClick);
    connect(Btn_ErrorHistoryClear, &QPushButton::clicked, this,
            &TForm_ErrorDisplay::Btn_ErrorHistoryClearClick);
    connect(Btn_ErrorHistoryLoad, &QPushButton::clicked, this,
            &TForm_ErrorDisplay::Btn_ErrorHistoryLoadClick);
    connect(Btn_Exit, &QPushButton::clicked, this, &TForm_ErrorDisplay::Btn_ExitClick);
    return column;
}
