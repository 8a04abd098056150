#include "app/About.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/ImageList.h"
#include "app/Modal.h"

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName("AboutBox");
    setWindowTitle("About");
    BuildUi();
}

void TAboutBox::BuildUi() {
    auto* programIcon = new QLabel(this);
    programIcon->setObjectName("ProgramIcon");
    programIcon->setPixmap(ImageList::Icon(ImageList::Application).pixmap(48, 48));

    const auto line = [this](const char* name, const QString& text, bool bold = false) {
        auto* label = new QLabel(text, this);
        label->setObjectName(name);
        if (bold) {
            QFont font = label->font();
            font.setBold(true);
            font.setPointSizeF(font.pointSizeF() * 1.3);
            label->setFont(font);
        }
        return label;
    };
    auto* text = new QVBoxLayout;
    text->addWidget(line("ProductName", "VRX5 Application", true));
    text->addWidget(line("Version", "Version: V1.20"));
    text->addWidget(line("Date", "Date: 2006.8.30"));

    auto* panel = new QHBoxLayout;
    panel->addWidget(programIcon, 0, Qt::AlignTop);
    panel->addSpacing(12);
    panel->addLayout(text);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->addLayout(panel);
    layout->addSpacing(12);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TAboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        CentreWindow(this, screen->availableGeometry().center());
}
