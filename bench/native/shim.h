// Allocation counting for the host build of the splitter.
#pragma once
#include <stddef.h>

// Allocations made by the linked objects since the program started.
size_t AllocationCount();
