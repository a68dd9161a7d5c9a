// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The store a host keeps a control's persisted properties in: keys with
// values, read and written with a default. A value equal to its default is
// not kept, so a bag only holds what differs from the defaults.
//
//     MorvaneCtl::PropertyBag bag;
//     control.WriteProperties(bag);      // the host saves the form
//     other.ReadProperties(bag);         // ... and loads it again later
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <utility>
#include <vector>

namespace MorvaneCtl {

class PropertyBag {
public:
    // The stored value of key, or defaultValue when the bag lacks it.
    QVariant ReadProperty(const QString& key, const QVariant& defaultValue) const;

    // Stores value under key; a value equal to defaultValue removes the key.
    void WriteProperty(const QString& key, const QVariant& value, const QVariant& defaultValue);

    bool contains(const QString& key) const;
    QVariant value(const QString& key) const;
    // Sets a raw entry, as a hand-edited or older file would hold it.
    void setValue(const QString& key, const QVariant& value);
    void remove(const QString& key);
    // Keys held, in the order they were first stored.
    QStringList keys() const;

    // Every key asked for by ReadProperty and WriteProperty, in call order,
    // with the default each call gave; lets a host check what a hook touched.
    struct Access {
        enum Kind { Read, Write } kind;
        QString key;
        QVariant defaultValue;
    };
    const std::vector<Access>& accesses() const { return m_accesses; }
    void clearAccesses() { m_accesses.clear(); }

private:
    std::vector<std::pair<QString, QVariant>> m_entries;
    mutable std::vector<Access> m_accesses;
};

}  // namespace MorvaneCtl
