// A fresh folder under the system's temporary folder for one test, removed
// with everything in it at the end, even where the test took permissions
// away. Standard library only, so the same helper serves on every platform.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

class TempTree {
public:
    explicit TempTree(std::string_view prefix = "kesmora") {
        namespace fs = std::filesystem;
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const fs::path candidate =
                fs::temp_directory_path() / (std::string(prefix) + "-" + std::to_string(random()));
            // create_directory is false when the name is taken: never share.
            if (fs::create_directory(candidate)) {
                m_folder = candidate;
                m_root = candidate.string();
                return;
            }
        }
        throw std::runtime_error("no temporary folder could be made");
    }
    ~TempTree() {
        std::error_code ec;
        GiveBackRights(m_folder);
        std::filesystem::remove_all(m_folder, ec);
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& Root() const { return m_root; }
    const std::filesystem::path& Folder() const { return m_folder; }
    std::string Path(const std::string& rel) const {
        return rel.empty() ? m_root : m_root + "/" + rel;
    }

    // Creates a folder and any missing parents.
    std::string Dir(const std::string& rel) const {
        const std::string path = Path(rel);
        std::filesystem::create_directories(path);
        return path;
    }
    // Creates a file of the given size (sparse where the file system allows),
    // with its folders.
    std::string File(const std::string& rel, std::uint64_t size = 0) const {
        const std::filesystem::path path = Path(rel);
        std::filesystem::create_directories(path.parent_path());
        if (!std::ofstream(path, std::ios::binary | std::ios::trunc)) {
            throw std::runtime_error("cannot create " + path.string());
        }
        std::filesystem::resize_file(path, size);
        return path.string();
    }

    // A symbolic link at rel to target, taken as written (relative targets
    // resolve from the link's folder).
    std::string Link(const std::string& rel, const std::string& target) const {
        const std::string path = Path(rel);
        std::filesystem::create_symlink(target, path);
        return path;
    }

private:
    // Folders a test made unreadable or read-only must be opened up again
    // to be removed; links are not followed.
    static void GiveBackRights(const std::filesystem::path& folder) {
        namespace fs = std::filesystem;
        std::error_code ec;
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ec);
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code entryError;
            if (it->is_directory(entryError) && !it->is_symlink(entryError)) {
                GiveBackRights(it->path());
            }
        }
    }

    std::filesystem::path m_folder;
    std::string m_root;
};
