// A small settings store addressed like the registry: root, then
// Software\<company>\<application>\<section>, then a named value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum class RegRoot { CurrentUser, LocalMachine };

namespace regbackend {
struct Batch;
struct BatchDeleter {
    void operator()(Batch* pBatch) const;
};
}  // namespace regbackend

// Results: 0 = success, 1 = failure (default used / not written).
// Values keep their type and bytes; reads are type-blind: a number read as a text gives its bytes
// up to the first zero, a text read as a number gives its first four bytes, little-endian.
// No handle and no cache outside a batch: every call finds the value afresh, so other programs'
// writes are seen.
class CRegistry {
public:
    CRegistry() = default;
    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;
    // Ends an open batch, storing what it holds.
    virtual ~CRegistry();

    int ReadDWORD(const std::string& strName, std::uint32_t* pValue, std::uint32_t dwDefault,
                  RegRoot root);
    int ReadString(const std::string& strName, std::string& strText, const std::string& strDefault,
                   RegRoot root);
    int WriteDWORD(const std::string& strName, std::uint32_t dwValue, RegRoot root, bool bFlush);
    int WriteString(const std::string& strName, const std::string& strText, RegRoot root,
                    bool bFlush);
    // The names of every value in the current section, in stored order: 0 read, 1 no section.
    int EnumValueNames(std::vector<std::string>& names, RegRoot root);

    // Groups the calls up to the matching EndBatch, so that a load or a save costs one read and
    // one rewrite of the store however many values it touches: reads see each store as it stood
    // when the batch first read it (and the batch's own writes); writes are held and stored
    // together by the outermost EndBatch. A held write gives 0 at once; EndBatch gives 0 when
    // every held value was stored, 1 otherwise. Batches nest.
    void BeginBatch();
    int EndBatch();

    std::string m_strCompany;
    std::string m_strApplication;
    std::string m_strSection;

private:
    void GetKeyPath(std::string& strKeyPath) const;
    int ReadValue(RegRoot root, const std::string& strName, std::vector<unsigned char>& data);
    int WriteValue(RegRoot root, const std::string& strName, std::uint32_t dwType,
                   const unsigned char* pData, std::size_t nLength, bool bFlush);

    std::unique_ptr<regbackend::Batch, regbackend::BatchDeleter> m_pBatch;
    int m_nBatchDepth = 0;
};

// A batch for one scope: begun on construction, ended on destruction.
class CRegistryBatch {
public:
    explicit CRegistryBatch(CRegistry& registry) : m_registry(registry) { m_registry.BeginBatch(); }
    CRegistryBatch(const CRegistryBatch&) = delete;
    CRegistryBatch& operator=(const CRegistryBatch&) = delete;
    ~CRegistryBatch() { m_registry.EndBatch(); }

private:
    CRegistry& m_registry;
};
