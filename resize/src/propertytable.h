// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The persisted properties (morvane/morvaneproperties.h) as a table the
// control walks: to read and write a property bag, to set a newly placed
// control to its defaults, to tell Designer what it may edit, and to write
// the README's table.
#pragma once

#include <array>

#include "morvane_p.h"

namespace MorvaneCtl {

struct PropertyInfo {
    const char* name;
    const char* key;
    const char* type;         // as written in the list: int, bool, MorvaneCtl::ScreenResolution
    const char* defaultText;  // as written in the list
    bool isSwitch;            // persisted as a Bool (-1/0), otherwise as a Long
    int persistedDefault;     // the default as persisted: -1 for true, 0 for false
    SetterRule setter;
    PropertyScope scope;
    const char* help;
    int (*read)(const MorvanePrivate&);   // the value as persisted
    void (*write)(MorvanePrivate&, int);  // from the value as persisted
    void (*reset)(MorvanePrivate&);       // to the default
};

// Each property adds one term to the sum; in parentheses the terms would
// read as calls of the number before them.
#define MORVANE_COUNT(...) +1  // NOLINT(bugprone-macro-parentheses)
inline constexpr int PropertyCount = 0 MORVANE_PROPERTIES(MORVANE_COUNT);
#undef MORVANE_COUNT

const std::array<PropertyInfo, PropertyCount>& propertyTable();

}  // namespace MorvaneCtl

namespace MorvaneCtl {

class PropertyBag;

// The host's property bag: a later load (every key read with its default;
// a value of the wrong kind fails with InvalidPropertyValue and changes
// nothing), and a save in the designer (design size captured, then every key
// written with its default).
bool ReadProperties(Morvane& control, const PropertyBag& bag);
void WriteProperties(Morvane& control, PropertyBag& bag);

// The table as the library's README shows it (Markdown).
QString propertyTableMarkdown();

}  // namespace MorvaneCtl
