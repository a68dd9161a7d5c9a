// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
#include "propertybag.h"

#include <algorithm>

namespace MorvaneCtl {

QVariant PropertyBag::ReadProperty(const QString& key, const QVariant& defaultValue) const {
    m_accesses.push_back({Access::Read, key, defaultValue});
    for (const auto& [k, v] : m_entries)
        if (k == key) return v;
    return defaultValue;
}

void PropertyBag::WriteProperty(const QString& key, const QVariant& value,
                                const QVariant& defaultValue) {
    m_accesses.push_back({Access::Write, key, defaultValue});
    // Values are compared as numbers so that a Bool true and its default -1
    // count as equal, as they do in the file a host writes.
    const bool isDefault =
        value.canConvert<qlonglong>() && defaultValue.canConvert<qlonglong>()
            ? (value.typeId() == QMetaType::Bool ? (value.toBool() ? -1 : 0)
                                                 : value.toLongLong()) == defaultValue.toLongLong()
            : value == defaultValue;
    if (isDefault)
        remove(key);
    else
        setValue(key, value);
}

bool PropertyBag::contains(const QString& key) const {
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [&](const auto& e) { return e.first == key; });
}

QVariant PropertyBag::value(const QString& key) const {
    for (const auto& [k, v] : m_entries)
        if (k == key) return v;
    return {};
}

void PropertyBag::setValue(const QString& key, const QVariant& value) {
    for (auto& [k, v] : m_entries)
        if (k == key) {
            v = value;
            return;
        }
    m_entries.emplace_back(key, value);
}

void PropertyBag::remove(const QString& key) {
    std::erase_if(m_entries, [&](const auto& e) { return e.first == key; });
}

QStringList PropertyBag::keys() const {
    QStringList out;
    for (const auto& e : m_entries) out << e.first;
    return out;
}

}  // namespace MorvaneCtl
