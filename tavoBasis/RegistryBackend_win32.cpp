// The settings store on Windows: the registry itself, through the wide
// calls. Texts are UTF-8 in the store and UTF-16 in the registry, so values
// that an earlier, ANSI build wrote (REG_SZ, code page 932) read correctly:
// the registry keeps every REG_SZ in UTF-16 whichever call wrote it.
#include <windows.h>

#include "tavoBasis/RegistryBackend.h"
#include "utf16/WideText_win32.h"

namespace regbackend {
namespace {

constexpr REGSAM kReadAccess = KEY_READ;
constexpr REGSAM kWriteAccess = KEY_READ | KEY_WRITE;
constexpr int kMaxSizeRetries = 4;

HKEY RootKey(RegRoot root) {
    return root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

bool IsText(DWORD dwType) {
    return dwType == REG_SZ || dwType == REG_EXPAND_SZ || dwType == REG_MULTI_SZ;
}

class Key {
public:
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (m_hKey != nullptr) RegCloseKey(m_hKey);
    }
    HKEY* Out() { return &m_hKey; }
    HKEY Get() const { return m_hKey; }

private:
    HKEY m_hKey = nullptr;
};

// The value's data as the registry holds it; its size may change between
// asking and reading when another program writes it meanwhile.
bool QueryRaw(HKEY hKey, const std::wstring& wname, DWORD& dwType,
              std::vector<unsigned char>& raw) {
    DWORD nSize = 0;
    LONG nResult = RegQueryValueExW(hKey, wname.c_str(), nullptr, &dwType, nullptr, &nSize);
    for (int nTry = 0; nTry < kMaxSizeRetries && nResult == ERROR_SUCCESS; ++nTry) {
        raw.resize(nSize);
        DWORD nRead = nSize;
        nResult = RegQueryValueExW(hKey, wname.c_str(), nullptr, &dwType,
                                   raw.empty() ? nullptr : raw.data(), &nRead);
        if (nResult == ERROR_SUCCESS) {
            raw.resize(nRead);
            return true;
        }
        if (nResult == ERROR_MORE_DATA) {
            nSize = nRead;
            nResult = ERROR_SUCCESS;
        }
    }
    return false;
}

}  // namespace

// Single registry calls are cheap and the registry keeps no file to
// rewrite: a batch holds nothing, and every call goes straight through.
struct Batch {};

void BatchDeleter::operator()(Batch* pBatch) const { delete pBatch; }

std::unique_ptr<Batch, BatchDeleter> OpenBatch() { return nullptr; }

bool CommitBatch(Batch&) { return true; }

bool EnumValueNames(Batch*, const Location& location, std::vector<std::string>& names) {
    std::wstring wpath;
    if (!Widen(location.strKeyPath, wpath)) return false;
    Key key;
    if (RegOpenKeyExW(RootKey(location.root), wpath.c_str(), 0, kReadAccess, key.Out()) !=
        ERROR_SUCCESS) {
        return false;
    }
    DWORD nLongest = 0;
    if (RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &nLongest, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    std::vector<wchar_t> buffer(nLongest + 1);
    for (DWORD i = 0;; ++i) {
        DWORD nChars = static_cast<DWORD>(buffer.size());
        const LONG nResult =
            RegEnumValueW(key.Get(), i, buffer.data(), &nChars, nullptr, nullptr, nullptr, nullptr);
        if (nResult == ERROR_NO_MORE_ITEMS) break;
        if (nResult != ERROR_SUCCESS) return false;
        names.push_back(Narrow(std::wstring_view(buffer.data(), nChars)));
    }
    return true;
}

bool ReadValue(Batch*, const Location& location, const std::string& strName,
               std::vector<unsigned char>& data) {
    std::wstring wpath;
    std::wstring wname;
    if (!Widen(location.strKeyPath, wpath) || !Widen(strName, wname)) return false;
    Key key;
    if (RegOpenKeyExW(RootKey(location.root), wpath.c_str(), 0, kReadAccess, key.Out()) !=
        ERROR_SUCCESS) {
        return false;
    }
    DWORD dwType = REG_NONE;
    std::vector<unsigned char> raw;
    if (!QueryRaw(key.Get(), wname, dwType, raw)) return false;
    if (!IsText(dwType)) {
        data = std::move(raw);
        return true;
    }
    // A text's UTF-16 units become UTF-8 bytes, zeros included, so the
    // store's rules (up to the first zero; four bytes as a number) apply to
    // the text as the program knows it. An odd last byte is no character.
    const std::wstring_view units(reinterpret_cast<const wchar_t*>(raw.data()),
                                  raw.size() / sizeof(wchar_t));
    const std::string text = Narrow(units);
    data.assign(text.begin(), text.end());
    return true;
}

bool WriteValue(Batch*, const Location& location, const std::string& strName, std::uint32_t dwType,
                const unsigned char* pData, std::size_t nLength, bool bFlush) {
    std::wstring wpath;
    std::wstring wname;
    if (!Widen(location.strKeyPath, wpath) || !Widen(strName, wname)) return false;
    std::wstring wtext;
    if (IsText(dwType)) {
        // A text that is not UTF-8 is refused rather than stored altered.
        if (!Widen(std::string_view(reinterpret_cast<const char*>(pData), nLength), wtext)) {
            return false;
        }
        pData = reinterpret_cast<const unsigned char*>(wtext.data());
        nLength = wtext.size() * sizeof(wchar_t);
    }
    if (nLength > MAXDWORD) return false;
    Key key;
    LONG nResult = RegOpenKeyExW(RootKey(location.root), wpath.c_str(), 0, kWriteAccess, key.Out());
    // Only a missing key is created; any other refusal stands.
    if (nResult == ERROR_FILE_NOT_FOUND) {
        nResult =
            RegCreateKeyExW(RootKey(location.root), wpath.c_str(), 0, nullptr,
                            REG_OPTION_NON_VOLATILE, kWriteAccess, nullptr, key.Out(), nullptr);
    }
    if (nResult != ERROR_SUCCESS) return false;
    const LONG nSet =
        RegSetValueExW(key.Get(), wname.c_str(), 0, dwType, pData, static_cast<DWORD>(nLength));
    if (bFlush) RegFlushKey(key.Get());
    return nSet == ERROR_SUCCESS;
}

}  // namespace regbackend
