#pragma once

#include <string>

namespace tavel {

// Questions more than one window asks.
constexpr char kDataLossQuestion[] = "Possible data loss. Continue?";
// Shown as it reads: the message box takes no "&&" for an ampersand.
constexpr char kExitQuestion[] = "Save & Exit [YES] -- No Save & Exit [NO] -- Cancel Exit [CANCEL]";

}  // namespace tavel
