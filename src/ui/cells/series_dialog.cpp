#include "ui/cells/series_dialog.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QMdiSubWindow>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/series/number_text.h"
#include "core/series/series.h"
#include "ui/datawin/data_window.h"
#include "ui/scale/dialog_placement.h"

namespace tavel {

namespace {

constexpr int kFrameInset = 30;

}  // namespace

Series* SeriesOf(const TSpreadF* window) {
  return window != nullptr ? window->series() : nullptr;
}

void PrepareSeriesDialog(QDialog* dialog, TSpreadF& window) {
  if (QMdiSubWindow* sub = window.SubWindow(); sub != nullptr && sub->isMinimized()) {
    sub->showNormal();
  }
  if (const Series* series = window.series()) {
    const Rgb c = SeriesColor(series->SeriesNumber);
    QPalette palette = dialog->palette();
    palette.setColor(QPalette::Window, QColor(c.r, c.g, c.b));
    dialog->setPalette(palette);
    dialog->setAutoFillBackground(true);
  }
  MoveIntoFrameCorner(dialog, kFrameInset);
}

QPushButton* DialogButton(const QString& caption, const char* hint, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  // Enter in an edit must not press whichever button last had the focus.
  button->setAutoDefault(false);
  if (hint != nullptr) button->setToolTip(hint);
  return button;
}

void LayOutWithButtonColumn(QDialog* dialog, std::initializer_list<QWidget*> controls,
                            std::initializer_list<QPushButton*> buttons) {
  auto* left = new QVBoxLayout;
  for (QWidget* control : controls) left->addWidget(control);
  LayOutWithButtonColumn(dialog, left, buttons);
}

}  // namespace tavel
