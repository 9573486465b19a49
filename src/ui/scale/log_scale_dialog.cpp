#include "ui/scale/log_scale_dialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "core/platform/prompts.h"
#include "core/scale/preferences.h"
#include "core/series/workspace.h"
#include "ui/app/help_viewer.h"
#include "ui/scale/dialog_placement.h"

namespace tavel {

namespace {

constexpr int kHelpTopic = 1000;
constexpr int kFrameInset = 30;

}  // namespace

TLogScaleF::TLogScaleF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Log Scale  Dialog");
  SetHelpContext(this, kHelpTopic);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
  setModal(true);

  LogBoxItems = new QButtonGroup(this);
  LogBox = RadioBox("Log Scale", {"X", "Y", "Both", "None"}, LogBoxItems, this);
  FormatBoxItems = new QButtonGroup(this);
  FormatBox = RadioBox("Format Log Scale", {"Exponential", "Decimal"}, FormatBoxItems, this);

  OKBtn = new QPushButton("OK", this);
  OKBtn->setDefault(true);
  CancelBtn = KeptButton("Cancel", this);
  Button1 = new QPushButton("Help", this);

  auto* boxes = new QHBoxLayout;
  boxes->addWidget(LogBox);
  boxes->addWidget(FormatBox, 0, Qt::AlignTop);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  buttons->addWidget(Button1);
  auto* top = new QVBoxLayout(this);
  top->addLayout(boxes);
  top->addLayout(buttons);
  top->setSizeConstraint(QLayout::SetFixedSize);

  connect(LogBoxItems, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
    if (checked) LogBoxClick(id);
  });
  connect(FormatBoxItems, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
    if (checked) FormatBoxClick(id);
  });
  connect(OKBtn, &QPushButton::clicked, this, &TLogScaleF::OKBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(Button1, &QPushButton::clicked, this, [this] { prompts_.ShowHelp(kHelpTopic); });
}

void TLogScaleF::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TLogScaleF::keyPressEvent(QKeyEvent* event) {
  if (SwallowEscapeWithoutCancel(event, CancelBtn)) return;
  QDialog::keyPressEvent(event);
}

void TLogScaleF::FormShow() {
  MoveIntoFrameCorner(this, kFrameInset);
  // Selecting runs the live handlers when the selection moves; they only set what the
  // settings already hold, and Cancel is offered again below.
  const GraphSettings& s = workspace_.Settings;
  LogBoxItems->button(LogChoiceOf(s))->setChecked(true);
  FormatBoxItems->button(LogFormatOf(s))->setChecked(true);
  ShowButton(CancelBtn);
}

void TLogScaleF::LogBoxClick(int choice) {
  ApplyLogChoice(workspace_.Settings, choice);
  HideButton(CancelBtn);
  RedrawGraph();
}

void TLogScaleF::FormatBoxClick(int format) {
  ApplyLogFormat(workspace_.Settings, format);
  HideButton(CancelBtn);
  RedrawGraph();
}

void TLogScaleF::OKBtnClick() {
  ApplyLogChoice(workspace_.Settings, LogBoxItems->checkedId());
  ApplyLogFormat(workspace_.Settings, FormatBoxItems->checkedId());
  accept();
}

}  // namespace tavel
