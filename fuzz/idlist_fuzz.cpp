// The parent item-list copy: for any list that ends with a zero size inside
// the input, the copy holds every item but the last and then two zero bytes.
#include "check.h"
#include "open/idlist.h"

#include <stdint.h>
#include <string.h>
#include <vector>

namespace {

// Offsets of the items of a list in size bytes; false when no zero size
// lies wholly inside them.
bool Walk(const unsigned char *list, size_t size, std::vector<size_t> &items) {
    for (size_t at = 0; at + 2 <= size;) {
        size_t itemSize = list[at] | list[at + 1] << 8;
        if (itemSize == 0)
            return true;
        items.push_back(at);
        at += itemSize;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<size_t> items;
    if (!Walk(data, size, items))
        return 0;

    // Exact copies, so that reading past the list or writing past the
    // parent's block is an overflow.
    unsigned char *list = static_cast<unsigned char *>(malloc(size ? size : 1));
    memcpy(list, data, size);

    // NextIdListItem steps from item to item and gives null at the end.
    const void *item = list;
    for (size_t at : items) {
        FUZZ_CHECK(item == list + at);
        item = NextIdListItem(item);
    }
    FUZZ_CHECK(item != nullptr && NextIdListItem(item) == nullptr);

    const size_t last = items.empty() ? 0 : items.back();
    FUZZ_CHECK(LastIdListItemOffset(list) == last);
    unsigned char *parent = static_cast<unsigned char *>(malloc(last + 2));
    WriteParentIdList(parent, list, last);
    FUZZ_CHECK(memcmp(parent, list, last) == 0);
    FUZZ_CHECK(parent[last] == 0 && parent[last + 1] == 0);

    // And the parent is a list of just those items.
    std::vector<size_t> parentItems;
    FUZZ_CHECK(Walk(parent, last + 2, parentItems));
    items.resize(items.empty() ? 0 : items.size() - 1);
    FUZZ_CHECK(parentItems == items);

    free(parent);
    free(list);
    return 0;
}
