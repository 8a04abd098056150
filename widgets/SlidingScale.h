#pragma once
// A horizontal scale from -span to +span with a pointer that slides to the
// value shown, under a title. Display only. Accessible: the value is its description.

#include <QString>
#include <QWidget>

class SlidingScale : public QWidget {
    Q_OBJECT
  public:
    explicit SlidingScale(QWidget* parent = nullptr);

    void SetTitle(const QString& title);
    QString Title() const { return title_; }
    void SetSpan(double span);  // > 0
    double Span() const { return span_; }
    void SetValue(double value);  // shown clamped to the scale, kept as given
    double Value() const { return value_; }

    QSize sizeHint() const override { return {260, 60}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString title_;
    double span_ = 100.0;
    double value_ = 0.0;
};
