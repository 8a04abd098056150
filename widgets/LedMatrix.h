#pragma once
// A matrix of small round LEDs, each with its own caption beside it, for a
// panel of signal lamps. Accessible: the description lists every lit caption.

#include <QString>
#include <QWidget>
#include <vector>

class LedMatrix : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kMaxCaption = 50;

    LedMatrix(int rows, int columns, QWidget* parent = nullptr);

    int Rows() const { return rows_; }
    int Columns() const { return columns_; }
    // Out-of-range cells are ignored (setters) or read as dark and empty (getters).
    void SetCaption(int row, int column, const QString& caption);  // cut to kMaxCaption
    QString Caption(int row, int column) const;
    void SetLit(int row, int column, bool lit);
    bool IsLit(int row, int column) const;
    void SetOnColor(const QColor& color);

    QSize sizeHint() const override { return {columns_ * 90, rows_ * 22}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    struct Cell {
        QString caption;
        bool lit = false;
    };
    Cell* At(int row, int column);
    const Cell* At(int row, int column) const;
    void UpdateAccessibleState();

    int rows_, columns_;
    std::vector<Cell> cells_;
    QColor onColor_{Qt::green};
};
