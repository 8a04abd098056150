#pragma once
// A 0-100 bar of round LED segments in three colour sections (green up to 50,
// yellow up to 75, red up to 100, unless set otherwise); the segments up to
// the value are lit.
// Accessible: the value in percent as its description.

#include <QWidget>

class LedBar : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kSegmentSize = 8;

    explicit LedBar(QWidget* parent = nullptr);

    double Value() const { return value_; }
    void SetValue(double value);  // clamped to 0..100
    // Where the green and the yellow sections end, in percent.
    void SetSections(double greenEnd, double yellowEnd);
    // Segments that fit the width, and how many of them the value lights.
    int SegmentCount() const;
    int LitSegments() const;

    QSize sizeHint() const override { return {300, kSegmentSize + 4}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    double value_ = 0.0;
    double greenEnd_ = 50.0;
    double yellowEnd_ = 75.0;
};
