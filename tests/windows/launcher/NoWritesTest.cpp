// A run of the program writes no file and no registry value.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/windows/harness/Harness.h"

using namespace harness;

namespace {

using Snapshot = std::map<std::wstring, std::wstring>;

// Folders that lead out of the prefix (Wine links Documents, Desktop and the
// like to the user's home) are listed one level deep, not walked.
void SnapshotFiles(const std::wstring& dir, Snapshot& out, bool walk = true) {
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = dir + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out[path] = L"<dir>";
            if (walk) SnapshotFiles(path, out, (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0);
        } else {
            out[path] = std::to_wstring((static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow) +
                        L" " +
                        std::to_wstring((static_cast<unsigned long long>(found.ftLastWriteTime.dwHighDateTime) << 32) |
                                        found.ftLastWriteTime.dwLowDateTime);
        }
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

void SnapshotKey(HKEY root, const std::wstring& path, Snapshot& out) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    out[path] = L"<key>";
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameLength = 16384;
        BYTE data[65536];
        DWORD dataLength = sizeof data;
        DWORD type = 0;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS) break;
        out[path + L" : " + name] = std::to_wstring(type) + L":" +
                                    std::wstring(reinterpret_cast<const wchar_t*>(data), dataLength / sizeof(wchar_t));
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        SnapshotKey(root, path.empty() ? name : path + L"\\" + name, out);
    }
    RegCloseKey(key);
}

Snapshot TakeSnapshot() {
    Snapshot s;
    SnapshotFiles(L"C:\\users", s);
    SnapshotFiles(L"C:\\ProgramData", s);
    SnapshotFiles(L"C:\\windows", s);
    // Where the program lives: a program that writes next to itself writes here.
    std::wstring exeDir = VelmoraExe();
    exeDir = exeDir.substr(0, exeDir.find_last_of(L'\\'));
    SnapshotFiles(exeDir, s);
    Snapshot hkcu, hklm;
    SnapshotKey(HKEY_CURRENT_USER, L"", hkcu);
    SnapshotKey(HKEY_LOCAL_MACHINE, L"Software", hklm);
    for (auto& [k, v] : hkcu) s[L"HKCU\\" + k] = v;
    for (auto& [k, v] : hklm) s[L"HKLM\\" + k] = v;
    return s;
}

std::string Differences(const Snapshot& before, const Snapshot& after) {
    std::string report;
    for (const auto& [k, v] : after) {
        auto it = before.find(k);
        if (it == before.end()) report += "added: " + Narrow(k) + "\n";
        else if (it->second != v) report += "changed: " + Narrow(k) + "\n";
    }
    for (const auto& [k, v] : before) {
        if (!after.count(k)) report += "removed: " + Narrow(k) + "\n";
    }
    return report;
}

}  // namespace

TEST(NoWrites, ARunLeavesFilesAndRegistryAsTheyWere) {
    // A first run lets Wine do whatever it does once for a new program.
    {
        auto warmUp = Program::StartVelmora();
        ASSERT_TRUE(warmUp && warmUp->WaitForWindow());
        PressKey(VK_ESCAPE);
        DWORD code = 0;
        ASSERT_TRUE(warmUp->WaitForExit(10000, &code));
    }
    Settle(500);
    const Snapshot before = TakeSnapshot();

    auto program = Program::StartVelmora(L"--some argument");
    HWND window = program->WaitForWindow();
    ASSERT_TRUE(window);
    // Use it a little: open the last folder, move the window, close it.
    RECT r{};
    GetWindowRect(window, &r);
    Click(r.left + 150, r.bottom - 40);
    Settle(800);
    MoveMouse(r.left + 100, r.top + 10);
    MouseDown();
    MoveMouse(r.left + 160, r.top + 60);
    MouseUp();
    PressKey(VK_ESCAPE);
    DWORD code = 0;
    ASSERT_TRUE(program->WaitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
    Settle(500);

    const Snapshot after = TakeSnapshot();
    EXPECT_EQ(Differences(before, after), "");
}
