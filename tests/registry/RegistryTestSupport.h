// A private settings folder per test: XDG_CONFIG_HOME points into a fresh temporary folder.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "StoreTest.h"
#include "tavoBasis/Registry.h"

class SettingsFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kesmora-registry-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_root = pattern;
        m_config = m_root / "config";
        setenv("XDG_CONFIG_HOME", m_config.c_str(), 1);
        PointAt(m_reg, "Controls");
    }
    void TearDown() override {
        // Folders a test made read-only must be writable again to be removed.
        std::error_code ignored;
        for (auto it = std::filesystem::recursive_directory_iterator(m_root, ignored);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
            if (it->is_directory(ignored)) {
                std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::add, ignored);
            }
        }
        std::filesystem::remove_all(m_root, ignored);
    }

    std::filesystem::path Folder() const { return m_config / "tavoApp"; }
    std::filesystem::path FilePath() const { return Folder() / "VcppKesmora.reg"; }

    static std::string ReadText(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void WriteText(const std::filesystem::path& path, const std::string& text) {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    // Names in the settings folder, other than the settings file and its lock.
    std::vector<std::string> OtherFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Folder())) {
            const std::string name = entry.path().filename().string();
            if (name != "VcppKesmora.reg" && name != "VcppKesmora.reg.lock") names.push_back(name);
        }
        return names;
    }

    std::filesystem::path m_root;
    std::filesystem::path m_config;
    CRegistry m_reg;
};
