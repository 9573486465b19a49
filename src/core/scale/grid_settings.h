#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/platform/prompts.h"
#include "core/scale/grid_counts.h"
#include "core/series/graph_settings.h"

namespace tavel {

// Typed ranges of the grid settings.
constexpr std::int32_t kMinorGridLimit = 10;
constexpr std::int32_t kMajorGridLimit = 20;
constexpr std::int32_t kTicksLimit = 20;
constexpr std::int32_t kDecimalsLimit = 8;

// The text a locked field of a logarithmic axis shows.
inline constexpr const char* kLogFieldText = "Log";

// The ten edits of the Grid dialog and whether the X and the Y group can be edited. The dialog
// copies these to and from its controls; every rule lives here.
struct GridFields {
  std::string XMinor, XMajor, XTicks, XDec;
  std::string YMinor, YMajor, YLTicks, YLDec, YRTicks, YRDec;
  bool XEnabled = true;
  bool YEnabled = true;
};

// Opening the Grid dialog: the ten settings as integers, except that the fields of a
// logarithmic axis show "Log" and are disabled.
GridFields GridDialogFields(const GraphSettings& settings);

// Reads an integer field: empty gives emptyValue; text that is not a whole integer (blanks, a
// sign and "$" hexadecimal allowed) or a value outside low..high beeps and gives nothing.
std::optional<std::int32_t> ReadIntegerField(const std::string& text, std::int32_t emptyValue,
                                             std::int32_t low, std::int32_t high, Prompts& prompts);

// The OK action: each field read into its setting, a refused field keeping the old value; the
// group of a logarithmic axis (its minor field reads "Log") is skipped.
void ApplyGridFields(GraphSettings& settings, const GridFields& fields, Prompts& prompts);

// Grid counts, ticks and decimals of the linear axes back to 1, 1, 1, 2. Returns true when the
// graph window is to be shown and redrawn; false (with a beep) when both axes are logarithmic.
bool ClearGrid(GraphSettings& settings, Prompts& prompts);
bool ClearGrid(GraphSettings& settings, GridFields& fields, Prompts& prompts);

// Chooses the grid counts, ticks and decimals of one axis from its current range, which stays.
// Returns true when they were stored (the dialog then hides "Cancel" and the graph is shown and
// redrawn); false with a beep on a logarithmic axis or one whose limits are equal.
bool AutoGrid(GraphSettings& settings, Axis axis, Prompts& prompts);
bool AutoGrid(GraphSettings& settings, Axis axis, GridFields& fields, Prompts& prompts);
inline bool AutoGridX(GraphSettings& s, GridFields& f, Prompts& p) {
  return AutoGrid(s, Axis::X, f, p);
}
inline bool AutoGridYL(GraphSettings& s, GridFields& f, Prompts& p) {
  return AutoGrid(s, Axis::YL, f, p);
}
inline bool AutoGridYR(GraphSettings& s, GridFields& f, Prompts& p) {
  return AutoGrid(s, Axis::YR, f, p);
}

// The "View" action: the fields are taken over and every axis with a usable range leaves
// Multi-Scale mode, since grid lines are drawn only on the others. Returns true when "Cancel"
// is to be hidden and the graph shown and redrawn; false (with a beep) when both axes are
// logarithmic.
bool ViewGrid(GraphSettings& settings, const GridFields& fields, Prompts& prompts);

}  // namespace tavel
