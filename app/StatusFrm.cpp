#include "app/StatusFrm.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Modal.h"
#include "platform/ThreadTimers.h"
#include "protocol/Comm.h"
#include "widgets/GradientPanel.h"
#include "widgets/LedBar.h"

TFrm_Status::TFrm_Status(TComm& comm, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      comm_(comm),
      ThreadTimers_Status(new TiThreadTimers(this)) {
    setObjectName("Frm_Status");
    setAttribute(Qt::WA_DeleteOnClose);
    comm_.TransferProgress = 0.0;
    showsRead_ = comm_.ContinuationKind == 1;
    BuildUi();
    ShowCaption();
    ThreadTimers_Status->setObjectName("ThreadTimers_Status");
    ThreadTimers_Status->SetInterval(1, kTickMs);
    ThreadTimers_Status->SetOnTimer(1, [this](TiThreadTimers*) { Timer_StatusTimer(); });
    ThreadTimers_Status->SetEnabled(1, true);
}

void TFrm_Status::BuildUi() {
    setFixedSize(371, 127);
    auto* background = new GradientPanel(this);
    background->setObjectName("Panel_Background");
    background->SetColors(QColor(10, 30, 90), QColor(70, 130, 210));
    background->setGeometry(rect());

    Label_Status = new QLabel(background);
    Label_Status->setObjectName("Label_Status");
    Label_Status->setAlignment(Qt::AlignCenter);
    QFont font("굴림");
    font.setPixelSize(13);
    font.setBold(true);
    Label_Status->setFont(font);

    LedBar_Progress = new LedBar(background);
    LedBar_Progress->setObjectName("LedBar_Progress");

    Btn_Cancel = new QPushButton("취 소", background);
    Btn_Cancel->setObjectName("Btn_Cancel");
    Btn_Cancel->setFixedWidth(90);
    connect(Btn_Cancel, &QPushButton::clicked, this, &TFrm_Status::Btn_CancelClick);

    auto* layout = new QVBoxLayout(background);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(Label_Status);
    layout->addWidget(LedBar_Progress);
    layout->addWidget(Btn_Cancel, 0, Qt::AlignHCenter);
}

void TFrm_Status::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QWidget* owner = parentWidget())
        CentreWindow(this, owner->window()->frameGeometry().center());
}

void TFrm_Status::ShowCaption() {
    // Fixed when the window opens: a read that ends early is still the read.
    Label_Status->setText(showsRead_ ? "Parameter Reading..." : "Parameter Writing...");
    Label_Status->setStyleSheet(captionYellow_ ? "color: yellow;" : "color: red;");
}

void TFrm_Status::Timer_StatusTimer() {
    ++tickCount_;
    LedBar_Progress->SetValue(comm_.TransferProgress);
    if (tickCount_ > 5) {
        captionYellow_ = !captionYellow_;
        tickCount_ = 0;
    }
    ShowCaption();
    if (comm_.TransferProgress > 99.0) {
        transferThrough_ = true;  // the last request may still be in flight: let it finish
        close();
    } else if (showsRead_ && comm_.ContinuationKind != 1) {
        // The engine ended the read (an error, a time-out, the line lost) and
        // has said why in the status panel; there is nothing left to wait for.
        transferThrough_ = true;
        close();
    }
}

void TFrm_Status::Btn_CancelClick() {
    reject();
}

// Cancel, Escape and the window manager's close all end up here. The transfer
// must not run on unseen: the program would look idle while the link is busy.
void TFrm_Status::reject() {
    if (!transferThrough_) comm_.AbortExchange();
    QDialog::reject();
}
