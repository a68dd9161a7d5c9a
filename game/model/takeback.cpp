// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/takeback.h"

#include <cstring>
#include <optional>

#include "model/module1.h"
#include "model/runcommand.h"
#include "model/simulation.h"
#include "store/asciitext.h"
#include "store/connection.h"
#include "store/schema.h"
#include "store/storeerror.h"

namespace tessaro::model {
namespace {

// 64-bit FNV-1a over each value's kind and exact content (the bits of a
// real), so that two traces digest alike only when every value is the same.
class Digest {
public:
    void add(const store::Value& v) {
        const auto kind = static_cast<unsigned char>(v.kind());
        bytes(&kind, 1);
        switch (v.kind()) {
            case store::Value::Kind::Empty:
                break;
            case store::Value::Kind::Integer: {
                const std::int64_t i = v.integerValue();
                bytes(&i, sizeof i);
                break;
            }
            case store::Value::Kind::Real: {
                const double d = v.realValue();
                bytes(&d, sizeof d);
                break;
            }
            case store::Value::Kind::Text: {
                const auto t = v.textValue();
                const std::uint64_t size = t.size();
                bytes(&size, sizeof size);
                bytes(t.data(), t.size());
                break;
            }
        }
    }
    void endRow() {
        const unsigned char mark = 0xff;
        bytes(&mark, 1);
    }
    std::int64_t value() const {
        std::int64_t out = 0;
        std::memcpy(&out, &m_hash, sizeof out);
        return out;
    }

private:
    void bytes(const void* data, std::size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) {
            m_hash ^= p[i];
            m_hash *= 0x100000001b3ULL;
        }
    }
    std::uint64_t m_hash = 0xcbf29ce484222325ULL;
};

// The twenty PLIO columns a run writes into a new row.
constexpr std::size_t kStateColumnCount = 20;
constexpr std::array<const char*, 4> kDecisionColumns = {"PORD", "PHRD", "PRORD", "PRHRD"};

const MessageBox kWrongPassword{
    "The password is not the one for taking back a plan-quarter; nothing was taken back.",
    "Invalid Password", Icon::Critical};

[[noreturn]] void refuse(const std::string& text) {
    throw RunStopped({text, kTakeBackTitle, Icon::Critical});
}

std::string quarter(int n) {
    return "plan-quarter " + std::to_string(n);
}

struct Entry {
    std::array<store::Value, 4> decisions;
    std::int64_t trace = 0;
    std::int64_t rows = 0;
};

// The take-back entry of the quarter that wrote PLIO row n, if it was kept.
std::optional<Entry> entryOf(store::Connection& db, int n) {
    if (!db.hasTable(store::takeBackTable().name)) return std::nullopt;
    auto rs =
        db.openRecordset("SELECT * FROM TAKEBACK WHERE TNPLPD = ?1", {store::Value::integer(n)});
    if (rs.eof()) return std::nullopt;
    Entry e;
    for (std::size_t i = 0; i < 4; ++i) e.decisions[i] = rs[store::takeBackColumns()[i + 1]];
    e.trace = rs["TTRACE"].integerValue();
    e.rows = rs["TROWS"].integerValue();
    return e;
}

void restoreDecisions(store::Connection& db, int row, const std::array<store::Value, 4>& d) {
    db.execute("UPDATE PLIO SET PORD = ?1, PHRD = ?2, PRORD = ?3, PRHRD = ?4 WHERE PNPLPD = ?5",
               {d[0], d[1], d[2], d[3], store::Value::integer(row)});
}

}  // namespace

void checkPlanNumbering(store::Recordset& plio) {
    const int count = plio.recordCount();
    if (count == 0) return;
    // The writers address the last row and the one before it by number, so
    // those two must follow each other, and the first must be 0. Keys that
    // are no plan numbers (a hand-made file can hold any 64-bit key) count
    // as breaks in the numbering.
    plio.moveFirst();
    const std::string firstText = plio["PNPLPD"].toText();
    const bool startsAtZero = plio["PNPLPD"].planNumber() == 0;
    plio.moveLast();
    const auto last = plio["PNPLPD"].planNumber();
    std::string beforeText;
    bool consecutive = last.has_value();
    if (count > 1) {
        plio.moveFirst();
        plio.move(count - 2);
        const auto before = plio.eof() ? std::nullopt : plio["PNPLPD"].planNumber();
        if (!plio.eof()) beforeText = ", the one before it " + plio["PNPLPD"].toText();
        consecutive = before && last && *before == *last - 1;
    }
    plio.moveLast();
    if (startsAtZero && consecutive) return;
    throw RunStopped::model(
        "The plan-quarters in the game database are not numbered 0, 1, 2 ... without gaps (the "
        "first row is numbered " +
        firstText + ", the last " + plio["PNPLPD"].toText() + beforeText +
        "). Nothing was written.");
}

std::int64_t traceDigest(store::Connection& db) {
    Digest d;
    for (auto pled = db.openRecordset("Select * from PLED"); !pled.eof(); pled.moveNext()) {
        for (const auto& c : store::pledColumns()) d.add(pled[c]);
        d.endRow();
    }
    return d.value();
}

