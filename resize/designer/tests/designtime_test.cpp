// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The plugin inside a real Designer core (Designer's own form editor
// components, headless): controls placed on or loaded into a form window are
// in design mode, bound to the form under design, and everything they
// persist is written when the form is saved.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMetaProperty>
#include <QPluginLoader>
#include <QTemporaryFile>
#include <QUndoStack>
#include <QXmlStreamReader>
#include <QtDesigner/QDesignerActionEditorInterface>
#include <QtDesigner/QDesignerComponents>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerFormWindowCursorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>
#include <QtDesigner/QDesignerFormWindowManagerInterface>
#include <QtDesigner/QDesignerIntegration>
#include <QtDesigner/QDesignerObjectInspectorInterface>
#include <QtDesigner/QDesignerPropertyEditorInterface>
#include <QtDesigner/QDesignerPropertySheetExtension>
#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QExtensionManager>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <map>
#include <memory>

#include "messageboxrecorder.h"
#include "morvane/morvane.h"
#include "morvane/screen.h"

namespace {

using MorvaneCtl::Morvane;

// What owns Designer's own windows around the core (its property editor,
// object inspector and action editor). In Designer its workbench owns them
// and deletes them when it quits; here they are deleted at the end of the
// run, while the application still runs: a window without an owner would
// outlive the application, and leak.
QWidget*& designerWindows() {
    static QWidget* holder = nullptr;
    return holder;
}

class DesignerWindowsEnvironment : public ::testing::Environment {
public:
    void TearDown() override {
        delete designerWindows();
        designerWindows() = nullptr;
    }
};
[[maybe_unused]] ::testing::Environment* const designerWindowsEnvironment =
    ::testing::AddGlobalTestEnvironment(new DesignerWindowsEnvironment);

// One core for the whole run, as in Designer: it loads the plugins once,
// from <library path>/designer.
QDesignerFormEditorInterface* designerCore() {
    static QDesignerFormEditorInterface* core = [] {
        QCoreApplication::addLibraryPath(QStringLiteral(MORVANE_PLUGIN_ROOT));
        // The design screen a first placement measures.
        MorvaneCtl::setScreenOverride(MorvaneCtl::ScreenMetrics::ofPixels(1024, 768));
        QDesignerComponents::initializeResources();
        QDesignerFormEditorInterface* created = QDesignerComponents::createFormEditor(qApp);
        QDesignerComponents::initializePlugins(created);
        // Designer's own windows around the core: form windows ask the
        // integration about its features, the plugin refreshes the editor.
        QWidget* windows = designerWindows() = new QWidget;
        created->setPropertyEditor(QDesignerComponents::createPropertyEditor(created, windows));
        created->setObjectInspector(QDesignerComponents::createObjectInspector(created, windows));
        created->setActionEditor(QDesignerComponents::createActionEditor(created, windows));
        new QDesignerIntegration(created, created);
        return created;
    }();
    return core;
}

QDesignerCustomWidgetInterface* loadedPlugin() {
    static QPluginLoader loader(QStringLiteral(MORVANE_PLUGIN_FILE));
    return qobject_cast<QDesignerCustomWidgetInterface*>(loader.instance());
}

// The <property> values Designer writes for one widget, as text.
QMap<QString, QString> savedProperties(const QString& ui, const QString& widgetName) {
    QMap<QString, QString> values;
    QXmlStreamReader xml(ui);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != QLatin1String("widget") ||
            xml.attributes().value(QLatin1String("name")) != widgetName)
            continue;
        // The widget's own <property> elements, each around one value element.
        while (xml.readNextStartElement()) {
            if (xml.name() != QLatin1String("property")) {
                xml.skipCurrentElement();
                continue;
            }
            const QString name = xml.attributes().value(QLatin1String("name")).toString();
            if (xml.readNextStartElement()) {
                values.insert(name, xml.readElementText(QXmlStreamReader::IncludeChildElements));
                xml.skipCurrentElement();
            }
        }
        break;
    }
    return values;
}

