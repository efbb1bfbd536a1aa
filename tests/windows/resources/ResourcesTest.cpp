// The program's resources as Windows itself reads them: this test program is
// built from the same resource script as Velmora.exe.

#include "resources/resource.h"
#include "resources/version.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int kIconSize = 48;

std::wstring FromUtf8(const char* text) {
    int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (length <= 0) {
        ADD_FAILURE() << "not UTF-8: " << text;
        return L"";
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
    wide.pop_back();
    return wide;
}

// The names of this program's resources of one type, in the order the
// resource directory holds them (which is the order the shell reads them in).
// A named WINAPI function, not a lambda: 32-bit callbacks are stdcall.
BOOL CALLBACK CollectResourceId(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR context) {
    // A name that is a string instead of an id is recorded as 0.
    reinterpret_cast<std::vector<ULONG_PTR>*>(context)->push_back(
        IS_INTRESOURCE(name) ? reinterpret_cast<ULONG_PTR>(name) : 0);
    return TRUE;
}

std::vector<ULONG_PTR> ResourceIds(LPCWSTR type) {
    std::vector<ULONG_PTR> ids;
    EnumResourceNamesW(nullptr, type, CollectResourceId, reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

std::vector<BYTE> ResourceBytes(LPCWSTR type, ULONG_PTR id) {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), type);
    if (!found) {
        return {};
    }
    HGLOBAL loaded = LoadResource(nullptr, found);
    const BYTE* data = static_cast<const BYTE*>(LockResource(loaded));
    DWORD size = SizeofResource(nullptr, found);
    return data ? std::vector<BYTE>(data, data + size) : std::vector<BYTE>{};
}

#pragma pack(push, 2)
struct GroupIconHeader {
    WORD m_reserved;
    WORD m_type;
    WORD m_count;
};
struct GroupIconEntry {
    BYTE m_width;
    BYTE m_height;
    BYTE m_colourCount;
    BYTE m_reserved;
    WORD m_planes;
    WORD m_bitCount;
    DWORD m_bytesInRes;
    WORD m_id;
};
#pragma pack(pop)

// The alpha values of the icon's one image, top row first, read from the raw
// resource after checking its format.
std::vector<BYTE> IconAlphaFromResource() {
    std::vector<BYTE> group = ResourceBytes(RT_GROUP_ICON, IDI_VELMORA);
    if (group.size() < sizeof(GroupIconHeader) + sizeof(GroupIconEntry)) {
        ADD_FAILURE() << "no icon group " << IDI_VELMORA;
        return {};
    }
    GroupIconHeader header;
    GroupIconEntry entry;
    std::memcpy(&header, group.data(), sizeof header);
    std::memcpy(&entry, group.data() + sizeof header, sizeof entry);
    EXPECT_EQ(header.m_type, 1);
    EXPECT_EQ(header.m_count, 1) << "one image only";
    EXPECT_EQ(entry.m_width, kIconSize);
    EXPECT_EQ(entry.m_height, kIconSize);
    EXPECT_EQ(entry.m_bitCount, 32);
    EXPECT_EQ(entry.m_planes, 1);

    std::vector<BYTE> image = ResourceBytes(RT_ICON, entry.m_id);
    const size_t colourBytes = kIconSize * kIconSize * 4;
    const size_t maskBytes = kIconSize * ((kIconSize + 31) / 32 * 4);
    if (image.size() != sizeof(BITMAPINFOHEADER) + colourBytes + maskBytes ||
        image.size() != entry.m_bytesInRes) {
        ADD_FAILURE() << "icon image of " << image.size() << " bytes is not a 48x48 32-bit bitmap";
        return {};
    }
    BITMAPINFOHEADER bitmap;
    std::memcpy(&bitmap, image.data(), sizeof bitmap);
    EXPECT_EQ(bitmap.biSize, sizeof(BITMAPINFOHEADER)) << "a BMP image, not PNG";
    EXPECT_EQ(bitmap.biWidth, kIconSize);
    EXPECT_EQ(bitmap.biHeight, 2 * kIconSize) << "colour image and mask";
    EXPECT_EQ(bitmap.biBitCount, 32);
    EXPECT_EQ(bitmap.biCompression, static_cast<DWORD>(BI_RGB));

    std::vector<BYTE> alpha;
    const BYTE* pixels = image.data() + sizeof bitmap;
    for (int row = kIconSize - 1; row >= 0; --row) {  // stored bottom up
        for (int column = 0; column < kIconSize; ++column) {
            alpha.push_back(pixels[(row * kIconSize + column) * 4 + 3]);
        }
    }
    return alpha;
}

TEST(ProgramIcon, IsTheFileIconGroup) {
    // The shell shows the first icon group of the file.
    std::vector<ULONG_PTR> ids = ResourceIds(RT_GROUP_ICON);
    ASSERT_FALSE(ids.empty());
    EXPECT_EQ(ids.front(), static_cast<ULONG_PTR>(IDI_VELMORA));
    EXPECT_EQ(ids.size(), 1u);
}

TEST(ProgramIcon, IsOne48PixelImageWithSoftAlphaEdges) {
    std::vector<BYTE> alpha = IconAlphaFromResource();
    ASSERT_EQ(alpha.size(), static_cast<size_t>(kIconSize * kIconSize));
    EXPECT_EQ(alpha[0], 0) << "corner outside the rounded tile";
    EXPECT_EQ(alpha[kIconSize * kIconSize / 2 + kIconSize / 2], 255) << "middle";
    size_t partial = 0;
    for (BYTE a : alpha) {
        partial += (a != 0 && a != 255);
    }
    EXPECT_GE(partial, 16u) << "anti-aliased edges need partial alpha";
}

TEST(ProgramIcon, LoadsAsA48PixelIconThatKeepsItsAlpha) {
    HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                               MAKEINTRESOURCEW(IDI_VELMORA), IMAGE_ICON,
                                               kIconSize, kIconSize, LR_DEFAULTCOLOR));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    DestroyIcon(icon);
    ASSERT_NE(info.hbmColor, nullptr);

    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    request.bmiHeader.biWidth = kIconSize;
    request.bmiHeader.biHeight = -kIconSize;  // top row first
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    std::vector<BYTE> pixels(kIconSize * kIconSize * 4);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, info.hbmColor, 0, kIconSize, pixels.data(), &request,
                         DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    BITMAP colour{};
    GetObjectW(info.hbmColor, sizeof colour, &colour);
    DeleteObject(info.hbmColor);
    if (info.hbmMask) {
        DeleteObject(info.hbmMask);
    }

    EXPECT_EQ(colour.bmWidth, kIconSize);
    EXPECT_EQ(colour.bmHeight, kIconSize);
    ASSERT_EQ(rows, kIconSize);
    std::vector<BYTE> loadedAlpha;
    for (size_t i = 3; i < pixels.size(); i += 4) {
        loadedAlpha.push_back(pixels[i]);
    }
    EXPECT_EQ(loadedAlpha, IconAlphaFromResource());
}

