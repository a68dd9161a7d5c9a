// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
#include "designbinding.h"

#include <QPointer>
#include <QTimer>
#include <QUndoStack>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>
#include <QtDesigner/QDesignerPropertyEditorInterface>
#include <QtDesigner/QDesignerPropertySheetExtension>
#include <QtDesigner/QExtensionManager>

#include "morvane/morvane.h"

namespace MorvaneDesigner {
namespace {

using MorvaneCtl::Morvane;

// Designer writes a property into the .ui file only while its sheet calls
// it changed; a value equal to the class default would otherwise be left
// out, and the design record must always travel with the form.
void markChanged(Morvane* control, QDesignerFormEditorInterface* core, const QString& name) {
    auto* sheet = qt_extension<QDesignerPropertySheetExtension*>(core->extensionManager(), control);
    if (!sheet) return;
    const int index = sheet->indexOf(name);
    if (index >= 0) sheet->setChanged(index, true);
}

void bindToFormWindow(Morvane* control, QDesignerFormEditorInterface* core) {
    QDesignerFormWindowInterface* formWindow =
        QDesignerFormWindowInterface::findFormWindow(control);
    if (!formWindow || !formWindow->mainContainer()) return;

    control->setContainerParent(formWindow->mainContainer());
    // Designer hands a loaded or pasted control its saved values before
    // this point; a control dropped from the widget box gets none.
    if (control->receivedPersistedValues())
        control->finishLoading();
    else
        control->InitProperties();

    // Every persisted key travels with the form, the read-only ones too.
    for (const QString& key : Morvane::persistedKeys()) markChanged(control, core, key);

    // Connected only now, so that opening a form does not mark it modified.
    QPointer<QDesignerFormWindowInterface> window(formWindow);
    QObject::connect(control, &Morvane::PropertyChanged, control,
                     [control, core, window](const QString& name) {
                         markChanged(control, core, name);
                         // The property editor shows the values of the moment it was filled;
                         // the design sizes change behind its back when the form is resized.
                         QDesignerPropertyEditorInterface* editor = core->propertyEditor();
                         if (editor && editor->object() == control)
                             editor->setPropertyValue(
                                 name, control->property(name.toLatin1().constData()), true);
                         if (window) window->setDirty(true);
                     });
    // Designer puts an edit on the form's undo stack before it writes the
    // property; a change the developer then declines has changed nothing
    // and leaves nothing to undo. The command is taken off once Designer's
    // push is done, and the editor shows the value the property kept.
    QObject::connect(
        control, &Morvane::PropertyChangeDeclined, control,
        [control, core, window](const QString& name) {
            QUndoStack* stack = window ? window->commandHistory() : nullptr;
            const int index = stack ? stack->index() : 0;
            const QUndoCommand* below = stack && index > 0 ? stack->command(index - 1) : nullptr;
            QTimer::singleShot(0, control, [control, core, window, name, index, below] {
                if (window) {
                    QUndoStack* stack = window->commandHistory();
                    // Exactly one command more than before, on top of the ones
                    // that were there: the declined edit (a merge into the edit
                    // before it, or no push at all, leaves nothing to take off).
                    if (stack && stack->index() == index + 1 && stack->count() == index + 1 &&
                        (index == 0 || stack->command(index - 1) == below)) {
                        const_cast<QUndoCommand*>(stack->command(index))->setObsolete(true);
                        stack->undo();  // an obsolete command is deleted, not undone
                    }
                }
                QDesignerPropertyEditorInterface* editor = core->propertyEditor();
                if (editor && editor->object() == control)
                    editor->setPropertyValue(name, control->property(name.toLatin1().constData()),
                                             true);
            });
        });
}

}  // namespace

void prepareForDesign(Morvane* control, QDesignerFormEditorInterface* core) {
    control->setUserMode(false);
    QTimer::singleShot(0, control, [control, core] { bindToFormWindow(control, core); });
}

}  // namespace MorvaneDesigner
