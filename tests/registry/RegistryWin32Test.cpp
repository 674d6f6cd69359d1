// The store on the real registry: REG_DWORD and UTF-16 REG_SZ under
// HKEY_CURRENT_USER, texts written by other programs read back as UTF-8, and
// (under Wine) the values in the prefix's user.reg.
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "StoreTest.h"
#include "utf16/WideText_win32.h"

namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;
constexpr const wchar_t* kWindowKey = L"Software\\tavoApp\\VcppKesmora\\Window";

using Win32Registry = StoreTest;

std::vector<unsigned char> RawValue(const wchar_t* pszName, DWORD& dwType) {
    std::vector<unsigned char> data(512);
    DWORD nSize = static_cast<DWORD>(data.size());
    if (RegGetValueW(HKEY_CURRENT_USER, kWindowKey, pszName, RRF_RT_ANY | RRF_NOEXPAND, &dwType,
                     data.data(), &nSize) != ERROR_SUCCESS) {
        return {};
    }
    data.resize(nSize);
    return data;
}

TEST_F(Win32Registry, NumbersAreDwordsAndTextsAreUtf16RegSz) {
    PointAt(m_reg, "Window");
    ASSERT_EQ(m_reg.WriteDWORD("Left", 0x12345678, kUser, false), 0);
    ASSERT_EQ(m_reg.WriteString("Folder", "C:\\開発\\ｿｰｽ", kUser, false), 0);
    DWORD dwType = 0;
    EXPECT_EQ(RawValue(L"Left", dwType), (std::vector<unsigned char>{0x78, 0x56, 0x34, 0x12}));
    EXPECT_EQ(dwType, static_cast<DWORD>(REG_DWORD));
    const std::vector<unsigned char> text = RawValue(L"Folder", dwType);
    EXPECT_EQ(dwType, static_cast<DWORD>(REG_SZ));
    const std::wstring expected = L"C:\\\u958b\u767a\\\uff7f\uff70\uff7d";
    ASSERT_EQ(text.size(), (expected.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(text.data())), expected);
}

TEST_F(Win32Registry, TextsOtherProgramsWroteReadAsUtf8AndBadUtf8IsRefused) {
    PointAt(m_reg, "Window");
    ASSERT_EQ(m_reg.WriteDWORD("Left", 1, kUser, false), 0);  // creates the key
    const std::wstring text = L"D:\\\u30bd\u30fc\u30b9";      // D:\ソース
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kWindowKey, L"Other", REG_SZ, text.c_str(),
                              static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    std::string read;
    EXPECT_EQ(m_reg.ReadString("Other", read, "", kUser), 0);
    EXPECT_EQ(read, "D:\\ソース");
    EXPECT_EQ(m_reg.WriteString("Bad", "\xff\xfe", kUser, false), 1);
    EXPECT_EQ(m_reg.ReadString("Bad", read, "none", kUser), 1);
}

std::string ReadWholeFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool HiveHoldsTheValue(const std::wstring& hive) {
    const std::string text = ReadWholeFile(hive);
    const std::size_t key = text.find("[Software\\\\tavoApp\\\\VcppKesmora\\\\Window]");
    return key != std::string::npos &&
           text.find("\"Right\"=dword:00000244", key) != std::string::npos;
}

// Wine's server writes its hives a while after a change (RegFlushKey does
// not hurry it), so the test waits for the file to show the value.
TEST_F(Win32Registry, ValuesLandInThePrefixsUserHive) {
    const char* pszPrefix = std::getenv("WINEPREFIX");
    if (pszPrefix == nullptr || *pszPrefix != '/') GTEST_SKIP() << "not under Wine";
    PointAt(m_reg, "Window");
    ASSERT_EQ(m_reg.WriteDWORD("Right", 580, kUser, true), 0);
    std::string hive = std::string("Z:") + pszPrefix + "/user.reg";
    for (char& c : hive) c = c == '/' ? '\\' : c;
    std::wstring whive;
    ASSERT_TRUE(Widen(hive, whive));
    const ULONGLONG start = GetTickCount64();
    while (!HiveHoldsTheValue(whive) && GetTickCount64() - start < 120000) {
        // Polls the file; the server gives no signal when it has written.
        Sleep(200);
    }
    EXPECT_TRUE(HiveHoldsTheValue(whive)) << "after " << (GetTickCount64() - start) << " ms";
    DWORD dwType = 0;
    EXPECT_EQ(RawValue(L"Right", dwType), (std::vector<unsigned char>{0x44, 0x02, 0, 0}));
}

}  // namespace
