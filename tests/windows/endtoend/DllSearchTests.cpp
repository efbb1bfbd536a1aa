// A program double-clicked in a download folder must not load a DLL that
// someone planted next to it. Here harmless stand-ins lie beside a copy of
// the real Velmora.exe under the names of DLLs that get loaded while it runs
// (uxtheme when its window is themed; shell32, delay-loaded, at the first
// click on an item, and with it shlwapi and shcore), and the copy is used as
// a person would.
//
// Wine loads a DLL found beside the program in place of its own builtin one,
// as Windows would, except for the names whose builtin Wine always prefers:
// of these, shell32, shlwapi and uxtheme. shcore is taken from beside the
// program, and the same program without its narrowed DLL search shows it, so
// this test can fail.
#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

#include "tests/windows/endtoend/RunningVelmora.h"

using namespace harness;
using namespace endtoend;

namespace {

constexpr const wchar_t* kPlantedNames[] = {L"uxtheme.dll", L"shell32.dll", L"shlwapi.dll", L"shcore.dll"};

// A fresh folder with a copy of a program and the planted DLLs beside it.
class DownloadFolder {
public:
    explicit DownloadFolder(const std::wstring& program) {
        static int s_count = 0;
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_dir = std::wstring(temp) + L"velmora-download-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++s_count);
        m_ok = CreateDirectoryW(m_dir.c_str(), nullptr) &&
               CopyFileW(program.c_str(), Program().c_str(), TRUE);
        for (const wchar_t* name : kPlantedNames) {
            m_ok = m_ok && CopyFileW(WinePath(VELMORA_PLANTED_DLL_PATH).c_str(), (m_dir + L"\\" + name).c_str(), TRUE);
        }
    }
    ~DownloadFolder() {
        DeleteFileW(Program().c_str());
        for (const wchar_t* name : kPlantedNames) {
            DeleteFileW((m_dir + L"\\" + name).c_str());
            DeleteFileW((m_dir + L"\\" + name + L".loaded").c_str());
        }
        RemoveDirectoryW(m_dir.c_str());
    }
    DownloadFolder(const DownloadFolder&) = delete;
    DownloadFolder& operator=(const DownloadFolder&) = delete;

    bool Ok() const { return m_ok; }
    std::wstring Program() const { return m_dir + L"\\Velmora.exe"; }

    // "<name> into <program>" for each planted DLL that some process loaded.
    std::string Loaded() const {
        std::string loaded;
        for (const wchar_t* name : kPlantedNames) {
            HANDLE file = CreateFileW((m_dir + L"\\" + name + L".loaded").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
            if (file == INVALID_HANDLE_VALUE) continue;
            wchar_t program[MAX_PATH] = {};
            DWORD read = 0;
            ReadFile(file, program, sizeof program - sizeof(wchar_t), &read, nullptr);
            CloseHandle(file);
            loaded += Narrow(name) + " into " + Narrow(program) + "\n";
        }
        return loaded;
    }

private:
    std::wstring m_dir;
    bool m_ok = false;
};

// Rests on an item until its tooltip shows (the common controls load), then
// clicks it (the shell loads and opens the link).
void HoverAndClick(RunningVelmora& velmora, const ItemFacts& item) {
    const POINT at = velmora.ItemPoint(item);
    MoveMouse(at.x, at.y);
    WaitUntil([&] { return velmora.ShowingTooltip() != nullptr; }, 3000);
    velmora.Click(item);
}

}  // namespace

TEST(DllSearch, APlantedDllBesideTheProgramIsNeverLoaded) {
    const ItemFacts& item = Item(0, 0);

    // The control: the same program whose entry point does not narrow the
    // search. Whatever it does after loading a planted DLL (which refuses to
    // load), the marker is what counts.
    {
        DownloadFolder folder(WinePath(VELMORA_UNRESTRICTED_EXE_PATH));
        ASSERT_TRUE(folder.Ok());
        {
            RunningVelmora control(folder.Program());
            if (control.Ok()) {
                HoverAndClick(control, item);
                DWORD code = 0;
                control.Process().WaitForExit(3000, &code);
            }
        }
        Settle(300);
        const std::string loaded = folder.Loaded();
        ASSERT_NE(loaded, "")
            << "Wine loaded no planted DLL even for a program that does not narrow its DLL search: "
               "this test cannot show anything here";
        std::cout << "Without the narrowed search, Wine loaded:\n" << loaded;
    }

    DownloadFolder folder(VelmoraExe());
    ASSERT_TRUE(folder.Ok());
    {
        RunningVelmora velmora(folder.Program());
        ASSERT_TRUE(velmora.Ok()) << "the program did not start beside the planted DLLs";
        std::vector<std::string> handed;
        handed = velmora.HandoversOf([&] { HoverAndClick(velmora, item); }, BarrierFor(item));
        EXPECT_EQ(handed, std::vector<std::string>{item.link});
        EXPECT_EQ(velmora.CloseWithEscape(), 0u);
    }
    Settle(300);
    EXPECT_EQ(folder.Loaded(), "");
}
