#pragma once
// A rectangular LED with a label in its centre that reports clicks, like a
// lamp push-button of an instrument panel. Accessible as a button: the label
// is its name, "on"/"off" its description, and it offers a press action.

#include <QColor>
#include <QString>
#include <QWidget>

class RectLed : public QWidget {
    Q_OBJECT
  public:
    explicit RectLed(QWidget* parent = nullptr);

    bool IsOn() const { return on_; }
    void SetOn(bool on);
    QString Label() const { return label_; }
    void SetLabel(const QString& label);
    void SetOnColor(const QColor& color);
    void SetOffColor(const QColor& color);

    QSize sizeHint() const override { return {81, 22}; }

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void UpdateAccessibleState();

    bool on_ = false;
    QString label_;
    QColor onColor_{255, 40, 40};
    QColor offColor_{90, 20, 20};
};
