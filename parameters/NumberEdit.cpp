#include "parameters/NumberEdit.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace {

// A whole integer: digits, with a minus sign in front at most.
const QRegularExpression& IntegerPattern() {
    static const QRegularExpression pattern("^-?[0-9]+$");
    return pattern;
}

}  // namespace

NumberEdit::NumberEdit(QWidget* parent) : QAbstractSpinBox(parent) {
    setAlignment(Qt::AlignCenter);
    setKeyboardTracking(true);
    connect(lineEdit(), &QLineEdit::textChanged, this, [this] {
        if (const auto value = ReadValue()) emit ValueChanged(*value);
    });
}

void NumberEdit::SetReal(bool real) {
    real_ = real;
}

void NumberEdit::SetRange(double minimum, double maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
}

QString NumberEdit::Format(double value) const {
    return real_ ? QString::number(value, 'f', 1) : QString::number(std::llround(value));
}

void NumberEdit::SetValue(double value) {
    SetText(Format(std::clamp(value, minimum_, maximum_)));
}

void NumberEdit::SetText(const QString& text) {
    lineEdit()->setText(text);
}

std::optional<double> NumberEdit::ReadValue() const {
    const QString text = lineEdit()->text().trimmed();
    if (!real_ && !IntegerPattern().match(text).hasMatch()) return std::nullopt;
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

void NumberEdit::stepBy(int steps) {
    SetValue(ReadValue().value_or(minimum_) + steps);
    selectAll();
}

QAbstractSpinBox::StepEnabled NumberEdit::stepEnabled() const {
    const double value = ReadValue().value_or(minimum_);
    StepEnabled enabled = StepNone;
    if (value > minimum_) enabled |= StepDownEnabled;
    if (value < maximum_) enabled |= StepUpEnabled;
    return enabled;
}

QValidator::State NumberEdit::validate(QString& input, int&) const {
    static const QRegularExpression partialInteger("^-?[0-9]*$");
    static const QRegularExpression partialReal("^-?[0-9]*\\.?[0-9]*$");
    if (!(real_ ? partialReal : partialInteger).match(input).hasMatch()) return QValidator::Invalid;
    bool ok = false;
    input.toDouble(&ok);
    return ok ? QValidator::Acceptable : QValidator::Intermediate;
}

void NumberEdit::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        emit CommitKey(key);
        event->accept();
        return;
    }
    QAbstractSpinBox::keyPressEvent(event);
}

void NumberEdit::focusOutEvent(QFocusEvent* event) {
    // The base class would "correct" an unfinished text such as "-"; the
    // windows decide what such a text means, so the text stays as typed.
    const QString text = lineEdit()->text();
    QAbstractSpinBox::focusOutEvent(event);
    if (lineEdit()->text() != text) SetText(text);
    // A message box or a menu in front does not take the user out of the box.
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) emit Left();
}
