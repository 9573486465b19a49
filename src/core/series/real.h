#pragma once

namespace tavel {

// Every data value, coefficient and scale limit: the 80-bit extended type on x86-64.
using Real = long double;

}  // namespace tavel
