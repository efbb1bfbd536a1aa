#pragma once
// The fixed table that turns a clicked item of the service bar into the link
// it opens.

#include <array>
#include <cstdint>

#include "links/LinkValues.h"

struct LinkRow {
    int32_t m_folder;
    int32_t m_item;
    const char* m_link;
};

// Rows in the order the lookup tries them. Two links serve two items each:
// the shop is also where the Wangwang support chat lives, and the feedback
// chat is the same QQ support account.
inline constexpr std::array<LinkRow, 14> LinkTable{{
    {0, 0, kWanfangCheckLink},
    {0, 1, kWanfangBackupLink},
    {1, 0, kVipCheckLink},
    {1, 1, kVipBackupLink},
    {2, 0, kCnkiJournalCheckLink},
    {2, 1, kCnkiJournalBackupLink},
    {3, 0, kCnkiVipCheckLink},
    {3, 1, kCnkiVipBackupLink},
    {4, 0, kHomePageLink},
    {4, 1, kShopLink},
    {4, 2, kQqChatLink},
    {4, 3, kShopLink},
    {5, 0, kQqChatLink},
    {5, 1, kMailLink},
}};

// The link of the item at (folder, item), or nullptr when no row has the pair.
const char* FindLink(int32_t folder, int32_t item);
