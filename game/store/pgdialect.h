// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The one place where the game's statement texts meet PostgreSQL's dialect.
// The texts stay the same on both engines; here they are adapted:
//   ?1, ?2 ...            become $1, $2 ...
//   "BEGIN" alone         becomes a repeatable-read transaction, so that the
//                         selects inside it see one state, as on a file
//   rowid                 becomes ESEQ, the column that keeps PLED's rows in
//                         the order they were written (a file's rowid)
//   SELECT * FROM PLED    names PLED's own columns, leaving ESEQ out
// Quoted texts and names are left as they are.
#pragma once

#include <string>
#include <string_view>

namespace tessaro::store {

std::string toServerDialect(std::string_view text);

}  // namespace tessaro::store
