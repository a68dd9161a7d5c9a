// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// Holds the screen's measurements for the length of a layout pass, which
// asks for them several times for every control: those of the form's screen.
#pragma once

#include "morvane/screen.h"

namespace MorvaneCtl {

class ScreenPin {
public:
    explicit ScreenPin(const QWidget* form);
    ~ScreenPin();
    ScreenPin(const ScreenPin&) = delete;
    ScreenPin& operator=(const ScreenPin&) = delete;

private:
    std::optional<ScreenMetrics> m_saved;
};

}  // namespace MorvaneCtl
