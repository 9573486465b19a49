#pragma once

#include <QDialog>
#include <filesystem>

#include "ui/graph/graph_export.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QRadioButton;
class QSpinBox;

namespace tavel {

class Prompts;

// "&Export Graph...": the size of the figure in pixels, or in millimetres with a resolution,
// its colours ("As on screen", or "As on paper": the printer's colours on white) and smooth
// lines. The choices are kept for the next export and for "&Copy Graph", and in a file for the
// next run.
class TExportF : public QDialog {
  Q_OBJECT

 public:
  // Opens on the last choices; a size never chosen is the graph window's.
  TExportF(Prompts& prompts, int windowWidth, int windowHeight, QWidget* parent = nullptr);

  // The choices as they stand, the size in pixels.
  ExportOptions Options() const;
  // The choices of the last confirmed export, or the window's size and the defaults.
  static ExportOptions LastOptions(int windowWidth, int windowHeight);
  // Takes the choices a file kept, when it holds usable ones, and keeps the next ones there.
  static void KeepChoicesIn(const std::filesystem::path& path);

  QRadioButton* PixelsButton;
  QRadioButton* MillimetresButton;
  QDoubleSpinBox* WidthBox;
  QDoubleSpinBox* HeightBox;
  QSpinBox* DpiBox;
  QComboBox* ColoursBox;
  QCheckBox* SmoothBox;

  void accept() override;

 private:
  void UnitsChanged();

  Prompts& prompts_;
  bool millimetres_ = false;
};

}  // namespace tavel
