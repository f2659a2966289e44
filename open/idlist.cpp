#include "open/idlist.h"

#include <string.h>

namespace {

unsigned ItemSize(const void *item) {
    const unsigned char *p = static_cast<const unsigned char *>(item);
    return p[0] | (p[1] << 8u); // the list is unaligned little-endian
}

} // namespace

const void *NextIdListItem(const void *item) {
    unsigned size = ItemSize(item);
    return size ? static_cast<const unsigned char *>(item) + size : nullptr;
}

size_t LastIdListItemOffset(const void *list) {
    size_t offset = 0;
    size_t last = 0;
    for (const void *item = list; ItemSize(item); item = NextIdListItem(item)) {
        last = offset;
        offset += ItemSize(item);
    }
    return last;
}

void WriteParentIdList(void *block, const void *list, size_t lastOffset) {
    memcpy(block, list, lastOffset + 2);
    unsigned char *end = static_cast<unsigned char *>(block) + lastOffset;
    end[0] = 0;
    end[1] = 0;
}
