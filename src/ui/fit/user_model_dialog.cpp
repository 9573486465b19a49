#include "ui/fit/user_model_dialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "core/fit/fit_choice.h"
#include "core/fit/fit_engine.h"
#include "core/fit/fit_report.h"
#include "core/fit/model_formula.h"
#include "core/platform/prompts.h"
#include "core/series/number_text.h"
#include "core/series/series_options.h"
#include "core/series/workspace.h"
#include "ui/app/help_viewer.h"
#include "ui/fit/fit_dialog.h"
#include "ui/scale/dialog_placement.h"

namespace tavel {

namespace {

constexpr int kHelpTopic = 1420;
constexpr int kFrameInset = 30;

struct WaitCursor {
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

QTableWidgetItem* FixedItem(const QString& text, bool editable) {
  auto* item = new QTableWidgetItem(text);
  if (!editable) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
  return item;
}

}  // namespace

TUserModelF::TUserModelF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("User Model");
  SetHelpContext(this, kHelpTopic);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
  setModal(true);

  SeriesLabel = MakeSeriesHeading(this);

  auto* formulaLabel = new QLabel("&Y =", this);
  FormulaEdit = new QLineEdit(this);
  FormulaEdit->setPlaceholderText("b1*(1-exp(-b2*x))");
  FormulaEdit->setMinimumWidth(FormulaEdit->fontMetrics().horizontalAdvance('x') * 48);
  formulaLabel->setBuddy(FormulaEdit);

  ParameterTable = new QTableWidget(0, kColumns, this);
  ParameterTable->setHorizontalHeaderLabels(
      {"Parameter", "Start", "Fixed", "Value", "Standard Error"});
  ParameterTable->verticalHeader()->hide();
  ParameterTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  ParameterTable->horizontalHeader()->setStretchLastSection(true);
  ParameterTable->setMinimumHeight(ParameterTable->fontMetrics().height() * 10);

  StatusLabel = new QLabel(this);
  StatusLabel->setWordWrap(true);
  StatusLabel->setMinimumHeight(StatusLabel->fontMetrics().height() * 2);

  FitBtn = new QPushButton("&Fit", this);
  OKBtn = new QPushButton("OK", this);
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton("Cancel", this);
  HelpBtn = new QPushButton("Help", this);
  NextB = new QPushButton("Next", this);

  auto* formulaRow = new QHBoxLayout;
  formulaRow->addWidget(formulaLabel);
  formulaRow->addWidget(FormulaEdit, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  for (QPushButton* b : {FitBtn, OKBtn, CancelBtn, HelpBtn, NextB}) buttons->addWidget(b);
  auto* top = new QVBoxLayout(this);
  top->addWidget(SeriesLabel);
  top->addLayout(formulaRow);
  top->addWidget(ParameterTable, 1);
  top->addWidget(StatusLabel);
  top->addLayout(buttons);

  connect(FormulaEdit, &QLineEdit::textEdited, this, &TUserModelF::FormulaEdited);
  connect(ParameterTable, &QTableWidget::itemChanged, this, [this] { fitCurrent_ = false; });
  connect(FitBtn, &QPushButton::clicked, this, [this] { FitClick(); });
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(false); });
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpBtn, &QPushButton::clicked, this, [this] { prompts_.ShowHelp(kHelpTopic); });
  connect(NextB, &QPushButton::clicked, this, [this] { OKBtnClick(true); });
}

TUserModelF::~TUserModelF() = default;

void TUserModelF::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TUserModelF::FormShow() {
  FitConfirmed = false;
  MoveIntoFrameCorner(this, kFrameInset);
  opening_.reset();
  series_ = Hooks.ActiveSeries();
  if (series_ == nullptr) return;
  Hooks.RestoreActiveWindow();
  opening_ = std::make_unique<FitSnapshot>(*series_);
  ShowSeriesHeading(SeriesLabel, *series_);

  const FitResult& fit = series_->Fit;
  fitCurrent_ = fit.FitKind == kFitUserModel && series_->FitActive && fit.FitOk;
  const UserModel& shown = fit.Model.Formula.empty() ? lastModel_ : fit.Model;
  FormulaEdit->setText(QString::fromStdString(shown.Formula));
  ShowParameters(shown);
  if (fitCurrent_) {
    ShowResult();
  } else {
    StatusLabel->clear();
  }
  FormulaEdit->setFocus();
  ShowButton(CancelBtn);
}

void TUserModelF::ShowParameters(const UserModel& model) {
  const QSignalBlocker quiet(ParameterTable);
  ParameterTable->setRowCount(static_cast<int>(model.Names.size()));
  const bool results = fitCurrent_ && model.Values.size() == model.Names.size();
  for (std::size_t k = 0; k < model.Names.size(); ++k) {
    const int row = static_cast<int>(k);
    const double start = k < model.Start.size() ? model.Start[k] : 1.0;
    const bool fixed = k < model.Fixed.size() && model.Fixed[k];
    ParameterTable->setItem(row, kName, FixedItem(QString::fromStdString(model.Names[k]), false));
    ParameterTable->setItem(row, kStart, FixedItem(QString::fromStdString(Digits(start)), true));
    QTableWidgetItem* tick = FixedItem({}, false);
    tick->setFlags(tick->flags() | Qt::ItemIsUserCheckable);
    tick->setCheckState(fixed ? Qt::Checked : Qt::Unchecked);
    ParameterTable->setItem(row, kFixed, tick);
    QString value, error;
    if (results) {
      value = QString::fromStdString(Digits(model.Values[k], 15));
      if (!fixed && k < model.Errors.size()) {
        error = QString::fromStdString(Digits(model.Errors[k], 6));
      }
    }
    ParameterTable->setItem(row, kValue, FixedItem(value, false));
    ParameterTable->setItem(row, kError, FixedItem(error, false));
  }
}

