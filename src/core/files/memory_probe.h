#pragma once

#include <cstdint>

namespace tavel {

// Whether `series` new series of `rows` rows each fit in the memory the machine has free.
bool DataFileRowsFit(std::int64_t rows, std::int64_t series);

}  // namespace tavel
