#pragma once

#include <string>

#include "core/platform/prompts.h"
#include "core/scale/grid_counts.h"
#include "core/series/graph_settings.h"
#include "core/series/real.h"

namespace tavel {

class Workspace;

// Items of the Scale dialog's "Multi-Scale" choice (AutoBox), by index.
enum MultiScaleChoice : int {
  kMultiScaleX = 0,
  kMultiScaleY = 1,
  kMultiScaleBoth = 2,
  kMultiScaleDisable = 3,
};

// Everything the Scale dialog holds besides its widgets: the six limit edits, the Multi-Scale
// choice and the opening flag. The dialog copies these to and from its controls and calls the
// functions below; every rule lives here so that it runs without a window. Its buttons are
// sequences of these calls: "Find" FindScale; "Auto" NiceScale, then SetMultiScaleChoice
// "Disable"; "Find All" SetMultiScaleChoice "Disable", ApplyScaleFields, FindAllScales and
// ClearGrid; "View" SetMultiScaleChoice "Disable" and ApplyScaleFields; "OK" and "Grid"
// ApplyScaleFields.
struct ScaleFields {
  std::string MaxX, MinX;
  std::string MaxYL, MinYL;
  std::string MaxYR, MinYR;
  int AutoBox = kMultiScaleDisable;
  // Set while the dialog opens, so that its own selection of "Disable" applies nothing.
  bool ScaleDialogOpening = false;
};

struct AxisRange {
  Real Max = 0;
  Real Min = 0;
};

// The settings behind an axis.
Real& ScaleMax(GraphSettings& settings, Axis axis);
Real& ScaleMin(GraphSettings& settings, Axis axis);
bool& MultiScale(GraphSettings& settings, Axis axis);
std::string& MaxField(ScaleFields& fields, Axis axis);
std::string& MinField(ScaleFields& fields, Axis axis);

// The six edits show FormatNumber(limit, 14) of the six limits.
void ShowScaleFields(const GraphSettings& settings, ScaleFields& fields);

// The data extremes of one axis over every series (each re-measured by SortByX), stored as the
// axis's range; an axis without series gets 0..0. The overloads with fields also show the two
// limits; drawing calls the ones without.
AxisRange FindScale(Workspace& workspace, Axis axis);
AxisRange FindScale(Workspace& workspace, Axis axis, ScaleFields& fields);
inline AxisRange FindScaleX(Workspace& w) {
  return FindScale(w, Axis::X);
}
inline AxisRange FindScaleYL(Workspace& w) {
  return FindScale(w, Axis::YL);
}
inline AxisRange FindScaleYR(Workspace& w) {
  return FindScale(w, Axis::YR);
}
inline AxisRange FindScaleX(Workspace& w, ScaleFields& f) {
  return FindScale(w, Axis::X, f);
}
inline AxisRange FindScaleYL(Workspace& w, ScaleFields& f) {
  return FindScale(w, Axis::YL, f);
}
inline AxisRange FindScaleYR(Workspace& w, ScaleFields& f) {
  return FindScale(w, Axis::YR, f);
}

// The three finds in one pass over the series.
void FindAllScales(Workspace& workspace);
void FindAllScales(Workspace& workspace, ScaleFields& fields);

// Finds the extremes of the axis, rounds them to nice limits, chooses the grid counts, ticks
// and decimals that go with them, shows the limits and switches the axis's Multi-Scale off.
// Returns false when it stopped after the find: equal extremes (nothing else changes), or
// limits at the very top of the extended range that cannot be rounded (a beep).
bool NiceScale(Workspace& workspace, Axis axis);
bool NiceScale(Workspace& workspace, Axis axis, ScaleFields& fields);
inline bool NiceScaleX(Workspace& w) {
  return NiceScale(w, Axis::X);
}
inline bool NiceScaleYL(Workspace& w) {
  return NiceScale(w, Axis::YL);
}
inline bool NiceScaleYR(Workspace& w) {
  return NiceScale(w, Axis::YR);
}
// What "&Auto Scale" does: nice X and left Y limits with their grid; the right Y scale stays.
inline void AutoScaleGraph(Workspace& w) {
  NiceScaleX(w);
  NiceScaleYL(w);
}
inline bool NiceScaleX(Workspace& w, ScaleFields& f) {
  return NiceScale(w, Axis::X, f);
}
inline bool NiceScaleYL(Workspace& w, ScaleFields& f) {
  return NiceScale(w, Axis::YL, f);
}
inline bool NiceScaleYR(Workspace& w, ScaleFields& f) {
  return NiceScale(w, Axis::YR, f);
}

// Reads a typed limit into a setting: empty gives 0; text that is not a number, or a number
// beyond +-1E+4931, beeps and leaves the setting as it was.
void ReadLimitField(const std::string& text, Real& setting, Prompts& prompts);

// The OK action: the Multi-Scale choice to the three flags, then the typed limits of every axis
// that is not in Multi-Scale mode; equal limits switch that axis to Multi-Scale.
void ApplyScaleFields(GraphSettings& settings, const ScaleFields& fields, Prompts& prompts);

// The Multi-Scale choice handler. The dialog calls it whenever AutoBox changes, by the user or
// by the program, and shows AutoBox afterwards with its radio signals blocked. A choice that
// would put a logarithmic axis in Multi-Scale mode beeps and becomes "Disable". Returns true
// when the graph is to be redrawn (if its window is open).
bool MultiScaleChoiceChanged(GraphSettings& settings, ScaleFields& fields, Prompts& prompts);

// The program selects a choice: the handler runs when the selection actually changes.
bool SetMultiScaleChoice(GraphSettings& settings, ScaleFields& fields, int choice,
                         Prompts& prompts);

// Opening the Scale dialog: every axis leaves Multi-Scale mode, the choice shows "Disable"
// (through the handler, which applies nothing while ScaleDialogOpening is set) and the six
// edits show the limits. Returns true when the graph is to be redrawn (if its window is open).
bool ScaleDialogOpen(GraphSettings& settings, ScaleFields& fields, Prompts& prompts);

}  // namespace tavel
