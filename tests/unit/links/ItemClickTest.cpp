#include "links/ItemClick.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

std::vector<const char*> Click(int32_t folder, int32_t item, int times = 1) {
    std::vector<const char*> opened;
    for (int i = 0; i < times; ++i) {
        DispatchItemClick(folder, item, [&opened](const char* link) { opened.push_back(link); });
    }
    return opened;
}

TEST(ItemClick, OpensTheLinkOfEachRowOnce) {
    for (const LinkRow& row : LinkTable) {
        SCOPED_TRACE(testing::Message() << "folder " << row.m_folder << " item " << row.m_item);
        std::vector<const char*> opened = Click(row.m_folder, row.m_item);
        ASSERT_EQ(opened.size(), 1u);
        EXPECT_EQ(opened[0], row.m_link);
    }
}

TEST(ItemClick, OpensNothingForAPairInNoRow) {
    const std::pair<int32_t, int32_t> pairs[] = {{0, 2}, {4, 4}, {6, 0}, {-1, 0}, {0, -1},
                                                 {INT32_MAX, 0}, {INT32_MIN, 0}};
    for (auto [folder, item] : pairs) {
        EXPECT_TRUE(Click(folder, item).empty()) << "folder " << folder << " item " << item;
    }
}

TEST(ItemClick, OpensTheSameLinkAgainOnEveryClick) {
    std::vector<const char*> opened = Click(2, 1, 2);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], FindLink(2, 1));
    EXPECT_EQ(opened[1], FindLink(2, 1));
}

}  // namespace