// One text of the version record's string table.
std::wstring VersionText(const std::vector<BYTE>& record, const wchar_t* key) {
    std::wstring path = std::wstring(L"\\StringFileInfo\\080404B0\\") + key;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(record.data(), path.c_str(), &value, &length) || !value) {
        return L"<missing>";
    }
    return static_cast<const wchar_t*>(value);
}

class VersionRecord : public testing::Test {
protected:
    void SetUp() override {
        wchar_t path[MAX_PATH];
        DWORD pathLength = GetModuleFileNameW(nullptr, path, MAX_PATH);
        ASSERT_GT(pathLength, 0u);
        ASSERT_LT(pathLength, static_cast<DWORD>(MAX_PATH));
        DWORD size = GetFileVersionInfoSizeW(path, nullptr);
        ASSERT_GT(size, 0u);
        m_record.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, m_record.data()));
    }
    std::vector<BYTE> m_record;
};

TEST_F(VersionRecord, IsVersion1000OfAnApplication) {
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(m_record.data(), L"\\", &value, &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    const VS_FIXEDFILEINFO& fixed = *static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed.dwFileVersionLS, 0u);
    EXPECT_EQ(fixed.dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed.dwProductVersionLS, 0u);
    EXPECT_EQ(fixed.dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed.dwFileFlags & fixed.dwFileFlagsMask, 0u) << "no debug, pre-release or patch flag";
}

