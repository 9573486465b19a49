#include "ui/cells/math_xy_dialog.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "core/cells/cell_operations.h"
#include "core/cells/xy_operations.h"
#include "core/platform/prompts.h"
#include "core/series/series.h"
#include "core/series/workspace.h"
#include "ui/app/help_viewer.h"
#include "ui/cells/series_dialog.h"
#include "ui/datawin/data_window.h"

namespace tavel {

namespace {

constexpr int kHelpTopic = 1160;

}  // namespace

TMath_XYF::TMath_XYF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Math X & Y Operations");
  SetHelpContext(this, kHelpTopic);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setModal(true);

  Label1 = new QLabel("Series Number  ", this);
  Math_XYBox = new QGroupBox("X && Y Operations", this);
  Math_XYBoxItems = new QButtonGroup(this);
  auto* items = new QVBoxLayout(Math_XYBox);
  const char* captions[] = {"Switch X&&Y", "Y = Y + X", "Y = Y - X", "Y = Y * X",
                            "Y = Y / X",   "Y = X / Y", "Y= Sum(Y)", "Y= Integral of f(x) dx"};
  for (int i = kSwitchXY; i <= kYIntegral; ++i) {
    auto* item = new QRadioButton(captions[i], Math_XYBox);
    Math_XYBoxItems->addButton(item, i);
    items->addWidget(item);
  }
  Math_XYBoxItems->button(kSwitchXY)->setChecked(true);

  ButtonOK = DialogButton("OK", nullptr, this);
  ButtonOperate = DialogButton("Operate", nullptr, this);
  NextB = DialogButton("Next", nullptr, this);
  ButtonHelp = DialogButton("Help", nullptr, this);

  LayOutWithButtonColumn(this, {Label1, Math_XYBox}, {ButtonOK, ButtonOperate, NextB, ButtonHelp});

  connect(ButtonOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(ButtonOperate, &QPushButton::clicked, this, &TMath_XYF::ButtonOperateClick);
  connect(NextB, &QPushButton::clicked, this, &TMath_XYF::NextBClick);
  connect(ButtonHelp, &QPushButton::clicked, this, [this] { prompts_.ShowHelp(kHelpTopic); });
}

int TMath_XYF::Execute(TSpreadF& window) {
  window_ = &window;
  const int result = exec();
  window_ = nullptr;
  return result;
}

void TMath_XYF::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous() || !window_) return;
  PrepareSeriesDialog(this, *window_);
  FormActivate();
}

bool TMath_XYF::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) FormActivate();
  return QDialog::event(event);
}

void TMath_XYF::FormActivate() {
  if (const Series* series = SeriesOf(window_)) {
    Label1->setText(QString("Series Number  %1").arg(series->SeriesNumber));
  }
}

void TMath_XYF::ButtonOperateClick() {
  Series* series = SeriesOf(window_);
  if (series == nullptr) return;
  if (OperateXY(*series, Math_XYBoxItems->checkedId())) {
    // A result beyond the range was not written; the user hears of it as of any other
    // operation on cells that had no result.
    prompts_.Beep();
    prompts_.ErrorBox(std::string(kUndefinedOperationMessage));
  }
  RedrawGraph();
}

void TMath_XYF::NextBClick() {
  workspace_.Settings.NextSeriesRequested = true;
  accept();
}

}  // namespace tavel
