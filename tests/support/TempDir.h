// Test helpers for files: a fresh folder per test, removed afterwards, and a
// scoped change of the process's current directory.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "abonix-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// Makes `dir` the process's current directory while it lives.
class CurrentDir {
public:
    explicit CurrentDir(const std::filesystem::path& dir) : m_old(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~CurrentDir() { std::filesystem::current_path(m_old); }
    CurrentDir(const CurrentDir&) = delete;
    CurrentDir& operator=(const CurrentDir&) = delete;

private:
    std::filesystem::path m_old;
};
