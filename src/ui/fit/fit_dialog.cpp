#include "ui/fit/fit_dialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "core/fit/fit_choice.h"
#include "core/platform/prompts.h"
#include "core/series/number_text.h"
#include "core/series/series_options.h"
#include "core/series/workspace.h"
#include "ui/app/help_viewer.h"
#include "ui/scale/dialog_placement.h"

namespace tavel {

namespace {

constexpr int kHelpTopic = 1400;
constexpr int kFrameInset = 30;

void Colour(QLabel* label, Rgb rgb) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, QColor(rgb.r, rgb.g, rgb.b));
  label->setPalette(palette);
}

}  // namespace

QLabel* MakeSeriesHeading(QWidget* parent) {
  auto* heading = new QLabel("Series # 1", parent);
  QFont big = heading->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.25);
  heading->setFont(big);
  return heading;
}

void ShowSeriesHeading(QLabel* heading, const Series& series) {
  Colour(heading, SeriesColor(series.SeriesNumber));
  heading->setText("Series # " + QString::number(series.SeriesNumber));
}

TFitF::TFitF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Regression Fit Dialog");
  SetHelpContext(this, kHelpTopic);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
  setModal(true);

  Label9 = MakeSeriesHeading(this);

  RadioFit1 = new QGroupBox("Regression Equation", this);
  RadioFit1Items = new QButtonGroup(this);
  auto* laws = new QVBoxLayout(RadioFit1);
  const char* items[] = {"None",
                         "1st  Order Polynominal",
                         "2nd Order Polynominal",
                         "3rd  Order Polynominal",
                         "4th  Order Polynominal",
                         "5th  Order Polynominal",
                         "Power Fit",
                         "Exponential Fit",
                         "Natural Log Fit"};
  for (int i = 0; i <= kFitNaturalLog; ++i) {
    auto* item = new QRadioButton(items[i], RadioFit1);
    RadioFit1Items->addButton(item, i);
    laws->addWidget(item);
  }
  RadioFit1Items->button(kFitNone)->setChecked(true);

  GroupBox1 = new QGroupBox("Coefficients", this);
  auto* coefficients = new QVBoxLayout(GroupBox1);
  QLabel** labels[] = {&Label1, &Label2, &Label3, &Label4, &Label5, &Label6};
  for (int i = 0; i < 6; ++i) {
    *labels[i] = new QLabel(QString(QChar('A' + i)), GroupBox1);
    // Room for the widest value FormatNumber writes, so the box keeps its size.
    (*labels[i])
        ->setMinimumWidth((*labels[i])->fontMetrics().horizontalAdvance("F = -8.8888888888E+4931") +
                          8);
    coefficients->addWidget(*labels[i]);
  }
  GroupBox2 = new QGroupBox("Sample Equation", this);
  Label8 = new QLabel("Y=A + B*X + C*X^2 + D*X^3 + E*X^4 + F*X^5", GroupBox2);
  Label8->setMinimumWidth(
      Label8->fontMetrics().horizontalAdvance("Y = A + B*X + C*X^2 + D*X^3 + E*X^4 + F*X^5") + 8);
  (new QVBoxLayout(GroupBox2))->addWidget(Label8);
  GroupBox3 = new QGroupBox("Determination", this);
  Label7 = new QLabel("R^2", GroupBox3);
  (new QVBoxLayout(GroupBox3))->addWidget(Label7);

  OKBtn = new QPushButton("OK", this);
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton("Cancel", this);
  Button1 = new QPushButton("Help", this);
  NextB = new QPushButton("Next", this);

  auto* left = new QVBoxLayout;
  left->addWidget(Label9);
  left->addWidget(RadioFit1);
  left->addStretch(1);
  auto* right = new QVBoxLayout;
  right->addWidget(GroupBox1);
  right->addWidget(GroupBox2);
  right->addWidget(GroupBox3);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {OKBtn, CancelBtn, Button1, NextB}) buttons->addWidget(b);
  right->addLayout(buttons);
  auto* top = new QHBoxLayout(this);
  top->addLayout(left);
  top->addLayout(right);
  top->setSizeConstraint(QLayout::SetFixedSize);

  connect(RadioFit1Items, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
    if (checked) RadioFit1Click(id);
  });
  connect(OKBtn, &QPushButton::clicked, this, &TFitF::OKBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(Button1, &QPushButton::clicked, this, [this] { prompts_.ShowHelp(kHelpTopic); });
  connect(NextB, &QPushButton::clicked, this, &TFitF::NextBClick);
}

