// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/debrief/debrief.h"

#include <QApplication>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <cstdio>
#include <filesystem>

#include "model/debriefdata.h"
#include "model/gamefile.h"
#include "model/plaintext.h"
#include "tessaro/version.h"
#include "ui/debrief/debriefpages.h"

namespace tessaro::ui {
namespace {

std::string cannotWrite(const std::string& file, const QString& why) {
    return "The debrief cannot be written to " + file + ": " + why.toStdString() + ".";
}

}  // namespace

std::optional<Paper> paperFromName(std::string_view name) {
    const std::string lower = model::lowerAscii(name);
    if (lower == "a4") return Paper::A4;
    if (lower == "letter") return Paper::Letter;
    return std::nullopt;
}

std::string writeDebrief(const std::string& connectionString, const std::string& file,
                         Paper paper) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return "The debrief needs the program's Qt application, and none is running.";
    if (file.empty()) return "The debrief needs a file name.";

    std::optional<std::string> gamePath;
    try {
        gamePath = model::gameFilePath(connectionString);
    } catch (const std::exception& e) {
        return e.what();
    }
    // A slip of the keyboard must not turn the game into a report. A game
    // on a class server has no file to overwrite.
    std::error_code ec;
    if (gamePath && std::filesystem::equivalent(file, *gamePath, ec))
        return "The debrief is not written over the game database " + *gamePath + ".";

    model::DebriefRead read;
    try {
        read = model::readDebrief(connectionString);
    } catch (const std::exception& e) {
        // The store's words name the game and the cause.
        return e.what();
    }
    if (read.failure)
        return "No debrief written: " + read.failure->title + ": " + read.failure->text;

    // Written beside the file under a temporary name and renamed over it
    // only when complete, so a failure leaves no partial PDF and an older
    // debrief stays as it was.
    QSaveFile out(QFile::decodeName(file.c_str()));
    if (!out.open(QIODevice::WriteOnly)) return cannotWrite(file, out.errorString());
    try {
        QPdfWriter writer(&out);
        writer.setPageLayout(
            QPageLayout(QPageSize(paper == Paper::A4 ? QPageSize::A4 : QPageSize::Letter),
                        QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setResolution(96);
        writer.setTitle("Tessaro Debrief Report");
        writer.setCreator("Tessaro " TESSARO_VERSION);
        QPainter painter;
        if (!painter.begin(&writer)) {
            out.cancelWriting();
            return cannotWrite(file, "the PDF writer could not start");
        }
        debrief::paintPages(writer, painter, read.data);
        if (!painter.end()) {
            out.cancelWriting();
            return cannotWrite(file, "the PDF writer failed");
        }
    } catch (const std::exception& e) {
        out.cancelWriting();
        return cannotWrite(file, QString::fromStdString(e.what()));
    }
    if (!out.commit()) return cannotWrite(file, out.errorString());
    return {};
}

namespace {

// Qt's notes on its own set-up ("XDG_RUNTIME_DIR not set" and the like) mean
// nothing to a player at a terminal; what goes wrong reaches them as the
// writer's message.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        const QByteArray text = message.toLocal8Bit();
        std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stderr);
        std::fputc('\n', stderr);
    }
}

}  // namespace

HeadlessApplication::HeadlessApplication() {
    if (QCoreApplication::instance()) return;
    m_previousHandler = qInstallMessageHandler(quietMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static char name[] = "tessaro-cli";
    m_argv[0] = name;
    m_app = std::make_unique<QApplication>(m_argc, m_argv);
}

HeadlessApplication::~HeadlessApplication() {
    if (!m_app) return;
    m_app.reset();
    qInstallMessageHandler(m_previousHandler);
}

}  // namespace tessaro::ui