class DesignTime : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(designerCore(), nullptr);
        m_core = designerCore();
    }
    void TearDown() override { m_frame.reset(); }

    // Opens a form as Designer does and lets the plugin bind its control.
    Morvane* open(const QString& fileName) {
        // Designer keeps every form window inside a window of its own (a
        // sub-window of its workspace); its event filters count on that.
        m_frame = std::make_unique<QWidget>();
        m_window = m_core->formWindowManager()->createFormWindow(m_frame.get());
        QFile file(QStringLiteral(MORVANE_FORMS_DIR "/") + fileName);
        if (!file.open(QIODevice::ReadOnly)) {
            ADD_FAILURE() << "cannot open " << file.fileName().toStdString();
            return nullptr;
        }
        QString error;
        if (!m_window->setContents(&file, &error)) {
            ADD_FAILURE() << "Designer refused " << fileName.toStdString() << ": "
                          << error.toStdString();
            return nullptr;
        }
        // Designer shows the form window before it returns to its event loop.
        // The form window stretches the form to its own size; Designer sizes
        // it to the form.
        m_window->resize(m_window->mainContainer()->size());
        m_frame->show();
        QApplication::processEvents();
        auto* control = m_window->mainContainer()->findChild<Morvane*>(QStringLiteral("Morvane1"));
        if (!control) ADD_FAILURE() << "no Morvane in " << fileName.toStdString();
        return control;
    }

    QMap<QString, QString> saved() const {
        return savedProperties(m_window->contents(), QStringLiteral("Morvane1"));
    }

    QDesignerFormEditorInterface* m_core = nullptr;
    std::unique_ptr<QWidget> m_frame;
    QDesignerFormWindowInterface* m_window = nullptr;
};

TEST_F(DesignTime, theCoreInitialisesThePlugin) {
    QDesignerCustomWidgetInterface* plugin = loadedPlugin();
    ASSERT_NE(plugin, nullptr);
    EXPECT_TRUE(plugin->isInitialized())
        << "Designer did not find the plugin under " MORVANE_PLUGIN_ROOT;
}

TEST_F(DesignTime, aNewlyPlacedControlMeasuresTheDesignScreen) {
    MessageBoxRecorder boxes;
    Morvane* control = open(QStringLiteral("placed.ui"));
    ASSERT_NE(control, nullptr);

    EXPECT_FALSE(control->UserMode());
    EXPECT_FALSE(control->isLoading());
    EXPECT_FALSE(control->receivedPersistedValues());
    EXPECT_EQ(control->containerParent(), m_window->mainContainer());
    EXPECT_EQ(control->ScreenWidthDT(), 1024);
    EXPECT_EQ(control->ScreenHeightDT(), 768);
    EXPECT_EQ(control->Resolution(), MorvaneCtl::Res_1024x768);
    // The form it was dropped on, 640 x 480 pixels.
    EXPECT_EQ(control->property("FormWidthDT").toInt(), 640 * 15);
    EXPECT_EQ(control->property("FormHeightDT").toInt(), 480 * 15);
    EXPECT_EQ(control->property("FormScaleWidthDT").toInt(), 640 * 15);
    EXPECT_EQ(control->property("FormScaleHeightDT").toInt(), 480 * 15);
    EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.shown().join(u'\n').toStdString();
}

TEST_F(DesignTime, savingWritesEveryPersistedKey) {
    Morvane* control = open(QStringLiteral("placed.ui"));
    ASSERT_NE(control, nullptr);

    const QMap<QString, QString> values = saved();
    for (const QString& key : Morvane::persistedKeys())
        EXPECT_TRUE(values.contains(key)) << key.toStdString() << " not saved";
    // The measured screen is saved as measured.
    EXPECT_EQ(values.value(QStringLiteral("ScreenWidth")), QStringLiteral("1024"));
    // Defaults are written too, and the values are the control's.
    EXPECT_EQ(values.value(QStringLiteral("AutoCenterForm")), QStringLiteral("false"));
    EXPECT_EQ(values.value(QStringLiteral("ScreenWidthDT")), QStringLiteral("1024"));
    EXPECT_EQ(values.value(QStringLiteral("ScreenHeightDT")), QStringLiteral("768"));
    EXPECT_TRUE(values.value(QStringLiteral("Resolution")).endsWith(QStringLiteral("Res_1024x768")))
        << values.value(QStringLiteral("Resolution")).toStdString();
}

TEST_F(DesignTime, aLoadedControlKeepsItsSavedValues) {
    MessageBoxRecorder boxes;
    Morvane* control = open(QStringLiteral("saved.ui"));
    ASSERT_NE(control, nullptr);

    EXPECT_FALSE(control->UserMode());
    EXPECT_FALSE(control->isLoading());
    EXPECT_TRUE(control->receivedPersistedValues());
    EXPECT_EQ(control->containerParent(), m_window->mainContainer());
    // Designed on another screen: not measured again on this one.
    EXPECT_EQ(control->ScreenWidthDT(), 1280);
    EXPECT_EQ(control->ScreenHeightDT(), 1024);
    EXPECT_EQ(control->Resolution(), MorvaneCtl::Res_1280x1024);
    EXPECT_EQ(control->MaxFormWidth(), 15000);
    EXPECT_EQ(control->MinFormHeight(), -5);
    EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.shown().join(u'\n').toStdString();
    EXPECT_FALSE(m_window->isDirty()) << "opening a form does not modify it";

    const QMap<QString, QString> values = saved();
    EXPECT_EQ(values.value(QStringLiteral("MaxFormWidth")), QStringLiteral("15000"));
    EXPECT_EQ(values.value(QStringLiteral("ScreenWidthDT")), QStringLiteral("1280"));
    EXPECT_EQ(values.value(QStringLiteral("MaxFormHeight")), QStringLiteral("0"));
}

