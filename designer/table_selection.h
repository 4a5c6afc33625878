#pragma once

#include <QList>

class QTableView;

// A table view's selection as whole rows, the way the plan and the tables share a selection.
namespace designer {

// The rows that hold a selected cell, lowest first.
QList<int> selectedRows(const QTableView &table);

// Selects these whole rows (and nothing else), the first of them current and in view.
void selectRows(QTableView &table, const QList<int> &rows);

} // namespace designer
