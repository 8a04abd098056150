#pragma once
// A number box with up/down buttons that, unlike QSpinBox, lets the user type
// a number outside its range: the windows check the range themselves and
// answer with their own messages. The buttons step by 1 within the range.
// Accepts only characters that can form a number of its kind (integer or real).

#include <QAbstractSpinBox>
#include <optional>

class NumberEdit : public QAbstractSpinBox {
    Q_OBJECT
  public:
    explicit NumberEdit(QWidget* parent = nullptr);

    // Real numbers are shown with one decimal place, integers rounded.
    void SetReal(bool real);
    void SetRange(double minimum, double maximum);
    double Minimum() const { return minimum_; }
    double Maximum() const { return maximum_; }

    // Shows `value` clamped into the range.
    void SetValue(double value);
    // The text read as a number of the box's kind; nothing for "", "-", ".".
    // An integer too long for any integer type still reads as the large number it is.
    std::optional<double> ReadValue() const;
    void SetText(const QString& text);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

  signals:
    // Enter or Escape was pressed (the box does not act on them itself).
    void CommitKey(int key);
    // The focus moved to another control (not merely to another window in front).
    void Left();
    // The text now reads as this number (typed, stepped or set).
    void ValueChanged(double value);

  protected:
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    QString Format(double value) const;

    bool real_ = false;
    double minimum_ = 0;
    double maximum_ = 99;
};
