// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/plaintext.h"

#include "store/asciitext.h"
#include "store/numbertext.h"

namespace tessaro::model {

std::string numberText(double value) {
    return store::numberText(value);
}

std::string lowerAscii(std::string_view text) {
    return store::lowerAscii(text);
}

}  // namespace tessaro::model
