#include "ui/scale/grid_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <initializer_list>
#include <string>

#include "core/series/workspace.h"
#include "ui/app/help_viewer.h"
#include "ui/scale/dialog_placement.h"
#include "ui/scale/scale_dialog.h"

namespace tavel {

namespace {

constexpr int kHelpTopic = 700;
// Further inside the frame than the Scale dialog, so that one opened over the other leaves the
// first one's corner in sight.
constexpr int kFrameInset = 30;

// A group of two labelled integer edits, one above the other.
QGroupBox* FieldBox(QWidget* parent, const QString& caption, const QString& firstLabel,
                    QLineEdit*& first, const QString& secondLabel, QLineEdit*& second) {
  auto* box = new QGroupBox(caption, parent);
  auto* grid = new QGridLayout(box);
  int row = 0;
  for (auto [label, edit] : {std::pair{firstLabel, &first}, std::pair{secondLabel, &second}}) {
    auto* text = new QLabel(label, box);
    text->setTextFormat(Qt::PlainText);
    *edit = new QLineEdit(box);
    (*edit)->setFixedWidth((*edit)->fontMetrics().horizontalAdvance("$FFFF") + 16);
    grid->addWidget(text, row, 0);
    grid->addWidget(*edit, row, 1);
    ++row;
  }
  // The edits follow their labels; a box wider than its fields keeps the room at its right.
  grid->setColumnStretch(2, 1);
  return box;
}

QString Text(const std::string& text) {
  return QString::fromStdString(text);
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

TGridF::TGridF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Grid  Dialog");
  SetHelpContext(this, kHelpTopic);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
  setModal(true);

  const QString minor = "Minor [ 1..10 ]";
  const QString major = "Major [ 1..20 ]";
  const QString ticks = "Ticks  [ 1..20 ]";
  const QString decimals = "Decimals  [ 0..8 ]";
  XBox = FieldBox(this, "X - Axis Grid", minor, XMinor, major, XMajor);
  GroupBox1 = FieldBox(this, "Y - Axis Grid", minor, YMinor, major, YMajor);
  GroupBox4 = FieldBox(this, "X - Scale Numbers", ticks, XTicks, decimals, XDec);
  GroupBox3 = FieldBox(this, "Y Left - Scale Numbers", ticks, YLTicks, decimals, YLDec);
  GroupBox2 = FieldBox(this, "Y Right - Scale Numbers", ticks, YRTicks, decimals, YRDec);

  OKBtn = KeptButton("OK", this);
  OKBtn->setDefault(true);
  CancelBtn = KeptButton("Cancel", this);
  HelpB = KeptButton("Help", this);
  ClearB = KeptButton("Clear", this);
  AutoXGridB = KeptButton("Auto X", this);
  AutoYLGridB = KeptButton("Auto YL", this);
  AutoYRGridB = KeptButton("Auto YR", this);
  DrawGridB = KeptButton("View", this);
  GoScaleB = KeptButton("Scale", this);

  // X in the first column, the Y axes beside it; each automatic grid sits under its axis.
  auto* groups = new QGridLayout;
  groups->addWidget(XBox, 0, 0);
  groups->addWidget(GroupBox1, 0, 1, 1, 2);
  groups->addWidget(GroupBox4, 1, 0);
  groups->addWidget(GroupBox3, 1, 1);
  groups->addWidget(GroupBox2, 1, 2);
  groups->addWidget(AutoXGridB, 2, 0);
  groups->addWidget(AutoYLGridB, 2, 1);
  groups->addWidget(AutoYRGridB, 2, 2);
  auto* side = new QVBoxLayout;
  for (QPushButton* b : {OKBtn, CancelBtn, HelpB}) side->addWidget(b);
  side->addStretch(1);
  for (QPushButton* b : {ClearB, DrawGridB, GoScaleB}) side->addWidget(b);
  auto* top = new QHBoxLayout(this);
  top->addLayout(groups);
  top->addLayout(side);
  // A dialog border: the size is the layout's and cannot be dragged.
  top->setSizeConstraint(QLayout::SetFixedSize);

  SetTabChain({XMinor, XMajor, YMinor, YMajor, XTicks, XDec, YLTicks, YLDec, YRTicks, YRDec,
               AutoXGridB, AutoYLGridB, AutoYRGridB, OKBtn, CancelBtn, HelpB, ClearB, DrawGridB,
               GoScaleB});

  connect(OKBtn, &QPushButton::clicked, this, &TGridF::OKBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpB, &QPushButton::clicked, this, &TGridF::HelpBClick);
  connect(ClearB, &QPushButton::clicked, this, &TGridF::ClearBClick);
  connect(AutoXGridB, &QPushButton::clicked, this, [this] { AutoGridClick(Axis::X); });
  connect(AutoYLGridB, &QPushButton::clicked, this, [this] { AutoGridClick(Axis::YL); });
  connect(AutoYRGridB, &QPushButton::clicked, this, [this] { AutoGridClick(Axis::YR); });
  connect(DrawGridB, &QPushButton::clicked, this, &TGridF::DrawGridBClick);
  connect(GoScaleB, &QPushButton::clicked, this, &TGridF::GoScaleBClick);
}

int TGridF::Execute() {
  return exec();
}

void TGridF::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Coming back from a minimised frame is not an opening.
  if (!event->spontaneous()) FormShow();
}

void TGridF::keyPressEvent(QKeyEvent* event) {
  if (SwallowEscapeWithoutCancel(event, CancelBtn)) return;
  QDialog::keyPressEvent(event);
}

void TGridF::FormShow() {
  const bool fromScale = scale_ != nullptr && scale_->isVisible();
  GoScaleB->setVisible(scale_ != nullptr && !fromScale);
  GoScaleB->setEnabled(scale_ != nullptr && !fromScale);
  ShowButton(CancelBtn);

  MoveIntoFrameCorner(this, kFrameInset);

  fields_ = GridDialogFields(workspace_.Settings);
  ShowEdits();

  QLineEdit* first = fields_.XEnabled ? XMajor : fields_.YEnabled ? YMinor : nullptr;
  if (first != nullptr) {
    first->setFocus(Qt::OtherFocusReason);
    first->selectAll();
  } else {
    OKBtn->setFocus(Qt::OtherFocusReason);
  }
}

void TGridF::ReadEdits() {
  auto read = [](QLineEdit* edit, std::string& field) { field = edit->text().toStdString(); };
  read(XMinor, fields_.XMinor);
  read(XMajor, fields_.XMajor);
  read(XTicks, fields_.XTicks);
  read(XDec, fields_.XDec);
  read(YMinor, fields_.YMinor);
  read(YMajor, fields_.YMajor);
  read(YLTicks, fields_.YLTicks);
  read(YLDec, fields_.YLDec);
  read(YRTicks, fields_.YRTicks);
  read(YRDec, fields_.YRDec);
}

void TGridF::ShowEdits() {
  XMinor->setText(Text(fields_.XMinor));
  XMajor->setText(Text(fields_.XMajor));
  XTicks->setText(Text(fields_.XTicks));
  XDec->setText(Text(fields_.XDec));
  YMinor->setText(Text(fields_.YMinor));
  YMajor->setText(Text(fields_.YMajor));
  YLTicks->setText(Text(fields_.YLTicks));
  YLDec->setText(Text(fields_.YLDec));
  YRTicks->setText(Text(fields_.YRTicks));
  YRDec->setText(Text(fields_.YRDec));
  for (QLineEdit* e : {XMinor, XMajor, XTicks, XDec}) e->setEnabled(fields_.XEnabled);
  for (QLineEdit* e : {YMinor, YMajor, YLTicks, YLDec, YRTicks, YRDec}) {
    e->setEnabled(fields_.YEnabled);
  }
}

void TGridF::ShowAndRedraw() {
  ShowGraphWindow();
  RedrawGraph();
}

bool TGridF::ClearGrid() {
  ReadEdits();
  const bool show = tavel::ClearGrid(workspace_.Settings, fields_, prompts_);
  ShowEdits();
  return show;
}

void TGridF::OKBtnClick() {
  ReadEdits();
  ApplyGridFields(workspace_.Settings, fields_, prompts_);
  accept();
}

void TGridF::ClearBClick() {
  HideButton(CancelBtn);
  if (ClearGrid()) ShowAndRedraw();
}

void TGridF::AutoGridClick(Axis axis) {
  ReadEdits();
  if (!AutoGrid(workspace_.Settings, axis, fields_, prompts_)) return;
  ShowEdits();
  HideButton(CancelBtn);
  ShowAndRedraw();
}

void TGridF::DrawGridBClick() {
  ReadEdits();
  if (!ViewGrid(workspace_.Settings, fields_, prompts_)) return;
  HideButton(CancelBtn);
  ShowAndRedraw();
}

void TGridF::GoScaleBClick() {
  ReadEdits();
  ApplyGridFields(workspace_.Settings, fields_, prompts_);
  if (scale_ == nullptr) return;
  scale_->Execute();
  // "Auto" and "Find All" over there choose new grid counts; these edits would put the old
  // ones back on OK. What was typed here is already stored, so nothing typed is lost.
  fields_ = GridDialogFields(workspace_.Settings);
  ShowEdits();
}

void TGridF::HelpBClick() {
  prompts_.ShowHelp(kHelpTopic);
}

}  // namespace tavel
