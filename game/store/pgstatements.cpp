// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The statements of a server connection, in libpq's pipeline: each game
// text is adapted and prepared once, its values sent and received as the
// shortest decimal text that reads back as the same number, and the writes
// that want no rows sent on without waiting, so that a quarter's thirty
// inserts cost the server's work and not thirty round trips.
#include <libpq-fe.h>

#include <array>
#include <charconv>
#include <cmath>
#include <exception>
#include <limits>
#include <optional>

#include "asciitext.h"
#include "pgdialect.h"
#include "pgengine.h"
#include "statementtext.h"
#include "storeerror.h"

namespace tessaro::store {
namespace {

// Writes sent on before the server is waited for once: far more than a
// quarter's, and few enough that neither side's buffers fill.
constexpr std::size_t kMostInFlight = 64;

// Type identifiers of the server's built-in types.
constexpr Oid kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kFloat4 = 700, kFloat8 = 701,
              kNumeric = 1700;

std::string parameterText(const Value& v) {
    switch (v.kind()) {
        case Value::Kind::Integer:
            return std::to_string(v.integerValue());
        case Value::Kind::Real: {
            const double d = v.realValue();
            if (std::isnan(d)) return "NaN";
            if (std::isinf(d)) return d > 0 ? "Infinity" : "-Infinity";
            std::array<char, 32> buffer{};
            // The shortest text that reads back as exactly this double.
            const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), d);
            return std::string(buffer.data(), end);
        }
        case Value::Kind::Text:
            return std::string(v.textValue());
        case Value::Kind::Empty:
            break;
    }
    return {};
}

Value columnValue(const char* text, int length, Oid type) {
    const char* last = text + length;
    switch (type) {
        case kInt2:
        case kInt4:
        case kInt8: {
            std::int64_t whole = 0;
            const auto [end, ec] = std::from_chars(text, last, whole);
            if (ec == std::errc() && end == last) return Value::integer(whole);
            break;
        }
        case kFloat4:
        case kFloat8:
        case kNumeric: {
            const std::string_view t(text, static_cast<std::size_t>(length));
            constexpr double inf = std::numeric_limits<double>::infinity();
            if (t == "Infinity") return Value::real(inf);
            if (t == "-Infinity") return Value::real(-inf);
            if (t == "NaN") return Value::real(std::numeric_limits<double>::quiet_NaN());
            double real = 0;
            const auto [end, ec] = std::from_chars(text, last, real);
            if (ec == std::errc() && end == last) return Value::real(real);
            break;
        }
        case kBool:
            return Value::integer(length > 0 && text[0] == 't' ? 1 : 0);
        default:
            break;
    }
    return Value::text(std::string(text, static_cast<std::size_t>(length)));
}

void handRows(const PGresult* result, const RowHandler& onRow) {
    const int columns = PQnfields(result);
    std::vector<Oid> types(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c) types[static_cast<std::size_t>(c)] = PQftype(result, c);
    std::vector<Value> row;
    for (int r = 0, rows = PQntuples(result); r < rows; ++r) {
        row.clear();
        for (int c = 0; c < columns; ++c) {
            if (PQgetisnull(result, r, c))
                row.emplace_back();
            else
                row.push_back(columnValue(PQgetvalue(result, r, c), PQgetlength(result, r, c),
                                          types[static_cast<std::size_t>(c)]));
        }
        onRow(row);
    }
}

// The statements the server keeps prepared; transaction control and the
// rest are sent as they come.
bool preparable(std::string_view sql) {
    const std::string_view s = skipBlanks(sql);
    for (const char* word : {"select", "insert", "update", "delete", "with", "values"})
        if (startsWithWord(s, word)) return true;
    return false;
}

}  // namespace

const std::string& PgEngine::prepared(std::string_view text) {
    static const std::string none;
    const std::string key(text);
    if (const auto found = m_statements.find(key); found != m_statements.end())
        return found->second;
    const std::string sql = toServerDialect(text);
    if (!preparable(sql)) return none;
    const std::string name = "s" + std::to_string(m_statements.size() + 1);
    if (!PQsendPrepare(m_conn, name.c_str(), sql.c_str(), 0, nullptr)) fail(nullptr);
    m_pending.push_back({Pending::Kind::Prepare, nullptr, name});
    return m_statements.emplace(key, name).first->second;
}