TEST_F(DesignTime, aChangeMarksTheFormModifiedUnlessTheWarningIsDeclined) {
    Morvane* control = open(QStringLiteral("saved.ui"));
    ASSERT_NE(control, nullptr);

    m_window->setDirty(false);
    control->setMaxFormHeight(7200);
    EXPECT_TRUE(m_window->isDirty());
    EXPECT_EQ(saved().value(QStringLiteral("MaxFormHeight")), QStringLiteral("7200"));

    // The design screen is changed only when the warning is answered Yes.
    m_window->setDirty(false);
    {
        MessageBoxRecorder no(QMessageBox::No);
        control->setScreenWidthDT(1600);
        EXPECT_EQ(no.shown().size(), 1);
    }
    EXPECT_EQ(control->ScreenWidthDT(), 1280);
    EXPECT_FALSE(m_window->isDirty()) << "No leaves the form as it was";
    {
        MessageBoxRecorder yes(QMessageBox::Yes);
        control->setScreenWidthDT(1600);
        EXPECT_EQ(yes.shown().size(), 1);
    }
    EXPECT_EQ(control->ScreenWidthDT(), 1600);
    EXPECT_TRUE(m_window->isDirty());
    EXPECT_EQ(saved().value(QStringLiteral("ScreenWidthDT")), QStringLiteral("1600"));
}

TEST_F(DesignTime, savedValuesAreWrittenForQtsPropertySystem) {
    Morvane* control = open(QStringLiteral("placed.ui"));
    ASSERT_NE(control, nullptr);
    // stdset="0" makes uic hand the values over with setProperty(), the way
    // a loader does, so that a compiled form takes them without a question.
    const QString ui = m_window->contents();
    for (const QString& key : Morvane::persistedKeys()) {
        EXPECT_TRUE(ui.contains(QStringLiteral("<property name=\"%1\" stdset=\"0\">").arg(key)))
            << key.toStdString();
    }
}

TEST_F(DesignTime, aDeclinedEditInThePropertyEditorLeavesNothingToUndo) {
    Morvane* control = open(QStringLiteral("saved.ui"));
    ASSERT_NE(control, nullptr);
    QUndoStack* history = m_window->commandHistory();
    ASSERT_NE(history, nullptr);
    m_window->setDirty(false);
    const int before = history->count();

    // What Designer does with an edit in its property editor: a command on
    // the form's undo stack that writes the property.
    {
        MessageBoxRecorder no(QMessageBox::No);
        m_window->cursor()->setWidgetProperty(control, QStringLiteral("ScreenWidthDT"), 1600);
        QApplication::processEvents();
        EXPECT_EQ(no.shown().size(), 1);
    }
    EXPECT_EQ(control->ScreenWidthDT(), 1280);
    EXPECT_EQ(history->count(), before);
    EXPECT_EQ(history->index(), before);
    EXPECT_FALSE(m_window->isDirty());

    // An edit answered Yes stays on the stack and undoes like any other.
    {
        MessageBoxRecorder yes(QMessageBox::Yes);
        m_window->cursor()->setWidgetProperty(control, QStringLiteral("ScreenWidthDT"), 1600);
        QApplication::processEvents();
        EXPECT_EQ(control->ScreenWidthDT(), 1600);
        EXPECT_EQ(history->count(), before + 1);
        EXPECT_TRUE(m_window->isDirty());
        history->undo();
        QApplication::processEvents();
        EXPECT_EQ(control->ScreenWidthDT(), 1280);
    }
}

TEST_F(DesignTime, resizingTheFormUpdatesTheDesignRecord) {
    Morvane* control = open(QStringLiteral("saved.ui"));
    ASSERT_NE(control, nullptr);

    m_window->mainContainer()->resize(700, 500);
    QApplication::processEvents();
    EXPECT_EQ(control->property("FormScaleWidthDT").toInt(), 700 * 15);
    EXPECT_EQ(control->property("FormScaleHeightDT").toInt(), 500 * 15);
    const QMap<QString, QString> values = saved();
    EXPECT_EQ(values.value(QStringLiteral("FormScaleWidthDT")), QString::number(700 * 15));
    EXPECT_EQ(values.value(QStringLiteral("FormScaleHeightDT")), QString::number(500 * 15));
    EXPECT_EQ(values.value(QStringLiteral("FormWidthDT")),
              QString::number(control->property("FormWidthDT").toInt()));
}

