// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Runs a piece of a test under another C library locale, as QApplication
// leaves the process in the players' own locale. The German and Turkish
// locales are built into the build tree by the build_test_locales fixture
// (scripts/make-locales), found through LOCPATH.
//
//   for (const char* name : testlocale::kOtherLocales) {
//       testlocale::Scoped locale(name);
//       ASSERT_TRUE(locale.active()) << locale.why();
//       EXPECT_EQ(numberText(0.5), "0.5");
//   }
#pragma once

#include <clocale>
#include <cstdlib>
#include <string>

namespace testlocale {

// A decimal comma (de_DE) and a dotless/dotted i pair (tr_TR).
inline constexpr const char* kOtherLocales[] = {"de_DE.UTF-8", "tr_TR.UTF-8"};

class Scoped {
public:
    explicit Scoped(const char* name) {
#ifdef TESSARO_TEST_LOCALE_DIR
        ::setenv("LOCPATH", TESSARO_TEST_LOCALE_DIR, 1);
#endif
        if (const char* old = std::setlocale(LC_ALL, nullptr)) m_old = old;
        m_active = std::setlocale(LC_ALL, name) != nullptr;
        if (!m_active)
            m_why = std::string("the locale ") + name +
                    " is not available; run the tests through ctest, whose "
                    "build_test_locales fixture builds it";
    }
    ~Scoped() {
        std::setlocale(LC_ALL, m_old.c_str());
    }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;

    bool active() const {
        return m_active;
    }
    const std::string& why() const {
        return m_why;
    }

private:
    std::string m_old = "C";
    bool m_active = false;
    std::string m_why;
};

}  // namespace testlocale
