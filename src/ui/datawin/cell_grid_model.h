#pragma once

#include <QAbstractTableModel>
#include <QColor>

#include "core/cells/grid_edit.h"

namespace tavel {

class Series;

// The table model over a series' cells: model rows 0..MaxIndex-1 are grid rows 1..MaxIndex,
// model columns 0..2 are X, Y and Fit. The grid's fixed row and column are the header texts
// (the horizontal header and the index column as the vertical header). Texts are made on
// demand from the cells, so a million rows cost nothing until they are shown.
class CellGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit CellGridModel(Series* series, QObject* parent = nullptr);

  // Null once the series is gone: the model then has no rows.
  void SetSeries(Series* series);
  Series* series() const { return series_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  static GridCell CellOf(const QModelIndex& index);
  QModelIndex IndexOf(GridCell cell) const;

  // The fixed cell where the header row meets the index column: " Index".
  QString CornerText() const;
  // Fixed cells are drawn in the series colour.
  QColor HeaderColor() const;

  // After the series' cells changed: a new row count resets the model (and returns true),
  // otherwise every cell and header is marked changed.
  bool Refresh();
  void CellChanged(GridCell cell);

 private:
  Series* series_;
  int rows_ = 0;
};

}  // namespace tavel
