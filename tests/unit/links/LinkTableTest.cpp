#include "links/LinkTable.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <set>
#include <string>

namespace {

enum class Kind { PrimaryCheck, BackupCheck, HomePage, Shop, QqChat, Mail };

struct ExpectedRow {
    int32_t m_folder;
    int32_t m_item;
    Kind m_kind;
    const char* m_backupPath;  // only for backup check pages
};

// Every row, in the order the lookup must try them.
constexpr ExpectedRow kExpectedRows[] = {
    {0, 0, Kind::PrimaryCheck, nullptr}, {0, 1, Kind::BackupCheck, "/wanfang"},
    {1, 0, Kind::PrimaryCheck, nullptr}, {1, 1, Kind::BackupCheck, "/gocheck"},
    {2, 0, Kind::PrimaryCheck, nullptr}, {2, 1, Kind::BackupCheck, "/qikan"},
    {3, 0, Kind::PrimaryCheck, nullptr}, {3, 1, Kind::BackupCheck, "/cnki"},
    {4, 0, Kind::HomePage, nullptr},     {4, 1, Kind::Shop, nullptr},
    {4, 2, Kind::QqChat, nullptr},       {4, 3, Kind::Shop, nullptr},
    {5, 0, Kind::QqChat, nullptr},       {5, 1, Kind::Mail, nullptr},
};

const std::string kHttp = "http://";

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool IsPlainAsciiWithoutSpaces(const std::string& text) {
    for (char c : text) {
        if (c <= ' ' || c > '~') {
            return false;
        }
    }
    return !text.empty();
}

// A host as it may follow "http://": labels of letters, digits, '-' and '_'
// separated by single dots, no port, no path.
bool IsHost(const std::string& host) {
    if (host.empty() || host.front() == '.' || host.back() == '.' ||
        host.find("..") != std::string::npos) {
        return false;
    }
    for (char c : host) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                  c == '-' || c == '_' || c == '.';
        if (!ok) {
            return false;
        }
    }
    return true;
}

// The host of an "http://host" link that has no path, or "" when the link is
// not of that form (a closing slash counts as a path).
std::string HostOnlyLink(const std::string& link) {
    if (!StartsWith(link, kHttp)) {
        return "";
    }
    std::string host = link.substr(kHttp.size());
    return IsHost(host) ? host : "";
}

// The host of "http://host<path>", or "" when the link has another path.
std::string HostBeforePath(const std::string& link, const std::string& path) {
    if (!StartsWith(link, kHttp) || !EndsWith(link, path)) {
        return "";
    }
    std::string host = link.substr(kHttp.size(), link.size() - kHttp.size() - path.size());
    return IsHost(host) ? host : "";
}

bool IsShopLink(const std::string& link) {
    const std::string suffix = ".taobao.com";
    std::string shop = HostBeforePath(link, "");
    return EndsWith(shop, suffix) && shop.size() > suffix.size() &&
           shop.substr(0, shop.size() - suffix.size()).find('.') == std::string::npos;
}

bool IsQqChatLink(const std::string& link) {
    const std::string prefix = "http://wpa.qq.com/msgrd?v=3&uin=";
    const std::string suffix = "&site=qq&menu=yes";
    if (!StartsWith(link, prefix) || !EndsWith(link, suffix) ||
        link.size() <= prefix.size() + suffix.size()) {
        return false;
    }
    std::string number = link.substr(prefix.size(), link.size() - prefix.size() - suffix.size());
    return number.find_first_not_of("0123456789") == std::string::npos;
}

bool IsMailLink(const std::string& link) {
    const std::string scheme = "mailto:";
    if (!StartsWith(link, scheme)) {
        return false;
    }
    std::string address = link.substr(scheme.size());
    size_t at = address.find('@');
    return at != std::string::npos && at > 0 && address.find('@', at + 1) == std::string::npos &&
           IsHost(address.substr(at + 1));
}

TEST(LinkTable, HasEveryRowInOrder) {
    ASSERT_EQ(LinkTable.size(), std::size(kExpectedRows));
    for (size_t i = 0; i < LinkTable.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(LinkTable[i].m_folder, kExpectedRows[i].m_folder);
        EXPECT_EQ(LinkTable[i].m_item, kExpectedRows[i].m_item);
    }
}

TEST(LinkTable, EveryRowFindsALinkOfItsKindAndForm) {
    std::set<std::string> primaryHosts;
    std::set<std::string> backupHosts;
    std::string homeHost;
    for (const ExpectedRow& row : kExpectedRows) {
        SCOPED_TRACE(testing::Message() << "folder " << row.m_folder << " item " << row.m_item);
        const char* found = FindLink(row.m_folder, row.m_item);
        ASSERT_NE(found, nullptr);
        std::string link = found;
        EXPECT_TRUE(IsPlainAsciiWithoutSpaces(link)) << link;
        switch (row.m_kind) {
        case Kind::PrimaryCheck: {
            std::string host = HostOnlyLink(link);
            EXPECT_NE(host, "") << link;
            EXPECT_TRUE(primaryHosts.insert(host).second) << "host shared: " << link;
            break;
        }
        case Kind::BackupCheck: {
            std::string host = HostBeforePath(link, row.m_backupPath);
            EXPECT_NE(host, "") << link;
            backupHosts.insert(host);
            break;
        }
        case Kind::HomePage:
            homeHost = HostOnlyLink(link);
            EXPECT_NE(homeHost, "") << link;
            break;
        case Kind::Shop:
            EXPECT_TRUE(IsShopLink(link)) << link;
            break;
        case Kind::QqChat:
            EXPECT_TRUE(IsQqChatLink(link)) << link;
            break;
        case Kind::Mail:
            EXPECT_TRUE(IsMailLink(link)) << link;
            break;
        }
    }
    EXPECT_EQ(primaryHosts.size(), 4u);
    EXPECT_EQ(backupHosts.size(), 1u) << "the backup pages must share one partner host";
    EXPECT_EQ(primaryHosts.count(homeHost), 0u);
}

TEST(LinkTable, FindsTheTextTheTableHolds) {
    for (const LinkRow& row : LinkTable) {
        EXPECT_EQ(FindLink(row.m_folder, row.m_item), row.m_link);
    }
}

TEST(LinkTable, TwoItemsShareTheLinkOfAnother) {
    ASSERT_NE(FindLink(4, 1), nullptr);
    ASSERT_NE(FindLink(4, 2), nullptr);
    EXPECT_STREQ(FindLink(4, 3), FindLink(4, 1));
    EXPECT_STREQ(FindLink(5, 0), FindLink(4, 2));
}

TEST(LinkTable, HoldsTwelveDistinctLinks) {
    std::set<std::string> links;
    for (const LinkRow& row : LinkTable) {
        links.insert(row.m_link);
    }
    EXPECT_EQ(links.size(), 12u);
}

TEST(LinkTable, PairsInNoRowFindNothing) {
    const std::pair<int32_t, int32_t> pairs[] = {
        {0, 2},        {4, 4},         {5, 2},        {6, 0},        {-1, 0},
        {0, -1},       {-1, -1},       {1, 4},        {INT32_MAX, 0}, {0, INT32_MAX},
        {INT32_MIN, 0}, {0, INT32_MIN}, {INT32_MIN, INT32_MIN},      {INT32_MAX, INT32_MAX},
    };
    for (auto [folder, item] : pairs) {
        EXPECT_EQ(FindLink(folder, item), nullptr) << "folder " << folder << " item " << item;
    }
}

}  // namespace
