#pragma once
// A rocker switch with an upper and a lower half, each a push button of its
// own: pressing a half reports UpClick or DownClick. The halves are ordinary
// buttons to screen readers ("Up", "Down", with a press action).

#include <QAbstractButton>
#include <QWidget>

// One half of the rocker: a button that paints itself sunk while pressed.
class RockerHalf : public QAbstractButton {
    Q_OBJECT
  public:
    RockerHalf(bool upper, QWidget* parent);
    QSize sizeHint() const override { return {24, 24}; }
    QSize minimumSizeHint() const override { return {8, 8}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool upper_;
};

// The two halves in one frame, the upper half on top.
class RockerSwitch : public QWidget {
    Q_OBJECT
  public:
    explicit RockerSwitch(QWidget* parent = nullptr);

    RockerHalf* UpHalf() const { return up_; }
    RockerHalf* DownHalf() const { return down_; }

    QSize sizeHint() const override { return {24, 48}; }

  signals:
    void UpClick();
    void DownClick();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    RockerHalf* up_;
    RockerHalf* down_;
};
