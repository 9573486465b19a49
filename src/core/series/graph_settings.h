#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/series/real.h"

namespace tavel {

constexpr std::int32_t MaxSeries = 21;
constexpr std::int32_t MaxDataIndexLimit = 10000;
constexpr std::int32_t BarWidthLimit = 10;
// Four printer colour schemes, each with or without the large font.
constexpr std::int32_t PrinterOptionsLimit = 7;
constexpr std::int32_t MaxTextWindows = 10;
constexpr std::int32_t MaxFloatTitles = 10;

// An empty cell is written to files as this value; anything read above kEmptyThreshold is empty.
constexpr Real EmptyValue = 1.0E+4932L;
constexpr Real kEmptyThreshold = 1E+4931L;

// Every setting that is not per series: one instance per program, read and written directly
// by every window and dialog. Arrays marked [1..n] are indexed from 1; element 0 is unused.
struct GraphSettings {
  // Preferences (kept in the settings file and in graph files).
  std::int32_t MaxDataIndex = 10;
  std::int32_t BarWidth = 1;
  std::int32_t PrinterOptions = 0;
  // Third line of the settings file: no meaning, carried through unchanged.
  std::int32_t SettingsReserved = 0;

  std::int32_t NextDataSize = 0;
  std::string GraphFileName = "NoName.gra";

  Real XScaleMax = 0, XScaleMin = 0;
  Real YLScaleMax = 0, YLScaleMin = 0;
  Real YRScaleMax = 0, YRScaleMin = 0;
  bool MultiScaleX = true, MultiScaleYL = true, MultiScaleYR = true;
  bool LogX = false, LogY = false;
  bool LogExponential = true;

  std::int32_t XMajorGrid = 1, XMinorGrid = 1;
  std::int32_t YMajorGrid = 1, YMinorGrid = 1;
  std::int32_t XTicks = 1, YLTicks = 1, YRTicks = 1;
  std::int32_t XDecimals = 2, YLDecimals = 2, YRDecimals = 2;

  std::array<std::string, 4> MainTitles{};  // [1..3]
  std::array<std::string, 4> XTitles{};     // [1..3]
  std::string LeftYTitle, RightYTitle;
  std::array<std::string, MaxFloatTitles + 1> FloatTitleText{};  // [1..10]
  std::array<Real, MaxFloatTitles + 1> FloatTitleX{};             // [1..10]
  std::array<Real, MaxFloatTitles + 1> FloatTitleY{};             // [1..10]

  Real CalcX = 0;
  Real CalcY = 0, CalcZ = 0, CalcT = 0;
  Real CalcMemory = 0;

  std::int32_t GraphLeft = 100, GraphTop = 100, GraphWidth = 350, GraphHeight = 300;
  std::int32_t ScreenClass = 1024;

  bool NextSeriesRequested = false;
  bool GraphLoadFailed = false;
  bool GraphJustCreated = false;

  // Which state the settings are in, as a series' Version: the graph is unsaved while this
  // differs from the workspace's SavedSettingsVersion.
  std::uint64_t Version = 0;

  friend bool operator==(const GraphSettings&, const GraphSettings&) = default;

  // Scales, grids, ticks, decimals, log axes, titles and floating titles back to their
  // defaults; the preferences, LogExponential and the calculator are kept.
  void ResetGraphSettings();
};

// The screen width class of a screen w pixels wide: 640, 800, 1024, 1152, 1280 or 1600.
std::int32_t ScreenClassFor(std::int32_t screenWidth);

}  // namespace tavel
