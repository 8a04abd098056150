#pragma once
// An on/off slide switch with a caption, like a toggle switch of an
// instrument panel. It is a checkable button: toggled() reports a change,
// and screen readers see a checkable button with the caption as its name.

#include <QAbstractButton>

class ToggleSwitch : public QAbstractButton {
    Q_OBJECT
  public:
    explicit ToggleSwitch(const QString& caption = {}, QWidget* parent = nullptr);

    bool IsOn() const { return isChecked(); }
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
};
