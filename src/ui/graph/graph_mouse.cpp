#include "ui/graph/graph_mouse.h"

#include <QMouseEvent>
#include <QRubberBand>
#include <QToolTip>
#include <QWheelEvent>
#include <QWidget>

#include "core/graph/graph_zoom.h"
#include "core/series/number_text.h"
#include "core/series/workspace.h"

namespace tavel {

namespace {

// A drag shorter than this either way is a click, not a rectangle.
constexpr int kLeastDrag = 4;
// Each notch of the wheel narrows (or widens) the axes by this much.
constexpr double kWheelFactor = 0.8;
// How near the cursor a point must be drawn to be named.
constexpr double kPointRadius = 5;

QString Number(Real value) {
  return QString::fromStdString(FormatNumber(value, 14));
}

}  // namespace

GraphMouse::GraphMouse(Workspace& workspace, QWidget* picture, ZoomStep zoom)
    : QObject(picture), workspace_(workspace), picture_(picture), zoom_(std::move(zoom)) {
  picture_->setMouseTracking(true);
  picture_->installEventFilter(this);
  rest_.setSingleShot(true);
  rest_.setInterval(150);
  connect(&rest_, &QTimer::timeout, this, &GraphMouse::ShowReadout);
}

void GraphMouse::SetDrawn(const DrawResult& drawn) {
  drawn_ = drawn;
  hasDrawn_ = true;
}

QString GraphMouse::ReadoutText(QPoint at) const {
  if (!hasDrawn_) return {};
  const auto readout = ReadoutAt(workspace_, drawn_, at.x(), at.y());
  if (!readout) return {};
  QString text = "X = " + Number(readout->X);
  if (readout->HasLeft) text += "   Y = " + Number(readout->LeftY);
  if (readout->HasRight) text += "   Right Y = " + Number(readout->RightY);
  if (const auto hit = PointNear(workspace_, drawn_, at.x(), at.y(), kPointRadius)) {
    text = QString("Series #%1, row %2:  X = %3   Y = %4\n")
               .arg(hit->SeriesNumber)
               .arg(hit->Row)
               .arg(Number(hit->X), Number(hit->Y)) +
           text;
  }
  return text;
}

void GraphMouse::ShowReadout() {
  const QString text = ReadoutText(restingAt_);
  if (text.isEmpty()) {
    QToolTip::hideText();
  } else {
    QToolTip::showText(picture_->mapToGlobal(restingAt_ + QPoint(12, 12)), text, picture_);
  }
}

bool GraphMouse::eventFilter(QObject* watched, QEvent* event) {
  if (watched != picture_ || !hasDrawn_) return QObject::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::LeftButton) break;
      pressedAt_ = mouse->position().toPoint();
      dragging_ = ReadoutAt(workspace_, drawn_, pressedAt_.x(), pressedAt_.y()).has_value();
      return dragging_;
    }
    case QEvent::MouseMove: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      const QPoint at = mouse->position().toPoint();
      if (dragging_ && (mouse->buttons() & Qt::LeftButton)) {
        if (band_ == nullptr) band_ = new QRubberBand(QRubberBand::Rectangle, picture_);
        band_->setGeometry(QRect(pressedAt_, at).normalized());
        band_->show();
        return true;
      }
      restingAt_ = at;
      rest_.start();
      break;
    }
    case QEvent::MouseButtonRelease: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::LeftButton || !dragging_) break;
      dragging_ = false;
      if (band_ != nullptr) band_->hide();
      const QPoint at = mouse->position().toPoint();
      if (std::abs(at.x() - pressedAt_.x()) < kLeastDrag ||
          std::abs(at.y() - pressedAt_.y()) < kLeastDrag) {
        return true;
      }
      const DrawResult drawn = drawn_;
      const QPoint from = pressedAt_;
      zoom_("Zoom",
            [&] { return ZoomToRectangle(workspace_, drawn, from.x(), from.y(), at.x(), at.y()); });
      return true;
    }
    case QEvent::Wheel: {
      auto* wheel = static_cast<QWheelEvent*>(event);
      const int notches = wheel->angleDelta().y() / 120;
      if (notches == 0) break;
      const QPoint at = wheel->position().toPoint();
      if (!ReadoutAt(workspace_, drawn_, at.x(), at.y())) break;
      const DrawResult drawn = drawn_;
      const double factor = std::pow(kWheelFactor, notches);
      zoom_(notches > 0 ? "Zoom In" : "Zoom Out",
            [&] { return ZoomAbout(workspace_, drawn, at.x(), at.y(), factor); });
      return true;
    }
    case QEvent::Leave:
      rest_.stop();
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tavel
