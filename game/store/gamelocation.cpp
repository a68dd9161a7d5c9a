// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "gamelocation.h"

#include "asciitext.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <stdexcept>

namespace tessaro::store {
namespace {

constexpr char kSeparator = std::filesystem::path::preferred_separator;


}  // namespace

std::string connectionStringForDirectory(std::string_view directory) {
    std::string cs(kConnectionPrefix);
    cs += directory;
    if (directory.empty() || directory.back() != kSeparator) cs += kSeparator;
    cs += kDatabaseFileName;
    return cs;
}

std::string connectionStringForFile(std::string_view path) {
    return std::string(kConnectionPrefix) + std::string(path);
}

std::string pathFromConnectionString(std::string_view connectionString) {
    // The parts are "key = value" pairs separated by ';'; the path runs to the
    // next ';' or the end, and may itself hold blanks.
    const std::string low = lowerAscii(connectionString);
    const auto key = low.find("data source");
    if (key == std::string::npos)
        throw std::invalid_argument("connection string has no Data Source");
    auto pos = low.find('=', key);
    if (pos == std::string::npos)
        throw std::invalid_argument("connection string has no Data Source");
    ++pos;
    while (pos < connectionString.size() && connectionString[pos] == ' ') ++pos;
    auto end = connectionString.find(';', pos);
    if (end == std::string_view::npos) end = connectionString.size();
    std::string path(connectionString.substr(pos, end - pos));
    while (!path.empty() && path.back() == ' ') path.pop_back();
    if (path.empty()) throw std::invalid_argument("connection string names no file");
    return path;
}

std::string programDirectory() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path().string();
    return exe.parent_path().string();
}

}  // namespace tessaro::store
