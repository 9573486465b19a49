#include "ui/cells/fill_dialog.h"

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

#include "core/platform/prompts.h"
#include "core/series/cell_grid.h"
#include "core/series/series.h"
#include "core/series/workspace.h"
#include "ui/app/help_viewer.h"
#include "ui/cells/series_dialog.h"
#include "ui/datawin/data_window.h"

namespace tavel {

namespace {

constexpr int kHelpTopic = 1140;

}  // namespace

TFillF::TFillF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Math Fill Cells");
  SetHelpContext(this, kHelpTopic);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setModal(true);

  Label1 = new QLabel("Series # ", this);

  OperateOnBox = new QGroupBox("Operate on", this);
  OperateOnBoxItems = new QButtonGroup(this);
  auto* columns = new QVBoxLayout(OperateOnBox);
  const char* items[] = {"X Column cells", "Y Column cells"};
  for (int i = 0; i < 2; ++i) {
    auto* item = new QRadioButton(items[i], OperateOnBox);
    OperateOnBoxItems->addButton(item, i);
    columns->addWidget(item);
  }
  OperateOnBoxItems->button(0)->setChecked(true);

  LimitsBox = new QGroupBox("Select Fill Limits", this);
  auto* limits = new QGridLayout(LimitsBox);
  const struct {
    const char* caption;
    QLineEdit*& edit;
  } fields[] = {
      {"Start Index", Edit1}, {"Stop Index", Edit2}, {"Start Value", Edit3}, {"Step Value", Edit4}};
  int row = 0;
  for (const auto& f : fields) {
    f.edit = new QLineEdit(LimitsBox);
    f.edit->setMinimumWidth(f.edit->fontMetrics().horizontalAdvance("-8.8888888888E+4931") + 12);
    auto* label = new QLabel(f.caption, LimitsBox);
    label->setBuddy(f.edit);
    limits->addWidget(label, row, 0);
    limits->addWidget(f.edit, row, 1);
    ++row;
  }

  ButtonOK = DialogButton("OK", nullptr, this);
  ButtonOperate = DialogButton("Operate", nullptr, this);
  NextB = DialogButton("Next", nullptr, this);
  ButtonHelp = DialogButton("Help", nullptr, this);

  LayOutWithButtonColumn(this, {Label1, OperateOnBox, LimitsBox}, {ButtonOK, ButtonOperate, NextB, ButtonHelp});

  connect(ButtonOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(ButtonOperate, &QPushButton::clicked, this, &TFillF::ButtonOperateClick);
  connect(NextB, &QPushButton::clicked, this, &TFillF::NextBClick);
  connect(ButtonHelp, &QPushButton::clicked, this, [this] { prompts_.ShowHelp(kHelpTopic); });
}

int TFillF::Execute(TSpreadF& window) {
  window_ = &window;
  const int result = exec();
  window_ = nullptr;
  return result;
}

void TFillF::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous() || !window_) return;
  PrepareSeriesDialog(this, *window_);
  FormActivate();
  if (const Series* series = SeriesOf(window_)) {
    FillTexts texts{Edit1->text().toStdString(), Edit2->text().toStdString(),
                    Edit3->text().toStdString(), Edit4->text().toStdString()};
    FillDefaultTexts(texts, series->MaxIndex);
    Edit1->setText(QString::fromStdString(texts.startIndex));
    Edit2->setText(QString::fromStdString(texts.stopIndex));
    Edit3->setText(QString::fromStdString(texts.startValue));
    Edit4->setText(QString::fromStdString(texts.stepValue));
  }
}

bool TFillF::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) FormActivate();
  return QDialog::event(event);
}

void TFillF::FormActivate() {
  if (const Series* series = SeriesOf(window_)) {
    Label1->setText(QString("Series # %1").arg(series->SeriesNumber));
  }
}

QLineEdit* TFillF::EditOf(FillField field) const {
  switch (field) {
    case FillField::StartIndex:
      return Edit1;
    case FillField::StopIndex:
      return Edit2;
    case FillField::StartValue:
      return Edit3;
    case FillField::StepValue:
      return Edit4;
    case FillField::None:
      break;
  }
  return nullptr;
}

void TFillF::ButtonOperateClick() {
  Series* series = SeriesOf(window_);
  if (series == nullptr) return;
  const FillTexts texts{Edit1->text().toStdString(), Edit2->text().toStdString(),
                        Edit3->text().toStdString(), Edit4->text().toStdString()};
  const int column = OperateOnBoxItems->checkedId() == 1 ? kYColumn : kXColumn;
  const FillOutcome outcome = FillCells(*series, column, texts);
  if (QLineEdit* edit = EditOf(outcome.errorField)) {
    // The message stands in the field itself, selected, so typing replaces it.
    edit->setText(QString::fromStdString(outcome.errorText));
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
    prompts_.Beep();
  } else if (outcome.overflow) {
    prompts_.Beep();
  }
  RedrawGraph();
}

void TFillF::NextBClick() {
  workspace_.Settings.NextSeriesRequested = true;
  accept();
}

}  // namespace tavel
