#include "ui/dialogs/title_dialogs.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "core/platform/prompts.h"
#include "core/series/number_text.h"
#include "core/series/title_rules.h"
#include "core/series/workspace.h"
#include "ui/app/help_viewer.h"
#include "ui/scale/dialog_placement.h"

namespace tavel {

namespace {

constexpr int kHelpTopic = 900;
constexpr int kTitleInset = 30;
constexpr int kFloatingInset = 10;

QLineEdit* TitleEdit(QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * 48);
  return edit;
}

// A group box holding one edit, added to the layout.
QLineEdit* EditInBox(const QString& caption, QWidget* parent, QBoxLayout* layout) {
  auto* box = new QGroupBox(caption, parent);
  QLineEdit* edit = TitleEdit(box);
  (new QVBoxLayout(box))->addWidget(edit);
  layout->addWidget(box);
  return edit;
}

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}
std::string S(const QLineEdit* edit) {
  return edit->text().toStdString();
}

}  // namespace

// ---------------------------------------------------------------------------------------------

TitleDialog::TitleDialog(Workspace& workspace, Prompts& prompts, const QString& caption, int inset,
                         bool stayOnTop, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts), inset_(inset) {
  setWindowTitle(caption);
  SetHelpContext(this, kHelpTopic);
  Qt::WindowFlags flags =
      Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
  if (stayOnTop) flags |= Qt::WindowStaysOnTopHint;
  setWindowFlags(flags);
  setModal(true);
}

void TitleDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Coming back from a minimised frame is not an opening.
  if (event->spontaneous()) return;
  MoveIntoFrameCorner(this, inset_);
  FormShow();
  QLineEdit* first = FirstEdit();
  first->setFocus(Qt::OtherFocusReason);
  first->selectAll();
}

void TitleDialog::HelpClick() {
  prompts_.ShowHelp(kHelpTopic);
}

// ---------------------------------------------------------------------------------------------

