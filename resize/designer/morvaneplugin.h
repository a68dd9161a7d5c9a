// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// Qt Designer's entry to the resize control: the "Morvane" widget box entry,
// its icon and template, and the design-time set-up of every control that
// Designer places on or loads into a form.
#pragma once

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

namespace MorvaneCtl {
class Morvane;
}

class MorvanePlugin : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetInterface")
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    explicit MorvanePlugin(QObject* parent = nullptr);

    QString name() const override;
    QString group() const override;
    QString toolTip() const override;
    QString whatsThis() const override;
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override;
    QString domXml() const override;

    // At design time (after initialize) the control is put in design mode
    // and bound to its form window once Designer has applied its saved
    // properties; otherwise (QUiLoader at run time) it is a plain control.
    QWidget* createWidget(QWidget* parent) override;

    bool isInitialized() const override;
    void initialize(QDesignerFormEditorInterface* core) override;

private:
    QDesignerFormEditorInterface* m_core = nullptr;
};