TFitF::~TFitF() = default;

void TFitF::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Coming back from a minimised frame is not an opening.
  if (!event->spontaneous()) FormShow();
}

void TFitF::FormShow() {
  FitConfirmed = false;
  MoveIntoFrameCorner(this, kFrameInset);
  opening_.reset();
  series_ = Hooks.ActiveSeries();
  if (series_ == nullptr) return;
  Hooks.RestoreActiveWindow();
  // Every choice fits at once, and a fit packs, sorts and rewrites the rows: this is what a
  // close without OK puts back.
  opening_ = std::make_unique<FitSnapshot>(*series_);
  RewriteFitHeader();
  // Runs the choice handler when the selection changes.
  if (QAbstractButton* item = RadioFit1Items->button(series_->Fit.FitKind)) {
    item->setChecked(true);
  } else if (QAbstractButton* checked = RadioFit1Items->checkedButton()) {
    // A model of the user's own is none of the laws listed.
    RadioFit1Items->setExclusive(false);
    checked->setChecked(false);
    RadioFit1Items->setExclusive(true);
  }
  TFitObj(*series_).RunFit();
  if (!series_->FitActive) series_->Fit.FitKind = kFitNone;

  Colour(Label8, SeriesColor(series_->SeriesNumber));
  ShowSeriesHeading(Label9, *series_);
  // Also when the selection did not change: after Next the labels belong to another series.
  ShowFitLabels();
  ShowButton(CancelBtn);
}

void TFitF::RewriteFitHeader() {
  series_->FitHeader = series_->DefaultFitHeader();
  series_->NotifyGridChanged();
}

void TFitF::RadioFit1Click(int index) {
  if (series_ == nullptr) return;
  Series& s = *series_;
  RewriteFitHeader();
  s.Fit.FitKind = index;
  if (index != kFitNone) {
    s.GraphType = GraphTypeWithFit(s.GraphType);
    TFitObj(s).RunFit();
    if (!s.FitActive) {
      s.Fit.FitKind = kFitNone;
      RadioFit1Items->button(kFitNone)->setChecked(true);
      s.ClearFit();
    }
  } else {
    s.ClearFit();
  }
  ShowFitLabels();
  Hooks.RedrawGraph();
}

void TFitF::ShowFitLabels() {
  const auto texts = FitLabelTexts(series_->Fit);
  QLabel* labels[] = {Label1, Label2, Label3, Label4, Label5, Label6, Label7};
  for (std::size_t i = 0; i < texts.size(); ++i) {
    labels[i]->setText(QString::fromStdString(texts[i]));
  }
  Label8->setText(QString::fromStdString(SampleEquation(series_->Fit.FitKind)));
}

void TFitF::OKAction() {
  if (series_ == nullptr) return;
  Series& s = *series_;
  const int chosen = RadioFit1Items->checkedId();
  if (chosen < 0) {  // the model the series had, left as it was
    FitConfirmed = s.Fit.FitOk;
    return;
  }
  if (chosen == kFitNone) {
    // "None" is a choice as well, also after a refused law left FitOk false: the series keeps
    // no fit, and the rows the trials packed and sorted come back as the user left them.
    opening_->Restore(s);
    ClearFitAndGraphType(s);
    FitConfirmed = true;
    return;
  }
  // The last fit failed: nothing to take over; the close puts the opening state back.
  if (!s.Fit.FitOk) return;
  s.Fit.FitKind = s.FitActive ? chosen : kFitNone;
  s.GraphType =
      s.Fit.FitKind != kFitNone ? GraphTypeWithFit(s.GraphType) : GraphTypeWithoutFit(s.GraphType);
  TFitObj(s).RunFit();
  if (!s.FitActive) s.Fit.FitKind = kFitNone;
  FitConfirmed = true;
}

void TFitF::OKBtnClick() {
  OKAction();
  accept();
}

void TFitF::NextBClick() {
  workspace_.Settings.NextSeriesRequested = true;
  OKAction();
  accept();
}

void TFitF::done(int result) {
  FormClose();
  QDialog::done(result);
}

void TFitF::FormClose() {
  if (!FitConfirmed && series_ != nullptr && opening_) opening_->Restore(*series_);
  opening_.reset();
  series_ = nullptr;
}

}  // namespace tavel
