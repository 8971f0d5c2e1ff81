#pragma once
// The compare window's status text, from the state of its comparison.

#include <QString>
#include <cstdint>

namespace hexview {

// "Comparing... 42%" while done is false; then "The files are equal",
// "1 byte differs in 1 range" or "1,234 bytes differ in 5 ranges".
QString CompareSummaryText(bool done, int percent, int64_t differingBytes, int64_t ranges);

} // namespace hexview
