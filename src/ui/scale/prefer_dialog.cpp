#include "ui/scale/prefer_dialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <exception>

#include "core/files/settings_file.h"
#include "core/platform/prompts.h"
#include "core/scale/preferences.h"
#include "core/series/workspace.h"
#include "ui/app/help_viewer.h"
#include "ui/scale/dialog_placement.h"

namespace tavel {

namespace {

constexpr int kHelpTopic = 1200;
constexpr int kFrameInset = 30;

// Checks the item, or none when the number names no item.
void Select(QButtonGroup* group, int id) {
  if (QAbstractButton* item = group->button(id)) {
    item->setChecked(true);
  } else if (QAbstractButton* checked = group->checkedButton()) {
    group->setExclusive(false);
    checked->setChecked(false);
    group->setExclusive(true);
  }
}

}  // namespace

TPreferF::TPreferF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Perferences  Dialog");
  SetHelpContext(this, kHelpTopic);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
  setModal(true);

  PreferBox1 = new QGroupBox("Data Set Size && Graph Bar Width", this);
  MaxLenth1 = new QLineEdit(PreferBox1);
  BarWidth1 = new QLineEdit(PreferBox1);
  auto* fields = new QFormLayout(PreferBox1);
  fields->addRow(new QLabel("Max Data  Index [ 1..10000 ]", PreferBox1), MaxLenth1);
  fields->addRow(new QLabel("Bar Width [ 1..10 ]", PreferBox1), BarWidth1);

  RadioGroup1Items = new QButtonGroup(this);
  RadioGroup1 =
      RadioBox("Printer Minor Grid Color",
               {"Default (Gray)", "Light Gray", "Black", "Dotted Black"}, RadioGroup1Items, this);
  RadioGroup2Items = new QButtonGroup(this);
  RadioGroup2 = RadioBox("Printer Font Size", {"Default", "Large"}, RadioGroup2Items, this);

  OKBtn = new QPushButton("OK", this);
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton("Cancel", this);
  Button1 = new QPushButton("Help", this);

  auto* radios = new QHBoxLayout;
  radios->addWidget(RadioGroup1);
  radios->addWidget(RadioGroup2, 0, Qt::AlignTop);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  buttons->addWidget(Button1);
  auto* top = new QVBoxLayout(this);
  top->addWidget(PreferBox1);
  top->addLayout(radios);
  top->addLayout(buttons);
  top->setSizeConstraint(QLayout::SetFixedSize);

  connect(OKBtn, &QPushButton::clicked, this, &TPreferF::OKBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(Button1, &QPushButton::clicked, this, [this] { prompts_.ShowHelp(kHelpTopic); });
}

void TPreferF::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TPreferF::FormShow() {
  MoveIntoFrameCorner(this, kFrameInset);
  const PreferenceFields f = PreferenceDialogFields(workspace_.Settings);
  MaxLenth1->setText(QString::fromStdString(f.MaxLenth1));
  BarWidth1->setText(QString::fromStdString(f.BarWidth1));
  Select(RadioGroup1Items, f.ColorItem);
  Select(RadioGroup2Items, f.LargeFont ? 1 : 0);
  PrinterFontWasLarge = f.LargeFont;
  MaxLenth1->setFocus(Qt::OtherFocusReason);
  MaxLenth1->selectAll();
}

void TPreferF::OKBtnClick() {
  PreferenceFields f;
  f.MaxLenth1 = MaxLenth1->text().toStdString();
  f.BarWidth1 = BarWidth1->text().toStdString();
  f.ColorItem = RadioGroup1Items->checkedId();
  f.LargeFont = RadioGroup2Items->checkedId() == 1;
  if (ApplyPreferenceFields(workspace_.Settings, f, PrinterFontWasLarge, prompts_)) {
    // The new values hold for this run even when they cannot be kept for the next.
    try {
      WriteSettingsFile(SettingsPath, workspace_.Settings);
    } catch (const std::exception& e) {
      prompts_.ReportError(e.what());
    }
  }
  accept();
}

}  // namespace tavel
