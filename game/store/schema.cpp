// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "schema.h"

#include "connection.h"

namespace tessaro::store {

const std::array<std::string_view, 24>& plioColumns() {
    static constexpr std::array<std::string_view, 24> cols = {
        "PNPLPD", "PT",  "PTT", "PFT",  "POQ",  "POC",  "PINV",  "POBL",
        "PP1",    "PP2", "PT1", "PT2",  "PQ1",  "PQ2",  "PHR",   "PTCT",
        "PQR",    "PPR", "POR", "POFR", "PORD", "PHRD", "PRORD", "PRHRD"};
    return cols;
}

const std::array<std::string_view, 14>& pledColumns() {
    static constexpr std::array<std::string_view, 14> cols = {
        "ENPLPD", "ETIME", "EAQ", "EOQ", "EOC", "ET",  "ETT",
        "EINV",   "EOBL",  "EHR", "EQR", "EPR", "EOR", "EOFR"};
    return cols;
}

const std::array<std::string_view, 25>& pldiColumns() {
    static constexpr std::array<std::string_view, 25> cols = {
        "ZNPLPD", "ZOQ", "ZOC",  "ZT",   "ZTT", "ZINV", "ZOBL", "ZHR",   "ZQR",
        "ZPR",    "ZOR", "ZOFR", "ZTE",  "ZTC", "ZPC",  "ZOUC", "ZINVC", "ZINSC",
        "ZHC",    "ZQC", "ZSC",  "ZTTC", "ZVG", "ZTVG", "ZCVG"};
    return cols;
}

const std::array<TableShape, 3>& gameTables() {
    // Plan numbers are 16-bit and decisions 32-bit; the checks keep a
    // hand-edited file from holding what the game could not read back.
    static const std::array<TableShape, 3> tables = {{
        {"PLIO", "PNPLPD",
         "CREATE TABLE PLIO ("
         "PNPLPD INTEGER PRIMARY KEY CHECK (PNPLPD BETWEEN -32768 AND 32767), "
         "PT REAL, PTT REAL, PFT REAL, POQ REAL, POC REAL, PINV REAL, POBL REAL, "
         "PP1 REAL, PP2 REAL, PT1 REAL, PT2 REAL, PQ1 REAL, PQ2 REAL, "
         "PHR REAL, PTCT REAL, PQR REAL, PPR REAL, POR REAL, POFR REAL, "
         "PORD INTEGER CHECK (PORD BETWEEN -2147483648 AND 2147483647), "
         "PHRD INTEGER CHECK (PHRD BETWEEN -2147483648 AND 2147483647), "
         "PRORD INTEGER CHECK (PRORD BETWEEN -2147483648 AND 2147483647), "
         "PRHRD INTEGER CHECK (PRHRD BETWEEN -2147483648 AND 2147483647))",
         true},
        // No key: the rowid keeps the insertion order the readers rely on.
        {"PLED", "rowid",
         "CREATE TABLE PLED ("
         "ENPLPD INTEGER CHECK (ENPLPD BETWEEN -32768 AND 32767), ETIME REAL, "
         "EAQ REAL, EOQ REAL, EOC REAL, ET REAL, ETT REAL, EINV REAL, EOBL REAL, "
         "EHR REAL, EQR REAL, EPR REAL, EOR REAL, EOFR REAL)",
         false},
        {"PLDI", "ZNPLPD",
         "CREATE TABLE PLDI ("
         "ZNPLPD INTEGER PRIMARY KEY CHECK (ZNPLPD BETWEEN -32768 AND 32767), "
         "ZOQ REAL, ZOC REAL, ZT REAL, ZTT REAL, ZINV REAL, ZOBL REAL, "
         "ZHR REAL, ZQR REAL, ZPR REAL, ZOR REAL, ZOFR REAL, "
         "ZTE REAL, ZTC REAL, ZPC REAL, ZOUC REAL, ZINVC REAL, ZINSC REAL, "
         "ZHC REAL, ZQC REAL, ZSC REAL, ZTTC REAL, ZVG REAL, ZTVG REAL, ZCVG REAL)",
         true},
    }};
    return tables;
}

const TableShape& takeBackTable() {
    // One row per quarter run, keyed by the PLIO row the run wrote: the four
    // decisions of the row it started from as they stood before it (any of
    // them may be empty), and two digests (model/takeback.h) of what must be
    // found again to take it back exactly.
    static const TableShape table{
        "TAKEBACK", "TNPLPD",
        "CREATE TABLE TAKEBACK ("
        "TNPLPD INTEGER PRIMARY KEY CHECK (TNPLPD BETWEEN 1 AND 32767), "
        "TPORD INTEGER CHECK (TPORD BETWEEN -2147483648 AND 2147483647), "
        "TPHRD INTEGER CHECK (TPHRD BETWEEN -2147483648 AND 2147483647), "
        "TPRORD INTEGER CHECK (TPRORD BETWEEN -2147483648 AND 2147483647), "
        "TPRHRD INTEGER CHECK (TPRHRD BETWEEN -2147483648 AND 2147483647), "
        "TTRACE INTEGER NOT NULL, TROWS INTEGER NOT NULL)",
        true};
    return table;
}

const std::array<std::string_view, 7>& takeBackColumns() {
    static constexpr std::array<std::string_view, 7> cols = {"TNPLPD", "TPORD",  "TPHRD", "TPRORD",
                                                             "TPRHRD", "TTRACE", "TROWS"};
    return cols;
}

void createGameTables(Connection& db) {
    for (const auto& t : gameTables()) db.execute(t.createText);
    db.execute(takeBackTable().createText);
}

void createTakeBackTableIfMissing(Connection& db) {
    if (!db.hasTable(takeBackTable().name)) db.execute(takeBackTable().createText);
}

namespace {

bool isOneOf(std::string_view column, std::initializer_list<std::string_view> names) {
    for (const auto n : names)
        if (n == column) return true;
    return false;
}

std::string serverType(std::string_view column) {
    if (isOneOf(column, {"PNPLPD", "ENPLPD", "ZNPLPD", "TNPLPD"})) return "smallint";
    if (isOneOf(column, {"PORD", "PHRD", "PRORD", "PRHRD", "TPORD", "TPHRD", "TPRORD", "TPRHRD"}))
        return "integer";
    if (isOneOf(column, {"TTRACE", "TROWS"})) return "bigint NOT NULL";
    return "double precision";
}

template <std::size_t N>
std::string columnsText(const std::array<std::string_view, N>& columns, std::string_view key) {
    std::string text;
    for (const auto c : columns) {
        if (!text.empty()) text += ", ";
        text += std::string(c) + " " + serverType(c);
        if (c == key) text += " PRIMARY KEY";
    }
    return text;
}

constexpr std::string_view kOrderColumn = "ESEQ bigint GENERATED ALWAYS AS IDENTITY";

struct ServerTable {
    std::string name;
    std::string columns;
};

std::vector<ServerTable> serverTables() {
    return {
        {"PLIO", columnsText(plioColumns(), "PNPLPD")},
        {"PLED", columnsText(pledColumns(), "") + ", " + std::string(kOrderColumn)},
        {"PLDI", columnsText(pldiColumns(), "ZNPLPD")},
        {"TAKEBACK",
         columnsText(takeBackColumns(), "TNPLPD") + ", CHECK (TNPLPD BETWEEN 1 AND 32767)"},
    };
}

// An archive table's column: the same type, no key, no check.
std::string archivedColumns(const std::string& columns) {
    std::string out;
    std::size_t from = 0;
    while (from < columns.size()) {
        auto end = columns.find(", ", from);
        if (end == std::string::npos) end = columns.size();
        std::string column = columns.substr(from, end - from);
        from = end + 2;
        if (column.rfind("CHECK", 0) == 0) continue;
        for (const char* drop : {" PRIMARY KEY", " NOT NULL", " GENERATED ALWAYS AS IDENTITY"})
            if (const auto at = column.find(drop); at != std::string::npos)
                column.erase(at, std::string_view(drop).size());
        out += ", " + column;
    }
    return out;
}

}  // namespace

std::vector<std::string> serverTableTexts() {
    std::vector<std::string> texts;
    for (const auto& t : serverTables())
        texts.push_back("CREATE TABLE " + t.name + " (" + t.columns + ")");
    return texts;
}

std::vector<std::string> serverArchiveTexts() {
    std::vector<std::string> texts = {
        "CREATE TABLE ARCHIVES (ARCHIVE integer PRIMARY KEY, "
        "ARCHIVED timestamp with time zone NOT NULL DEFAULT now())"};
    for (const auto& t : serverTables())
        texts.push_back("CREATE TABLE " + t.name + "_ARCHIVE (ARCHIVE integer NOT NULL" +
                        archivedColumns(t.columns) + ")");
    return texts;
}

std::vector<std::string> serverTableNames() {
    std::vector<std::string> names;
    for (const auto& t : serverTables()) names.push_back(t.name);
    names.emplace_back("ARCHIVES");
    for (const auto& t : serverTables()) names.push_back(t.name + "_ARCHIVE");
    return names;
}

std::string initialFirmInsertText() {
    // The firm at the start of every game: 100 experienced people and 10
    // trainees, normal quality and complaints, 1000 units each of inventory
    // and backlog, production running at 1000 units a month, 1200 ordered
    // and 1000 filled; the delay stages of people flows at 2.84 a month.
    return "INSERT INTO PLIO(PNPLPD,PT,PTT,PFT,POQ,POC,PINV,POBL,PP1,PP2,PT1,PT2,PQ1,PQ2,"
           "PHR,PTCT,PQR,PPR,POR,POFR) "
           "VALUES(0, 100, 10, 0, 1, 1, 1000, 1000, 1000, 1000, 2.84, 2.84, 2.84, 2.84, "
           "2.84, 2.84, 2.84, 1000, 1200, 1000)";
}

}  // namespace tessaro::store
