// The download window's controls: the file row, the progress bar, the three
// buttons and the three-panel status bar, laid out for a 480 x 269 client area.

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "download/PgmDownForm.h"
#include "widgets/LedBar.h"

namespace {

QFont ArialPixels(int pixels, bool bold = false) {
    QFont font("Arial");
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QPushButton* Button(const QString& caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setFixedSize(110, 41);
    button->setFont(ArialPixels(14, true));
    return button;
}

QLabel* Panel(int width, QWidget* parent) {
    auto* panel = new QLabel(parent);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setFixedHeight(21);
    if (width > 0) panel->setFixedWidth(width);
    panel->setContentsMargins(3, 0, 3, 0);
    return panel;
}

}  // namespace

void TForm_PgmDown::BuildUi() {
    setObjectName("Form_PgmDown");
    setWindowTitle(DownText::Caption);
    setFont(ArialPixels(13));
    setFixedSize(kClientWidth, kClientHeight);

    iLedBar1 = new LedBar(this);
    iLedBar1->setObjectName("iLedBar1");
    iLedBar1->SetSections(50.0, 80.0);
    iLedBar1->setFixedHeight(26);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(16, 16, 16, 12);
    body->setSpacing(18);
    body->addWidget(BuildFileRow());
    body->addWidget(iLedBar1);
    body->addStretch(1);
    body->addWidget(BuildButtonRow());
    layout->addLayout(body, 1);
    layout->addWidget(BuildStatusBar());
}

QWidget* TForm_PgmDown::BuildFileRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);

    Btn_FileSelect = Button(DownText::SelectFile, "Btn_FileSelect", row);
    Btn_FileSelect->setToolTip(DownText::FileSelectHint);
    layout->addWidget(Btn_FileSelect, 0, Qt::AlignTop);

    auto* names = new QVBoxLayout;
    names->setSpacing(4);
    auto* caption = new QLabel("File Name", row);
    caption->setObjectName("Label_FileCaption");
    caption->setFont(ArialPixels(13, true));
    names->addWidget(caption);
    Label_FileName = new QLabel(row);
    Label_FileName->setObjectName("Label_FileName");
    Label_FileName->setFrameShape(QFrame::Panel);
    Label_FileName->setFrameShadow(QFrame::Sunken);
    Label_FileName->setWordWrap(true);
    Label_FileName->setMinimumHeight(40);
    Label_FileName->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label_FileName->setTextInteractionFlags(Qt::TextSelectableByMouse);
    names->addWidget(Label_FileName);
    layout->addLayout(names, 1);

    connect(Btn_FileSelect, &QPushButton::clicked, this, &TForm_PgmDown::Btn_FileSelectClick);
    return row;
}

QWidget* TForm_PgmDown::BuildButtonRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    Btn_DownMode = Button("Down Mode", "Btn_DownMode", row);
    Btn_Start = Button(DownText::Start, "Btn_Start", row);
    Btn_Exit = Button("Exit", "Btn_Exit", row);
    Btn_Exit->setToolTip(DownText::ExitHint);
    layout->addWidget(Btn_DownMode);
    layout->addStretch(1);
    layout->addWidget(Btn_Start);
    layout->addStretch(1);
    layout->addWidget(Btn_Exit);

    connect(Btn_DownMode, &QPushButton::clicked, this, &TForm_PgmDown::Btn_DownModeClick);
    connect(Btn_Start, &QPushButton::clicked, this, &TForm_PgmDown::Btn_StartClick);
    connect(Btn_Exit, &QPushButton::clicked, this, &TForm_PgmDown::Btn_ExitClick);
    return row;
}

// Percentage, messages, time left: 50, 380 and 50 pixels.
QWidget* TForm_PgmDown::BuildStatusBar() {
    StatusBar_Down = new QWidget(this);
    StatusBar_Down->setObjectName("StatusBar_Down");
    auto* layout = new QHBoxLayout(StatusBar_Down);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const int widths[3] = {50, 380, 50};
    for (int i = 0; i < 3; ++i) {
        StatusPanels[i] = Panel(widths[i], StatusBar_Down);
        StatusPanels[i]->setObjectName(QString("StatusBar_Down_Panel%1").arg(i));
        if (i != 1) StatusPanels[i]->setAlignment(Qt::AlignCenter);
        layout->addWidget(StatusPanels[i]);
    }
    StatusPanels[2]->setToolTip("Time left");
    return StatusBar_Down;
}
