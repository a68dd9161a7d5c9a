// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
// Saving a chart as a Windows bitmap file: the save dialog each chart window
// carries, and the window's save button.
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

    // Shows a modal save dialog. True when a name was chosen; false on
    // cancel, on an empty name or when the dialog could not be shown, in
    // which case errorText() says why.
    bool showSave(QWidget* parent);
    QString fileName() const { return m_fileName; }  // "" unless the last showSave chose a name
    QString errorText() const { return m_error; }    // "" unless the last showSave failed

    // Tests answer the dialog instead of a person: the hook returns the name
    // typed, or nothing for Cancel; an exception it throws is a dialog that
    // could not be shown. An empty hook restores the real QFileDialog.
    using AnswerHook = std::function<std::optional<QString>(const CommonDialog&)>;
    static void setAnswerHook(AnswerHook hook);

private:
    QString withDefaultExt(const QString& name) const;

    QString m_filter;
    QString m_defaultExt;
    bool m_cancelError = false;
    QString m_fileName;
    QString m_error;
};

inline constexpr const char* kBitmapFilter = "Pictures (*.bmp)|*.bmp";
inline constexpr const char* kBitmapExt = "bmp";

// The chart windows' save button: asks for a file name, copies the chart to
// the clipboard and writes the clipboard's picture to that file as a Windows
// bitmap. Cancel does nothing; any failure shows one message box naming it.
void saveChartAsBitmap(QWidget* window, MSChart& chart, CommonDialog& dialog);

}  // namespace tessaro::ui
