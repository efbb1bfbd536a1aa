#pragma once
// The service bar as the real program shows it on the test desktop, and where
// each of its items leads: the one table the end-to-end tests take their
// positions and expected links from. Positions are the bar's own client
// coordinates as measured under the test prefix, where WenQuanYi Zen Hei
// stands in for "宋体" at 12 pixels; the folder tests check the table against
// the screen, so a change of font or layout shows up there first.

#include <windows.h>

#include <array>
#include <cstdint>
#include <string_view>

#include "tests/windows/harness/Harness.h"

namespace endtoend {

constexpr int kFolderCount = 6;
constexpr int kHeaderHeight = 23;
constexpr int kBarHeight = 485;
// The bar is 300 wide, but the window's client area only 294 under Wine:
// the rightmost pixels lie outside and are never seen.
constexpr int kVisibleBarWidth = 294;

constexpr harness::Rgb kGrey{128, 128, 128};
constexpr harness::Rgb kWhite{255, 255, 255};
constexpr harness::Rgb kBlue{0, 0, 255};
constexpr harness::Rgb kYellow{255, 255, 0};
constexpr harness::Rgb kBlack{0, 0, 0};
constexpr harness::Rgb kEdge{0, 60, 115};

struct ItemFacts {
    int32_t folder;
    int32_t item;
    std::u16string_view label;
    // The box of the label while its folder is open: the only part of the
    // item's row that answers the mouse.
    RECT labelBox;
    // Exactly what the desktop's handler must be handed.
    const char* link;
};

inline constexpr std::array<std::u16string_view, kFolderCount> kFolderLabels{
    u"万方论文检测", u"维普论文检测", u"知网期刊论文检测", u"知网VIP论文检测", u"联系我们", u"失效反馈",
};

// Items sit 64 pixels apart from 44 pixels below their folder's header; the
// four-character labels are 48 wide, "客服QQ" 40.
inline constexpr std::array<ItemFacts, 14> kItems{{
    {0, 0, u"开始检测", {126, 67, 174, 83}, "http://wanfang.velmora.example"},
    {0, 1, u"备用检测", {126, 131, 174, 147}, "http://partner.example/wanfang"},
    {1, 0, u"开始检测", {126, 90, 174, 106}, "http://vip.velmora.example"},
    {1, 1, u"备用检测", {126, 154, 174, 170}, "http://partner.example/gocheck"},
    {2, 0, u"开始检测", {126, 113, 174, 129}, "http://qikan.velmora.example"},
    {2, 1, u"备用检测", {126, 177, 174, 193}, "http://partner.example/qikan"},
    {3, 0, u"开始检测", {126, 136, 174, 152}, "http://cnkivip.velmora.example"},
    {3, 1, u"备用检测", {126, 200, 174, 216}, "http://partner.example/cnki"},
    {4, 0, u"官方网站", {126, 159, 174, 175}, "http://www.velmora.example"},
    {4, 1, u"淘宝网店", {126, 223, 174, 239}, "http://maker_shop.taobao.com"},
    {4, 2, u"客服QQ", {130, 287, 170, 303}, "http://wpa.qq.com/msgrd?v=3&uin=0&site=qq&menu=yes"},
    {4, 3, u"客服旺旺", {126, 351, 174, 367}, "http://maker_shop.taobao.com"},
    {5, 0, u"在线反馈", {126, 182, 174, 198}, "http://wpa.qq.com/msgrd?v=3&uin=0&site=qq&menu=yes"},
    {5, 1, u"邮件反馈", {126, 246, 174, 262}, "mailto:support@velmora.example"},
}};

const ItemFacts& Item(int32_t folder, int32_t item);
int ItemCount(int32_t folder);
// Another item of `item`'s folder, whose link differs from `item`'s: a click on
// it marks the end of a wait for hand-overs.
const ItemFacts& BarrierFor(const ItemFacts& item);

// Where folder `folder`'s header lies while `open` is open and nothing moves:
// the open one and those before it stacked from the top, the rest from the bottom.
RECT HeaderRect(int32_t open, int32_t folder);
// Between the open folder's header and the next one below it (or the bar's bottom).
RECT ItemArea(int32_t open);

}  // namespace endtoend
