#pragma once

#include <cstdint>

namespace tavel {

// Whether `series` new series of `rows` rows each fit in the memory the machine has free.
bool DataFileRowsFit(std::int64_t rows, std::int64_t series);

// How many more rows of one series the memory free can hold.
std::int64_t RowsThatFit();

}  // namespace tavel
