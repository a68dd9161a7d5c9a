// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "chartexport.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <exception>

#include "messages.h"
#include "mschart.h"

namespace tessaro::ui {
namespace {

CommonDialog::AnswerHook& answerHook() {
    static CommonDialog::AnswerHook hook;
    return hook;
}

// Writes the picture as an uncompressed 24-bit Windows bitmap, replacing
// the file if there is one. On failure, `error` says why.
bool writeBitmap(const QImage& picture, const QString& fileName, QString& error) {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        error = file.errorString();
        return false;
    }
    QImageWriter writer(&file, "BMP");
    if (!writer.write(picture.convertToFormat(QImage::Format_RGB32))) {
        error = writer.errorString();
        return false;
    }
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return false;
    }
    return true;
}

void fail(QWidget* window, const QString& description) {
    showMessage(window, {description.toStdString(), "", model::Icon::None});
}

}  // namespace

CommonDialog::CommonDialog(QObject* parent) : QObject(parent) {}

void CommonDialog::setFilter(const QString& filter) {
    m_filter = filter;
}

QStringList CommonDialog::nameFilters() const {
    const QStringList parts = m_filter.split(u'|');
    if (m_filter.isEmpty() || parts.size() % 2 != 0) return {};
    QStringList result;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString pattern = parts[i + 1].trimmed();
        if (description.isEmpty() || pattern.isEmpty()) return {};
        // Qt reads the patterns from the parentheses of a name filter; the
        // old form often has them in the description already.
        QString patterns = pattern;
        patterns.replace(u';', u' ');
        if (description.endsWith(u')') && description.contains(u'('))
            result.append(description);
        else
            result.append(description + QStringLiteral(" (") + patterns + u')');
    }
    return result;
}

void CommonDialog::setDefaultExt(const QString& ext) {
    m_defaultExt = ext.startsWith(u'.') ? ext.mid(1) : ext;
}

void CommonDialog::setCancelError(bool on) {
    m_cancelError = on;
}

void CommonDialog::setAnswerHook(AnswerHook hook) {
    answerHook() = std::move(hook);
}

QString CommonDialog::withDefaultExt(const QString& name) const {
    if (m_defaultExt.isEmpty() || !QFileInfo(name).suffix().isEmpty()) return name;
    return name.endsWith(u'.') ? name + m_defaultExt : name + u'.' + m_defaultExt;
}

bool CommonDialog::showSave(QWidget* parent) {
    m_fileName.clear();
    m_error.clear();
    const QStringList filters = nameFilters();
    if (!m_filter.isEmpty() && filters.isEmpty()) {
        m_error = QStringLiteral(
                      "Cannot show the save dialog: the filter \"%1\" is not a list of "
                      "\"Description|pattern\" pairs")
                      .arg(m_filter);
        return false;
    }

    std::optional<QString> answer;
    if (answerHook()) {
        try {
            answer = answerHook()(*this);
        } catch (const std::exception& e) {
            m_error = QStringLiteral("Cannot show the save dialog: %1").arg(e.what());
            return false;
        }
    } else if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        m_error = QStringLiteral("Cannot show the save dialog: the program has no windows");
        return false;
    } else {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        if (!filters.isEmpty()) dialog.setNameFilters(filters);
        if (!m_defaultExt.isEmpty()) dialog.setDefaultSuffix(m_defaultExt);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            answer = dialog.selectedFiles().constFirst();
        // The keys go back to the chart's window.
        if (parent && parent->window()->isVisible()) parent->window()->activateWindow();
    }

    if (!answer || answer->trimmed().isEmpty()) {
        if (m_cancelError) m_error = QStringLiteral("Cancel was selected.");
        return false;
    }
    m_fileName = withDefaultExt(*answer);
    return true;
}

void saveChartAsBitmap(QWidget* window, MSChart& chart, CommonDialog& dialog) {
    QString fileName;
    try {
        dialog.setFilter(QString::fromLatin1(kBitmapFilter));
        dialog.setDefaultExt(QString::fromLatin1(kBitmapExt));
        dialog.setCancelError(false);
        if (!dialog.showSave(window)) {
            if (!dialog.errorText().isEmpty()) fail(window, dialog.errorText());
            return;
        }
        fileName = dialog.fileName();
        if (fileName.isEmpty()) return;

        // The picture goes through the clipboard, as the players expect to
        // find the chart there afterwards.
        chart.editCopy();
        const QClipboard* clipboard = QGuiApplication::clipboard();
        const QImage picture = clipboard ? clipboard->image() : QImage();
        if (picture.isNull()) {
            fail(window,
                 QStringLiteral("Cannot save the chart to %1: the clipboard holds no picture")
                     .arg(fileName));
            return;
        }
        QString error;
        if (!writeBitmap(picture, fileName, error))
            fail(window, QStringLiteral("Cannot save the chart to %1: %2").arg(fileName, error));
    } catch (const std::exception& e) {
        const QString target = fileName.isEmpty() ? QStringLiteral("a file") : fileName;
        fail(window, QStringLiteral("Cannot save the chart to %1: %2").arg(target, e.what()));
    }
}

}  // namespace tessaro::ui
