#include "ui/dialogs/graph_type_dialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/platform/prompts.h"
#include "core/series/number_text.h"
#include "core/series/series_options.h"
#include "core/series/workspace.h"
#include "ui/app/help_viewer.h"
#include "ui/scale/dialog_placement.h"

namespace tavel {

namespace {

constexpr int kHelpTopic = 600;
constexpr int kFrameInset = 30;

QGroupBox* RadioGroup(const QString& caption, std::initializer_list<const char*> items,
                      QWidget* parent, QButtonGroup** group) {
  auto* box = new QGroupBox(caption, parent);
  *group = new QButtonGroup(box);
  auto* layout = new QVBoxLayout(box);
  int id = 0;
  for (const char* text : items) {
    auto* item = new QRadioButton(text, box);
    (*group)->addButton(item, id++);
    layout->addWidget(item);
  }
  layout->addStretch(1);
  return box;
}

void Check(QButtonGroup* group, int id) {
  const QSignalBlocker blocker(group);
  if (QAbstractButton* item = group->button(id)) item->setChecked(true);
}

}  // namespace

TGTypeF::TGTypeF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Graph Type Dialog");
  SetHelpContext(this, kHelpTopic);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setModal(true);

  Label1 = new QLabel("Series #1", this);
  QFont big = Label1->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.25);
  Label1->setFont(big);
  RadioGroup1 = RadioGroup(
      "Graph Type", {"Line", "Bar", "Fit", "None", "Line && Bar", "Line && Fit", "Bar && Fit"},
      this, &RadioGroup1Items);
  RadioGroup2 = RadioGroup("Points", {"Show", "Hide"}, this, &RadioGroup2Items);
  RadioGroup3 = RadioGroup("Y Axis", {"Left", "Right"}, this, &RadioGroup3Items);
  OKBtn = new QPushButton("OK", this);
  OKBtn->setDefault(true);
  NextB = new QPushButton("Next", this);
  Button1 = new QPushButton("Help", this);

  auto* groups = new QHBoxLayout;
  groups->addWidget(RadioGroup1);
  auto* small = new QVBoxLayout;
  small->addWidget(RadioGroup2);
  small->addWidget(RadioGroup3);
  groups->addLayout(small);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {OKBtn, NextB, Button1}) buttons->addWidget(b);
  auto* top = new QVBoxLayout(this);
  top->addWidget(Label1);
  top->addLayout(groups);
  top->addLayout(buttons);
  top->setSizeConstraint(QLayout::SetFixedSize);

  const auto onClick = [this](QButtonGroup* group, void (TGTypeF::*handler)(int)) {
    connect(group, &QButtonGroup::idToggled, this, [this, handler](int id, bool checked) {
      if (checked) (this->*handler)(id);
    });
  };
  onClick(RadioGroup1Items, &TGTypeF::RadioGroup1Click);
  onClick(RadioGroup2Items, &TGTypeF::RadioGroup2Click);
  onClick(RadioGroup3Items, &TGTypeF::RadioGroup3Click);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(NextB, &QPushButton::clicked, this, &TGTypeF::NextBClick);
  connect(Button1, &QPushButton::clicked, this, [this] { prompts_.ShowHelp(kHelpTopic); });
}

void TGTypeF::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Coming back from a minimised frame is not an opening.
  if (!event->spontaneous()) FormShow();
}

void TGTypeF::FormShow() {
  MoveIntoFrameCorner(this, kFrameInset);
  series_ = Hooks.ActiveSeries();
  if (series_ == nullptr) return;
  Hooks.RestoreActiveWindow();
  ShowChoices();
  ShowSeriesLabel(Label1, series_->SeriesNumber);
}

void TGTypeF::ShowChoices() {
  Check(RadioGroup2Items, series_->ShowPoints ? 0 : 1);
  Check(RadioGroup3Items, series_->LeftAxis ? 0 : 1);
  Check(RadioGroup1Items, series_->GraphType - 1);
}

void TGTypeF::RadioGroup1Click(int item) {
  if (series_ == nullptr) return;
  Series& s = *series_;
  s.GraphType = item + 1;
  if (GraphTypeDrawsFit(s.GraphType) && !s.FitActive) {
    prompts_.Beep();
    Hooks.ShowFitDialog();
    // The fit dialog shown here runs in no loop of its own: a "Next" pressed in it must not be
    // taken for this dialog's.
    workspace_.Settings.NextSeriesRequested = false;
    if (!s.FitActive) s.GraphType = GraphTypeWithoutFit(s.GraphType);
    // The fit dialog may have moved the type on; show where it ended.
    Check(RadioGroup1Items, s.GraphType - 1);
  }
  Hooks.RedrawGraph();
}

void TGTypeF::RadioGroup2Click(int item) {
  if (series_ == nullptr) return;
  series_->ShowPoints = item == 0;
  Hooks.RedrawGraph();
}

void TGTypeF::RadioGroup3Click(int item) {
  if (series_ == nullptr) return;
  series_->LeftAxis = item == 0;
  Hooks.RedrawGraph();
}

void TGTypeF::NextBClick() {
  workspace_.Settings.NextSeriesRequested = true;
  accept();
}

}  // namespace tavel
