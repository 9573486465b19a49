#include "ui/scale/scale_dialog.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <initializer_list>

#include "core/series/workspace.h"
#include "ui/app/help_viewer.h"
#include "ui/scale/dialog_placement.h"
#include "ui/scale/grid_dialog.h"

namespace tavel {

namespace {

constexpr int kHelpTopic = 1500;
// The dialog's bottom-right corner sits this far inside the frame's, clear of the Grid dialog's.
constexpr int kFrameInset = 5;

QLineEdit* LimitEdit(QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  // Room for the longest text FormatNumber gives at width 14, an exponent form with sign.
  edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance("-8.8888888888E+4931") + 12);
  return edit;
}

// Tab order in reading order: down each group, then on to the buttons.
void SetTabChain(std::initializer_list<QWidget*> chain) {
  QWidget* previous = nullptr;
  for (QWidget* w : chain) {
    if (previous != nullptr) QWidget::setTabOrder(previous, w);
    previous = w;
  }
}

}  // namespace

TScaleF::TScaleF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Scale  Dialog");
  SetHelpContext(this, kHelpTopic);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
  setModal(true);

  auto axisBox = [this](const QString& caption, QLineEdit*& max, QLineEdit*& min,
                        QPushButton*& find, QPushButton*& autoButton) {
    auto* box = new QGroupBox(caption, this);
    auto* grid = new QGridLayout(box);
    max = LimitEdit(box);
    min = LimitEdit(box);
    find = KeptButton("Find", box);
    autoButton = KeptButton("Auto", box);
    grid->addWidget(new QLabel("Max", box), 0, 0);
    grid->addWidget(max, 0, 1);
    grid->addWidget(find, 0, 2);
    grid->addWidget(new QLabel("Min", box), 1, 0);
    grid->addWidget(min, 1, 1);
    grid->addWidget(autoButton, 1, 2);
    return box;
  };
  XBox = axisBox("X - Axis Scale", MaxX, MinX, Button1, AutoBX);
  YLBox = axisBox("Y Left  -  Axis Scale", MaxYL, MinYL, Button2, AutoBYL);
  YRBox = axisBox("Y Right  -  Axis Scale", MaxYR, MinYR, Button3, AutoBYR);

  AutoBox = new QGroupBox("Multi-Scale", this);
  AutoBoxItems = new QButtonGroup(this);
  auto* choices = new QVBoxLayout(AutoBox);
  const char* items[] = {"X", "Y", "Both", "Disable"};
  for (int i = kMultiScaleX; i <= kMultiScaleDisable; ++i) {
    auto* item = new QRadioButton(items[i], AutoBox);
    AutoBoxItems->addButton(item, i);
    choices->addWidget(item);
  }
  AutoBoxItems->button(kMultiScaleDisable)->setChecked(true);

  OKBtn = KeptButton("OK", this);
  OKBtn->setDefault(true);
  CancelBtn = KeptButton("Cancel", this);
  SetMaxMin1 = KeptButton("Find All", this);
  DrawScaleB = KeptButton("View", this);
  GoGridB = KeptButton("Grid", this);
  Button4 = KeptButton("Help", this);

  auto* axes = new QVBoxLayout;
  axes->addWidget(XBox);
  axes->addWidget(YLBox);
  axes->addWidget(YRBox);
  auto* side = new QVBoxLayout;
  side->addWidget(AutoBox);
  side->addStretch(1);
  for (QPushButton* b : {OKBtn, CancelBtn, SetMaxMin1, DrawScaleB, GoGridB, Button4}) {
    side->addWidget(b);
  }
  auto* top = new QHBoxLayout(this);
  top->addLayout(axes);
  top->addLayout(side);
  // A dialog border: the size is the layout's and cannot be dragged.
  top->setSizeConstraint(QLayout::SetFixedSize);

  SetTabChain({MaxX, MinX, Button1, AutoBX, MaxYL, MinYL, Button2, AutoBYL, MaxYR, MinYR, Button3,
               AutoBYR, AutoBoxItems->button(kMultiScaleX), OKBtn, CancelBtn, SetMaxMin1,
               DrawScaleB, GoGridB, Button4});

  connect(Button1, &QPushButton::clicked, this, [this] { FindClick(Axis::X); });
  connect(Button2, &QPushButton::clicked, this, [this] { FindClick(Axis::YL); });
  connect(Button3, &QPushButton::clicked, this, [this] { FindClick(Axis::YR); });
  connect(AutoBX, &QPushButton::clicked, this, [this] { AutoClick(Axis::X); });
  connect(AutoBYL, &QPushButton::clicked, this, [this] { AutoClick(Axis::YL); });
  connect(AutoBYR, &QPushButton::clicked, this, [this] { AutoClick(Axis::YR); });
  connect(AutoBoxItems, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
    if (checked) AutoBoxClick(id);
  });
  connect(OKBtn, &QPushButton::clicked, this, &TScaleF::OKBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(SetMaxMin1, &QPushButton::clicked, this, &TScaleF::SetMaxMin1Click);
  connect(DrawScaleB, &QPushButton::clicked, this, &TScaleF::DrawScaleBClick);
  connect(GoGridB, &QPushButton::clicked, this, &TScaleF::GoGridBClick);
  connect(Button4, &QPushButton::clicked, this, &TScaleF::Button4Click);
}