void TUserModelF::ShowResult() {
  const FitResult& fit = series_->Fit;
  const UserModel& model = fit.Model;
  StatusLabel->setText(QString::fromStdString(
      "R^2 = " + Digits(static_cast<double>(fit.R2), 10) +
      "    Residual sum of squares = " + Digits(model.Rss, 10) + "    " +
      std::to_string(model.Iterations) + (model.Iterations == 1 ? " iteration" : " iterations")));
}

void TUserModelF::FormulaEdited() {
  fitCurrent_ = false;
  ModelFormula::ParseError error;
  const std::string text = FormulaEdit->text().toStdString();
  const auto formula = ModelFormula::Parse(text, &error);
  if (!formula) {
    StatusLabel->setText(QString::fromStdString("The formula does not parse " + error.Text()));
    return;
  }
  StatusLabel->clear();
  // Parameters already listed keep what the user gave them.
  UserModel model;
  ReadModel(model);
  UserModel listed;
  listed.Formula = text;
  listed.Names = formula->Parameters();
  for (const std::string& name : listed.Names) {
    double start = 1.0;
    bool fixed = false;
    for (std::size_t j = 0; j < model.Names.size(); ++j) {
      if (model.Names[j] != name) continue;
      start = model.Start[j];
      fixed = model.Fixed[j];
    }
    listed.Start.push_back(start);
    listed.Fixed.push_back(fixed);
  }
  ShowParameters(listed);
}

bool TUserModelF::ReadModel(UserModel& model) {
  model.Formula = FormulaEdit->text().toStdString();
  bool ok = true;
  for (int row = 0; row < ParameterTable->rowCount(); ++row) {
    const QTableWidgetItem* name = ParameterTable->item(row, kName);
    const QTableWidgetItem* start = ParameterTable->item(row, kStart);
    const QTableWidgetItem* fixed = ParameterTable->item(row, kFixed);
    if (name == nullptr || start == nullptr || fixed == nullptr) continue;
    const auto value = ParseNumber(NormalizeDecimalPoint(start->text().toStdString()));
    const double asDouble = value ? static_cast<double>(*value) : 0;
    if ((!value || !std::isfinite(asDouble)) && ok) {
      ok = false;
      StatusLabel->setText("The start value of " + name->text() + " is not a number.");
    }
    model.Names.push_back(name->text().toStdString());
    model.Start.push_back(asDouble);
    model.Fixed.push_back(fixed->checkState() == Qt::Checked);
  }
  return ok;
}

bool TUserModelF::FitClick() {
  if (series_ == nullptr) return false;
  ModelFormula::ParseError error;
  if (!ModelFormula::Parse(FormulaEdit->text().toStdString(), &error)) {
    prompts_.Beep();
    StatusLabel->setText(QString::fromStdString("The formula does not parse " + error.Text()));
    return false;
  }
  UserModel model;
  if (!ReadModel(model)) {
    prompts_.Beep();
    return false;
  }
  Series& s = *series_;
  s.Fit.FitKind = kFitUserModel;
  s.Fit.Model = model;
  s.GraphType = GraphTypeWithFit(s.GraphType);
  s.FitHeader = s.DefaultFitHeader();
  {
    // A model through a million points takes a few seconds.
    const WaitCursor wait;
    TFitObj(s).RunFit();
  }
  if (!s.Fit.FitOk) {
    const std::string why = "Fit refused: " + s.Fit.Model.Why;
    // The series shows no half-made fit; the dialog keeps what was typed.
    opening_->Restore(s);
    fitCurrent_ = false;
    StatusLabel->setText(QString::fromStdString(why));
    Hooks.RedrawGraph();
    return false;
  }
  lastModel_ = s.Fit.Model;
  fitCurrent_ = true;
  ShowParameters(s.Fit.Model);
  ShowResult();
  s.NotifyGridChanged();
  Hooks.RedrawGraph();
  return true;
}

void TUserModelF::OKBtnClick(bool next) {
  if (series_ == nullptr || FormulaEdit->text().trimmed().isEmpty()) {
    reject();
    return;
  }
  if (!fitCurrent_ && !FitClick()) {
    prompts_.ErrorBox(StatusLabel->text().toStdString());
    return;
  }
  FitConfirmed = true;
  if (next) workspace_.Settings.NextSeriesRequested = true;
  accept();
}

void TUserModelF::done(int result) {
  if (!FitConfirmed && series_ != nullptr && opening_) opening_->Restore(*series_);
  opening_.reset();
  series_ = nullptr;
  QDialog::done(result);
}

}  // namespace tavel
