#include "core/series/series_options.h"

#include "core/series/series.h"

namespace tavel {

bool GraphTypeDrawsFit(std::int32_t graphType) {
  return graphType == kGraphFit || graphType == kGraphLineFit || graphType == kGraphBarFit;
}

std::int32_t GraphTypeWithFit(std::int32_t graphType) {
  switch (graphType) {
    case kGraphLine:
    case kGraphNone:
      return kGraphFit;
    case kGraphBar:
    case kGraphLineBar:
      return kGraphBarFit;
    default:
      return graphType;
  }
}

std::int32_t GraphTypeWithoutFit(std::int32_t graphType) {
  switch (graphType) {
    case kGraphFit:
    case kGraphLineFit:
      return kGraphLine;
    case kGraphBarFit:
      return kGraphBar;
    default:
      return graphType;
  }
}

int PrinterColorItemOf(std::int32_t code) {
  switch (code) {
    case kPrinterBlack:
      return kItemBlack;
    case kPrinterGreen:
      return kItemGreen;
    case kPrinterRed:
      return kItemRed;
    case kPrinterBlue:
      return kItemBlue;
    default:
      return kItemDefault;
  }
}

std::int32_t PrinterColorCodeOf(int item) {
  switch (item) {
    case kItemBlack:
      return kPrinterBlack;
    case kItemRed:
      return kPrinterRed;
    case kItemGreen:
      return kPrinterGreen;
    case kItemBlue:
      return kPrinterBlue;
    default:
      return kPrinterDefault;
  }
}

}  // namespace tavel
