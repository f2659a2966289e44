// Item identifier lists: items led by a 16-bit size, ended by a zero size.
#pragma once
#include <stddef.h>

// The following item, or null at the terminating zero size.
const void *NextIdListItem(const void *item);

// Bytes before the last item: what the parent list keeps of it.
size_t LastIdListItemOffset(const void *list);

// Writes the parent of list into block (LastIdListItemOffset + 2 bytes).
void WriteParentIdList(void *block, const void *list, size_t lastOffset);
