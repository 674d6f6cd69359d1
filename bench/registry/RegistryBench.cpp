// Cost of the settings store's calls on a file the size the program keeps (60 values), in a
// temporary folder.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tavoBasis/Registry.h"

namespace {

class SettingsFolder {
public:
    SettingsFolder() {
        char pattern[] = "/tmp/kesmora-registry-bench-XXXXXX";
        m_root = mkdtemp(pattern);
        setenv("XDG_CONFIG_HOME", m_root.c_str(), 1);
    }
    ~SettingsFolder() { std::filesystem::remove_all(m_root); }
    const std::filesystem::path& Root() const { return m_root; }

private:
    std::filesystem::path m_root;
};

void Point(CRegistry& reg, const char* section) {
    reg.m_strCompany = "tavoApp";
    reg.m_strApplication = "VcppKesmora";
    reg.m_strSection = section;
}

// What the program saves at exit (5 window values, 20 folders and their count, 16 options),
// with more options to make 60 values.
void FillSixtyValues(CRegistry& reg) {
    Point(reg, "Window");
    for (const char* name : {"ShowCmd", "Left", "Top", "Right", "Bottom"}) {
        reg.WriteDWORD(name, 100, RegRoot::CurrentUser, false);
    }
    Point(reg, "History");
    reg.WriteDWORD("Count", 20, RegRoot::CurrentUser, false);
    for (int i = 0; i < 20; ++i) {
        reg.WriteString("History" + std::to_string(i),
                        "/home/me/src/プロジェクト/" + std::to_string(i), RegRoot::CurrentUser,
                        false);
    }
    Point(reg, "Controls");
    for (int i = 0; i < 34; ++i) {
        reg.WriteDWORD("Option" + std::to_string(i), 1, RegRoot::CurrentUser, false);
    }
}

void WriteDWORDIntoSixtyValues(benchmark::State& state) {
    SettingsFolder folder;
    CRegistry reg;
    FillSixtyValues(reg);
    const bool bFlush = state.range(0) != 0;
    std::uint32_t n = 0;
    for (auto _ : state) {
        if (reg.WriteDWORD("Count", ++n, RegRoot::CurrentUser, bFlush) != 0) {
            state.SkipWithError("write failed");
            break;
        }
    }
}
BENCHMARK(WriteDWORDIntoSixtyValues)
    ->ArgName("flush")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);

void ReadDWORDFromSixtyValues(benchmark::State& state) {
    SettingsFolder folder;
    CRegistry reg;
    FillSixtyValues(reg);
    std::uint32_t value = 0;
    for (auto _ : state) {
        reg.ReadDWORD("Option33", &value, 0, RegRoot::CurrentUser);
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(ReadDWORDFromSixtyValues)->Unit(benchmark::kMicrosecond);

// What a close writes (5 window values, a count and 20 folders, 16 options) into the 60-value
// file: one at a time, or held in a batch and written in one rewrite.
void WriteAClosesThirtyTwoValues(benchmark::State& state) {
    SettingsFolder folder;
    CRegistry reg;
    FillSixtyValues(reg);
    const bool bBatch = state.range(0) != 0;
    for (auto _ : state) {
        if (bBatch) reg.BeginBatch();
        Point(reg, "Window");
        for (const char* name : {"ShowCmd", "Left", "Top", "Right", "Bottom"}) {
            reg.WriteDWORD(name, 200, RegRoot::CurrentUser, false);
        }
        Point(reg, "History");
        reg.WriteDWORD("Count", 20, RegRoot::CurrentUser, false);
        for (int i = 0; i < 20; ++i) {
            reg.WriteString("History" + std::to_string(i), "/home/me/src/" + std::to_string(i),
                            RegRoot::CurrentUser, false);
        }
        Point(reg, "Controls");
        for (int i = 0; i < 6; ++i) {
            reg.WriteDWORD("Option" + std::to_string(i), 0, RegRoot::CurrentUser, false);
        }
        if (bBatch && reg.EndBatch() != 0) {
            state.SkipWithError("batch failed");
            break;
        }
    }
}
BENCHMARK(WriteAClosesThirtyTwoValues)
    ->ArgName("batch")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

// A runaway 100 MB file: the read is bounded, not a stall.
void ReadDWORDFromAHundredMegabyteFile(benchmark::State& state) {
    SettingsFolder folder;
    CRegistry reg;
    Point(reg, "Controls");
    reg.WriteDWORD("Bsc", 0, RegRoot::CurrentUser, false);
    const auto file = folder.Root() / "tavoApp" / "VcppKesmora.reg";
    std::filesystem::resize_file(file, 100 * 1024 * 1024);
    std::uint32_t value = 0;
    for (auto _ : state) {
        reg.ReadDWORD("Bsc", &value, 1, RegRoot::CurrentUser);
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(ReadDWORDFromAHundredMegabyteFile)->Unit(benchmark::kMillisecond);

}  // namespace
