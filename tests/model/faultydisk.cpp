// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "faultydisk.h"

#include <sqlite3.h>

#include <cstring>
#include <stdexcept>

namespace tessaro::testing {
namespace {

struct State {
    sqlite3_vfs* real = nullptr;
    sqlite3_vfs vfs{};
    int syncsLeft = 0;
    bool armed = false;
    bool struck = false;
};
State g_state;

// The wrapper's file: the real VFS's file follows it in the same block.
struct File {
    sqlite3_file base;
    bool mainDb;
    sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

File* of(sqlite3_file* f) {
    return reinterpret_cast<File*>(f);
}
sqlite3_file* real(sqlite3_file* f) {
    return of(f)->real();
}

int xClose(sqlite3_file* f) {
    return real(f)->pMethods->xClose(real(f));
}
int xRead(sqlite3_file* f, void* p, int n, sqlite3_int64 o) {
    return real(f)->pMethods->xRead(real(f), p, n, o);
}
int xWrite(sqlite3_file* f, const void* p, int n, sqlite3_int64 o) {
    if (of(f)->mainDb && g_state.armed && g_state.syncsLeft == 0) {
        g_state.armed = false;
        g_state.struck = true;
        return SQLITE_FULL;
    }
    return real(f)->pMethods->xWrite(real(f), p, n, o);
}
int xTruncate(sqlite3_file* f, sqlite3_int64 s) {
    return real(f)->pMethods->xTruncate(real(f), s);
}
int xSync(sqlite3_file* f, int flags) {
    const int rc = real(f)->pMethods->xSync(real(f), flags);
    if (of(f)->mainDb && g_state.armed && g_state.syncsLeft > 0) --g_state.syncsLeft;
    return rc;
}
int xFileSize(sqlite3_file* f, sqlite3_int64* s) {
    return real(f)->pMethods->xFileSize(real(f), s);
}
int xLock(sqlite3_file* f, int l) {
    return real(f)->pMethods->xLock(real(f), l);
}
int xUnlock(sqlite3_file* f, int l) {
    return real(f)->pMethods->xUnlock(real(f), l);
}
int xCheckReservedLock(sqlite3_file* f, int* r) {
    return real(f)->pMethods->xCheckReservedLock(real(f), r);
}
int xFileControl(sqlite3_file* f, int op, void* a) {
    return real(f)->pMethods->xFileControl(real(f), op, a);
}
int xSectorSize(sqlite3_file* f) {
    return real(f)->pMethods->xSectorSize(real(f));
}
int xDeviceCharacteristics(sqlite3_file* f) {
    return real(f)->pMethods->xDeviceCharacteristics(real(f));
}
int xShmMap(sqlite3_file* f, int i, int s, int e, void volatile** p) {
    return real(f)->pMethods->xShmMap(real(f), i, s, e, p);
}
int xShmLock(sqlite3_file* f, int o, int n, int fl) {
    return real(f)->pMethods->xShmLock(real(f), o, n, fl);
}
void xShmBarrier(sqlite3_file* f) {
    real(f)->pMethods->xShmBarrier(real(f));
}
int xShmUnmap(sqlite3_file* f, int d) {
    return real(f)->pMethods->xShmUnmap(real(f), d);
}
int xFetch(sqlite3_file* f, sqlite3_int64 o, int n, void** p) {
    return real(f)->pMethods->xFetch(real(f), o, n, p);
}
int xUnfetch(sqlite3_file* f, sqlite3_int64 o, void* p) {
    return real(f)->pMethods->xUnfetch(real(f), o, p);
}

const sqlite3_io_methods kMethods = {
    3,
    xClose,
    xRead,
    xWrite,
    xTruncate,
    xSync,
    xFileSize,
    xLock,
    xUnlock,
    xCheckReservedLock,
    xFileControl,
    xSectorSize,
    xDeviceCharacteristics,
    xShmMap,
    xShmLock,
    xShmBarrier,
    xShmUnmap,
    xFetch,
    xUnfetch,
};

int xOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
    auto* file = of(f);
    file->base.pMethods = nullptr;
    file->mainDb = (flags & SQLITE_OPEN_MAIN_DB) != 0;
    const int rc = g_state.real->xOpen(g_state.real, name, file->real(), flags, outFlags);
    // The engine calls xClose only on a file whose methods are set.
    if (file->real()->pMethods) file->base.pMethods = &kMethods;
    return rc;
}

}  // namespace

FaultyDisk::FaultyDisk(int syncsBeforeFault) {
    g_state.real = sqlite3_vfs_find(nullptr);
    if (!g_state.real) throw std::runtime_error("no default VFS");
    g_state.vfs = *g_state.real;
    g_state.vfs.zName = "tessaro-faulty-disk";
    g_state.vfs.szOsFile = static_cast<int>(sizeof(File)) + g_state.real->szOsFile;
    g_state.vfs.xOpen = xOpen;
    g_state.vfs.pNext = nullptr;
    g_state.syncsLeft = syncsBeforeFault;
    g_state.armed = true;
    g_state.struck = false;
    if (sqlite3_vfs_register(&g_state.vfs, 1) != SQLITE_OK)
        throw std::runtime_error("cannot register the faulty disk");
}

FaultyDisk::~FaultyDisk() {
    sqlite3_vfs_unregister(&g_state.vfs);
    g_state.armed = false;
}

bool FaultyDisk::struck() const {
    return g_state.struck;
}

}  // namespace tessaro::testing
