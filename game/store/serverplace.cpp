// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "serverplace.h"

#include <libpq-fe.h>

#include "asciitext.h"
#include "statementtext.h"
#include "storeerror.h"

namespace tessaro::store {
namespace {

constexpr std::string_view kSchemaKey = "Schema =";
constexpr std::string_view kServerKey = "Server =";

std::string& passwordSetting() {
    static std::string password;
    return password;
}

}  // namespace

std::string connectionStringForServer(std::string_view address, std::string_view schema) {
    std::string cs(kServerProvider);
    if (!schema.empty()) cs += " " + std::string(kSchemaKey) + " " + std::string(schema) + ";";
    return cs + " " + std::string(kServerKey) + " " + std::string(address);
}

bool isServerConnectionString(std::string_view connectionString) {
    return connectionString.substr(0, kServerProvider.size()) == kServerProvider;
}

std::optional<ServerPlace> serverPlace(std::string_view connectionString) {
    if (!isServerConnectionString(connectionString)) return std::nullopt;
    std::string_view rest = skipBlanks(connectionString.substr(kServerProvider.size()));
    ServerPlace place;
    if (rest.substr(0, kSchemaKey.size()) == kSchemaKey) {
        rest = skipBlanks(rest.substr(kSchemaKey.size()));
        const auto end = rest.find(';');
        if (end == std::string_view::npos) return std::nullopt;
        place.schema = std::string(rest.substr(0, end));
        while (!place.schema.empty() && isAsciiSpace(place.schema.back())) place.schema.pop_back();
        rest = skipBlanks(rest.substr(end + 1));
    }
    if (rest.substr(0, kServerKey.size()) != kServerKey) return std::nullopt;
    rest = rest.substr(kServerKey.size());
    if (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    place.address = std::string(rest);
    return place;
}

void checkServerAddress(std::string_view address) {
    char* error = nullptr;
    const std::string text(address);
    PQconninfoOption* options = PQconninfoParse(text.c_str(), &error);
    if (!options) {
        std::string why = error ? error : "it cannot be read";
        PQfreemem(error);
        while (!why.empty() && isAsciiSpace(why.back())) why.pop_back();
        throw StoreError(StoreCause::BadAddress, text, why);
    }
    bool password = false;
    for (PQconninfoOption* o = options; o->keyword; ++o)
        if (std::string_view(o->keyword) == "password" && o->val && *o->val) password = true;
    PQconninfoFree(options);
    // The address itself is not repeated: it holds the password.
    if (password) throw StoreError(StoreCause::PasswordInAddress, "named with --server", "");
}

void setServerPassword(std::string password) {
    passwordSetting() = std::move(password);
}

const std::string& serverPassword() {
    return passwordSetting();
}

}  // namespace tessaro::store
