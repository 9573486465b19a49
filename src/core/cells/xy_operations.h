#pragma once

namespace tavel {

class Series;

// The items of the X and Y operations box, in its order.
enum XYOperation : int {
  kSwitchXY = 0,
  kYPlusX = 1,
  kYMinusX = 2,
  kYTimesX = 3,
  kYDivideX = 4,
  kXDivideY = 5,
  kYRunningSum = 6,
  kYIntegral = 7,
};

// Operate on the whole series: items 0 to 5 combine the X and Y of each row in grid order;
// the running sum and the cumulative trapezoid integral work on the complete points sorted by
// X, and rows holding only X or only Y follow them unchanged. A division by 0 leaves its row as
// it was. Then the fit is cleared and the rows are written back to the grid; redrawing is the
// caller's.
//
// Returns true when some result lay beyond the extended range and was therefore not written:
// such a row (for the sum and the integral, the whole series) stays as it was.
bool OperateXY(Series& series, int operation);

}  // namespace tavel
