#include "ui/dialogs/printer_color_dialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "core/platform/prompts.h"
#include "core/series/number_text.h"
#include "core/series/series_options.h"
#include "core/series/workspace.h"
#include "ui/app/help_viewer.h"
#include "ui/scale/dialog_placement.h"

namespace tavel {

namespace {

constexpr int kHelpTopic = 1300;
constexpr int kFrameInset = 30;

}  // namespace

TPrintCF::TPrintCF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Printer Color  Dialog");
  SetHelpContext(this, kHelpTopic);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setModal(true);

  Label1 = new QLabel("Series #1", this);
  QFont big = Label1->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.25);
  Label1->setFont(big);
  RadioGroup1 = new QGroupBox("Printer Series Color", this);
  RadioGroup1Items = new QButtonGroup(RadioGroup1);
  auto* items = new QVBoxLayout(RadioGroup1);
  const char* captions[] = {"&Default", "&Black", "&Red", "&Green", "Bl&ue"};
  for (int i = kItemDefault; i <= kItemBlue; ++i) {
    auto* item = new QRadioButton(captions[i], RadioGroup1);
    RadioGroup1Items->addButton(item, i);
    items->addWidget(item);
  }
  RadioGroup1Items->button(kItemDefault)->setChecked(true);

  OKBtn = new QPushButton("OK", this);
  OKBtn->setDefault(true);
  Button6 = new QPushButton("Next", this);
  CancelBtn = new QPushButton("Cancel", this);
  Button1 = new QPushButton("Help", this);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {OKBtn, Button6, CancelBtn, Button1}) buttons->addWidget(b);
  buttons->addStretch(1);
  auto* left = new QVBoxLayout;
  left->addWidget(Label1);
  left->addWidget(RadioGroup1);
  auto* top = new QHBoxLayout(this);
  top->addLayout(left);
  top->addLayout(buttons);
  top->setSizeConstraint(QLayout::SetFixedSize);

  connect(OKBtn, &QPushButton::clicked, this, [this] {
    Store();
    accept();
  });
  connect(Button6, &QPushButton::clicked, this, [this] {
    Store();
    workspace_.Settings.NextSeriesRequested = true;
    accept();
  });
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(Button1, &QPushButton::clicked, this, [this] { prompts_.ShowHelp(kHelpTopic); });
}

void TPrintCF::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Coming back from a minimised frame is not an opening.
  if (!event->spontaneous()) FormShow();
}

void TPrintCF::FormShow() {
  MoveIntoFrameCorner(this, kFrameInset);
  ShowButton(CancelBtn);
  series_ = Hooks.ActiveSeries();
  if (series_ == nullptr) return;
  Hooks.RestoreActiveWindow();
  RadioGroup1Items->button(PrinterColorItemOf(series_->PrinterColor))->setChecked(true);
  ShowSeriesLabel(Label1, series_->SeriesNumber);
}

void TPrintCF::Store() {
  if (series_ != nullptr) series_->PrinterColor = PrinterColorCodeOf(RadioGroup1Items->checkedId());
}

}  // namespace tavel