TEST_F(VersionRecord, TextsAreTheVersionHeadersInChinesePrc) {
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(m_record.data(), L"\\VarFileInfo\\Translation", &value, &length));
    ASSERT_GE(length, 4u);
    const WORD* translation = static_cast<const WORD*>(value);
    EXPECT_EQ(translation[0], 0x0804);
    EXPECT_EQ(translation[1], 1200);

    EXPECT_EQ(VersionText(m_record, L"FileDescription"), L"Velmora");
    EXPECT_EQ(VersionText(m_record, L"ProductName"), L"Velmora");
    EXPECT_EQ(VersionText(m_record, L"FileVersion"), L"1.0.0.0");
    EXPECT_EQ(VersionText(m_record, L"ProductVersion"), L"1.0.0.0");

    // Non-ASCII texts come through the UTF-8 resource script intact.
    const std::pair<const wchar_t*, const char*> texts[] = {
        {L"CompanyName", VELMORA_COMPANY_NAME},
        {L"FileDescription", VELMORA_FILE_DESCRIPTION},
        {L"FileVersion", VELMORA_VERSION_TEXT},
        {L"InternalName", VELMORA_INTERNAL_NAME},
        {L"LegalCopyright", VELMORA_COPYRIGHT},
        {L"OriginalFilename", VELMORA_ORIGINAL_FILENAME},
        {L"ProductName", VELMORA_PRODUCT_NAME},
        {L"ProductVersion", VELMORA_VERSION_TEXT},
        {L"Comments", VELMORA_COMMENTS},
    };
    for (auto [key, expected] : texts) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(key)));
        EXPECT_FALSE(std::string(expected).empty());
        EXPECT_EQ(VersionText(m_record, key), FromUtf8(expected));
    }
}

TEST(Manifest, IsTheOneProcessManifest) {
    EXPECT_EQ(ResourceIds(RT_MANIFEST),
              std::vector<ULONG_PTR>{reinterpret_cast<ULONG_PTR>(CREATEPROCESS_MANIFEST_RESOURCE_ID)});
    std::vector<BYTE> manifest = ResourceBytes(RT_MANIFEST, 1);
    std::string text(manifest.begin(), manifest.end());
    // The manifest's own version follows the version header.
    EXPECT_NE(text.find(std::string("name=\"Velmora\" version=\"") + VELMORA_VERSION_TEXT + "\""),
              std::string::npos);
}

// The activation context made from this program's manifest resource, as the
// loader makes it when the process starts.
class ManifestContext {
public:
    ManifestContext() {
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        ACTCTXW description{};
        description.cbSize = sizeof description;
        description.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
        description.lpSource = path;
        description.hModule = GetModuleHandleW(nullptr);
        description.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
        m_handle = CreateActCtxW(&description);
    }
    ~ManifestContext() {
        if (m_handle != INVALID_HANDLE_VALUE) {
            ReleaseActCtx(m_handle);
        }
    }
    ManifestContext(const ManifestContext&) = delete;
    ManifestContext& operator=(const ManifestContext&) = delete;

    std::vector<BYTE> Information(ULONG infoClass) const {
        SIZE_T needed = 0;
        QueryActCtxW(0, m_handle, nullptr, infoClass, nullptr, 0, &needed);
        std::vector<BYTE> buffer(needed);
        if (needed == 0 ||
            !QueryActCtxW(0, m_handle, nullptr, infoClass, buffer.data(), buffer.size(), &needed)) {
            ADD_FAILURE() << "no activation context information of class " << infoClass;
            return {};
        }
        buffer.resize(needed);
        return buffer;
    }

    HANDLE m_handle;
};

