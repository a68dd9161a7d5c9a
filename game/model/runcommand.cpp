// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "model/runcommand.h"

#include <charconv>
#include <limits>
#include <optional>

#include "model/accounting.h"
#include "model/archive.h"
#include "model/module1.h"
#include "model/newfile.h"
#include "model/rounding.h"
#include "model/simulation.h"
#include "model/takeback.h"
#include "store/asciitext.h"
#include "store/connection.h"
#include "store/schema.h"
#include "store/storeerror.h"

namespace tessaro::model {
namespace {

const MessageBox kEnterParameters{"Enter Appropriate parameters....", "", Icon::None};
const MessageBox kInvalidPlannedData{"Invalid Input............ Or Field should not be Left Blank",
                                     "Invalid Planned Data", Icon::Critical};
const MessageBox kLoginFailed{"Login Failed :: For SD Run :: Invalid Password........",
                              "Invalid Password", Icon::None};
const MessageBox kNoPlanForRun{"No Data to Show on Chart!!!", "Plot For Tessaro", Icon::Critical};
const MessageBox kDecisionsEntered{"The decisions are entered successfully.....",
                                   "Succesfull updating", Icon::None};
const char* const kInitialisationTitle = "Initialization For SD Run";
const MessageBox kNoDataForInitialization{"No Data For Initialization!!!", kInitialisationTitle,
                                          Icon::Critical};

bool inRange(std::int32_t v, int low, int high) {
    return v >= low && v <= high;
}

// Runs one step of the command; a failure shows its box and returns false.
template <class Step>
bool guarded(DecisionPanel& panel, Step&& step) {
    try {
        step();
        return true;
    } catch (const RunStopped& e) {
        panel.showMessage(e.box());
    } catch (const std::exception& e) {
        panel.showMessage(databaseFailureBox(e));
    }
    return false;
}

}  // namespace

std::function<void()>& beforeCommitHook() {
    static std::function<void()> hook;
    return hook;
}

double leadingNumber(const std::string& text) {
    std::string s;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n') s += c;

    const auto digit = [&](std::size_t i) { return i < s.size() && store::isAsciiDigit(s[i]); };
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    const std::size_t numeralStart = i;
    bool anyDigit = false;
    while (digit(i)) ++i, anyDigit = true;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (digit(i)) ++i, anyDigit = true;
    }
    if (!anyDigit) return 0;
    std::size_t end = i;
    bool negativeExponent = false;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) negativeExponent = s[j++] == '-';
        if (digit(j)) {
            while (digit(j)) ++j;
            end = j;
        }
    }
    // from_chars reads a point as the decimal separator whatever the locale.
    double value = 0;
    const char* first = s.data() + numeralStart;
    const auto result = std::from_chars(first, s.data() + end, value);
    if (result.ec == std::errc::result_out_of_range)
        value = negativeExponent ? 0.0 : std::numeric_limits<double>::infinity();
    return negative ? -value : value;
}

MessageBox databaseFailureBox(const std::exception& error) {
    MessageBox box{std::string(error.what()), "Game Database", Icon::Critical};
    if (const auto* e = dynamic_cast<const store::StoreError*>(&error)) {
        box.cause = e->cause();
        if (e->cause() == store::StoreCause::Damaged) box.text += wayBackText(e->path());
    }
    return box;
}

RunCommand::RunCommand(std::string connectionString)
    : m_connectionString(std::move(connectionString)) {}

RunOutcome RunCommand::run(DecisionPanel& panel) {
    const std::string productionText = panel.text(Box::Production);
    const std::string hiringText = panel.text(Box::Hiring);
    const bool boxEmpty = productionText.empty() || hiringText.empty();
    if (boxEmpty) panel.showMessage(kEnterParameters);

    m_productionOrders = toInt32(leadingNumber(productionText));
    m_traineesHiring = toInt32(leadingNumber(hiringText));
    // Passwords compare in ASCII upper case, the same in every locale (a
    // Turkish one would not turn "pelix" into "PELIX").
    const std::string password = store::upperAscii(panel.text(Box::Password));

    RunOutcome outcome = RunOutcome::Refused;
    if (!boxEmpty) {
        if (!inRange(m_productionOrders, kMinProductionOrders, kMaxProductionOrders)) {
            panel.showMessage(kInvalidPlannedData);
            panel.setFocus(Box::Production);
        } else if (!inRange(m_traineesHiring, kMinTraineesHiring, kMaxTraineesHiring)) {
            panel.showMessage(kInvalidPlannedData);
            panel.setFocus(Box::Hiring);
        } else if (password == kRunPassword) {
            outcome = planRun(panel);
        } else {
            panel.showMessage(kLoginFailed);
            panel.setFocus(Box::Password);
        }
    }
    // The re-initialisation is normally asked for with both boxes empty, after
    // the "Enter Appropriate parameters" box.
    if (password == kReinitPassword) outcome = reinitialisation(panel);
    return outcome;
}

