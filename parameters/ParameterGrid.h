#pragma once
// The editor's five-column grid: its columns, header row, fixed number column
// and the way its cells are painted (grey data cells, green-grey value
// column, the current cell in violet with white bold text).

class QTableWidget;
class QWidget;

namespace ParaGrid {
inline constexpr int kValueColumn = 2;
inline constexpr int kRemarksColumn = 4;
}  // namespace ParaGrid

QTableWidget* CreateParameterGrid(QWidget* parent);