TEST(Manifest, RunsAsInvoker) {
    ManifestContext context;
    ASSERT_NE(context.m_handle, INVALID_HANDLE_VALUE) << "manifest rejected: " << GetLastError();
    std::vector<BYTE> info = context.Information(RunlevelInformationInActivationContext);
    ASSERT_GE(info.size(), sizeof(ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION));
    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION runLevel;
    std::memcpy(&runLevel, info.data(), sizeof runLevel);
    EXPECT_EQ(runLevel.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_EQ(runLevel.UiAccess, 0u);
}

std::wstring GuidText(const GUID& id) {
    wchar_t text[40];
    std::swprintf(text, 40, L"{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned long>(id.Data1), id.Data2, id.Data3, id.Data4[0],
                  id.Data4[1], id.Data4[2], id.Data4[3], id.Data4[4], id.Data4[5], id.Data4[6],
                  id.Data4[7]);
    return text;
}

TEST(Manifest, SupportsWindows7To11) {
    ManifestContext context;
    ASSERT_NE(context.m_handle, INVALID_HANDLE_VALUE) << "manifest rejected: " << GetLastError();
    std::vector<BYTE> info = context.Information(CompatibilityInformationInActivationContext);
    ASSERT_GE(info.size(), sizeof(DWORD));
    DWORD count;
    std::memcpy(&count, info.data(), sizeof count);
    ASSERT_GT(count, 0u);
    // Newer systems add a 64-bit MaxVersionTested to each element, which
    // also moves the first element to an 8-byte boundary.
    size_t offset = 0;
    size_t stride = 0;
    if (info.size() == sizeof(DWORD) + count * 20) {
        offset = sizeof(DWORD);
        stride = 20;
    } else if (info.size() == 8 + count * 32) {
        offset = 8;
        stride = 32;
    }
    ASSERT_NE(stride, 0u) << "unknown layout of " << info.size() << " bytes";

    std::set<std::wstring> systems;
    for (DWORD i = 0; i < count; ++i) {
        GUID id;
        DWORD type;
        std::memcpy(&id, info.data() + offset + i * stride, sizeof id);
        std::memcpy(&type, info.data() + offset + i * stride + sizeof id, sizeof type);
        if (type == ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS) {
            systems.insert(GuidText(id));
        }
    }
    EXPECT_EQ(systems, (std::set<std::wstring>{
                           L"{35138B9A-5D96-4FBD-8E2D-A2440225F93A}",  // Windows 7
                           L"{4A2F28E3-53B9-4441-BA9C-D69D4A4A6E38}",  // Windows 8
                           L"{1F676C76-80E1-4239-95BB-83D0F6D0DA78}",  // Windows 8.1
                           L"{8E0F7A12-BFB3-4FE8-B9A5-48FD50A15A9A}",  // Windows 10 and 11
                       }));
}

TEST(Manifest, DeclaresNoDpiAwareness) {
    // Asked of the context the process started with (a null handle), in both
    // the older and the newer form of the setting.
    const std::pair<const wchar_t*, const wchar_t*> settings[] = {
        {L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"},
        {L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"},
    };
    for (auto [space, name] : settings) {
        wchar_t value[64] = L"";
        SIZE_T written = 0;
        EXPECT_FALSE(QueryActCtxSettingsW(0, nullptr, space, name, value, 64, &written))
            << testing::PrintToString(std::wstring(name)) << " is "
            << testing::PrintToString(std::wstring(value));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SXS_KEY_NOT_FOUND));
    }
}

TEST(Manifest, BringsTheVersion6CommonControls) {
    // Only the manifest's dependency sends the loader to the side-by-side
    // version 6 instead of the system directory's version 5.
    HMODULE comctl = LoadLibraryW(L"comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(comctl, path, MAX_PATH);
    FreeLibrary(comctl);
    std::wstring lower = path;
    CharLowerW(lower.data());
    EXPECT_NE(lower.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6."),
              std::wstring::npos)
        << testing::PrintToString(std::wstring(path));
}

}  // namespace
