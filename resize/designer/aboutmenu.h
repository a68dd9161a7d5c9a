// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The "About Morvane..." entry of the control's context menu in Designer.
#pragma once

#include <QObject>
#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QExtensionFactory>

class QAction;

namespace MorvaneCtl {
class Morvane;
}

namespace MorvaneDesigner {

class AboutMenu : public QObject, public QDesignerTaskMenuExtension {
    Q_OBJECT
    Q_INTERFACES(QDesignerTaskMenuExtension)

public:
    AboutMenu(MorvaneCtl::Morvane* control, QObject* parent);
    QList<QAction*> taskActions() const override;

private:
    QAction* m_about;
};

// Hands Designer an AboutMenu for every Morvane control it asks about.
class AboutMenuFactory : public QExtensionFactory {
    Q_OBJECT

public:
    explicit AboutMenuFactory(QExtensionManager* parent);

protected:
    QObject* createExtension(QObject* object, const QString& iid, QObject* parent) const override;
};

}  // namespace MorvaneDesigner
