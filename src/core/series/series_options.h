#pragma once

#include <cstdint>

namespace tavel {

// How a series' graph type follows its fit, and the printer colour choices.

// Whether the graph type draws a fit curve: Fit, Line & Fit, Bar & Fit.
bool GraphTypeDrawsFit(std::int32_t graphType);
// The graph type once a law is chosen: Line and None become Fit, Bar and Line & Bar become
// Bar & Fit; the others stay.
std::int32_t GraphTypeWithFit(std::int32_t graphType);
// The graph type once the fit is gone: Fit and Line & Fit become Line, Bar & Fit becomes Bar.
std::int32_t GraphTypeWithoutFit(std::int32_t graphType);

// The printer colour dialog's items, in their order: "&Default", "&Black", "&Red", "&Green",
// "Bl&ue".
enum PrinterColorItem : int {
  kItemDefault = 0,
  kItemBlack,
  kItemRed,
  kItemGreen,
  kItemBlue,
};
// The item showing a code; Default for any code the dialog does not offer.
int PrinterColorItemOf(std::int32_t code);
// The code an item stores; Default for an index outside the list.
std::int32_t PrinterColorCodeOf(int item);

}  // namespace tavel
