// What the fuzz targets see of the product's heap (text/heap.h), and how
// they make it run out.
#pragma once
#include <stddef.h>

namespace heap_probe {

// Forgets the recorded allocations and lets every allocation succeed.
void Reset();
// The next n allocations succeed, every later one fails.
void FailAfter(size_t n);
// Allocations since Reset, failed ones included, and the size asked for by
// the i-th of them (only the first kRecorded are kept).
const size_t kRecorded = 256;
size_t Count();
size_t SizeOf(size_t i);
// Blocks handed out and not yet freed, over the whole process.
long Live();

} // namespace heap_probe
