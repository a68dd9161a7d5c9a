// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The game's statement texts as the store reads them before any engine sees
// them.
#include "store/statementtext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tessaro::store {
namespace {

TEST(StatementText, literalsAreReadAsTheNumbersTheModelWrote) {
    EXPECT_EQ(literalValue("3000"), Value::integer(3000));
    EXPECT_EQ(literalValue("-12"), Value::integer(-12));
    // The nearest double, as every engine must store it.
    EXPECT_EQ(literalValue("0.1"), Value::real(0.1));
    EXPECT_EQ(literalValue("94.53125"), Value::real(94.53125));
    EXPECT_EQ(literalValue("1.5E-05"), Value::real(1.5e-05));
    EXPECT_EQ(literalValue("1000.0"), Value::real(1000.0));
    // Past 64 bits a whole number is a double; past a double's range an
    // infinity, or zero for a negative exponent.
    EXPECT_EQ(literalValue("99999999999999999999"), Value::real(1e20));
    EXPECT_EQ(literalValue("1E400"), Value::real(std::numeric_limits<double>::infinity()));
    EXPECT_EQ(literalValue("-1E400"), Value::real(-std::numeric_limits<double>::infinity()));
    EXPECT_EQ(literalValue("1E-400").realValue(), 0.0);
}

TEST(StatementText, onlyPlainLiteralInsertsBecomeParameters) {
    LiteralInsert insert;
    ASSERT_TRUE(
        splitLiteralInsert(" INSERT INTO PLED(ENPLPD,ETIME,EAQ) VALUES(3, 0.125 , null) ", insert));
    EXPECT_EQ(insert.text, "INSERT INTO PLED(ENPLPD,ETIME,EAQ) VALUES(?1,?2,?3)");
    ASSERT_EQ(insert.values.size(), 3u);
    EXPECT_EQ(insert.values[0], Value::integer(3));
    EXPECT_EQ(insert.values[1], Value::real(0.125));
    EXPECT_TRUE(insert.values[2].isEmpty());
    // Texts, expressions, parameters and a second statement are left to the
    // engine as they are.
    for (const char* other : {"INSERT INTO T(a) VALUES('x')", "INSERT INTO T(a) VALUES(1+2)",
                              "INSERT INTO T(a) VALUES(?1)", "INSERT INTO T(a) VALUES(1); DROP",
                              "INSERT INTO T(a) SELECT 1", "update PLIO set PORD=1"})
        EXPECT_FALSE(splitLiteralInsert(other, insert)) << other;
}

TEST(StatementText, theGamesOwnFormsAreRecognised) {
    EXPECT_EQ(normaliseStatement("delete * from PLED"), "delete from PLED");
    EXPECT_EQ(normaliseStatement("  DELETE   *   FROM PLDI"), "delete FROM PLDI");
    EXPECT_EQ(normaliseStatement("deleted * from x"), "deleted * from x");
    ASSERT_NE(wholeTableSelected("Select * from PLIO"), nullptr);
    EXPECT_EQ(wholeTableSelected("select  *  FROM pldi ")->name, "PLDI");
    EXPECT_EQ(wholeTableSelected("Select * from PLIO where 1"), nullptr);
    EXPECT_EQ(wholeTableSelected("Select * from TAKEBACK"), nullptr);
}

}  // namespace
}  // namespace tessaro::store
