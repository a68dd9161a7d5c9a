// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
#include "resizetest.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QThread>
#include <QUiLoader>

namespace resizetest {

PrivateSettings::PrivateSettings() {
    // On Unix the native format is the INI format; both are pointed here.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
}

// The control opens the store as QSettings(UserScope, application name).
QString PrivateSettings::lastSavedState(const QString& app, const QString& formName) {
    QSettings s(QSettings::UserScope, app);
    return s.value(formName + QStringLiteral("/LastSavedState")).toString();
}

void PrivateSettings::setLastSavedState(const QString& app, const QString& formName,
                                        const QString& text) {
    QSettings s(QSettings::UserScope, app);
    s.setValue(formName + QStringLiteral("/LastSavedState"), text);
    s.sync();
}

bool PrivateSettings::hasLastSavedState(const QString& app, const QString& formName) {
    QSettings s(QSettings::UserScope, app);
    return s.contains(formName + QStringLiteral("/LastSavedState"));
}

namespace {
LogRecorder* t_log = nullptr;
}  // namespace

LogRecorder::LogRecorder() {
    t_log = this;
    m_previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (t_log && context.category && qstrcmp(context.category, "morvane") == 0) {
                if (type == QtWarningMsg) t_log->warnings.append(text);
                return;
            }
            if (t_log && t_log->m_previous) t_log->m_previous(type, context, text);
        });
}

LogRecorder::~LogRecorder() {
    qInstallMessageHandler(m_previous);
    t_log = nullptr;
}

MessageBoxRecorder::MessageBoxRecorder(QMessageBox::StandardButton a) : answer(a) {
    m_previous = MorvaneCtl::setMessageBoxHook([this](QMessageBox::Icon icon, const QString& title,
                                                      const QString& text,
                                                      QMessageBox::StandardButtons buttons) {
        calls.push_back({icon, title, text, buttons});
        return answer;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() {
    MorvaneCtl::setMessageBoxHook(m_previous);
}

namespace {

class FormLoader : public QUiLoader {
public:
    QWidget* createWidget(const QString& className, QWidget* parent, const QString& name) override {
        if (className == QLatin1String("MorvaneCtl::Morvane")) {
            auto* w = new MorvaneCtl::Morvane(parent);
            w->setObjectName(name);
            return w;
        }
        return QUiLoader::createWidget(className, parent, name);
    }
};

}  // namespace

QString uniqueFormName(const QString& base) {
    static int counter = 0;
    QString test;
    if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info())
        test = QString::fromLatin1(info->test_suite_name()) + QLatin1Char('_') +
               QString::fromLatin1(info->name());
    for (QChar& c : test)
        if (!c.isLetterOrNumber()) c = QLatin1Char('_');
    return base + QLatin1Char('_') + test + QLatin1Char('_') + QString::number(++counter);
}

std::unique_ptr<QWidget> loadForm(const QString& file) {
    QFile f(QStringLiteral(RESIZE_FORMS_DIR "/") + file);
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot open form " << file.toStdString();
        return nullptr;
    }
    FormLoader loader;
    std::unique_ptr<QWidget> form(loader.load(&f));
    if (!form) {
        ADD_FAILURE() << "cannot load form " << file.toStdString() << ": "
                      << loader.errorString().toStdString();
        return nullptr;
    }
    form->setObjectName(uniqueFormName(form->objectName()));
    return form;
}

MorvaneCtl::Morvane* resizerOf(QWidget* form) {
    return form->findChild<MorvaneCtl::Morvane*>();
}

void settle(int ms) {
    QElapsedTimer timer;
    timer.start();
    do {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    } while (timer.elapsed() < ms);
}

void showAndSettle(QWidget* form) {
    form->show();
    settle();
}

}  // namespace resizetest
