#include "parameters/ParameterGrid.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableWidget>

#include "parameters/Catalogue.h"

namespace {

constexpr int kColumnWidths[] = {50, 184, 110, 40, 623};
const char* const kHeaders[] = {"번호", "이 름", "설정값", "단위", "비 고"};
constexpr int kRowHeight = 24;
using ParaGrid::kRemarksColumn;
using ParaGrid::kValueColumn;

// Paints every cell of the slot rows (the header row is the grid's header).
class ParaGridDelegate : public QStyledItemDelegate {
  public:
    ParaGridDelegate(QTableWidget* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const int column = index.column();
        const bool current = index == grid_->currentIndex();
        QColor background = column > 0 ? QColor(239, 239, 239) : QColor(223, 223, 223);
        if (column == kValueColumn) background = QColor(217, 222, 214);
        if (current) background = QColor(128, 128, 192);

        QFont font("Arial", 10);
        font.setBold(column == 0 || column == kValueColumn || current);
        const QString text = index.data().toString();
        const QRect cell = option.rect;
        const int width = QFontMetrics(font).horizontalAdvance(text);
        const int left = column == kRemarksColumn ? cell.left() + 10
                                                  : cell.left() + cell.width() / 2 - width / 2;

        painter->save();
        painter->setClipRect(cell);
        painter->fillRect(cell, background);
        painter->setFont(font);
        painter->setPen(current ? Qt::white : Qt::black);
        painter->drawText(QRect(left, cell.top(), cell.right() + 1 - left, cell.height()),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
        painter->restore();
    }

  private:
    QTableWidget* grid_;
};

}  // namespace

QTableWidget* CreateParameterGrid(QWidget* parent) {
    auto* grid = new QTableWidget(kSlotsPerGroup, 5, parent);
    grid->setObjectName("StringGrid_Para");
    grid->setToolTip("If yor need change, Please Enter, or double click..");
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setShowGrid(true);
    grid->setWordWrap(false);
    grid->setItemDelegate(new ParaGridDelegate(grid));
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(kRowHeight);

    QHeaderView* header = grid->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setFixedHeight(kRowHeight);
    header->setStyleSheet(
        "QHeaderView::section { background-color: rgb(223, 223, 223); color: black;"
        " border: 0px; border-right: 1px solid gray; border-bottom: 1px solid gray;"
        " font-family: \"돋움\"; font-size: 10pt; font-weight: bold; }");
    for (int column = 0; column < 5; ++column) {
        grid->setHorizontalHeaderItem(column,
                                      new QTableWidgetItem(QString::fromUtf8(kHeaders[column])));
        grid->setColumnWidth(column, kColumnWidths[column]);
    }
    for (int row = 0; row < kSlotsPerGroup; ++row) {
        for (int column = 0; column < 5; ++column) {
            auto* item = new QTableWidgetItem;
            // The number column is fixed: it never becomes the current cell.
            item->setFlags(column == 0 ? Qt::NoItemFlags
                                       : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            grid->setItem(row, column, item);
        }
    }
    return grid;
}
