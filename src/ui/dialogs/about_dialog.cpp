#include "ui/dialogs/about_dialog.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "ui/app/help_viewer.h"

namespace tavel {

namespace {

constexpr int kWidth = 340;
constexpr int kHeight = 270;

// Stands in for the product artwork: a few fitted curves over a grid.
QPixmap AboutPicture(int width, int height) {
  QPixmap pixmap(width, height);
  pixmap.fill(Qt::black);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QColor(0, 64, 0));
  for (int x = 0; x < width; x += 20) p.drawLine(x, 0, x, height);
  for (int y = 0; y < height; y += 20) p.drawLine(0, y, width, y);
  const QColor colors[] = {QColor(255, 64, 64), QColor(64, 255, 64), QColor(64, 160, 255)};
  for (int c = 0; c < 3; ++c) {
    QPainterPath path;
    for (int x = 0; x <= width; x += 4) {
      const double t = static_cast<double>(x) / width;
      const double y = height * (0.85 - 0.6 * std::pow(t, 1.0 + c) - 0.05 * std::sin(12 * t + c));
      if (x == 0) {
        path.moveTo(x, y);
      } else {
        path.lineTo(x, y);
      }
    }
    p.setPen(QPen(colors[c], 2));
    p.drawPath(path);
  }
  return pixmap;
}

}  // namespace

TAboutF::TAboutF(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint),
      OKButton(new QPushButton("OK", this)) {
  setWindowTitle("About Tavel Graphics");
  SetHelpContext(this, 200);
  setFixedSize(kWidth, kHeight);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  setPalette(pal);

  auto* picture = new QLabel(this);
  picture->setPixmap(AboutPicture(kWidth, kHeight));
  picture->setGeometry(0, 0, kWidth, kHeight);
  picture->lower();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 32, 16, 16);
  auto* title = new QLabel("TAVEL GRAPHICS", this);
  QFont titleFont("Times New Roman", 24, QFont::Bold);
  title->setFont(titleFont);
  title->setStyleSheet("color: yellow; background: transparent;");
  title->setAlignment(Qt::AlignCenter);
  auto* version = new QLabel("(32-bit) Version 1.98", this);
  version->setFont(QFont("Arial", 11));
  version->setStyleSheet("color: white; background: transparent;");
  version->setAlignment(Qt::AlignCenter);
  layout->addWidget(title);
  layout->addWidget(version);
  layout->addStretch();
  layout->addWidget(OKButton, 0, Qt::AlignHCenter);

  // OK is both the default and the cancel key: either closes the box.
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutF::showEvent(QShowEvent* event) {
  if (QWidget* frame = parentWidget()) {
    const QRect f = frame->frameGeometry();
    move(f.left() + (f.width() - frameGeometry().width()) / 2,
         f.top() + (f.height() - frameGeometry().height()) / 2);
  }
  QDialog::showEvent(event);
}

}  // namespace tavel
