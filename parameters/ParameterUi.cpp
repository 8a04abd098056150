// The parameter editor's controls: the caption bar, the grid with its group
// tabs and the number editor laid over it, and the bar of buttons below.

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "parameters/FormFonts.h"
#include "parameters/NumberEdit.h"
#include "parameters/Parameter.h"
#include "parameters/ParameterGrid.h"
#include "widgets/RockerSwitch.h"

namespace {

QPushButton* Button(const char* caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setFixedSize(68, 49);
    button->setFont(ArialPixels(13, true));
    return button;
}

}  // namespace

void TParameterFrm::BuildUi() {
    setObjectName("ParameterFrm");
    setFont(ArialPixels(13));
    resize(1024, 720);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(BuildTopBar());
    layout->addWidget(BuildGridArea(), 1);
    layout->addWidget(BuildBottomBar());
}

QWidget* TParameterFrm::BuildTopBar() {
    Panel1 = new QLabel(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFixedHeight(33);
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Raised);
    Panel1->setFont(ArialPixels(16, true));
    return Panel1;
}

// The grid with the group tabs along its bottom edge, and the number editor
// that is laid over a value cell while a number is typed.
QWidget* TParameterFrm::BuildGridArea() {
    auto* area = new QWidget(this);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(2, 2, 2, 0);
    layout->setSpacing(0);

    StringGrid_Para = CreateParameterGrid(area);
    StringGrid_Para->installEventFilter(this);
    layout->addWidget(StringGrid_Para, 1);

    TabControl_Para = new QTabBar(area);
    TabControl_Para->setObjectName("TabControl_Para");
    TabControl_Para->setShape(QTabBar::RoundedSouth);
    TabControl_Para->setDrawBase(false);
    TabControl_Para->setExpanding(false);
    for (int group = 0; group < kGroupCount; ++group)
        TabControl_Para->addTab(QString("GROUP %1").arg(group));
    layout->addWidget(TabControl_Para);

    RxSpinEdit1 = new NumberEdit(StringGrid_Para);
    RxSpinEdit1->setObjectName("RxSpinEdit1");
    RxSpinEdit1->setFont(ArialPixels(13));
    RxSpinEdit1->hide();

    connect(TabControl_Para, &QTabBar::currentChanged, this, &TParameterFrm::TabControl_ParaChange);
    connect(StringGrid_Para, &QTableWidget::currentCellChanged, this,
            &TParameterFrm::StringGrid_ParaClick);
    connect(StringGrid_Para, &QTableWidget::cellClicked, this,
            &TParameterFrm::StringGrid_ParaClick);
    connect(StringGrid_Para, &QTableWidget::cellDoubleClicked, this,
            &TParameterFrm::StringGrid_ParaDblClick);
    connect(RxSpinEdit1, &NumberEdit::CommitKey, this, &TParameterFrm::RxSpinEdit1KeyPress);
    connect(RxSpinEdit1, &NumberEdit::Left, this, &TParameterFrm::RxSpinEdit1Exit);
    return area;
}

QWidget* TParameterFrm::BuildBottomBar() {
    auto* bar = new QFrame(this);
    bar->setObjectName("Panel2");
    bar->setFixedHeight(65);
    bar->setFrameShape(QFrame::Panel);
    bar->setFrameShadow(QFrame::Raised);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(8, 8, 8, 8);

    Sw_AxisUpDown = new RockerSwitch(bar);
    Sw_AxisUpDown->setObjectName("Sw_AxisUpDown");
    Sw_AxisUpDown->setAccessibleName("Axis");
    Sw_AxisUpDown->setFixedSize(24, 49);
    Label_ParaAxis = new QLabel(bar);
    Label_ParaAxis->setObjectName("Label_ParaAxis");
    Label_ParaAxis->setFixedSize(80, 49);
    Label_ParaAxis->setAlignment(Qt::AlignCenter);
    Label_ParaAxis->setFont(ArialPixels(16, true));
    Label_ParaAxis->setStyleSheet("background-color: rgb(224, 192, 255);");
    Btn_ParaInit = Button("INIT", "Btn_ParaInit", bar);
    Btn_ParameterRead = Button("READ", "Btn_ParameterRead", bar);
    Btn_Exit = Button("EXIT", "Btn_Exit", bar);

    layout->addWidget(Sw_AxisUpDown);
    layout->addWidget(Label_ParaAxis);
    layout->addSpacing(16);
    layout->addWidget(Btn_ParaInit);
    layout->addStretch(1);
    layout->addWidget(Btn_ParameterRead);
    layout->addWidget(Btn_Exit);

    connect(Sw_AxisUpDown, &RockerSwitch::UpClick, this, &TParameterFrm::Sw_AxisUpDownUpClick);
    connect(Sw_AxisUpDown, &RockerSwitch::DownClick, this, &TParameterFrm::Sw_AxisUpDownDownClick);
    connect(Btn_ParaInit, &QPushButton::clicked, this, &TParameterFrm::Btn_ParaInitClick);
    connect(Btn_ParameterRead, &QPushButton::clicked, this, &TParameterFrm::Btn_ParameterReadClick);
    connect(Btn_Exit, &QPushButton::clicked, this, &TParameterFrm::Btn_ExitClick);
    return bar;
}
