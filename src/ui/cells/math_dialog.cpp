#include "ui/cells/math_dialog.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "core/series/number_text.h"
#include "core/series/series.h"
#include "core/series/workspace.h"
#include "ui/app/help_viewer.h"
#include "ui/calc/calc_dialog.h"
#include "ui/cells/series_dialog.h"
#include "ui/datawin/data_window.h"

namespace tavel {

namespace {

constexpr int kHelpTopic = 1120;

QLineEdit* NumberEdit(QWidget* parent, bool readOnly) {
  auto* edit = new QLineEdit(parent);
  edit->setReadOnly(readOnly);
  // Room for the longest text FormatNumber gives at width 14, an exponent form with sign.
  edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance("-8.8888888888E+4931") + 12);
  return edit;
}

}  // namespace

TMathF::TMathF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Math Operations on Cells");
  SetHelpContext(this, kHelpTopic);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setModal(true);

  Label1 = new QLabel("Series # ", this);

  OperationBox = new QGroupBox("Operation ", this);
  OperationBoxItems = new QButtonGroup(this);
  auto* operations = new QVBoxLayout(OperationBox);
  const char* items[] = {"Cell + K",  "Cell - K",    "Cell * K", "Cell / K",    "Cell ^ K",
                         "10 ^ Cell", "Log10(Cell)", "1 / Cell", "Round(Cell) "};
  for (int i = kCellPlusK; i <= kRoundCell; ++i) {
    auto* item = new QRadioButton(items[i], OperationBox);
    OperationBoxItems->addButton(item, i);
    operations->addWidget(item);
  }
  OperationBoxItems->button(kCellPlusK)->setChecked(true);

  ConstantBox = new QGroupBox("Enter Constant K", this);
  Edit1 = NumberEdit(ConstantBox, false);
  (new QVBoxLayout(ConstantBox))->addWidget(Edit1);

  OperateOnBox = new QGroupBox("Operate on", this);
  SelectedCellsRB = new QRadioButton("Selected cells", OperateOnBox);
  XColumnCellsRB = new QRadioButton("X Column cells", OperateOnBox);
  YColumnCellsRB = new QRadioButton("Y Column cells", OperateOnBox);
  SelectedCellsRB->setChecked(true);
  Edit2 = NumberEdit(OperateOnBox, true);
  Edit3 = NumberEdit(OperateOnBox, true);
  Edit4 = NumberEdit(OperateOnBox, true);
  auto* operateOn = new QGridLayout(OperateOnBox);
  operateOn->addWidget(SelectedCellsRB, 0, 0, 1, 2);
  operateOn->addWidget(XColumnCellsRB, 1, 0, 1, 2);
  operateOn->addWidget(YColumnCellsRB, 2, 0, 1, 2);
  const struct {
    const char* caption;
    QLineEdit* edit;
  } statistics[] = {{"Total", Edit2}, {"Average", Edit3}, {"Sigma", Edit4}};
  int row = 3;
  for (const auto& s : statistics) {
    auto* label = new QLabel(s.caption, OperateOnBox);
    label->setBuddy(s.edit);
    operateOn->addWidget(label, row, 0);
    operateOn->addWidget(s.edit, row, 1);
    ++row;
  }

  Button1 = DialogButton("OK", "Close Dialog", this);
  ButtonOperate = DialogButton("Operate", "Operate on Cells", this);
  ButtonCopy = DialogButton("Copy", "Win Clip = Tot, Ave, Sig", this);
  NextB = DialogButton("Next", "Next Series #", this);
  ButtonCal = DialogButton("Calculator", "Open Calculator", this);
  Button3 = DialogButton("Help", nullptr, this);

  auto* left = new QVBoxLayout;
  left->addWidget(Label1);
  left->addWidget(OperationBox);
  left->addStretch(1);
  auto* right = new QVBoxLayout;
  right->addWidget(ConstantBox);
  right->addWidget(OperateOnBox);
  right->addStretch(1);
  auto* buttons = new QGridLayout;
  buttons->addWidget(Button1, 0, 0);
  buttons->addWidget(ButtonOperate, 0, 1);
  buttons->addWidget(ButtonCopy, 0, 2);
  buttons->addWidget(NextB, 1, 0);
  buttons->addWidget(ButtonCal, 1, 1);
  buttons->addWidget(Button3, 1, 2);
  right->addLayout(buttons);
  auto* top = new QHBoxLayout(this);
  top->addLayout(left);
  top->addLayout(right);
  // A dialog border: the size is the layout's and cannot be dragged.
  top->setSizeConstraint(QLayout::SetFixedSize);

  connect(Button1, &QPushButton::clicked, this, &TMathF::Button1Click);
  connect(ButtonOperate, &QPushButton::clicked, this, &TMathF::ButtonOperateClick);
  connect(ButtonCopy, &QPushButton::clicked, this, &TMathF::ButtonCopyClick);
  connect(NextB, &QPushButton::clicked, this, &TMathF::NextBClick);
  connect(ButtonCal, &QPushButton::clicked, this, &TMathF::ButtonCalClick);
  connect(Button3, &QPushButton::clicked, this, &TMathF::Button3Click);
  for (QRadioButton* choice : {SelectedCellsRB, XColumnCellsRB, YColumnCellsRB}) {
    connect(choice, &QRadioButton::clicked, this, &TMathF::OperateOnClick);
  }
}

