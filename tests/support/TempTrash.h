// A desktop trash of the tests' own. GLib reads HOME and XDG_DATA_HOME once
// per process and keeps them, so both point into one temporary folder for
// the whole process, set before anything asks GLib; the folder goes at exit.
// It lies beside the tests' temporary trees, on the same file system, so the
// trash taken is always the one in that folder.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

class TempTrash {
public:
    static const TempTrash& Get() {
        static const TempTrash s_trash;
        return s_trash;
    }

    std::filesystem::path Files() const { return m_data / "Trash" / "files"; }
    // The .trashinfo text of a trashed name, or an empty text.
    std::string Info(const std::string& name) const {
        std::ifstream in(m_data / "Trash" / "info" / (name + ".trashinfo"));
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void Empty() const {
        std::error_code ec;
        std::filesystem::remove_all(m_data / "Trash", ec);
    }

private:
    TempTrash() {
        std::string templ =
            (std::filesystem::temp_directory_path() / "kesmora-home-XXXXXX").string();
        if (::mkdtemp(templ.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        m_home = templ;
        m_data = m_home / "data";
        std::filesystem::create_directories(m_data);
        ::setenv("HOME", m_home.c_str(), 1);
        ::setenv("XDG_DATA_HOME", m_data.c_str(), 1);
    }
    ~TempTrash() {
        std::error_code ec;
        std::filesystem::remove_all(m_home, ec);
    }

    std::filesystem::path m_home;
    std::filesystem::path m_data;
};
