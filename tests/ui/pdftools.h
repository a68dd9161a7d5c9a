// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Reading PDF files back with the poppler tools (pdfinfo, pdftotext ...):
// the page count and size, the text of a page, the file's bytes.
#pragma once

#include <sys/wait.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace tessaro::ui::pdf {

struct Output {
    int status = -1;
    std::string text;
};

// Runs a shell command and reads what it prints.
inline Output shell(const std::string& command) {
    Output out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return out;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.text.append(buf, n);
    const int status = ::pclose(pipe);
    out.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

inline std::string quoted(const std::string& path) {
    return "'" + path + "'";
}

inline bool haveTools() {
    return shell(
               "command -v pdftotext && command -v pdfinfo && command -v pdftoppm && "
               "command -v pdfimages && command -v pdffonts")
               .status == 0;
}

// Runs of blanks and line ends as one blank, so that texts laid out in
// columns compare as the words they are.
inline std::string squeezed(const std::string& s) {
    std::string out;
    for (char c : s) {
        const bool blank = c == ' ' || c == '\n' || c == '\t' || c == '\f' || c == '\r';
        if (blank) {
            if (!out.empty() && out.back() != ' ') out += ' ';
        } else {
            out += c;
        }
    }
    return out;
}

inline std::string pageText(const std::string& pdf, int page) {
    return squeezed(shell("pdftotext -layout -f " + std::to_string(page) + " -l " +
                          std::to_string(page) + " " + quoted(pdf) + " -")
                        .text);
}

// A "Key: value" line of pdfinfo.
inline std::string info(const std::string& pdf, const std::string& key) {
    const std::string text = shell("pdfinfo " + quoted(pdf) + " 2>/dev/null").text;
    const auto at = text.find(key + ":");
    if (at == std::string::npos) return "";
    const auto end = text.find('\n', at);
    return squeezed(text.substr(at + key.size() + 1, end - at - key.size() - 1));
}

inline double numberAt(const std::string& s, std::size_t& pos) {
    while (pos < s.size() && (s[pos] < '0' || s[pos] > '9')) ++pos;
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data() + pos, s.data() + s.size(), v);
    pos = static_cast<std::size_t>(end - s.data());
    return ec == std::errc() ? v : -1;
}

struct PageSize {
    double width, height;
};

// In points; A4 is 595 x 842, Letter 612 x 792.
inline PageSize pageSize(const std::string& pdf) {
    const std::string size = info(pdf, "Page size");
    std::size_t pos = 0;
    const double w = numberAt(size, pos);
    const double h = numberAt(size, pos);
    return {w, h};
}

// 0 when pdfinfo cannot read the file.
inline int pageCount(const std::string& pdf) {
    std::size_t pos = 0;
    return std::max(0, static_cast<int>(numberAt(info(pdf, "Pages"), pos)));
}

inline std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace tessaro::ui::pdf
