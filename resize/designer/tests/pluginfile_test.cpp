// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The plugin file as Qt loads it outside Designer: its metadata, the widget
// box entry it describes, and the controls it creates when no Designer core
// initialised it (QUiLoader at run time).
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QJsonObject>
#include <QPluginLoader>
#include <QXmlStreamReader>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <memory>

#include "morvane/morvane.h"

namespace {

QPluginLoader& pluginLoader() {
    static QPluginLoader loader(QStringLiteral(MORVANE_PLUGIN_FILE));
    return loader;
}

QDesignerCustomWidgetInterface* widgetInterface() {
    return qobject_cast<QDesignerCustomWidgetInterface*>(pluginLoader().instance());
}

// The pixels of the icon that are not fully transparent.
int paintedPixels(const QIcon& icon, int size) {
    const QImage image = icon.pixmap(size, size).toImage();
    int painted = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0) ++painted;
    return painted;
}

TEST(DesignerPluginFile, loadsAsACustomWidgetPlugin) {
    QPluginLoader& loader = pluginLoader();
    ASSERT_TRUE(loader.load()) << loader.errorString().toStdString();
    EXPECT_EQ(loader.metaData().value(QStringLiteral("IID")).toString(),
              QStringLiteral("org.qt-project.Qt.QDesignerCustomWidgetInterface"));
    ASSERT_NE(widgetInterface(), nullptr)
        << "the root object is not a QDesignerCustomWidgetInterface";
}

TEST(DesignerPluginFile, describesTheControlForTheWidgetBox) {
    QDesignerCustomWidgetInterface* plugin = widgetInterface();
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(plugin->name(), QStringLiteral("MorvaneCtl::Morvane"));
    EXPECT_EQ(plugin->group(), QStringLiteral("Morvane"));
    EXPECT_EQ(plugin->includeFile(), QStringLiteral("morvane/morvane.h"));
    EXPECT_FALSE(plugin->isContainer());
    EXPECT_FALSE(plugin->toolTip().isEmpty());
    EXPECT_FALSE(plugin->whatsThis().isEmpty());
    EXPECT_FALSE(plugin->isInitialized()) << "nothing here called initialize()";

    // Drawn, not blank, and neither filling its square.
    const QIcon icon = plugin->icon();
    ASSERT_FALSE(icon.isNull());
    const int painted = paintedPixels(icon, 32);
    EXPECT_GT(painted, 100);
    EXPECT_LT(painted, 32 * 32);
}

TEST(DesignerPluginFile, domXmlIsATemplateOfTheControlClass) {
    QDesignerCustomWidgetInterface* plugin = widgetInterface();
    ASSERT_NE(plugin, nullptr);

    QXmlStreamReader xml(plugin->domXml());
    QString widgetClass, widgetName, rectTag;
    int widgets = 0;
    QMap<QString, int> rect;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("widget")) {
            ++widgets;
            widgetClass = xml.attributes().value(QLatin1String("class")).toString();
            widgetName = xml.attributes().value(QLatin1String("name")).toString();
        } else if (xml.name() == QLatin1String("x") || xml.name() == QLatin1String("y") ||
                   xml.name() == QLatin1String("width") || xml.name() == QLatin1String("height")) {
            const QString tag = xml.name().toString();
            rect[tag] = xml.readElementText().toInt();
        }
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(widgets, 1);
    EXPECT_EQ(widgetClass, plugin->name())
        << "Designer matches the template to the plugin by class";
    EXPECT_EQ(widgetName, QStringLiteral("Morvane1"));
    EXPECT_EQ(rect.value(QStringLiteral("width")), 32);
    EXPECT_EQ(rect.value(QStringLiteral("height")), 32);
}

TEST(DesignerPluginFile, createWidgetWithoutDesignerGivesARunTimeControl) {
    QDesignerCustomWidgetInterface* plugin = widgetInterface();
    ASSERT_NE(plugin, nullptr);

    auto form = std::make_unique<QWidget>();
    form->setObjectName(QStringLiteral("PluginRunTimeForm"));
    form->resize(400, 300);
    QWidget* created = plugin->createWidget(form.get());
    auto* control = qobject_cast<MorvaneCtl::Morvane*>(created);
    ASSERT_NE(control, nullptr) << "createWidget made a "
                                << (created ? created->metaObject()->className() : "null");
    EXPECT_EQ(control->parentWidget(), form.get());
    EXPECT_TRUE(control->UserMode());
    EXPECT_TRUE(control->isLoading()) << "at run time loading ends when the form is first shown";

    // A design-time binding would happen on the next event loop pass.
    QApplication::processEvents();
    EXPECT_TRUE(control->UserMode());

    control->CaptureDesignSize();
    form->show();
    QApplication::processEvents();
    EXPECT_FALSE(control->isLoading());
    EXPECT_TRUE(control->UserMode());
    EXPECT_EQ(control->containerParent(), form.get());
}

}  // namespace
