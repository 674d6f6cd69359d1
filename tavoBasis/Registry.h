// A small settings store addressed like the registry: root, then
// Software\<company>\<application>\<section>, then a named value.
#pragma once

#include <cstdint>
#include <string>

enum class RegRoot { CurrentUser, LocalMachine };

// Results: 0 = success, 1 = failure (default used / not written).
class CRegistry {
public:
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
};
