#pragma once

#include <functional>

namespace tavel {

class Series;

// What the settings dialogs need from the frame: the series they work on and the graph
// window. The frame fills them in when it creates the dialogs; until then they do nothing.
struct DialogHooks {
  // The active data window's series; null when the active child is not a data window.
  std::function<Series*()> ActiveSeries = [] { return nullptr; };
  // Brings the active data window back to its normal size when it is minimised.
  std::function<void()> RestoreActiveWindow = [] {};
  // Redraws the graph window when one is open.
  std::function<void()> RedrawGraph = [] {};
  // Shows the graph window, creating it when a data window exists.
  std::function<void()> ShowGraphWindow = [] {};
  // The fit dialog, shown once for the active series.
  std::function<void()> ShowFitDialog = [] {};
};

}  // namespace tavel
