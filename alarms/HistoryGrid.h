#pragma once
// The alarm history table: a heading row, a number column and two columns
// for the alarm number and name, painted centred with the name column and the
// current cell set apart.

class QTableWidget;
class QWidget;

namespace HistoryGrid {
inline constexpr int kCodeColumn = 1;
inline constexpr int kNameColumn = 2;
}  // namespace HistoryGrid

QTableWidget* CreateHistoryGrid(QWidget* parent);
