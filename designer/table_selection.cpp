#include "designer/table_selection.h"

#include <QItemSelectionModel>
#include <QTableView>

#include <algorithm>

namespace designer {

QList<int> selectedRows(const QTableView &table)
{
    QList<int> rows;
    for (const QModelIndex &index : table.selectionModel()->selectedIndexes())
        if (!rows.contains(index.row())) rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void selectRows(QTableView &table, const QList<int> &rows)
{
    const QAbstractItemModel *model = table.model();
    QItemSelection selection;
    for (int row : rows)
        if (row >= 0 && row < model->rowCount())
            selection.select(model->index(row, 0), model->index(row, model->columnCount() - 1));
    table.selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (selection.isEmpty()) return;
    const QModelIndex first = selection.first().topLeft();
    table.selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    table.scrollTo(first);
}

} // namespace designer
