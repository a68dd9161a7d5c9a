// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Transactions and snapshots, on whichever engine the connection has.
#include "connection.h"
#include "engine.h"

namespace tessaro::store {

Transaction::Transaction(Connection& connection) : m_connection(connection) {
    m_connection.engine().begin(TransactionKind::Write);
}

Transaction::~Transaction() {
    if (m_open) m_connection.engine().abandon();
}

void Transaction::commit() {
    // What is committed into a file that is no longer at its place is lost
    // to the players: it is not committed, and when the file goes in the
    // instant of the commit, the commit is not reported done.
    m_connection.checkStillInPlace();
    m_connection.engine().commit();
    m_open = false;
    m_connection.checkStillInPlace();
}

void Transaction::rollback() {
    m_open = false;
    m_connection.engine().rollback();
}

Snapshot::Snapshot(Connection& connection) : m_connection(connection) {
    m_connection.engine().begin(TransactionKind::Snapshot);
}

Snapshot::~Snapshot() {
    // A snapshot wrote nothing: ending it keeps nothing and loses nothing.
    m_connection.engine().abandon();
}

}  // namespace tessaro::store
