// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
#include "propertysheet.h"

#include <QtDesigner/QExtensionManager>
#include <string_view>

#include "morvane/morvane.h"

namespace MorvaneDesigner {

bool editableInDesigner(const QString& name) {
#define MORVANE_EDITABLE(Name, Type, Default, Key, Setter, Scope, Help) \
    if (name == QLatin1String(#Name))                                   \
        return std::string_view(#Scope) != "Internal" && std::string_view(#Setter) != "Refuse";
    MORVANE_PROPERTIES(MORVANE_EDITABLE)
#undef MORVANE_EDITABLE
    return true;
}

MorvanePropertySheet::MorvanePropertySheet(QDesignerPropertySheetExtension* designers,
                                           QObject* parent)
    : QObject(parent), m_sheet(designers) {}

bool MorvanePropertySheet::isEnabled(int index) const {
    return m_sheet->isEnabled(index) && editableInDesigner(m_sheet->propertyName(index));
}

MorvanePropertySheetFactory::MorvanePropertySheetFactory(QExtensionManager* parent)
    : QExtensionFactory(parent) {}

QObject* MorvanePropertySheetFactory::createExtension(QObject* object, const QString& iid,
                                                      QObject* parent) const {
    if (m_asking || iid != Q_TYPEID(QDesignerPropertySheetExtension) ||
        !qobject_cast<MorvaneCtl::Morvane*>(object))
        return nullptr;
    // Designer's own sheet, from the factories registered before this one.
    m_asking = true;
    auto* designers = qt_extension<QDesignerPropertySheetExtension*>(extensionManager(), object);
    m_asking = false;
    if (!designers) return nullptr;
    return new MorvanePropertySheet(designers, parent);
}

}  // namespace MorvaneDesigner