RunOutcome RunCommand::planRun(DecisionPanel& panel) {
    // One transaction from the first read to the last write: no other
    // player's command can come between the decisions and the quarter run
    // on them, no reader sees one without the other, and the quarter is in
    // the game wholly or not at all. The boxes are shown once it has ended,
    // so that a box left open keeps no other player waiting; they come in
    // the same order.
    std::optional<MessageBox> failure;
    try {
        store::Connection db(m_connectionString, store::Access::Write);
        store::Transaction transaction(db);
        // Writing into a damaged game deepens the damage.
        db.checkWholeFile();
        auto plio = db.openRecordset("Select * from PLIO");
        if (plio.recordCount() == 0) throw RunStopped(kNoPlanForRun);
        // The decisions go to the row numbered row count - 1, which must be
        // the row the simulation starts from, the last one.
        checkPlanNumbering(plio);
        plio.moveLast();
        const int rowCount = plio.recordCount();
        // Check the row the quarter will start from before anything is
        // written, so that a state the model cannot run leaves no trace.
        readStartingRow(plio);
        // What taking this quarter back will need, read before it is run.
        const RunKeep keep = keepBeforeRun(db, plio);
        // The checked integers are written, never the texts as typed: a text
        // such as "3000, PHRD=1 where 1=1 --" passes the numeric check.
        const std::string production = std::to_string(m_productionOrders);
        const std::string hiring = std::to_string(m_traineesHiring);
        ModelTables tables;
        fillTables(tables);
        store::createTakeBackTableIfMissing(db);
        db.execute("update PLIO set PORD=" + production + ", PHRD=" + hiring +
                   ", PRORD=" + production + ", PRHRD=" + hiring +
                   " where PNPLPD=" + std::to_string(rowCount - 1));
        // Whatever stops the quarter (its rows, the model, the accounting and
        // its running total, the engine's checks) rolls the decisions back
        // with it: a refused run leaves the game exactly as it was.
        const std::int16_t n = simulatePlanQuarter(db, tables);
        accountQuarter(db, n);
        keepQuarterRun(db, keep);
        if (beforeCommitHook()) beforeCommitHook()();
        transaction.commit();
    } catch (const RunStopped& e) {
        failure = e.box();
    } catch (const std::exception& e) {
        failure = databaseFailureBox(e);
    }
    if (failure) {
        panel.showMessage(*failure);
        return RunOutcome::Failed;
    }
    panel.showMessage(kDecisionsEntered);
    panel.setFocus(Box::Production);
    finish(panel, "SD Simulation Run is now over !!!");
    return RunOutcome::PlanRun;
}

RunOutcome RunCommand::reinitialisation(DecisionPanel& panel) {
    std::optional<std::string> archived;
    const bool done = guarded(panel, [&] {
        // One transaction on a connection that holds the game alone: it is
        // all done or nothing is.
        store::Connection db(m_connectionString, store::Access::Exclusive);
        // It rewrites the whole game, so the whole file is checked first, and
        // the game is kept in its archive, whole, before anything is
        // deleted: on a server in the same transaction, in a file as a copy
        // beside it.
        db.checkWholeFile();
        if (db.isServer()) {
            store::Transaction transaction(db);
            archived = archiveGame(db);
            reinitialiseGame(db);
            transaction.commit();
            return;
        }
        archived = archiveGame(db);
        try {
            store::Transaction transaction(db);
            reinitialiseGame(db);
            db.releaseHoldAtCommit();
            transaction.commit();
        } catch (...) {
            // The game is still there as it was: its copy is not needed.
            if (archived) removeTemporary(*archived);
            archived.reset();
            throw;
        }
    });
    if (!done) return RunOutcome::Failed;
    // The game's own box as always, then one that names the copy.
    std::vector<MessageBox> after;
    if (archived)
        after.push_back(
            {"The game played before the re-initialisation was kept in " + *archived + ".",
             kArchiveTitle, Icon::None});
    finish(panel, "SD Reinitialization is now over !!!", after);
    return RunOutcome::Reinitialised;
}

void RunCommand::finish(DecisionPanel& panel, const char* overText,
                        const std::vector<MessageBox>& after) {
    panel.showMessage({overText, "", Icon::None});
    for (const auto& box : after) panel.showMessage(box);
    panel.setText(Box::Production, "");
    panel.setText(Box::Hiring, "");
    panel.setText(Box::Password, "");
    panel.rebuildBoard();
}

void reinitialiseGame(store::Connection& db) {
    {
        auto plio = db.openRecordset("Select * from PLIO");
        if (plio.recordCount() == 0) throw RunStopped(kNoDataForInitialization);
        // Only plan numbers are ever written back into a statement. A row
        // whose key is none (a hand-made file can hold any 64-bit key) stops
        // the re-initialisation before anything is deleted.
        auto odd = db.openRecordset(
            "SELECT PNPLPD FROM PLIO WHERE PNPLPD NOT BETWEEN -32768 AND 32767 LIMIT 1");
        const auto first = plio["PNPLPD"].planNumber();
        if (!odd.eof() || !first)
            throw RunStopped({"The game cannot be re-initialised: PLIO holds a row numbered " +
                                  (odd.eof() ? plio["PNPLPD"] : odd["PNPLPD"]).toText() +
                                  ", which is no plan number (a whole number from -32768 to "
                                  "32767). Nothing was deleted.",
                              kInitialisationTitle, Icon::Critical});
        // Every row but the first (the firm's initial state) goes, in one
        // statement rather than one per row.
        db.execute("DELETE FROM PLIO WHERE PNPLPD <> ?1", {store::Value::integer(*first)});
    }
    db.execute("delete * from PLED");
    db.execute("delete * from PLDI");
    // No quarter of the game before is left to take back.
    if (db.hasTable(store::takeBackTable().name)) db.execute("DELETE FROM TAKEBACK");
    ModelTables tables;
    fillTables(tables);
    const std::int16_t n = simulatePlanQuarter(db, tables);
    accountQuarter(db, n);
}

}  // namespace tessaro::model
