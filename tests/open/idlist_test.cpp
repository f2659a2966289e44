#include "open/idlist.h"
#include "open/shortcut.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <string>

namespace {

// A list of items of the given sizes, each filled with its own index.
std::string MakeIdList(std::initializer_list<unsigned> sizes) {
    std::string list;
    char index = 'a';
    for (unsigned size : sizes) {
        list += static_cast<char>(size & 0xFF);
        list += static_cast<char>(size >> 8);
        list += std::string(size - 2, index++);
    }
    list += std::string(2, '\0');
    return list;
}

class ParentIdList : public testing::Test {
  protected:
    IMalloc *allocator = nullptr;
    void SetUp() override { ASSERT_EQ(S_OK, SHGetMalloc(&allocator)); }
    void TearDown() override { allocator->Release(); }

    std::string Parent(const std::string &list) {
        LPITEMIDLIST parent =
            CopyParentIdList(allocator, reinterpret_cast<LPCITEMIDLIST>(list.data()));
        if (!parent)
            return "(null)";
        std::string bytes(reinterpret_cast<const char *>(parent), allocator->GetSize(parent));
        allocator->Free(parent);
        return bytes;
    }
};

TEST_F(ParentIdList, DropsExactlyTheLastItem) {
    std::string list = MakeIdList({20, 30, 40});
    EXPECT_EQ(50u, LastIdListItemOffset(list.data()));
    std::string parent = Parent(list);
    ASSERT_EQ(52u, parent.size()) << "one exact allocation";
    EXPECT_EQ(MakeIdList({20, 30}), parent);

    // Sizes are little-endian and unaligned: an item of 0x0102 bytes.
    EXPECT_EQ(MakeIdList({0x102}), Parent(MakeIdList({0x102, 4})));
}

TEST_F(ParentIdList, OneItemOrNoneLeavesTheDesktop) {
    const std::string desktop(2, '\0');
    EXPECT_EQ(desktop, Parent(MakeIdList({20})));
    EXPECT_EQ(desktop, Parent(desktop));
    EXPECT_EQ(0u, LastIdListItemOffset(desktop.data()));
}

TEST(IdListItems, NextStopsAtTheZeroSize) {
    std::string list = MakeIdList({6, 3});
    const void *second = NextIdListItem(list.data());
    EXPECT_EQ(list.data() + 6, second);
    const void *end = NextIdListItem(second);
    EXPECT_EQ(list.data() + 9, end);
    EXPECT_EQ(nullptr, NextIdListItem(end));
}

} // namespace
