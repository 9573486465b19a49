#include "ui/scale/dialog_placement.h"

#include <QButtonGroup>
#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QWidget>

#include "core/series/number_text.h"

namespace tavel {

void MoveIntoFrameCorner(QWidget* dialog, int inset) {
  QWidget* parent = dialog->parentWidget();
  QWidget* frame = parent != nullptr ? parent->window() : nullptr;
  if (frame == nullptr) return;
  const QRect f = frame->frameGeometry();
  QSize d = dialog->frameGeometry().size();
  // Before its first showing the window manager has not told us this dialog's border; the
  // frame's is the best guess, so the first opening lands where the later ones do.
  if (d == dialog->size()) d += f.size() - frame->size();
  dialog->move(f.left() + f.width() - d.width() - inset, f.top() + f.height() - d.height() - inset);
}

bool SwallowEscapeWithoutCancel(QKeyEvent* event, const QPushButton* cancel) {
  if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier ||
      cancel->isVisible()) {
    return false;
  }
  event->accept();
  return true;
}

QGroupBox* RadioBox(const QString& caption, std::initializer_list<const char*> items,
                    QButtonGroup* group, QWidget* parent) {
  auto* box = new QGroupBox(caption, parent);
  auto* layout = new QVBoxLayout(box);
  int id = 0;
  for (const char* item : items) {
    auto* button = new QRadioButton(item, box);
    group->addButton(button, id++);
    layout->addWidget(button);
  }
  return box;
}

void ShowSeriesLabel(QLabel* label, int seriesNumber) {
  const Rgb colour = SeriesColor(seriesNumber);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, QColor(colour.r, colour.g, colour.b));
  label->setPalette(palette);
  label->setText("Series #" + QString::number(seriesNumber));
}

QPushButton* KeptButton(const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  QSizePolicy policy = button->sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  button->setSizePolicy(policy);
  return button;
}

void HideButton(QPushButton* button) {
  button->setVisible(false);
  button->setEnabled(false);
}

void ShowButton(QPushButton* button) {
  button->setVisible(true);
  button->setEnabled(true);
}

void LayOutWithButtonColumn(QDialog* dialog, QLayout* left,
                            std::initializer_list<QPushButton*> buttons) {
  auto* right = new QVBoxLayout;
  for (QPushButton* button : buttons) right->addWidget(button);
  right->addStretch(1);
  auto* top = new QHBoxLayout(dialog);
  top->addLayout(left);
  top->addLayout(right);
  // A dialog border: the size is the layout's and cannot be dragged.
  top->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace tavel
