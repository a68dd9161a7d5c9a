// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
#include "morvaneplugin.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QExtensionManager>

#include "aboutmenu.h"
#include "designbinding.h"
#include "morvane/morvane.h"
#include "propertysheet.h"

namespace {

// A window whose lower right corner is pulled out by an arrow: the control
// sizes forms. Drawn here so the plugin needs no resource file.
QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);

    // The form: a title bar over a client area.
    p.setPen(QPen(QColor(40, 60, 110), 1.5));
    p.setBrush(QColor(235, 240, 250));
    p.drawRect(QRectF(2.5, 2.5, 20, 18));
    p.fillRect(QRectF(3.25, 3.25, 18.5, 4), QColor(70, 110, 190));

    // The arrow from the corner outwards.
    p.setPen(QPen(QColor(200, 60, 30), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(17, 15), QPointF(27, 25));
    QPainterPath head;
    head.moveTo(30, 28);
    head.lineTo(20, 27);
    head.lineTo(29, 18);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 60, 30));
    p.drawPath(head);
    return pixmap;
}

}  // namespace

MorvanePlugin::MorvanePlugin(QObject* parent) : QObject(parent) {}

QString MorvanePlugin::name() const {
    return QStringLiteral("MorvaneCtl::Morvane");
}
QString MorvanePlugin::group() const {
    return QStringLiteral("Morvane");
}

QString MorvanePlugin::toolTip() const {
    return tr("Scales the form to the screen and its controls to the form");
}

QString MorvanePlugin::whatsThis() const {
    return tr(
        "Drop one Morvane on a form. At run time it scales the form to the screen it runs on, "
        "keeps it within size limits, centres it, saves and restores its geometry and rescales "
        "every control on it in proportion to the form.");
}

QString MorvanePlugin::includeFile() const {
    return QStringLiteral("morvane/morvane.h");
}

QIcon MorvanePlugin::icon() const {
    QIcon icon;
    for (int size : {16, 22, 32, 48}) icon.addPixmap(drawIcon(size));
    return icon;
}

bool MorvanePlugin::isContainer() const {
    return false;
}

// The control's face is 480 twips square, 32 pixels.
QString MorvanePlugin::domXml() const {
    return QStringLiteral(
        "<ui language=\"c++\">\n"
        " <widget class=\"MorvaneCtl::Morvane\" name=\"Morvane1\">\n"
        "  <property name=\"geometry\">\n"
        "   <rect><x>0</x><y>0</y><width>32</width><height>32</height></rect>\n"
        "  </property>\n"
        " </widget>\n"
        "</ui>\n");
}

QWidget* MorvanePlugin::createWidget(QWidget* parent) {
    auto* control = new MorvaneCtl::Morvane(parent);
    if (m_core) MorvaneDesigner::prepareForDesign(control, m_core);
    return control;
}

bool MorvanePlugin::isInitialized() const {
    return m_core != nullptr;
}

void MorvanePlugin::initialize(QDesignerFormEditorInterface* core) {
    if (m_core) return;
    m_core = core;
    QExtensionManager* manager = core->extensionManager();
    manager->registerExtensions(new MorvaneDesigner::AboutMenuFactory(manager),
                                Q_TYPEID(QDesignerTaskMenuExtension));
    manager->registerExtensions(new MorvaneDesigner::MorvanePropertySheetFactory(manager),
                                Q_TYPEID(QDesignerPropertySheetExtension));
}
