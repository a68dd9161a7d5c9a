// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// What Designer's property editor lets a developer edit on the control: every
// persisted property is shown and saved, but the design record (FormHeightDT,
// FormWidthDT, FormScaleHeightDT, FormScaleWidthDT), which the control keeps
// itself, and the measured screen (ScreenHeight, ScreenWidth) are read-only.
// Designer's own property sheet does the work; this one disables those.
#pragma once

#include <QObject>
#include <QVariant>
#include <QtDesigner/QDesignerPropertySheetExtension>
#include <QtDesigner/QExtensionFactory>

namespace MorvaneDesigner {

// Whether Designer lets the developer edit the control's property name.
bool editableInDesigner(const QString& name);

class MorvanePropertySheet : public QObject, public QDesignerPropertySheetExtension {
    Q_OBJECT
    Q_INTERFACES(QDesignerPropertySheetExtension)

public:
    MorvanePropertySheet(QDesignerPropertySheetExtension* designers, QObject* parent);

    int count() const override { return m_sheet->count(); }
    int indexOf(const QString& name) const override { return m_sheet->indexOf(name); }
    QString propertyName(int index) const override { return m_sheet->propertyName(index); }
    QString propertyGroup(int index) const override { return m_sheet->propertyGroup(index); }
    void setPropertyGroup(int index, const QString& group) override {
        m_sheet->setPropertyGroup(index, group);
    }
    bool hasReset(int index) const override { return m_sheet->hasReset(index); }
    bool reset(int index) override { return m_sheet->reset(index); }
    bool isVisible(int index) const override { return m_sheet->isVisible(index); }
    void setVisible(int index, bool visible) override { m_sheet->setVisible(index, visible); }
    bool isAttribute(int index) const override { return m_sheet->isAttribute(index); }
    void setAttribute(int index, bool attribute) override {
        m_sheet->setAttribute(index, attribute);
    }
    QVariant property(int index) const override { return m_sheet->property(index); }
    void setProperty(int index, const QVariant& value) override {
        m_sheet->setProperty(index, value);
    }
    bool isChanged(int index) const override { return m_sheet->isChanged(index); }
    void setChanged(int index, bool changed) override { m_sheet->setChanged(index, changed); }
    bool isEnabled(int index) const override;

private:
    QDesignerPropertySheetExtension* m_sheet;
};

// Puts a MorvanePropertySheet around Designer's own sheet of every control.
class MorvanePropertySheetFactory : public QExtensionFactory {
    Q_OBJECT

public:
    explicit MorvanePropertySheetFactory(QExtensionManager* parent);

protected:
    QObject* createExtension(QObject* object, const QString& iid, QObject* parent) const override;

private:
    mutable bool m_asking = false;
};

}  // namespace MorvaneDesigner
