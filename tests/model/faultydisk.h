// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// A disk that fills up at a chosen moment, for tests of what a run leaves
// behind when the disk fails in the middle of it.
#pragma once

namespace tessaro::testing {

// While it lives, every SQLite connection opened in the process goes
// through it. After `syncsBeforeFault` syncs of a main database file have
// passed, the next write to a main database file fails as a full disk does;
// every write after that one goes through again, so that the engine can
// put back what it had begun.
class FaultyDisk {
public:
    explicit FaultyDisk(int syncsBeforeFault);
    ~FaultyDisk();
    FaultyDisk(const FaultyDisk&) = delete;
    FaultyDisk& operator=(const FaultyDisk&) = delete;

    // True once the write has been refused.
    bool struck() const;
};

}  // namespace tessaro::testing