void PgEngine::send(std::string_view text, const std::vector<Value>& parameters,
                    const RowHandler* onRow) {
    if (!m_conn)
        throw StoreError(StoreCause::Failed, m_name,
                         "a recordset was used after its connection was closed");
    std::vector<std::string> texts;
    std::vector<const char*> values;
    texts.reserve(parameters.size());
    for (const auto& p : parameters) texts.push_back(parameterText(p));
    for (std::size_t i = 0; i < parameters.size(); ++i)
        values.push_back(parameters[i].isEmpty() ? nullptr : texts[i].c_str());
    const int n = static_cast<int>(values.size());
    const std::string& name = prepared(text);
    const int sent = name.empty() ? PQsendQueryParams(m_conn, toServerDialect(text).c_str(), n,
                                                      nullptr, values.data(), nullptr, nullptr, 0)
                                  : PQsendQueryPrepared(m_conn, name.c_str(), n, values.data(),
                                                        nullptr, nullptr, 0);
    if (!sent) fail(nullptr);
    m_pending.push_back({Pending::Kind::Query, onRow, name});
}

void PgEngine::run(std::string_view text, const std::vector<Value>& parameters,
                   const RowHandler* onRow) {
    send(text, parameters, onRow);
    if (onRow || m_pending.size() >= kMostInFlight) sync();
}

std::vector<std::string> PgEngine::columns(std::string_view text) {
    const std::string& name = prepared(text);
    if (name.empty()) return {};
    if (const auto found = m_columns.find(name); found != m_columns.end()) return found->second;
    if (!PQsendDescribePrepared(m_conn, name.c_str())) fail(nullptr);
    m_pending.push_back({Pending::Kind::Describe, nullptr, name});
    sync();
    return m_columns[name];
}

void PgEngine::sync() {
    if (m_pending.empty()) return;
    if (!PQpipelineSync(m_conn)) fail(nullptr);
    std::optional<StoreError> failure;
    std::exception_ptr handlerFailure;
    while (!m_pending.empty()) {
        const Pending p = std::move(m_pending.front());
        m_pending.pop_front();
        while (PGresult* result = PQgetResult(m_conn)) {
            const auto status = PQresultStatus(result);
            if (status == PGRES_TUPLES_OK && p.onRow && !failure && !handlerFailure) {
                try {
                    handRows(result, *p.onRow);
                } catch (...) {
                    handlerFailure = std::current_exception();
                }
            } else if (status == PGRES_COMMAND_OK && p.kind == Pending::Kind::Describe) {
                auto& names = m_columns[p.statement];
                names.clear();
                for (int c = 0; c < PQnfields(result); ++c) names.emplace_back(PQfname(result, c));
            } else if (status == PGRES_FATAL_ERROR || status == PGRES_PIPELINE_ABORTED) {
                // A statement that could not be prepared is not kept.
                if (p.kind == Pending::Kind::Prepare)
                    std::erase_if(m_statements,
                                  [&](const auto& entry) { return entry.second == p.statement; });
                if (status == PGRES_FATAL_ERROR && !failure) {
                    try {
                        fail(result);
                    } catch (const StoreError& e) {
                        failure = e;
                    }
                }
            }
            PQclear(result);
        }
        if (PQstatus(m_conn) == CONNECTION_BAD) break;
    }
    if (PQstatus(m_conn) == CONNECTION_BAD) {
        m_pending.clear();
        fail(nullptr);
    }
    // The end of the pipeline's stretch.
    if (PGresult* end = PQgetResult(m_conn)) PQclear(end);
    if (failure) throw *failure;
    if (handlerFailure) std::rethrow_exception(handlerFailure);
}

void PgEngine::drainQuietly() noexcept {
    try {
        sync();
    } catch (...) {
    }
}

}  // namespace tessaro::store