std::int64_t quarterRowsDigest(store::Connection& db, int n) {
    Digest d;
    const auto key = store::Value::integer(n);
    auto plio = db.openRecordset("SELECT * FROM PLIO WHERE PNPLPD = ?1", {key});
    if (!plio.eof())
        for (std::size_t i = 0; i < kStateColumnCount; ++i) d.add(plio[store::plioColumns()[i]]);
    d.endRow();
    auto pldi = db.openRecordset("SELECT * FROM PLDI WHERE ZNPLPD = ?1", {key});
    if (!pldi.eof())
        for (const auto& c : store::pldiColumns()) d.add(pldi[c]);
    d.endRow();
    return d.value();
}

RunKeep keepBeforeRun(store::Connection& db, const store::Recordset& plio) {
    RunKeep keep;
    // The run has checked the row's plan number before this.
    keep.startRow = plio["PNPLPD"].planNumber().value_or(0);
    for (std::size_t i = 0; i < kDecisionColumns.size(); ++i)
        keep.decisionsBefore[i] = plio[kDecisionColumns[i]];
    keep.traceBefore = traceDigest(db);
    return keep;
}

void keepQuarterRun(store::Connection& db, const RunKeep& keep) {
    const int written = keep.startRow + 1;
    const auto& d = keep.decisionsBefore;
    // An entry left by a quarter run and taken back outside the game goes.
    db.execute("DELETE FROM TAKEBACK WHERE TNPLPD = ?1", {store::Value::integer(written)});
    db.execute("INSERT INTO TAKEBACK VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)",
               {store::Value::integer(written), d[0], d[1], d[2], d[3],
                store::Value::integer(keep.traceBefore),
                store::Value::integer(quarterRowsDigest(db, written))});
}

int takeBackLastQuarter(store::Connection& db) {
    auto plio = db.openRecordset("Select * from PLIO");
    if (plio.recordCount() == 0)
        refuse("There is no plan-quarter to take back: the game database holds none.");
    checkPlanNumbering(plio);
    plio.moveLast();
    const int last = plio["PNPLPD"].planNumber().value_or(0);
    // Row 1 is the first quarter, which a new game and a re-initialisation
    // run by themselves: the game always stands at least after it.
    if (last < 2)
        refuse(
            "There is no plan-quarter to take back: the game stands at its first "
            "plan-quarter.");
    const auto entry = entryOf(db, last);
    if (!entry)
        refuse(
            "The last plan-quarter was played before the game kept what it needs to take a "
            "quarter back, so it cannot be taken back; nothing was changed.");
    if (quarterRowsDigest(db, last) != entry->rows)
        refuse(
            "The last plan-quarter in the game database is not the one the game ran (its "
            "rows were changed outside the game), so it cannot be taken back; nothing was "
            "changed.");

    db.execute("DELETE FROM PLIO WHERE PNPLPD = ?1", {store::Value::integer(last)});
    db.execute("DELETE FROM PLDI WHERE ZNPLPD = ?1", {store::Value::integer(last)});
    db.execute("DELETE FROM TAKEBACK WHERE TNPLPD = ?1", {store::Value::integer(last)});

    // The trace of the quarter before, written again from the row it started
    // from with the decisions it ran on, and kept only if it is the one the
    // taken-back run replaced.
    {
        auto from = db.openRecordset("SELECT * FROM PLIO WHERE PNPLPD = ?1",
                                     {store::Value::integer(last - 2)});
        if (from.eof())
            refuse("The row " + quarter(last - 2) +
                   " started from is missing, so the last "
                   "plan-quarter cannot be taken back; nothing was changed.");
        const StartingRow start = readStartingRow(from);
        ModelTables tables;
        fillTables(tables);
        simulateTrace(start, tables, [&db](const std::string& text) { db.execute(text); });
    }
    if (traceDigest(db) != entry->trace)
        refuse(
            "The trace of the quarter before cannot be written again exactly as it was (the "
            "game database was changed outside the game, or by another version of it), so "
            "the last plan-quarter cannot be taken back; nothing was changed.");
    restoreDecisions(db, last - 1, entry->decisions);
    return last;
}

TakeBack takeBackLastQuarter(const std::string& connectionString, const std::string& password) {
    TakeBack result;
    if (store::upperAscii(password) != kReinitPassword) {
        result.messages.push_back(kWrongPassword);
        return result;
    }
    try {
        store::Connection db(connectionString, store::Access::Write);
        store::Transaction transaction(db);
        // Writing into a damaged game deepens the damage.
        db.checkWholeFile();
        const int standing = takeBackLastQuarter(db);
        transaction.commit();
        result.outcome = TakeBackOutcome::TakenBack;
        result.messages.push_back({"The last plan-quarter was taken back: the game stands at " +
                                       quarter(standing) +
                                       " again, its decisions as they were before it was run.",
                                   kTakeBackTitle, Icon::None});
    } catch (const RunStopped& e) {
        result.outcome = TakeBackOutcome::Refused;
        result.messages.push_back(e.box());
    } catch (const std::exception& e) {
        result.outcome = TakeBackOutcome::Failed;
        result.messages.push_back(databaseFailureBox(e));
    }
    return result;
}

}  // namespace tessaro::model
