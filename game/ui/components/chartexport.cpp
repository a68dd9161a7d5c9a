// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/components/chartexport.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QImage>
#include <QImageWriter>
#include <QLabel>
#include <exception>

#include "ui/components/mschart.h"
#include "ui/windows/messages.h"

namespace tessaro::ui {
namespace {

CommonDialog::AnswerHook& answerHook() {
    static CommonDialog::AnswerHook hook;
    return hook;
}

CommonDialog::OpenAnswerHook& openAnswerHook() {
    static CommonDialog::OpenAnswerHook hook;
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

void CommonDialog::setOpenAnswerHook(OpenAnswerHook hook) {
    openAnswerHook() = std::move(hook);
}

QString CommonDialog::withDefaultExt(const QString& name) const {
    if (m_defaultExt.isEmpty() || !QFileInfo(name).suffix().isEmpty()) return name;
    return name.endsWith(u'.') ? name + m_defaultExt : name + u'.' + m_defaultExt;
}

void CommonDialog::setChoice(const QString& caption, const QStringList& options, int chosen) {
    m_choiceCaption = caption;
    m_choiceOptions = options;
    m_chosen = 0;
    choose(chosen);
}

void CommonDialog::choose(int option) {
    if (option >= 0 && option < m_choiceOptions.size()) m_chosen = option;
}

bool CommonDialog::checkFilters(QStringList& filters, const char* kind) {
    filters = nameFilters();
    if (m_filter.isEmpty() || !filters.isEmpty()) return true;
    m_error = QStringLiteral(
                  "Cannot show the %1 dialog: the filter \"%2\" is not a list of "
                  "\"Description|pattern\" pairs")
                  .arg(QLatin1String(kind), m_filter);
    return false;
}

std::optional<QStringList> CommonDialog::runDialog(QWidget* parent, bool save,
                                                   const QStringList& filters) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFiles);
    if (!m_dialogTitle.isEmpty()) dialog.setWindowTitle(m_dialogTitle);
    if (!m_initDir.isEmpty()) dialog.setDirectory(m_initDir);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    if (!m_defaultExt.isEmpty()) dialog.setDefaultSuffix(m_defaultExt);
    QComboBox* choice = nullptr;
    if (!m_choiceOptions.isEmpty()) {
        // A desktop's own dialog takes no controls of ours: the choice needs
        // Qt's, with its grid of captions and fields.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
            choice = new QComboBox(&dialog);
            choice->setObjectName("choiceBox");
            choice->addItems(m_choiceOptions);
            choice->setCurrentIndex(m_chosen);
            auto* caption = new QLabel(m_choiceCaption, &dialog);
            caption->setBuddy(choice);
            choice->setAccessibleName(QString(m_choiceCaption).remove(u'&').remove(u':'));
            const int row = grid->rowCount();
            grid->addWidget(caption, row, 0);
            grid->addWidget(choice, row, 1);
        }
    }
    std::optional<QStringList> answer;
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        answer = dialog.selectedFiles();
    if (answer && choice) choose(choice->currentIndex());
    // The keys go back to the window the dialog was shown over.
    if (parent && parent->window()->isVisible()) parent->window()->activateWindow();
    return answer;
}

bool CommonDialog::showSave(QWidget* parent) {
    m_fileName.clear();
    m_fileNames.clear();
    m_error.clear();
    QStringList filters;
    if (!checkFilters(filters, "save")) return false;

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
    } else if (const auto files = runDialog(parent, true, filters)) {
        answer = files->constFirst();
    }

    if (!answer || answer->trimmed().isEmpty()) {
        if (m_cancelError) m_error = QStringLiteral("Cancel was selected.");
        return false;
    }
    m_fileName = withDefaultExt(*answer);
    m_fileNames = {m_fileName};
    return true;
}

bool CommonDialog::showOpenMultiple(QWidget* parent) {
    m_fileName.clear();
    m_fileNames.clear();
    m_error.clear();
    QStringList filters;
    if (!checkFilters(filters, "open")) return false;

    std::optional<QStringList> answer;
    if (openAnswerHook()) {
        try {
            answer = openAnswerHook()(*this);
        } catch (const std::exception& e) {
            m_error = QStringLiteral("Cannot show the open dialog: %1").arg(e.what());
            return false;
        }
    } else if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        m_error = QStringLiteral("Cannot show the open dialog: the program has no windows");
        return false;
    } else {
        answer = runDialog(parent, false, filters);
    }

    if (answer) {
        for (const QString& name : *answer)
            if (!name.trimmed().isEmpty()) m_fileNames.append(name);
    }
    if (m_fileNames.isEmpty()) {
        if (m_cancelError) m_error = QStringLiteral("Cancel was selected.");
        return false;
    }
    m_fileName = m_fileNames.constFirst();
    return true;
}

void saveChartAsBitmap(QWidget* window, MSChart& chart, CommonDialog& dialog) {
    QString fileName;
    try {
        // The dialog may have served another command before.
        dialog.setFilter(QString::fromLatin1(kBitmapFilter));
        dialog.setDefaultExt(QString::fromLatin1(kBitmapExt));
        dialog.setCancelError(false);
        dialog.setChoice({}, {});
        dialog.setDialogTitle({});
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
