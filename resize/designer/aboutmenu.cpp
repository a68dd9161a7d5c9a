// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
#include "aboutmenu.h"

#include <QAction>
#include <QPointer>

#include "morvane/morvane.h"

namespace MorvaneDesigner {

AboutMenu::AboutMenu(MorvaneCtl::Morvane* control, QObject* parent)
    : QObject(parent), m_about(new QAction(tr("About Morvane..."), this)) {
    QPointer<MorvaneCtl::Morvane> target(control);
    connect(m_about, &QAction::triggered, this, [target] {
        if (target) target->About();
    });
}

QList<QAction*> AboutMenu::taskActions() const {
    return {m_about};
}

AboutMenuFactory::AboutMenuFactory(QExtensionManager* parent) : QExtensionFactory(parent) {}

QObject* AboutMenuFactory::createExtension(QObject* object, const QString& iid,
                                           QObject* parent) const {
    if (iid != Q_TYPEID(QDesignerTaskMenuExtension)) return nullptr;
    if (auto* control = qobject_cast<MorvaneCtl::Morvane*>(object))
        return new AboutMenu(control, parent);
    return nullptr;
}

}  // namespace MorvaneDesigner
