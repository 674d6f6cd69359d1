// A small settings store addressed like the registry: root, then
// Software\<company>\<application>\<section>, then a named value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class RegRoot { CurrentUser, LocalMachine };

// Results: 0 = success, 1 = failure (default used / not written).
// Values keep their type and bytes; reads are type-blind: a number read as a text gives its bytes
// up to the first zero, a text read as a number gives its first four bytes, little-endian.
// No handle and no cache: every call finds the value afresh, so other programs' writes are seen.
class CRegistry {
public:
    CRegistry() = default;
    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;
    virtual ~CRegistry() = default;

    int ReadDWORD(const std::string& strName, std::uint32_t* pValue, std::uint32_t dwDefault,
                  RegRoot root);
    int ReadString(const std::string& strName, std::string& strText, const std::string& strDefault,
                   RegRoot root);
    int WriteDWORD(const std::string& strName, std::uint32_t dwValue, RegRoot root, bool bFlush);
    int WriteString(const std::string& strName, const std::string& strText, RegRoot root,
                    bool bFlush);

    std::string m_strCompany;
    std::string m_strApplication;
    std::string m_strSection;

private:
    void GetKeyPath(std::string& strKeyPath) const;
    int ReadValue(RegRoot root, const std::string& strName, std::vector<unsigned char>& data);
    int WriteValue(RegRoot root, const std::string& strName, std::uint32_t dwType,
                   const unsigned char* pData, std::size_t nLength, bool bFlush);
};
