// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "testgame.h"

#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <stdexcept>

#include "model/gamefile.h"
#include "store/connection.h"
#include "store/gamelocation.h"
#include "store/schema.h"

namespace tessaro::testing {
namespace {

struct Raw {
    sqlite3* db = nullptr;
    explicit Raw(const std::string& cs) {
        const auto path = store::pathFromConnectionString(cs);
        if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open " + path);
    }
    ~Raw() { sqlite3_close(db); }
};

}  // namespace

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    m_path = std::filesystem::temp_directory_path() /
             ("tessaro-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

std::string gameIn(const TempDir& dir) {
    return store::connectionStringForDirectory(dir.path().string());
}

std::string newGame(const TempDir& dir) {
    auto cs = gameIn(dir);
    model::ensureGameDatabase(cs);
    return cs;
}

std::string emptyTables(const TempDir& dir) {
    auto cs = gameIn(dir);
    auto db = store::Connection::createFile(store::pathFromConnectionString(cs));
    store::createGameTables(db);
    return cs;
}

void sql(const std::string& cs, const std::string& statements) {
    Raw raw(cs);
    char* error = nullptr;
    if (sqlite3_exec(raw.db, statements.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : "sql failed";
        sqlite3_free(error);
        throw std::runtime_error(message + " in: " + statements);
    }
}

std::string scalarText(const std::string& cs, const std::string& select) {
    Raw raw(cs);
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(raw.db, select.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(raw.db));
    std::string out = "<no row>";
    if (sqlite3_step(stmt) == SQLITE_ROW) {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        out = t ? t : "<null>";
    }
    sqlite3_finalize(stmt);
    return out;
}

long long count(const std::string& cs, const std::string& table) {
    return std::stoll(scalarText(cs, "SELECT count(*) FROM " + table));
}

std::string dump(const std::string& cs) {
    store::Connection db(cs, store::Access::Read);
    std::string out;
    std::vector<std::string> tables;
    for (const auto& t : store::gameTables()) tables.emplace_back(t.name);
    if (db.hasTable(store::takeBackTable().name)) tables.emplace_back(store::takeBackTable().name);
    for (const auto& name : tables) {
        auto rs = db.openRecordset("Select * from " + name);
        out += name + "\n";
        for (; !rs.eof(); rs.moveNext()) {
            for (const auto& c : rs.columns()) out += rs[c].toText() + "|";
            out += "\n";
        }
    }
    return out;
}

}  // namespace tessaro::testing

namespace tessaro::testing {

RecordingPanel::RecordingPanel(std::string p, std::string h, std::string pw)
    : production(std::move(p)), hiring(std::move(h)), password(std::move(pw)) {}

std::string RecordingPanel::text(model::Box box) const {
    switch (box) {
        case model::Box::Production:
            return production;
        case model::Box::Hiring:
            return hiring;
        case model::Box::Password:
            return password;
    }
    return {};
}

void RecordingPanel::setText(model::Box box, const std::string& t) {
    switch (box) {
        case model::Box::Production:
            production = t;
            break;
        case model::Box::Hiring:
            hiring = t;
            break;
        case model::Box::Password:
            password = t;
            break;
    }
}

std::vector<std::string> RecordingPanel::texts() const {
    std::vector<std::string> out;
    for (const auto& m : messages) out.push_back(m.text);
    return out;
}

model::RunOutcome press(const std::string& cs, const std::string& production,
                        const std::string& hiring, const std::string& password,
                        RecordingPanel* panelOut) {
    RecordingPanel panel(production, hiring, password);
    const auto outcome = model::RunCommand(cs).run(panel);
    if (panelOut) *panelOut = panel;
    return outcome;
}

}  // namespace tessaro::testing
