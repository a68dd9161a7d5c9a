// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// Helpers shared by the resize tests: a stand-in screen, a private settings
// store, a recorder that answers the control's message boxes, the .ui form
// loader, and waiting for the offscreen platform to deliver window events.
#pragma once

#include <morvane/messagebox.h>
#include <morvane/morvane.h>
#include <morvane/screen.h>

#include <QElapsedTimer>
#include <QMessageBox>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>
#include <ostream>
#include <vector>

// Readable failure messages for Qt's geometry and text types.
inline void PrintTo(const QRect& r, std::ostream* os) {
    *os << "QRect(" << r.x() << "," << r.y() << " " << r.width() << "x" << r.height() << ")";
}
inline void PrintTo(const QSize& s, std::ostream* os) {
    *os << "QSize(" << s.width() << "x" << s.height() << ")";
}
inline void PrintTo(const QPoint& p, std::ostream* os) {
    *os << "QPoint(" << p.x() << "," << p.y() << ")";
}
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace resizetest {

// Twips per pixel of every stand-in screen the tests use.
constexpr int TwipsPerPixel = 15;

// Stands in a screen of w x h pixels for as long as it lives.
class ScreenStandIn {
public:
    ScreenStandIn(int w, int h) { set(w, h); }
    ~ScreenStandIn() { MorvaneCtl::setScreenOverride(std::nullopt); }
    void set(int w, int h) {
        MorvaneCtl::setScreenOverride(MorvaneCtl::ScreenMetrics::ofPixels(w, h));
    }
    ScreenStandIn(const ScreenStandIn&) = delete;
    ScreenStandIn& operator=(const ScreenStandIn&) = delete;
};

// Sends the per-user settings of this process to a fresh temporary folder.
class PrivateSettings {
public:
    PrivateSettings();
    QString path() const { return m_dir.path(); }
    // The value the control keeps for a form, as the store holds it.
    static QString lastSavedState(const QString& app, const QString& formName);
    static void setLastSavedState(const QString& app, const QString& formName, const QString& text);
    static bool hasLastSavedState(const QString& app, const QString& formName);

private:
    QTemporaryDir m_dir;
};

// Answers the control's message boxes with a fixed button and records them.
class MessageBoxRecorder {
public:
    struct Call {
        QMessageBox::Icon icon;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons;
    };
    explicit MessageBoxRecorder(QMessageBox::StandardButton answer = QMessageBox::No);
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    QMessageBox::StandardButton answer;
    std::vector<Call> calls;

private:
    MorvaneCtl::MessageBoxHook m_previous;
};

// Records what the library logs in its category "morvane" while it lives;
// other messages go on to the handler before it.
class LogRecorder {
public:
    LogRecorder();
    ~LogRecorder();
    LogRecorder(const LogRecorder&) = delete;
    LogRecorder& operator=(const LogRecorder&) = delete;

    QStringList warnings;

private:
    QtMessageHandler m_previous;
};

// Loads tests/resize/forms/<file> with Qt's form loader; the resize control
// is made for the class name "MorvaneCtl::Morvane". The form is renamed to a
// name of its own for the running test, so forms of earlier tests in the same
// process never share its layout records.
std::unique_ptr<QWidget> loadForm(const QString& file);

// A form name no other test uses: base, the test's name and a counter.
QString uniqueFormName(const QString& base);

// The resize control on a form.
MorvaneCtl::Morvane* resizerOf(QWidget* form);

// Runs the event loop for about ms milliseconds.
void settle(int ms = 30);

// Runs the event loop until pred holds or timeoutMs passed; returns pred().
template <class Pred>
bool waitFor(Pred pred, int timeoutMs = 2000) {
    QElapsedTimer timer;
    timer.start();
    while (!pred() && timer.elapsed() < timeoutMs) settle(5);
    return pred();
}

// Shows a form and lets the platform deliver what showing it causes.
void showAndSettle(QWidget* form);

// A rectangle of pixels given in twips (exact multiples of 15).
inline QRect pixelsOfTwips(int l, int t, int w, int h) {
    return QRect(l / TwipsPerPixel, t / TwipsPerPixel, w / TwipsPerPixel, h / TwipsPerPixel);
}

}  // namespace resizetest
