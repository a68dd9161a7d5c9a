// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The decision boxes as the players may fill them: any bytes in the two
// boxes and the password. The reader must never crash or give a NaN, must
// read plain whole numerals as they are, and the run command's checks must
// turn the texts into the checked integers with the right message.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "model/module1.h"
#include "model/rounding.h"
#include "model/runcommand.h"
#include "store/asciitext.h"

namespace {

using namespace tessaro;

class Panel : public model::DecisionPanel {
public:
    std::string texts[3];
    std::vector<model::MessageBox> shown;
    std::string text(model::Box box) const override { return texts[static_cast<int>(box)]; }
    void setText(model::Box box, const std::string& t) override {
        texts[static_cast<int>(box)] = t;
    }
    void setFocus(model::Box) override {}
    void showMessage(const model::MessageBox& box) override { shown.push_back(box); }
    void rebuildBoard() override { std::abort(); }
};

void require(bool condition) {
    if (!condition) std::abort();
}

// The value of a text that is, blanks aside, an optional sign and at most
// nine digits followed by nothing that could continue a number; nothing
// for any other text.
bool plainWhole(const std::string& text, double& value) {
    std::string s;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n') s += c;
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    const std::size_t start = i;
    long long v = 0;
    while (i < s.size() && store::isAsciiDigit(s[i]) && i - start < 9) v = v * 10 + (s[i++] - '0');
    if (i == start) return false;
    if (i < s.size() && (store::isAsciiDigit(s[i]) || s[i] == '.' || s[i] == 'e' || s[i] == 'E'))
        return false;
    value = negative ? -static_cast<double>(v) : static_cast<double>(v);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Production, hiring and password, separated by NUL bytes.
    std::string parts[3];
    int part = 0;
    for (std::size_t i = 0; i < size && i < 4096; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == '\0' && part < 2)
            ++part;
        else
            parts[part] += c;
    }

    for (int i = 0; i < 2; ++i) {
        const double v = model::leadingNumber(parts[i]);
        require(!std::isnan(v));
        double expected = 0;
        if (plainWhole(parts[i], expected)) require(v == expected);
    }

    // The password never opens the database here.
    const std::string upper = store::upperAscii(parts[2]);
    if (upper == model::kRunPassword || upper == model::kReinitPassword) parts[2] += "x";

    Panel panel;
    for (int i = 0; i < 3; ++i) panel.texts[i] = parts[i];
    model::RunCommand command("Data Source = /nonexistent/fuzz/TESSARO_DB.mdb");
    require(command.run(panel) == model::RunOutcome::Refused);
    const std::int32_t production = model::toInt32(model::leadingNumber(parts[0]));
    const std::int32_t hiring = model::toInt32(model::leadingNumber(parts[1]));
    require(command.productionOrders() == production);
    require(command.traineesHiring() == hiring);

    require(panel.shown.size() == 1);
    const std::string& message = panel.shown[0].text;
    if (parts[0].empty() || parts[1].empty()) {
        require(message == "Enter Appropriate parameters....");
    } else if (production < model::kMinProductionOrders ||
               production > model::kMaxProductionOrders || hiring < model::kMinTraineesHiring ||
               hiring > model::kMaxTraineesHiring) {
        require(message == "Invalid Input............ Or Field should not be Left Blank");
    } else {
        require(message == "Login Failed :: For SD Run :: Invalid Password........");
    }
    // Refused input stays as typed.
    for (int i = 0; i < 3; ++i) require(panel.texts[i] == parts[i]);
    return 0;
}
