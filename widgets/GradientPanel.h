#pragma once
// A panel whose background runs from one colour at the top to another at the
// bottom; child widgets sit on top of it.

#include <QColor>
#include <QWidget>

class GradientPanel : public QWidget {
    Q_OBJECT
  public:
    explicit GradientPanel(QWidget* parent = nullptr);

    void SetColors(const QColor& begin, const QColor& end);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor begin_{20, 40, 120};
    QColor end_{120, 170, 240};
};
