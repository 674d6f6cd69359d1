// The settings store's rules: key paths, value types and how bytes read as numbers and texts.
#include "tavoBasis/Registry.h"

#include <algorithm>
#include <cstddef>
#include <new>

#include "tavoBasis/RegistryBackend.h"

namespace {

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegDword = 4;

}  // namespace

void CRegistry::GetKeyPath(std::string& strKeyPath) const {
    strKeyPath = "Software\\" + m_strCompany + "\\" + m_strApplication + "\\" + m_strSection;
}

int CRegistry::ReadValue(RegRoot root, const std::string& strName,
                         std::vector<unsigned char>& data) {
    std::string strKeyPath;
    GetKeyPath(strKeyPath);
    const regbackend::Location location{root, m_strCompany, m_strApplication, strKeyPath};
    try {
        return regbackend::ReadValue(m_pBatch.get(), location, strName, data) ? 0 : 1;
    } catch (const std::bad_alloc&) {
        return 1;  // a value too large for memory reads as missing
    }
}

int CRegistry::WriteValue(RegRoot root, const std::string& strName, std::uint32_t dwType,
                          const unsigned char* pData, std::size_t nLength, bool bFlush) {
    std::string strKeyPath;
    GetKeyPath(strKeyPath);
    const regbackend::Location location{root, m_strCompany, m_strApplication, strKeyPath};
    try {
        return regbackend::WriteValue(m_pBatch.get(), location, strName, dwType, pData, nLength,
                                      bFlush)
                   ? 0
                   : 1;
    } catch (const std::bad_alloc&) {
        return 1;  // the old file stays as it was
    }
}

CRegistry::~CRegistry() {
    if (m_nBatchDepth > 0) {
        m_nBatchDepth = 1;
        EndBatch();
    }
}

void CRegistry::BeginBatch() {
    if (m_nBatchDepth++ > 0) return;
    try {
        m_pBatch = regbackend::OpenBatch();
    } catch (const std::bad_alloc&) {
        m_pBatch.reset();  // every call then goes straight to the store
    }
}

int CRegistry::EndBatch() {
    if (m_nBatchDepth == 0 || --m_nBatchDepth > 0) return 0;
    const auto pBatch = std::move(m_pBatch);
    if (!pBatch) return 0;
    try {
        return regbackend::CommitBatch(*pBatch) ? 0 : 1;
    } catch (const std::bad_alloc&) {
        return 1;
    }
}

int CRegistry::EnumValueNames(std::vector<std::string>& names, RegRoot root) {
    std::string strKeyPath;
    GetKeyPath(strKeyPath);
    const regbackend::Location location{root, m_strCompany, m_strApplication, strKeyPath};
    names.clear();
    try {
        return regbackend::EnumValueNames(m_pBatch.get(), location, names) ? 0 : 1;
    } catch (const std::bad_alloc&) {
        names.clear();
        return 1;
    }
}

int CRegistry::ReadDWORD(const std::string& strName, std::uint32_t* pValue, std::uint32_t dwDefault,
                         RegRoot root) {
    if (!pValue) return 1;
    std::vector<unsigned char> data;
    const int result = ReadValue(root, strName, data);
    *pValue = dwDefault;
    if (result == 0) {
        // Data shorter than a number reads with the missing high bytes as zero.
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < std::min<std::size_t>(data.size(), 4); ++i) {
            value |= static_cast<std::uint32_t>(data[i]) << (8 * i);
        }
        *pValue = value;
    }
    return result;
}

int CRegistry::ReadString(const std::string& strName, std::string& strText,
                          const std::string& strDefault, RegRoot root) {
    std::vector<unsigned char> data;
    const int result = ReadValue(root, strName, data);
    strText = strDefault;
    if (result == 0) {
        // Data without a terminating zero reads to its end, never beyond.
        const auto end = std::find(data.begin(), data.end(), 0);
        strText.assign(data.begin(), end);
    }
    return result;
}

int CRegistry::WriteDWORD(const std::string& strName, std::uint32_t dwValue, RegRoot root,
                          bool bFlush) {
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(dwValue), static_cast<unsigned char>(dwValue >> 8),
        static_cast<unsigned char>(dwValue >> 16), static_cast<unsigned char>(dwValue >> 24)};
    return WriteValue(root, strName, kRegDword, bytes, sizeof bytes, bFlush);
}

int CRegistry::WriteString(const std::string& strName, const std::string& strText, RegRoot root,
                           bool bFlush) {
    // The text up to its first zero, as a C string, and one terminating zero: an empty text is
    // stored as a single zero byte.
    const std::size_t nLength = std::min(strText.size(), strText.find('\0'));
    std::vector<unsigned char> bytes;
    try {
        bytes.assign(strText.begin(), strText.begin() + static_cast<std::ptrdiff_t>(nLength));
        bytes.push_back(0);
    } catch (const std::bad_alloc&) {
        return 1;
    }
    return WriteValue(root, strName, kRegSz, bytes.data(), bytes.size(), bFlush);
}
