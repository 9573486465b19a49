#pragma once

#include <QObject>
#include <QPoint>
#include <QTimer>
#include <functional>

#include "core/graph/draw_graph.h"

class QRubberBand;
class QWidget;

namespace tavel {

class Workspace;

// The mouse on the graph picture: a rectangle dragged with the left button zooms to it, the
// wheel zooms in and out about the cursor, and resting over the plot shows the values there
// (and the point under the cursor, when there is one) in a tip beside the cursor.
class GraphMouse : public QObject {
  Q_OBJECT

 public:
  // Runs a zoom as one step named `step`; `change` returns false when it changed nothing.
  using ZoomStep = std::function<void(const char* step, const std::function<bool()>& change)>;

  GraphMouse(Workspace& workspace, QWidget* picture, ZoomStep zoom);

  // What the last screen pass drew, which every position is read against.
  void SetDrawn(const DrawResult& drawn);
  const DrawResult* Drawn() const { return hasDrawn_ ? &drawn_ : nullptr; }

  // The tip's text for a position of the picture: "X = 2.5   Y = 10" (with "Right Y = " when
  // the right axis is in use) and, near a point, "Series #2, row 7" before it; empty outside
  // the plot.
  QString ReadoutText(QPoint at) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowReadout();

  Workspace& workspace_;
  QWidget* picture_;
  ZoomStep zoom_;
  DrawResult drawn_;
  bool hasDrawn_ = false;
  QRubberBand* band_ = nullptr;
  QPoint pressedAt_;
  bool dragging_ = false;
  // The readout waits until the mouse rests: finding the nearest point reads every row.
  QTimer rest_;
  QPoint restingAt_;
};

}  // namespace tavel