int TMathF::Execute(TSpreadF& window) {
  window_ = &window;
  const int result = exec();
  window_ = nullptr;
  if (calculator_ != nullptr) calculator_->OwnerClosed(this);
  return result;
}

Series* TMathF::ActiveSeries() const {
  return SeriesOf(window_);
}

CellSet TMathF::ChosenSet() const {
  CellSet set;
  set.kind = XColumnCellsRB->isChecked()   ? CellSetKind::XColumnCells
             : YColumnCellsRB->isChecked() ? CellSetKind::YColumnCells
                                           : CellSetKind::SelectedCells;
  if (window_) {
    set.selection = window_->Selection();
    set.cursorColumn = window_->CurrentCell().column;
  }
  return set;
}

void TMathF::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Coming back from a minimised frame is not an opening.
  if (!event->spontaneous()) FormShow();
}

bool TMathF::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) FormActivate();
  if (event->type() == QEvent::WindowDeactivate) FormDeactivate();
  return QDialog::event(event);
}

void TMathF::FormShow() {
  if (window_) PrepareSeriesDialog(this, *window_);
  // Opened beside the dialog for an earlier series, the calculator stays usable for this one.
  if (calculator_ != nullptr && calculator_->isVisible()) calculator_->SetOwner(this);
  FormActivate();
  Edit1->setText(QString::fromStdString(FormatNumber(workspace_.Settings.CalcX, 14)));
  ShowStatistics();
  Edit1->setFocus(Qt::OtherFocusReason);
  Edit1->selectAll();
}

void TMathF::FormActivate() {
  kReadForCalculator_ = false;
  if (const Series* series = ActiveSeries()) {
    Label1->setText(QString("Series # %1").arg(series->SeriesNumber));
  }
}

void TMathF::done(int result) {
  closing_ = true;
  QDialog::done(result);
  closing_ = false;
}

void TMathF::FormDeactivate() {
  // Only a window taking the place of the open dialog reads K; closing the dialog does not.
  if (closing_ || !isVisible()) return;
  // The calculator opened by "Calculator" takes the focus; K was read a moment ago, quietly.
  if (kReadForCalculator_) {
    kReadForCalculator_ = false;
    return;
  }
  if (!ReadK()) prompts_.Beep();
}

bool TMathF::ReadK() {
  const auto k = ReadConstant(Edit1->text().toStdString());
  if (!k) return false;
  workspace_.Settings.CalcX = *k;
  return true;
}

void TMathF::ShowStatistics() {
  const Series* series = ActiveSeries();
  ShowStatistics(series != nullptr ? ComputeStatistics(series->Cells, ChosenSet())
                                   : CellStatistics{});
}

void TMathF::ShowStatistics(const CellStatistics& statistics) {
  const StatisticsText text = FormatStatistics(statistics);
  Edit2->setText(QString::fromStdString(text.total));
  Edit3->setText(QString::fromStdString(text.average));
  Edit4->setText(QString::fromStdString(text.sigma));
}

void TMathF::OperateOnClick() {
  ShowStatistics();
}

void TMathF::Button1Click() {
  accept();
}

void TMathF::ButtonOperateClick() {
  if (!ReadK()) {
    prompts_.Beep();
    return;
  }
  Series* series = ActiveSeries();
  if (series == nullptr) return;
  const OperateOutcome outcome = OperateOnCells(
      *series, ChosenSet(), OperationBoxItems->checkedId(), workspace_.Settings.CalcX);
  ShowStatistics(outcome.statistics);
  if (outcome.undefined) {
    prompts_.Beep();
    prompts_.ErrorBox(std::string(kUndefinedOperationMessage));
  }
  RedrawGraph();
}

void TMathF::ButtonCopyClick() {
  clipboard_.SetText(StatisticsCopyText(
      {Edit2->text().toStdString(), Edit3->text().toStdString(), Edit4->text().toStdString()}));
  accept();
}

void TMathF::NextBClick() {
  workspace_.Settings.NextSeriesRequested = true;
  accept();
}

void TMathF::ButtonCalClick() {
  // Text that is no number keeps the old K without a word: the user asked for the calculator.
  ReadK();
  if (calculator_ == nullptr) return;
  kReadForCalculator_ = true;
  calculator_->ShowOver(this);
}

void TMathF::Button3Click() {
  prompts_.ShowHelp(kHelpTopic);
}

}  // namespace tavel