int TScaleF::Execute() {
  return exec();
}

void TScaleF::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Coming back from a minimised frame is not an opening.
  if (!event->spontaneous()) FormShow();
}

void TScaleF::keyPressEvent(QKeyEvent* event) {
  if (SwallowEscapeWithoutCancel(event, CancelBtn)) return;
  QDialog::keyPressEvent(event);
}

void TScaleF::FormShow() {
  const bool fromGrid = grid_ != nullptr && grid_->isVisible();
  GoGridB->setVisible(grid_ != nullptr && !fromGrid);
  GoGridB->setEnabled(grid_ != nullptr && !fromGrid);
  ShowButton(CancelBtn);

  MoveIntoFrameCorner(this, kFrameInset);

  const bool redraw = ScaleDialogOpen(workspace_.Settings, fields_, prompts_);
  ShowEdits();
  if (redraw) RedrawGraph();

  MaxX->setFocus(Qt::OtherFocusReason);
  MaxX->selectAll();
}

void TScaleF::ReadEdits() {
  for (Axis axis : {Axis::X, Axis::YL, Axis::YR}) {
    MaxField(fields_, axis) = MaxEdit(axis)->text().toStdString();
    MinField(fields_, axis) = MinEdit(axis)->text().toStdString();
  }
}

void TScaleF::ShowEdits() {
  for (Axis axis : {Axis::X, Axis::YL, Axis::YR}) {
    MaxEdit(axis)->setText(QString::fromStdString(MaxField(fields_, axis)));
    MinEdit(axis)->setText(QString::fromStdString(MinField(fields_, axis)));
  }
  // The choice shown is the one the core settled on; showing it is not a new choice.
  const QSignalBlocker blocker(AutoBoxItems);
  if (QAbstractButton* item = AutoBoxItems->button(fields_.AutoBox)) item->setChecked(true);
}

QLineEdit* TScaleF::MaxEdit(Axis axis) const {
  return axis == Axis::X ? MaxX : axis == Axis::YL ? MaxYL : MaxYR;
}

QLineEdit* TScaleF::MinEdit(Axis axis) const {
  return axis == Axis::X ? MinX : axis == Axis::YL ? MinYL : MinYR;
}

void TScaleF::AutoBoxClick(int choice) {
  ReadEdits();
  fields_.AutoBox = choice;
  const bool redraw = MultiScaleChoiceChanged(workspace_.Settings, fields_, prompts_);
  ShowEdits();
  if (redraw) RedrawGraph();
}

void TScaleF::SetChoice(int choice) {
  ReadEdits();
  const bool redraw = SetMultiScaleChoice(workspace_.Settings, fields_, choice, prompts_);
  ShowEdits();
  if (redraw) RedrawGraph();
}

void TScaleF::OKBtnClick() {
  ReadEdits();
  ApplyScaleFields(workspace_.Settings, fields_, prompts_);
  accept();
}

void TScaleF::FindClick(Axis axis) {
  ReadEdits();
  FindScale(workspace_, axis, fields_);
  ShowEdits();
}

void TScaleF::AutoClick(Axis axis) {
  ReadEdits();
  NiceScale(workspace_, axis, fields_);
  ShowEdits();
  SetChoice(kMultiScaleDisable);
  // A new X range only matters to a graph already on screen; a new Y range is worth seeing.
  if (axis != Axis::X) ShowGraphWindow();
  RedrawGraph();
}

void TScaleF::SetMaxMin1Click() {
  SetChoice(kMultiScaleDisable);
  ApplyScaleFields(workspace_.Settings, fields_, prompts_);
  FindAllScales(workspace_, fields_);
  ShowEdits();
  // The old grid counts belong to the old ranges.
  const bool show =
      grid_ != nullptr ? grid_->ClearGrid() : tavel::ClearGrid(workspace_.Settings, prompts_);
  if (show) {
    ShowGraphWindow();
    RedrawGraph();
  }
}

void TScaleF::DrawScaleBClick() {
  SetChoice(kMultiScaleDisable);
  ApplyScaleFields(workspace_.Settings, fields_, prompts_);
  // What is on screen now was applied; there is nothing left for "Cancel" to keep out.
  HideButton(CancelBtn);
  ShowGraphWindow();
  RedrawGraph();
}

void TScaleF::GoGridBClick() {
  ReadEdits();
  ApplyScaleFields(workspace_.Settings, fields_, prompts_);
  if (grid_ != nullptr) grid_->Execute();
}

void TScaleF::Button4Click() {
  prompts_.ShowHelp(kHelpTopic);
}

}  // namespace tavel
