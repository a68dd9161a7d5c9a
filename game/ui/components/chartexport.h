// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// The game's file dialog (save, and open of several files at once), and
// saving a chart as a Windows bitmap file with it: the chart windows' save
// button.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

namespace tessaro::ui {

class MSChart;

// The file dialog of a chart window, set up the old way: a filter of
// "Description|pattern" pairs and a default extension.
//
//   CommonDialog dialog;
//   dialog.setFilter("Pictures (*.bmp)|*.bmp");
//   dialog.setDefaultExt("bmp");
//   if (dialog.showSave(window)) save(dialog.fileName());
class CommonDialog : public QObject {
    Q_OBJECT

public:
    explicit CommonDialog(QObject* parent = nullptr);

    void setFilter(const QString& filter);
    QString filter() const { return m_filter; }
    // The filter as Qt's name filters ("Pictures (*.bmp)"); empty when the
    // filter is not made of "Description|pattern" pairs.
    QStringList nameFilters() const;

    // Appended, with a dot, to a name chosen without an extension.
    void setDefaultExt(const QString& ext);
    QString defaultExt() const { return m_defaultExt; }

    // With cancel-error on, a cancelled dialog counts as a failure
    // ("Cancel was selected.") instead of a plain cancel.
    void setCancelError(bool on);
    bool cancelError() const { return m_cancelError; }

    // A choice the dialog offers below the file name, such as the paper of a
    // report: a caption ("Paper:") and its options, one of them chosen. An
    // empty list of options shows none. The dialog keeps the option the
    // person chose; one outside the list is ignored.
    void setChoice(const QString& caption, const QStringList& options, int chosen = 0);
    QString choiceCaption() const { return m_choiceCaption; }
    QStringList choiceOptions() const { return m_choiceOptions; }
    int chosen() const { return m_chosen; }
    void choose(int option);

    // The title of the dialog; Qt's own ("Save As", "Open") when empty.
    void setDialogTitle(const QString& title) { m_dialogTitle = title; }
    QString dialogTitle() const { return m_dialogTitle; }
    // The folder the dialog starts in; Qt's choice when empty.
    void setInitDir(const QString& folder) { m_initDir = folder; }
    QString initDir() const { return m_initDir; }

    // Shows a modal save dialog. True when a name was chosen; false on
    // cancel, on an empty name or when the dialog could not be shown, in
    // which case errorText() says why.
    bool showSave(QWidget* parent);
    QString fileName() const { return m_fileName; }  // "" unless the last showSave chose a name
    QString errorText() const { return m_error; }    // "" unless the last dialog failed

    // Shows a modal dialog that opens existing files, as many at once as
    // the person selects. True when at least one was chosen, and
    // fileNames() holds them in the order chosen; false as for showSave.
    bool showOpenMultiple(QWidget* parent);
    QStringList fileNames() const { return m_fileNames; }

    // Tests answer the dialog instead of a person: the hook returns the name
    // typed, or nothing for Cancel, and may choose an option of the dialog's
    // choice; an exception it throws is a dialog that could not be shown.
    // An empty hook restores the real QFileDialog.
    using AnswerHook = std::function<std::optional<QString>(CommonDialog&)>;
    static void setAnswerHook(AnswerHook hook);
    // The same for the open dialog: the names selected, or nothing.
    using OpenAnswerHook = std::function<std::optional<QStringList>(CommonDialog&)>;
    static void setOpenAnswerHook(OpenAnswerHook hook);

private:
    QString withDefaultExt(const QString& name) const;
    // The filters as Qt's; false, with the error set, for a filter that is
    // none. `kind` names the dialog in the error.
    bool checkFilters(QStringList& filters, const char* kind);
    // Runs the real dialog; the selected files, or nothing on cancel.
    std::optional<QStringList> runDialog(QWidget* parent, bool save, const QStringList& filters);

    QString m_filter;
    QString m_defaultExt;
    bool m_cancelError = false;
    QString m_choiceCaption;
    QStringList m_choiceOptions;
    int m_chosen = 0;
    QString m_dialogTitle;
    QString m_initDir;
    QString m_fileName;
    QStringList m_fileNames;
    QString m_error;
};

inline constexpr const char* kBitmapFilter = "Pictures (*.bmp)|*.bmp";
inline constexpr const char* kBitmapExt = "bmp";

// The chart windows' save button: asks for a file name, copies the chart to
// the clipboard and writes the clipboard's picture to that file as a Windows
// bitmap. Cancel does nothing; any failure shows one message box naming it.
void saveChartAsBitmap(QWidget* window, MSChart& chart, CommonDialog& dialog);

}  // namespace tessaro::ui
