// The program's place in the settings store and its whole-number values.
#include "search/SettingsKeys.h"

#include <cstdint>

namespace settings {

std::string HistoryEntryName(int nPosition) { return kHistoryEntry + std::to_string(nPosition); }

void PointAt(CRegistry& registry, const char* pszSection) {
    registry.m_strCompany = kCompany;
    registry.m_strApplication = kApplication;
    registry.m_strSection = pszSection;
}

int ReadInt(CRegistry& registry, const char* pszName, int nDefault) {
    std::uint32_t dwValue = static_cast<std::uint32_t>(nDefault);
    registry.ReadDWORD(pszName, &dwValue, static_cast<std::uint32_t>(nDefault),
                       RegRoot::CurrentUser);
    return static_cast<int>(static_cast<std::int32_t>(dwValue));
}

void WriteInt(CRegistry& registry, const char* pszName, int nValue) {
    registry.WriteDWORD(pszName, static_cast<std::uint32_t>(nValue), RegRoot::CurrentUser, false);
}

}  // namespace settings
