#include "widgets/GradientPanel.h"

#include <QPainter>

GradientPanel::GradientPanel(QWidget* parent) : QWidget(parent) {}

void GradientPanel::SetColors(const QColor& begin, const QColor& end) {
    begin_ = begin;
    end_ = end;
    update();
}

void GradientPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient gradient(rect().topLeft(), rect().bottomLeft());
    gradient.setColorAt(0.0, begin_);
    gradient.setColorAt(1.0, end_);
    painter.fillRect(rect(), gradient);
}
