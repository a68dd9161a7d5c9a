// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// A message box for the players, and the exception that stops a run with
// one: the run command catches it, rolls the run back and shows the box.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "store/storeerror.h"

namespace tessaro::model {

enum class Icon { None, Critical };

// A title left empty means the box shows the program's own title.
struct MessageBox {
    std::string text;
    std::string title;
    Icon icon = Icon::None;
    // For a failure of the database: its cause, which the command line
    // turns into its exit status. Two boxes that show the same are equal.
    std::optional<store::StoreCause> cause = {};

    bool operator==(const MessageBox& other) const {
        return text == other.text && title == other.title && icon == other.icon;
    }
};

inline constexpr const char* kSdRunTitle = "SD Run For Tessaro";

class RunStopped : public std::runtime_error {
public:
    explicit RunStopped(MessageBox box) : std::runtime_error(box.text), m_box(std::move(box)) {}
    // A model failure of our own wording, shown under the run's title.
    static RunStopped model(const std::string& text) {
        return RunStopped({text, kSdRunTitle, Icon::Critical});
    }
    const MessageBox& box() const { return m_box; }

private:
    MessageBox m_box;
};

}  // namespace tessaro::model
