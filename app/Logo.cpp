#include "app/Logo.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include "app/ImageList.h"
#include "app/Modal.h"

TForm_Logo::TForm_Logo(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      picture_(ImageList::Splash(QSize(500, 332))) {
    setObjectName("Form_Logo");
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(500, 332);
    QTimer::singleShot(kShowMs, this, &QWidget::close);
}

void TForm_Logo::paintEvent(QPaintEvent*) {
    QPainter(this).drawPixmap(0, 0, picture_);
}

void TForm_Logo::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        CentreWindow(this, screen->geometry().center());
}

void TForm_Logo::mousePressEvent(QMouseEvent*) {
    close();
}

void TForm_Logo::keyPressEvent(QKeyEvent*) {
    close();
}
