// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/debrief/debriefexport.h"

#include <QApplication>
#include <QFile>
#include <exception>

#include "ui/components/chartexport.h"
#include "ui/debrief/debrief.h"
#include "ui/windows/messages.h"

namespace tessaro::ui {
namespace {

void tell(QWidget* window, const std::string& text, model::Icon icon) {
    showMessage(window, {text, kDebriefTitle, icon});
}

// The wait cursor while the report is drawn, which takes a moment.
class BusyCursor {
public:
    BusyCursor() : m_set(qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
        if (m_set) QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyCursor() {
        if (m_set) QApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    const bool m_set;
};

}  // namespace

void saveDebriefReport(QWidget* window, CommonDialog& dialog, const std::string& connectionString) {
    dialog.setFilter(QString::fromLatin1(kPdfFilter));
    dialog.setDefaultExt(QString::fromLatin1(kPdfExt));
    dialog.setCancelError(false);
    dialog.setDialogTitle(QString::fromLatin1(kDebriefTitle));
    dialog.setChoice(QString::fromLatin1(kPaperCaption),
                     {QString::fromLatin1(kPaperA4), QString::fromLatin1(kPaperLetter)}, 0);
    if (!dialog.showSave(window)) {
        if (!dialog.errorText().isEmpty())
            tell(window, dialog.errorText().toStdString(), model::Icon::Critical);
        return;
    }
    const QString file = dialog.fileName();
    const Paper paper = dialog.chosen() == 1 ? Paper::Letter : Paper::A4;

    std::string error;
    {
        const BusyCursor busy;
        try {
            error = writeDebrief(connectionString, QFile::encodeName(file).toStdString(), paper);
        } catch (const std::exception& e) {
            error = e.what();
        }
    }
    if (!error.empty()) {
        tell(window, error, model::Icon::Critical);
        return;
    }
    tell(window,
         "The debrief report is written to " + file.toStdString() + " (" +
             (paper == Paper::A4 ? kPaperA4 : kPaperLetter) + " paper).",
         model::Icon::None);
}

}  // namespace tessaro::ui
