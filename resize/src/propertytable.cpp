// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
#include "propertytable.h"

#include <cmath>
#include <optional>
#include <vector>

#include "logging.h"
#include "propertybag.h"

namespace MorvaneCtl {

Q_LOGGING_CATEGORY(lcMorvane, "morvane")

namespace {

template <typename T>
constexpr int persisted(T value) {
    if constexpr (std::is_same_v<T, bool>)
        return value ? -1 : 0;
    else
        return static_cast<int>(value);
}

template <typename T>
constexpr T fromPersisted(int value) {
    if constexpr (std::is_same_v<T, bool>)
        return value != 0;
    else
        return static_cast<T>(value);
}

// A persisted number: Bool as -1/0, numbers rounded half to even, numeric
// text accepted; anything else is no number.
std::optional<int> longValue(const QVariant& v) {
    if (v.typeId() == QMetaType::Bool) return v.toBool() ? -1 : 0;
    bool ok = false;
    const double d =
        v.typeId() == QMetaType::QString ? v.toString().trimmed().toDouble(&ok) : v.toDouble(&ok);
    if (!ok || !std::isfinite(d) || std::fabs(d) > 2147483647.0) return std::nullopt;
    return static_cast<int>(std::nearbyint(d));  // halves to even
}

std::optional<bool> boolValue(const QVariant& v) {
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed();
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
        if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
    }
    const auto n = longValue(v);
    if (!n) return std::nullopt;
    return *n != 0;
}

// The default a key is read and written with: a 16-bit integer.
QVariant bagDefault(const PropertyInfo& p) {
    return QVariant::fromValue<short>(static_cast<short>(p.persistedDefault));
}

}  // namespace

const std::array<PropertyInfo, PropertyCount>& propertyTable() {
#define MORVANE_ENTRY(Name, Type, Default, Key, Setter, Scope, Help)                \
    PropertyInfo{#Name,                                                             \
                 Key,                                                               \
                 #Type,                                                             \
                 #Default,                                                          \
                 std::is_same_v<Type, bool>,                                        \
                 persisted<Type>(Default),                                          \
                 SetterRule::Setter,                                                \
                 PropertyScope::Scope,                                              \
                 Help,                                                              \
                 [](const MorvanePrivate& d) { return persisted<Type>(d.Name); },   \
                 [](MorvanePrivate& d, int v) { d.Name = fromPersisted<Type>(v); }, \
                 [](MorvanePrivate& d) { d.Name = Default; }},
    static const std::array<PropertyInfo, PropertyCount> table{{MORVANE_PROPERTIES(MORVANE_ENTRY)}};
#undef MORVANE_ENTRY
    return table;
}

bool ReadProperties(Morvane& control, const PropertyBag& bag) {
    MorvanePrivate* d = MorvanePrivate::get(&control);
    // Every value is converted before any is taken, so a bag with one bad
    // value leaves the control as it was.
    std::vector<int> values;
    for (const PropertyInfo& p : propertyTable()) {
        const QVariant raw = bag.ReadProperty(QLatin1String(p.key), bagDefault(p));
        std::optional<int> value;
        if (!p.isSwitch)
            value = longValue(raw);
        else if (const auto b = boolValue(raw))
            value = *b ? -1 : 0;
        if (!value) {
            d->report(InvalidPropertyValue, QStringLiteral("%1 is not %2: %3")
                                                .arg(QLatin1String(p.key),
                                                     p.isSwitch ? QStringLiteral("True or False")
                                                                : QStringLiteral("a whole number"),
                                                     raw.toString()));
            return false;
        }
        values.push_back(*value);
    }
    for (std::size_t i = 0; i < values.size(); ++i) propertyTable()[i].write(*d, values[i]);
    d->receivedValues = true;
    d->loading = true;
    control.finishLoading();
    return true;
}

void WriteProperties(Morvane& control, PropertyBag& bag) {
    MorvanePrivate* d = MorvanePrivate::get(&control);
    d->captureDesignSizeNow();
    for (const PropertyInfo& p : propertyTable()) {
        const int value = p.read(*d);
        bag.WriteProperty(QLatin1String(p.key), p.isSwitch ? QVariant(value != 0) : QVariant(value),
                          bagDefault(p));
    }
}

}  // namespace MorvaneCtl

namespace MorvaneCtl {

QString propertyTableMarkdown() {
    auto type = [](const PropertyInfo& p) {
        const QString t = QLatin1String(p.type);
        if (t == QLatin1String("bool")) return QStringLiteral("Bool (`bool`)");
        if (t == QLatin1String("int")) return QStringLiteral("Long (`int`)");
        return QStringLiteral("`%1`").arg(t.section(QLatin1String("::"), -1));
    };
    auto setter = [](const PropertyInfo& p) {
        switch (p.setter) {
            case SetterRule::Store:
                return QStringLiteral("stores, emits `PropertyChanged`");
            case SetterRule::Confirm:
                return QStringLiteral("asks first (Yes/No)");
            case SetterRule::Refuse:
                return QStringLiteral("refused: 382 at run time, 387 at design time");
        }
        return QString();
    };
    QString out = QStringLiteral(
        "| Property | Type | Default | Key | Setter | In Designer | Help string |\n"
        "| --- | --- | --- | --- | --- | --- | --- |\n");
    for (const PropertyInfo& p : propertyTable()) {
        const bool editable = p.scope == PropertyScope::Public && p.setter != SetterRule::Refuse;
        out += QStringLiteral("| `%1` | %2 | `%3` | \"%4\" | %5 | %6 | %7 |\n")
                   .arg(QLatin1String(p.name), type(p),
                        QString::fromLatin1(p.defaultText).section(QLatin1String("::"), -1),
                        QLatin1String(p.key), setter(p),
                        editable ? QStringLiteral("editable") : QStringLiteral("read-only"),
                        QLatin1String(p.help));
    }
    return out;
}

}  // namespace MorvaneCtl