TTitleTF::TTitleTF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : TitleDialog(workspace, prompts, "Main Title  Dialog", kTitleInset, true, parent) {
  auto* edits = new QVBoxLayout;
  TitTop1 = EditInBox("First Main Title", this, edits);
  TitTop2 = EditInBox("Second Main Title", this, edits);
  TitTop3 = EditInBox("Third Main Title", this, edits);
  OKBtn = new QPushButton("OK", this);
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton("Cancel", this);
  Button1 = new QPushButton("Help", this);
  LayOutWithButtonColumn(this, edits, {OKBtn, CancelBtn, Button1});
  connect(OKBtn, &QPushButton::clicked, this, &TTitleTF::OKBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(Button1, &QPushButton::clicked, this, &TTitleTF::HelpClick);
}

void TTitleTF::FormShow() {
  const GraphSettings& s = workspace_.Settings;
  TitTop1->setText(Q(s.MainTitles[1]));
  TitTop2->setText(Q(s.MainTitles[2]));
  TitTop3->setText(Q(s.MainTitles[3]));
}

void TTitleTF::OKBtnClick() {
  GraphSettings& s = workspace_.Settings;
  s.MainTitles[1] = S(TitTop1);
  s.MainTitles[2] = S(TitTop2);
  s.MainTitles[3] = S(TitTop3);
  accept();
}

// ---------------------------------------------------------------------------------------------

TTitleXF::TTitleXF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : TitleDialog(workspace, prompts, "X Axis Title  Dialog", kTitleInset, true, parent) {
  auto* edits = new QVBoxLayout;
  TitX1 = EditInBox("First  Line X Title", this, edits);
  TitX2 = EditInBox("Second Line X Title", this, edits);
  TitX3 = EditInBox("Third Line X Title", this, edits);
  OKBtn = new QPushButton("OK", this);
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton("Cancel", this);
  Button1 = new QPushButton("Help", this);
  LayOutWithButtonColumn(this, edits, {OKBtn, CancelBtn, Button1});
  connect(OKBtn, &QPushButton::clicked, this, &TTitleXF::OKBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(Button1, &QPushButton::clicked, this, &TTitleXF::HelpClick);
}

void TTitleXF::FormShow() {
  const GraphSettings& s = workspace_.Settings;
  TitX1->setText(Q(s.XTitles[1]));
  TitX2->setText(Q(s.XTitles[2]));
  TitX3->setText(Q(s.XTitles[3]));
}

void TTitleXF::OKBtnClick() {
  GraphSettings& s = workspace_.Settings;
  s.XTitles[1] = S(TitX1);
  s.XTitles[2] = S(TitX2);
  s.XTitles[3] = S(TitX3);
  accept();
}

// ---------------------------------------------------------------------------------------------

TTitleYF::TTitleYF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : TitleDialog(workspace, prompts, "Y Axis Title  Dialog", kTitleInset, true, parent) {
  auto* edits = new QVBoxLayout;
  TitY1 = EditInBox("Left  Y Title", this, edits);
  TitY2 = EditInBox("Right Y Title", this, edits);
  OKBtn = new QPushButton("OK", this);
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton("Cancel", this);
  Button1 = new QPushButton("Help", this);
  LayOutWithButtonColumn(this, edits, {OKBtn, CancelBtn, Button1});
  connect(OKBtn, &QPushButton::clicked, this, &TTitleYF::OKBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(Button1, &QPushButton::clicked, this, &TTitleYF::HelpClick);
}

void TTitleYF::FormShow() {
  const GraphSettings& s = workspace_.Settings;
  TitY1->setText(Q(s.LeftYTitle));
  TitY2->setText(Q(s.RightYTitle));
}

void TTitleYF::OKBtnClick() {
  GraphSettings& s = workspace_.Settings;
  s.LeftYTitle = S(TitY1);
  s.RightYTitle = S(TitY2);
  accept();
}

// ---------------------------------------------------------------------------------------------

TTitleSerF::TTitleSerF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : TitleDialog(workspace, prompts, "Series Title  Dialog", kTitleInset, true, parent) {
  Label1 = new QLabel("Series #1", this);
  QFont big = Label1->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.6);
  Label1->setFont(big);

  auto* edits = new QVBoxLayout;
  edits->addWidget(Label1);
  TitSer1 = EditInBox("Series Title \"Text\"", this, edits);
  TitSerBox = qobject_cast<QGroupBox*>(TitSer1->parentWidget());

  AutoBox = new QGroupBox("Auto Label All", this);
  auto* autoButtons = new QHBoxLayout(AutoBox);
  Button2 = new QPushButton("Series + ##", AutoBox);
  Button3 = new QPushButton("\"Text\" + ##", AutoBox);
  Button4 = new QPushButton("\"Text \" only", AutoBox);
  Button5 = new QPushButton("Clear", AutoBox);
  for (QPushButton* b : {Button2, Button3, Button4, Button5}) autoButtons->addWidget(b);
  edits->addWidget(AutoBox);

  OKBtn = new QPushButton("OK", this);
  OKBtn->setDefault(true);
  Button6 = new QPushButton("Next", this);
  CancelBtn = KeptButton("Cancel", this);
  Button1 = new QPushButton("Help", this);
  LayOutWithButtonColumn(this, edits, {OKBtn, Button6, CancelBtn, Button1});

  connect(OKBtn, &QPushButton::clicked, this, &TTitleSerF::OKBtnClick);
  connect(Button6, &QPushButton::clicked, this, &TTitleSerF::Button6Click);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(Button1, &QPushButton::clicked, this, &TTitleSerF::HelpClick);
  const std::pair<QPushButton*, int> autoLabels[] = {
      {Button2, static_cast<int>(AutoLabel::SeriesNumbers)},
      {Button3, static_cast<int>(AutoLabel::TextWithNumbers)},
      {Button4, static_cast<int>(AutoLabel::TextOnly)},
      {Button5, static_cast<int>(AutoLabel::Clear)}};
  for (const auto& [button, kind] : autoLabels) {
    connect(button, &QPushButton::clicked, this, [this, k = kind] { AutoLabelClick(k); });
  }
}

void TTitleSerF::FormShow() {
  series_ = Hooks.ActiveSeries();
  ShowButton(CancelBtn);
  if (series_ == nullptr) return;
  Hooks.RestoreActiveWindow();
  TitSer1->setText(Q(series_->SeriesTitle));
  ShowSeriesLabel(Label1, series_->SeriesNumber);
}

void TTitleSerF::keyPressEvent(QKeyEvent* event) {
  if (SwallowEscapeWithoutCancel(event, CancelBtn)) return;
  QDialog::keyPressEvent(event);
}

void TTitleSerF::OKBtnClick() {
  if (series_ != nullptr) series_->SeriesTitle = S(TitSer1);
  accept();
}

void TTitleSerF::Button6Click() {
  if (series_ != nullptr) series_->SeriesTitle = S(TitSer1);
  Hooks.RedrawGraph();
  workspace_.Settings.NextSeriesRequested = true;
  accept();
}

void TTitleSerF::AutoLabelClick(int button) {
  if (series_ == nullptr) return;
  const auto edit = AutoLabelSeries(workspace_, series_->SeriesNumber, S(TitSer1),
                                    static_cast<AutoLabel>(button));
  if (!edit) {
    prompts_.Beep();
    return;
  }
  TitSer1->setText(Q(*edit));
  // Every series has its new title already; there is nothing left to cancel.
  HideButton(CancelBtn);
  Hooks.RedrawGraph();
}

// ---------------------------------------------------------------------------------------------

TTitleFlF::TTitleFlF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : TitleDialog(workspace, prompts, "Floating Titles Dialog", kFloatingInset, false, parent) {
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel("Floating Titles", this), 0, 0);
  grid->addWidget(new QLabel("X Position", this), 0, 1);
  grid->addWidget(new QLabel("Y Position", this), 0, 2);
  for (int i = 1; i <= MaxFloatTitles; ++i) {
    for (int column = 0; column < 3; ++column) {
      auto* edit = new QLineEdit(this);
      const int chars = column == 0 ? 36 : 16;
      edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * chars);
      edits_[static_cast<std::size_t>(i + column * MaxFloatTitles)] = edit;
      grid->addWidget(edit, i, column);
    }
  }
  // Across each row, then down to the next.
  QWidget* previous = nullptr;
  for (int i = 1; i <= MaxFloatTitles; ++i) {
    for (int column = 0; column < 3; ++column) {
      QWidget* edit = Edit(i + column * MaxFloatTitles);
      if (previous != nullptr) setTabOrder(previous, edit);
      previous = edit;
    }
  }

  Button1 = new QPushButton("OK", this);
  Button1->setDefault(true);
  Button2 = KeptButton("Cancel", this);
  Button4 = new QPushButton("View", this);
  Button3 = new QPushButton("Help", this);
  auto* edits = new QVBoxLayout;
  edits->addLayout(grid);
  LayOutWithButtonColumn(this, edits, {Button1, Button2, Button4, Button3});

  connect(Button1, &QPushButton::clicked, this, &TTitleFlF::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
  connect(Button4, &QPushButton::clicked, this, &TTitleFlF::Button4Click);
  connect(Button3, &QPushButton::clicked, this, &TTitleFlF::HelpClick);
}

void TTitleFlF::FormShow() {
  const GraphSettings& s = workspace_.Settings;
  ShowButton(Button2);
  for (int i = 1; i <= MaxFloatTitles; ++i) {
    const auto k = static_cast<std::size_t>(i);
    Edit(i)->setText(Q(s.FloatTitleText[k]));
    Edit(MaxFloatTitles + i)->setText(Q(FormatNumber(s.FloatTitleX[k], 14)));
    Edit(2 * MaxFloatTitles + i)->setText(Q(FormatNumber(s.FloatTitleY[k], 14)));
  }
}

void TTitleFlF::keyPressEvent(QKeyEvent* event) {
  if (SwallowEscapeWithoutCancel(event, Button2)) return;
  QDialog::keyPressEvent(event);
}

void TTitleFlF::StoreEdits() {
  GraphSettings& s = workspace_.Settings;
  for (int i = 1; i <= MaxFloatTitles; ++i) {
    s.FloatTitleText[static_cast<std::size_t>(i)] = S(Edit(i));
  }
  for (int i = MaxFloatTitles + 1; i <= 3 * MaxFloatTitles; ++i) {
    QLineEdit* edit = Edit(i);
    const auto k = static_cast<std::size_t>((i - 1) % MaxFloatTitles + 1);
    Real& position = i <= 2 * MaxFloatTitles ? s.FloatTitleX[k] : s.FloatTitleY[k];
    // A position shows 14 characters of its value; read back untouched, it would lose digits.
    if (!edit->isModified()) continue;
    bool refused = false;
    position = ReadFloatPosition(S(edit), position, &refused);
    if (refused) {
      prompts_.Beep();
      edit->setText(Q(FormatNumber(position, 14)));
    }
  }
}

void TTitleFlF::Button1Click() {
  StoreEdits();
  accept();
}

void TTitleFlF::Button4Click() {
  HideButton(Button2);
  Hooks.ShowGraphWindow();
  StoreEdits();
  Hooks.RedrawGraph();
}

}  // namespace tavel