TEST_F(DesignTime, theDesignRecordAndTheMeasuredScreenAreReadOnlyTheRestEditable) {
    Morvane* control = open(QStringLiteral("saved.ui"));
    ASSERT_NE(control, nullptr);
    auto* sheet =
        qt_extension<QDesignerPropertySheetExtension*>(m_core->extensionManager(), control);
    ASSERT_NE(sheet, nullptr);
    const QStringList readOnly{
        QStringLiteral("FormHeightDT"),      QStringLiteral("FormWidthDT"),
        QStringLiteral("FormScaleHeightDT"), QStringLiteral("FormScaleWidthDT"),
        QStringLiteral("ScreenHeight"),      QStringLiteral("ScreenWidth")};
    for (const QString& key : Morvane::persistedKeys()) {
        const int index = sheet->indexOf(key);
        ASSERT_GE(index, 0) << key.toStdString();
        EXPECT_TRUE(sheet->isVisible(index)) << key.toStdString();
        EXPECT_EQ(sheet->isEnabled(index), !readOnly.contains(key)) << key.toStdString();
        EXPECT_TRUE(sheet->isChanged(index)) << key.toStdString() << " would not be saved";
    }
    // Designer's own properties are left as Designer has them.
    EXPECT_TRUE(sheet->isEnabled(sheet->indexOf(QStringLiteral("objectName"))));
}

// Every property, set to a value other than its default, is saved into the
// .ui file and read back from it by Designer.
TEST_F(DesignTime, everyPropertyRoundTripsThroughAUiFile) {
    Morvane* control = open(QStringLiteral("placed.ui"));
    ASSERT_NE(control, nullptr);
    {
        MessageBoxRecorder yes(QMessageBox::Yes);
        control->setProperty("Resolution", QVariant::fromValue(MorvaneCtl::Res_1600x1200));
        control->setProperty("ScreenHeightDT", 1200);
        control->setProperty("ScreenWidthDT", 1600);
    }
    int n = 0;
    for (const QString& key : Morvane::persistedKeys()) {
        const QByteArray name = key.toLatin1();
        const QVariant now = control->property(name.constData());
        if (now.typeId() == QMetaType::Bool)
            control->setProperty(name.constData(), !now.toBool());
        else if (now.typeId() == QMetaType::Int && !key.startsWith(QLatin1String("Screen")))
            control->setProperty(name.constData(), 1000 + 7 * n++);
    }
    const QString ui = m_window->contents();
    std::map<QString, QVariant> before;
    for (const QString& key : Morvane::persistedKeys())
        before[key] = control->property(key.toLatin1().constData());

    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.write(ui.toUtf8());
    file.seek(0);
    auto frame = std::make_unique<QWidget>();
    QDesignerFormWindowInterface* window =
        m_core->formWindowManager()->createFormWindow(frame.get());
    QString error;
    ASSERT_TRUE(window->setContents(&file, &error)) << error.toStdString();
    frame->show();
    QApplication::processEvents();
    auto* again = window->mainContainer()->findChild<Morvane*>(QStringLiteral("Morvane1"));
    ASSERT_NE(again, nullptr);
    for (const QString& key : Morvane::persistedKeys())
        EXPECT_EQ(again->property(key.toLatin1().constData()), before[key]) << key.toStdString();
}

TEST_F(DesignTime, aControlOutsideAFormWindowStaysInert) {
    // Designer's drag image and its preview create controls with no form
    // window around them.
    QDesignerCustomWidgetInterface* plugin = loadedPlugin();
    ASSERT_NE(plugin, nullptr);
    ASSERT_TRUE(plugin->isInitialized());
    MessageBoxRecorder boxes;
    auto holder = std::make_unique<QWidget>();
    auto* control = qobject_cast<Morvane*>(plugin->createWidget(holder.get()));
    ASSERT_NE(control, nullptr);
    QApplication::processEvents();
    EXPECT_FALSE(control->UserMode());
    EXPECT_TRUE(control->isLoading());
    holder->show();
    QApplication::processEvents();
    EXPECT_TRUE(control->isLoading()) << "a design-time control does not finish loading by itself";
    EXPECT_TRUE(boxes.shown().isEmpty());
}

TEST_F(DesignTime, theContextMenuOffersTheAboutBox) {
    Morvane* control = open(QStringLiteral("saved.ui"));
    ASSERT_NE(control, nullptr);
    auto* menu = qt_extension<QDesignerTaskMenuExtension*>(m_core->extensionManager(), control);
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->taskActions();
    ASSERT_EQ(actions.size(), 1);
    EXPECT_EQ(actions.first()->text(), QStringLiteral("About Morvane..."));

    MessageBoxRecorder boxes(QMessageBox::Ok);
    actions.first()->trigger();
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_TRUE(boxes.shown().first().contains(MorvaneCtl::versionText()))
        << boxes.shown().first().toStdString();
}

}  // namespace
