#include "servicebar/Content.h"
#include "servicebar/Settings.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace servicebar {
namespace {

struct Row {
    int folder;
    std::u16string folderLabel;
    int item;
    std::u16string itemLabel;
};

TEST(ServiceContent, HoldsTheFolderAndItemTableInDisplayOrder) {
    const Row rows[] = {
        {0, u"万方论文检测", 0, u"开始检测"},     {0, u"万方论文检测", 1, u"备用检测"},
        {1, u"维普论文检测", 0, u"开始检测"},     {1, u"维普论文检测", 1, u"备用检测"},
        {2, u"知网期刊论文检测", 0, u"开始检测"}, {2, u"知网期刊论文检测", 1, u"备用检测"},
        {3, u"知网VIP论文检测", 0, u"开始检测"},  {3, u"知网VIP论文检测", 1, u"备用检测"},
        {4, u"联系我们", 0, u"官方网站"},         {4, u"联系我们", 1, u"淘宝网店"},
        {4, u"联系我们", 2, u"客服QQ"},           {4, u"联系我们", 3, u"客服旺旺"},
        {5, u"失效反馈", 0, u"在线反馈"},         {5, u"失效反馈", 1, u"邮件反馈"},
    };
    const BarContent content = ServiceContent();
    ASSERT_EQ(content.size(), 6u);
    size_t total = 0;
    for (const BarFolder& folder : content) total += folder.items.size();
    EXPECT_EQ(total, std::size(rows));

    for (const Row& row : rows) {
        SCOPED_TRACE(row.folder * 10 + row.item);
        const BarFolder& folder = content.at(static_cast<size_t>(row.folder));
        EXPECT_EQ(folder.label, row.folderLabel);
        EXPECT_EQ(folder.tip, row.folderLabel);
        EXPECT_EQ(folder.userValue, 0u);
        const BarItem& item = folder.items.at(static_cast<size_t>(row.item));
        EXPECT_EQ(item.label, row.itemLabel);
        EXPECT_EQ(item.tip, row.itemLabel);
        EXPECT_EQ(item.userValue, 0u);
    }
}

TEST(ServiceSettings, ShapeTheBarAsTheLauncherNeedsIt) {
    constexpr BarSettings s = ServiceSettings();
    EXPECT_EQ(s.openFolderAtStart, 0);
    EXPECT_EQ(s.headerHeight, 23);
    EXPECT_EQ(s.slideStep, 30);
    EXPECT_EQ(s.headerStyle, 1);
    EXPECT_TRUE(s.flatBorder);
    EXPECT_EQ(s.itemDisplayMode, ItemDisplayMode::Icon);
    EXPECT_FALSE(s.rightButtonMenu);
    EXPECT_FALSE(s.labelEditing);
    EXPECT_FALSE(s.itemDragging);
    for (const FontDescription& font : {s.folderFont, s.itemFont}) {
        EXPECT_EQ(font.face, u"宋体");
        EXPECT_EQ(font.height, -12);
        EXPECT_EQ(font.weight, 400);
        EXPECT_FALSE(font.italic || font.underline || font.strikeOut);
        EXPECT_EQ(font.charSet, 134);
    }
}

TEST(ServiceSettings, ColourTable) {
    constexpr BarColours c = ServiceSettings().colours;
    const struct {
        const char* key;
        Colour actual;
        Colour expected;
    } rows[] = {
        {"crBackGroundColor", c.crBackGroundColor, Rgb(128, 128, 128)},
        {"crFolderTextColor", c.crFolderTextColor, Rgb(0, 0, 0)},
        {"crFolderSelTextColor", c.crFolderSelTextColor, Rgb(0, 0, 0)},
        {"crFolderTextHoverColor", c.crFolderTextHoverColor, Rgb(0, 0, 0)},
        {"crFolderTextDownColor", c.crFolderTextDownColor, Rgb(0, 0, 0)},
        {"crFolderBgColor", c.crFolderBgColor, kDefaultColour},
        {"crFolderBgDownColor", c.crFolderBgDownColor, kDefaultColour},
        {"crFolderBgHoverColor", c.crFolderBgHoverColor, kDefaultColour},
        {"crFolderSelBgColor", c.crFolderSelBgColor, kDefaultColour},
        {"crItemTextColor", c.crItemTextColor, Rgb(255, 255, 255)},
        {"crItemTextHoverColor", c.crItemTextHoverColor, Rgb(0, 0, 255)},
        {"crItemSelTextColor", c.crItemSelTextColor, Rgb(255, 255, 0)},
        {"crDkShadowBorder", c.crDkShadowBorder, Rgb(0, 60, 115)},
        {"crHilightBorder", c.crHilightBorder, Rgb(255, 255, 255)},
        {"cr3dFace", c.cr3dFace, Rgb(0, 0, 0)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.key);
        EXPECT_TRUE(row.actual == row.expected);
    }
}

TEST(Colour, DefaultMarkerDiffersFromEveryRgbValue) {
    EXPECT_FALSE(kDefaultColour == Rgb(0, 0, 0));
    EXPECT_TRUE(kDefaultColour == kDefaultColour);
    EXPECT_FALSE(Rgb(0, 60, 115) == Rgb(0, 60, 116));
}

}  // namespace
}  // namespace servicebar
