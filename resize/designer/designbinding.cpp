// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
#include "designbinding.h"

#include "morvane/morvane.h"

#include <QMetaProperty>
#include <QPointer>
#include <QTimer>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>
#include <QtDesigner/QDesignerPropertyEditorInterface>
#include <QtDesigner/QDesignerPropertySheetExtension>
#include <QtDesigner/QExtensionManager>

namespace MorvaneDesigner {
namespace {

using MorvaneCtl::Morvane;

bool isWritable(const Morvane *control, const QString &name) {
    const QMetaObject *meta = control->metaObject();
    const int index = meta->indexOfProperty(name.toLatin1().constData());
    return index >= 0 && meta->property(index).isWritable();
}

// Designer writes a property into the .ui file only while its sheet calls
// it changed; a value equal to the class default would otherwise be left
// out, and the design record must always travel with the form.
void markChanged(Morvane *control, QDesignerFormEditorInterface *core, const QString &name) {
    auto *sheet = qt_extension<QDesignerPropertySheetExtension *>(core->extensionManager(), control);
    if (!sheet) return;
    const int index = sheet->indexOf(name);
    if (index >= 0) sheet->setChanged(index, true);
}

void bindToFormWindow(Morvane *control, QDesignerFormEditorInterface *core) {
    QDesignerFormWindowInterface *formWindow = QDesignerFormWindowInterface::findFormWindow(control);
    if (!formWindow || !formWindow->mainContainer()) return;

    control->setContainerParent(formWindow->mainContainer());
    // Designer hands a loaded or pasted control its saved values before
    // this point; a control dropped from the widget box gets none.
    try {
        if (control->receivedPersistedValues())
            control->finishLoading();
        else
            control->InitProperties();
    } catch (const MorvaneCtl::MorvaneError &error) {
        // Nothing may leave a timer slot; the control keeps the values it has.
        qWarning("%s on %s: %s", qPrintable(control->objectName()),
                 qPrintable(formWindow->mainContainer()->objectName()), error.what());
    }

    for (const QString &key : Morvane::persistedKeys())
        if (isWritable(control, key)) markChanged(control, core, key);

    // Connected only now, so that opening a form does not mark it modified.
    QPointer<QDesignerFormWindowInterface> window(formWindow);
    QObject::connect(control, &Morvane::PropertyChanged, control, [control, core, window](const QString &name) {
        markChanged(control, core, name);
        // The property editor shows the values of the moment it was filled;
        // the design sizes change behind its back when the form is resized.
        QDesignerPropertyEditorInterface *editor = core->propertyEditor();
        if (editor && editor->object() == control)
            editor->setPropertyValue(name, control->property(name.toLatin1().constData()), true);
        if (window) window->setDirty(true);
    });
}

} // namespace

void prepareForDesign(Morvane *control, QDesignerFormEditorInterface *core) {
    control->setUserMode(false);
    QTimer::singleShot(0, control, [control, core] { bindToFormWindow(control, core); });
}

} // namespace MorvaneDesigner
