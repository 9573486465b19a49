#include "ui/datawin/cell_grid_model.h"

#include "core/series/number_text.h"
#include "core/series/series.h"

namespace tavel {

CellGridModel::CellGridModel(Series* series, QObject* parent)
    : QAbstractTableModel(parent), series_(series), rows_(series ? series->Cells.RowCount() : 0) {}

void CellGridModel::SetSeries(Series* series) {
  beginResetModel();
  series_ = series;
  rows_ = series ? series->Cells.RowCount() : 0;
  endResetModel();
}

int CellGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int CellGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 3;
}

QVariant CellGridModel::data(const QModelIndex& index, int role) const {
  if (!series_ || !index.isValid()) return {};
  const GridCell cell = CellOf(index);
  // The cells may already have fewer rows than the view was last told about.
  if (cell.row > series_->Cells.RowCount()) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return QString::fromStdString(series_->Cells.Text(cell.row, cell.column));
    case Qt::BackgroundRole:
      return QColor(Qt::white);
    default:
      return {};
  }
}

QVariant CellGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (!series_) return {};
  switch (role) {
    case Qt::DisplayRole:
      if (orientation == Qt::Horizontal) {
        return QString::fromStdString(series_->HeaderText(section + 1));
      }
      return QString::fromStdString(CellGrid::IndexText(section + 1));
    case Qt::BackgroundRole:
      return HeaderColor();
    case Qt::TextAlignmentRole:
      // The index text is already right-aligned in its seven characters; aligning it right
      // keeps the digits in line whatever the width of a blank.
      return orientation == Qt::Horizontal ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                           : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    default:
      return {};
  }
}

Qt::ItemFlags CellGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() + 1 != kFitColumn) f |= Qt::ItemIsEditable;
  return f;
}

GridCell CellGridModel::CellOf(const QModelIndex& index) {
  return {index.row() + 1, index.column() + 1};
}

QModelIndex CellGridModel::IndexOf(GridCell cell) const {
  return index(cell.row - 1, cell.column - 1);
}

QString CellGridModel::CornerText() const {
  return series_ ? QString::fromStdString(series_->HeaderText(kIndexColumn)) : QString();
}

QColor CellGridModel::HeaderColor() const {
  const Rgb c = SeriesColor(series_ ? series_->SeriesNumber : 0);
  return QColor(c.r, c.g, c.b);
}

bool CellGridModel::Refresh() {
  const int rows = series_ ? series_->Cells.RowCount() : 0;
  if (rows != rows_) {
    beginResetModel();
    rows_ = rows;
    endResetModel();
    return true;
  }
  if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, 2));
  emit headerDataChanged(Qt::Horizontal, 0, 2);
  return false;
}

void CellGridModel::CellChanged(GridCell cell) {
  const QModelIndex i = IndexOf(cell);
  if (i.isValid()) emit dataChanged(i, i);
}

}  // namespace tavel
