#pragma once
// The bar's fixed settings and colour table.

#include <cstdint>
#include <string_view>

namespace servicebar {

struct Colour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    // Stands for the platform's current button-face colour, looked up when drawn.
    bool isDefault = false;
};

constexpr Colour Rgb(uint8_t red, uint8_t green, uint8_t blue) { return Colour{red, green, blue, false}; }
constexpr Colour kDefaultColour{0, 0, 0, true};

inline bool operator==(const Colour& a, const Colour& b) {
    if (a.isDefault || b.isDefault) return a.isDefault == b.isDefault;
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

// The control's own names for its colours.
struct BarColours {
    Colour crBackGroundColor;
    Colour crFolderTextColor;
    Colour crFolderSelTextColor;
    Colour crFolderTextHoverColor;
    Colour crFolderTextDownColor;
    Colour crFolderBgColor;
    Colour crFolderBgDownColor;
    Colour crFolderBgHoverColor;
    Colour crFolderSelBgColor;
    Colour crItemTextColor;
    Colour crItemTextHoverColor;
    Colour crItemSelTextColor;
    Colour crDkShadowBorder;
    Colour crHilightBorder;
    Colour cr3dFace;
};

struct FontDescription {
    std::u16string_view face;
    int height = 0;  // negative: character height in pixels, as a LOGFONT takes it
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    uint8_t charSet = 0;
};

enum class ItemDisplayMode { Icon, List };

struct BarSettings {
    int32_t openFolderAtStart = 0;
    int headerHeight = 0;
    int slideStep = 0;  // pixels per slide step; 0 switches folders without sliding
    int headerStyle = 1;
    bool flatBorder = true;
    ItemDisplayMode itemDisplayMode = ItemDisplayMode::Icon;
    bool selectedItemAnimation = true;
    bool labelOverFolderPicture = true;
    bool iconOverFolderPicture = true;
    bool rightButtonMenu = false;
    bool labelEditing = false;
    bool itemDragging = false;
    FontDescription folderFont;
    FontDescription itemFont;
    BarColours colours;
};

constexpr uint8_t kGb2312CharSet = 134;

constexpr FontDescription kServiceFont{u"宋体", -12, 400, false, false, false, kGb2312CharSet};

constexpr BarSettings ServiceSettings() {
    BarSettings s;
    s.openFolderAtStart = 0;
    s.headerHeight = 23;
    s.slideStep = 30;
    s.headerStyle = 1;
    s.flatBorder = true;
    s.itemDisplayMode = ItemDisplayMode::Icon;
    s.selectedItemAnimation = true;
    s.labelOverFolderPicture = true;
    s.iconOverFolderPicture = true;
    s.rightButtonMenu = false;
    s.labelEditing = false;
    s.itemDragging = false;
    // Two fonts with the same description: the bar keeps them as two objects.
    s.folderFont = kServiceFont;
    s.itemFont = kServiceFont;
    s.colours.crBackGroundColor = Rgb(128, 128, 128);
    s.colours.crFolderTextColor = Rgb(0, 0, 0);
    s.colours.crFolderSelTextColor = Rgb(0, 0, 0);
    s.colours.crFolderTextHoverColor = Rgb(0, 0, 0);
    s.colours.crFolderTextDownColor = Rgb(0, 0, 0);
    s.colours.crFolderBgColor = kDefaultColour;
    s.colours.crFolderBgDownColor = kDefaultColour;
    s.colours.crFolderBgHoverColor = kDefaultColour;
    s.colours.crFolderSelBgColor = kDefaultColour;
    s.colours.crItemTextColor = Rgb(255, 255, 255);
    s.colours.crItemTextHoverColor = Rgb(0, 0, 255);
    s.colours.crItemSelTextColor = Rgb(255, 255, 0);
    s.colours.crDkShadowBorder = Rgb(0, 60, 115);
    s.colours.crHilightBorder = Rgb(255, 255, 255);
    s.colours.cr3dFace = Rgb(0, 0, 0);
    return s;
}

}  // namespace servicebar
