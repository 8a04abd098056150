#pragma once
// The splash picture shown when the program starts: it closes itself after
// two seconds, or at once on a click or a key.

#include <QDialog>
#include <QPixmap>

class TForm_Logo : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kShowMs = 2000;

    explicit TForm_Logo(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QPixmap picture_;
};
