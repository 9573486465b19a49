#include "ui/graph/export_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>
#include <optional>

#include "core/files/atomic_file.h"
#include "core/files/export_choices.h"
#include "core/platform/prompts.h"
#include "ui/app/help_viewer.h"

namespace tavel {

namespace {

constexpr int kHelpTopic = 500;
constexpr double kMillimetresAnInch = 25.4;
// What a screen shows, and what an export without a chosen resolution records.
constexpr int kScreenDpi = 96;

using Choices = ExportChoices;

// The last choices confirmed; nothing before the first export, unless a file keeps them.
std::optional<Choices>& Kept() {
  static std::optional<Choices> kept;
  return kept;
}
std::filesystem::path& KeptIn() {
  static std::filesystem::path path;
  return path;
}

bool WithinLimits(const ExportOptions& o) {
  return o.width >= kExportMinWidth && o.height >= kExportMinHeight && o.width <= kExportMaxSide &&
         o.height <= kExportMaxSide;
}

int Pixels(double length, bool millimetres, int dpi) {
  return static_cast<int>(std::lround(millimetres ? length / kMillimetresAnInch * dpi : length));
}

ExportOptions OptionsOf(const Choices& c) {
  ExportOptions o;
  o.width = Pixels(c.width, c.millimetres, c.dpi);
  o.height = Pixels(c.height, c.millimetres, c.dpi);
  o.dpi = c.dpiChosen || c.millimetres ? c.dpi : 0;
  o.paper = c.paper;
  o.smooth = c.smooth;
  return o;
}

Choices ChoicesOf(const TExportF& d) {
  Choices c;
  c.millimetres = d.MillimetresButton->isChecked();
  c.width = d.WidthBox->value();
  c.height = d.HeightBox->value();
  c.dpi = d.DpiBox->value();
  c.dpiChosen = c.millimetres || c.dpi != kScreenDpi;
  c.paper = d.ColoursBox->currentIndex() == 1;
  c.smooth = d.SmoothBox->isChecked();
  return c;
}

}  // namespace

void TExportF::KeepChoicesIn(const std::filesystem::path& path) {
  KeptIn() = path;
  const std::optional<Choices> read = ReadExportChoices(path);
  if (read && read->dpi >= kExportMinDpi && read->dpi <= kExportMaxDpi &&
      WithinLimits(OptionsOf(*read))) {
    Kept() = read;
  }
}

ExportOptions TExportF::LastOptions(int windowWidth, int windowHeight) {
  if (Kept()) return OptionsOf(*Kept());
  ExportOptions o;
  o.width = windowWidth;
  o.height = windowHeight;
  return o;
}

TExportF::TExportF(Prompts& prompts, int windowWidth, int windowHeight, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
  setWindowTitle("Export Graph");
  SetHelpContext(this, kHelpTopic);

  PixelsButton = new QRadioButton("&Pixels", this);
  MillimetresButton = new QRadioButton("&Millimetres", this);
  auto* units = new QButtonGroup(this);
  units->addButton(PixelsButton);
  units->addButton(MillimetresButton);
  WidthBox = new QDoubleSpinBox(this);
  HeightBox = new QDoubleSpinBox(this);
  DpiBox = new QSpinBox(this);
  DpiBox->setRange(kExportMinDpi, kExportMaxDpi);
  DpiBox->setSuffix(" dpi");
  ColoursBox = new QComboBox(this);
  ColoursBox->addItems({"As on screen", "As on paper"});
  SmoothBox = new QCheckBox("&Smooth lines", this);

  const Choices c = Kept().value_or(Choices{false, double(windowWidth), double(windowHeight)});
  millimetres_ = c.millimetres;
  (c.millimetres ? MillimetresButton : PixelsButton)->setChecked(true);
  DpiBox->setValue(c.dpi);
  UnitsChanged();
  WidthBox->setValue(c.width);
  HeightBox->setValue(c.height);
  ColoursBox->setCurrentIndex(c.paper ? 1 : 0);
  SmoothBox->setChecked(c.smooth);

  auto* unitRow = new QHBoxLayout;
  unitRow->addWidget(PixelsButton);
  unitRow->addWidget(MillimetresButton);
  auto* form = new QFormLayout;
  form->addRow("Size in:", unitRow);
  form->addRow("&Width:", WidthBox);
  form->addRow("&Height:", HeightBox);
  form->addRow("&Resolution:", DpiBox);
  form->addRow("&Colours:", ColoursBox);
  form->addRow(SmoothBox);
  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
  auto* top = new QVBoxLayout(this);
  top->addLayout(form);
  top->addWidget(buttons);

  connect(units, &QButtonGroup::buttonToggled, this, [this](QAbstractButton*, bool checked) {
    if (checked) UnitsChanged();
  });
  connect(buttons, &QDialogButtonBox::accepted, this, &TExportF::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(buttons, &QDialogButtonBox::helpRequested, this,
          [this] { prompts_.ShowHelp(kHelpTopic); });
}

// Switching units keeps the figure's size: the lengths are converted at the resolution.
void TExportF::UnitsChanged() {
  const bool millimetres = MillimetresButton->isChecked();
  const double width = WidthBox->value(), height = HeightBox->value();
  const int dpi = DpiBox->value();
  for (QDoubleSpinBox* box : {WidthBox, HeightBox}) {
    box->setDecimals(millimetres ? 1 : 0);
    box->setSuffix(millimetres ? " mm" : " px");
    // Wide enough for any resolution; accept() holds the pixels to the limits.
    box->setRange(millimetres ? 1 : kExportMinHeight, millimetres ? 10000 : kExportMaxSide);
  }
  if (millimetres != millimetres_) {
    const double factor = millimetres ? kMillimetresAnInch / dpi : dpi / kMillimetresAnInch;
    WidthBox->setValue(width * factor);
    HeightBox->setValue(height * factor);
  }
  millimetres_ = millimetres;
}

ExportOptions TExportF::Options() const {
  return OptionsOf(ChoicesOf(*this));
}

void TExportF::accept() {
  if (!WithinLimits(Options())) {
    prompts_.ErrorBox("The figure must be from " + std::to_string(kExportMinWidth) + " x " +
                      std::to_string(kExportMinHeight) + " to " + std::to_string(kExportMaxSide) +
                      " x " + std::to_string(kExportMaxSide) + " pixels at this resolution.");
    return;
  }
  Kept() = ChoicesOf(*this);
  if (!KeptIn().empty()) {
    try {
      WriteExportChoices(KeptIn(), *Kept());
    } catch (const FileWriteError& e) {
      // The export itself goes on; only the next run will not know these choices.
      prompts_.ReportError(e.what());
    }
  }
  QDialog::accept();
}

}  // namespace tavel
