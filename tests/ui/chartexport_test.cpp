// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "ui/components/chartexport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>
#include <cerrno>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <vector>

#include "ui/components/mschart.h"
#include "ui/windows/messages.h"

namespace tessaro::ui {
namespace {

class ChartExport : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        setMessageRecorder([this](const model::MessageBox& box) { messages.push_back(box); });
        chart.resize(500, 340);
        chart.setRowCount(3);
        chart.setColumnCount(2);
        for (int r = 1; r <= 3; ++r) {
            chart.setRow(r);
            chart.setRowLabel(QString("Row %1").arg(r));
            for (int c = 1; c <= 2; ++c) {
                chart.setColumn(c);
                chart.setData(QString::number(r * 20 + c * 7));
            }
        }
        QGuiApplication::clipboard()->setText("held before");
    }

    void TearDown() override {
        CommonDialog::setAnswerHook({});
        setMessageRecorder({});
    }

    // Answers the next dialogs with `typed` (nothing = Cancel), noting how
    // the dialog was set up when it was shown.
    void answer(std::optional<QString> typed) {
        CommonDialog::setAnswerHook([this, typed](const CommonDialog& d) {
            seenFilter = d.filter();
            seenExt = d.defaultExt();
            seenCancelError = d.cancelError();
            return typed;
        });
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    bool nothingWritten() const { return QDir(dir.path()).isEmpty(); }
    static QClipboard* clipboard() { return QGuiApplication::clipboard(); }
    static bool samePicture(const QImage& a, const QImage& b) {
        return !a.isNull() &&
               a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
    }
    QString onlyMessage() const {
        EXPECT_EQ(messages.size(), 1u);
        if (messages.empty()) return {};
        EXPECT_EQ(messages[0].title, "");  // the program's title
        EXPECT_EQ(messages[0].icon, model::Icon::None);
        return QString::fromStdString(messages[0].text);
    }

    QTemporaryDir dir;
    MSChart chart;
    CommonDialog dialog;
    std::vector<model::MessageBox> messages;
    QString seenFilter;
    QString seenExt;
    bool seenCancelError = true;
};

TEST_F(ChartExport, aNameWithoutExtensionGetsAnUncompressedBmpOfThePicture) {
    dialog.setFilter("Text (*.txt)|*.txt");
    dialog.setCancelError(true);
    answer(path("chart"));
    saveChartAsBitmap(nullptr, chart, dialog);
    EXPECT_EQ(seenFilter, "Pictures (*.bmp)|*.bmp");
    EXPECT_EQ(seenExt, "bmp");
    EXPECT_FALSE(seenCancelError);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(dialog.fileName(), path("chart.bmp"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"chart.bmp"});

    EXPECT_TRUE(samePicture(QImage(path("chart.bmp"), "BMP"), chart.picture()));
    EXPECT_TRUE(samePicture(clipboard()->image(), chart.picture()));

    // BITMAPFILEHEADER (14 bytes), then BITMAPINFOHEADER.
    QFile file(path("chart.bmp"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_GE(bytes.size(), 54);
    const auto le32 = [&bytes](int at) { return qFromLittleEndian<quint32>(bytes.data() + at); };
    EXPECT_EQ(bytes.left(2), "BM");
    EXPECT_EQ(le32(2), static_cast<quint32>(bytes.size()));
    EXPECT_EQ(le32(18), static_cast<quint32>(chart.width()));
    EXPECT_EQ(le32(22), static_cast<quint32>(chart.height()));  // positive: rows bottom-up
    const auto bits = qFromLittleEndian<quint16>(bytes.data() + 28);
    EXPECT_TRUE(bits == 24 || bits == 32) << bits;
    EXPECT_EQ(le32(30), 0u);  // BI_RGB: no compression
}

TEST_F(ChartExport, anExistingFileIsReplaced) {
    QFile old(path("old.bmp"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(2'000'000, 'x'));
    old.close();
    answer(path("old.bmp"));
    saveChartAsBitmap(nullptr, chart, dialog);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(samePicture(QImage(path("old.bmp"), "BMP"), chart.picture()));
}

TEST_F(ChartExport, cancelOrABlankNameWritesNothingAndLeavesTheClipboard) {
    for (const std::optional<QString>& typed :
         {std::optional<QString>(), std::optional(QString("  "))}) {
        answer(typed);
        saveChartAsBitmap(nullptr, chart, dialog);
        EXPECT_TRUE(nothingWritten());
        EXPECT_EQ(clipboard()->text(), "held before");
        EXPECT_FALSE(clipboard()->mimeData()->hasImage());
        EXPECT_TRUE(dialog.fileName().isEmpty());
        EXPECT_TRUE(messages.empty());
    }
}

TEST_F(ChartExport, cancelAfterASuccessfulSaveLeavesThatPictureOnTheClipboard) {
    answer(path("first.bmp"));
    saveChartAsBitmap(nullptr, chart, dialog);
    const QImage first = clipboard()->image();
    chart.setRow(1);
    chart.setData("-80");  // the chart now looks different
    ASSERT_FALSE(samePicture(first, chart.picture()));

    answer(std::nullopt);
    saveChartAsBitmap(nullptr, chart, dialog);
    EXPECT_TRUE(samePicture(clipboard()->image(), first));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"first.bmp"});
    EXPECT_TRUE(messages.empty());
}

TEST_F(ChartExport, anUnwritableTargetGivesOneMessageNamingTheFile) {
    const QString missing = path("missing/chart.bmp");
    answer(missing);
    saveChartAsBitmap(nullptr, chart, dialog);
    QString text = onlyMessage();
    EXPECT_TRUE(text.contains(missing)) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromLocal8Bit(std::strerror(ENOENT)))) << text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(missing));

    messages.clear();
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.bmp"));
    answer(path("taken.bmp"));
    saveChartAsBitmap(nullptr, chart, dialog);
    text = onlyMessage();
    EXPECT_TRUE(text.contains(path("taken.bmp"))) << text.toStdString();
    EXPECT_TRUE(QFileInfo(path("taken.bmp")).isDir());
}

TEST_F(ChartExport, aChartWithNoAreaGivesNoPictureAndOneMessage) {
    chart.resize(0, 0);
    answer(path("empty.bmp"));
    saveChartAsBitmap(nullptr, chart, dialog);
    const QString text = onlyMessage();
    EXPECT_TRUE(text.contains(path("empty.bmp")));
    EXPECT_TRUE(text.contains("no picture"));
    EXPECT_TRUE(nothingWritten());
}

TEST_F(ChartExport, aDialogThatCannotBeShownGivesOneMessageAndTouchesNothing) {
    CommonDialog::setAnswerHook([](const CommonDialog&) -> std::optional<QString> {
        throw std::runtime_error("no display");
    });
    saveChartAsBitmap(nullptr, chart, dialog);
    EXPECT_TRUE(onlyMessage().contains("no display"));
    EXPECT_TRUE(nothingWritten());
    EXPECT_EQ(clipboard()->text(), "held before");
}

// ---- the dialog itself ----

TEST(CommonDialog, oldFiltersBecomeQtNameFiltersAndBadOnesAreReported) {
    CommonDialog d;
    d.setFilter("Pictures (*.bmp)|*.bmp");
    EXPECT_EQ(d.nameFilters(), QStringList{"Pictures (*.bmp)"});
    d.setFilter("Bitmaps|*.bmp|Images|*.png;*.jpg");
    EXPECT_EQ(d.nameFilters(), (QStringList{"Bitmaps (*.bmp)", "Images (*.png *.jpg)"}));
    bool shown = false;
    CommonDialog::setAnswerHook([&shown](const CommonDialog&) -> std::optional<QString> {
        shown = true;
        return QString("x.bmp");
    });
    for (const char* bad : {"Pictures", "Pictures|", "|*.bmp", "A|*.a|B"}) {
        d.setFilter(bad);
        EXPECT_TRUE(d.nameFilters().isEmpty()) << bad;
        EXPECT_FALSE(d.showSave(nullptr));
        EXPECT_TRUE(d.errorText().contains(bad)) << bad;
    }
    CommonDialog::setAnswerHook({});
    EXPECT_FALSE(shown);
}

TEST(CommonDialog, theDefaultExtensionOnlyGoesOnNamesWithoutOne) {
    CommonDialog d;
    d.setDefaultExt("bmp");
    const std::vector<std::pair<QString, QString>> cases{
        {"/tmp/chart", "/tmp/chart.bmp"},           {"/tmp/chart.bmp", "/tmp/chart.bmp"},
        {"/tmp/Chart.BMP", "/tmp/Chart.BMP"},       {"/tmp/chart.png", "/tmp/chart.png"},
        {"/tmp/v1.2/chart", "/tmp/v1.2/chart.bmp"},
    };
    for (const auto& [typed, chosen] : cases) {
        // clang 14 cannot capture a structured binding.
        CommonDialog::setAnswerHook([name = typed](const CommonDialog&) { return name; });
        EXPECT_TRUE(d.showSave(nullptr));
        EXPECT_EQ(d.fileName(), chosen);
    }
    // Cancel clears the name, and is an error only when asked for.
    CommonDialog::setAnswerHook([](const CommonDialog&) { return std::optional<QString>(); });
    EXPECT_FALSE(d.showSave(nullptr));
    EXPECT_TRUE(d.fileName().isEmpty());
    EXPECT_TRUE(d.errorText().isEmpty());
    d.setCancelError(true);
    EXPECT_FALSE(d.showSave(nullptr));
    EXPECT_EQ(d.errorText(), "Cancel was selected.");
    CommonDialog::setAnswerHook({});
}

TEST(CommonDialog, withoutAHookItIsAQtSaveDialogForBitmaps) {
    // A timer plays the person who types a name into the dialog and saves.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CommonDialog d;
    d.setFilter(kBitmapFilter);
    d.setDefaultExt(kBitmapExt);
    QStringList filtersSeen;
    QString suffixSeen;
    bool savingSeen = false;
    QTimer person;
    int tries = 0;
    QObject::connect(&person, &QTimer::timeout, [&] {
        // Still open after five seconds: close whatever is modal, so that
        // the test fails instead of hanging.
        if (++tries > 500) {
            if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
            return;
        }
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* fd = qobject_cast<QFileDialog*>(w);
            auto* name = fd ? fd->findChild<QLineEdit*>("fileNameEdit") : nullptr;
            if (!fd || !fd->isVisible() || !name) continue;
            filtersSeen = fd->nameFilters();
            suffixSeen = fd->defaultSuffix();
            savingSeen = fd->acceptMode() == QFileDialog::AcceptSave;
            // Typed into the name field: selectFile() leaves a focused field
            // alone.
            name->setText(dir.filePath("typed"));
            static_cast<QDialog*>(fd)->accept();  // as the Save button does
        }
    });
    person.start(10);
    EXPECT_TRUE(d.showSave(nullptr));
    person.stop();
    EXPECT_EQ(filtersSeen, QStringList{"Pictures (*.bmp)"});
    EXPECT_EQ(suffixSeen, "bmp");
    EXPECT_TRUE(savingSeen);
    EXPECT_EQ(QFileInfo(d.fileName()).absoluteFilePath(),
              QFileInfo(dir.filePath("typed.bmp")).absoluteFilePath());
}

// Plays the person at the next file dialog: `act` is called with it once it
// shows, and should accept or reject it. Still open after five seconds, it
// is closed, so that the test fails instead of hanging.
class Person {
public:
    explicit Person(std::function<void(QFileDialog&)> act) {
        QObject::connect(&m_timer, &QTimer::timeout, [this, act] {
            if (++m_tries > 500) {
                if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
                return;
            }
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* fd = qobject_cast<QFileDialog*>(w);
                if (fd && fd->isVisible() && fd->findChild<QLineEdit*>("fileNameEdit")) act(*fd);
            }
        });
        m_timer.start(10);
    }

private:
    QTimer m_timer;
    int m_tries = 0;
};

void type(QFileDialog& fd, const QString& text) {
    fd.findChild<QLineEdit*>("fileNameEdit")->setText(text);
}

TEST(CommonDialog, theSaveDialogOffersItsChoiceAndKeepsTheOnePicked) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CommonDialog d;
    d.setFilter("PDF documents (*.pdf)|*.pdf");
    d.setDefaultExt("pdf");
    d.setDialogTitle("Debrief Report");
    d.setChoice("&Paper:", {"A4", "Letter"});
    QStringList offered;
    int shownChosen = -1;
    QString caption, title;
    {
        Person person([&](QFileDialog& fd) {
            auto* box = fd.findChild<QComboBox*>("choiceBox");
            if (!box) return static_cast<QDialog&>(fd).reject();
            for (int i = 0; i < box->count(); ++i) offered << box->itemText(i);
            shownChosen = box->currentIndex();
            for (const QLabel* l : fd.findChildren<QLabel*>())
                if (l->buddy() == box) caption = l->text();
            title = fd.windowTitle();
            box->setCurrentIndex(1);
            type(fd, dir.filePath("debrief"));
            static_cast<QDialog&>(fd).accept();
        });
        ASSERT_TRUE(d.showSave(nullptr));
    }
    EXPECT_EQ(offered, (QStringList{"A4", "Letter"}));
    EXPECT_EQ(shownChosen, 0);
    EXPECT_EQ(caption, "&Paper:");
    EXPECT_EQ(title, "Debrief Report");
    EXPECT_EQ(d.chosen(), 1);
    EXPECT_EQ(QFileInfo(d.fileName()).fileName(), "debrief.pdf");

    // Picked and then cancelled: the choice stays as it was.
    {
        Person person([&](QFileDialog& fd) {
            if (auto* box = fd.findChild<QComboBox*>("choiceBox")) box->setCurrentIndex(0);
            static_cast<QDialog&>(fd).reject();
        });
        EXPECT_FALSE(d.showSave(nullptr));
    }
    EXPECT_EQ(d.chosen(), 1);
    // Choices outside the list are none.
    d.choose(2);
    d.choose(-1);
    EXPECT_EQ(d.chosen(), 1);
    d.setChoice("&Paper:", {"A4", "Letter"}, 5);
    EXPECT_EQ(d.chosen(), 0);
}

TEST(CommonDialog, theOpenDialogTakesSeveralExistingFilesAtOnce) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"north.mdb", "south.mdb", "notes.txt"}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    CommonDialog d;
    d.setFilter("Game files (*.mdb)|*.mdb|All files (*)|*");
    d.setInitDir(dir.path());
    bool opening = false;
    QString startedIn;
    QStringList filters;
    {
        Person person([&](QFileDialog& fd) {
            opening = fd.acceptMode() == QFileDialog::AcceptOpen &&
                      fd.fileMode() == QFileDialog::ExistingFiles;
            startedIn = fd.directory().absolutePath();
            filters = fd.nameFilters();
            type(fd, "\"north.mdb\" \"south.mdb\"");
            static_cast<QDialog&>(fd).accept();
        });
        ASSERT_TRUE(d.showOpenMultiple(nullptr));
    }
    EXPECT_TRUE(opening);
    EXPECT_EQ(startedIn, QDir(dir.path()).absolutePath());
    EXPECT_EQ(filters, (QStringList{"Game files (*.mdb)", "All files (*)"}));
    QStringList chosen;
    for (const QString& f : d.fileNames()) chosen << QFileInfo(f).fileName();
    chosen.sort();
    EXPECT_EQ(chosen, (QStringList{"north.mdb", "south.mdb"}));
    EXPECT_EQ(d.fileName(), d.fileNames().constFirst());
}

TEST(CommonDialog, anOpenDialogAnsweredWithNothingIsACancel) {
    CommonDialog d;
    CommonDialog::setOpenAnswerHook([](CommonDialog&) {
        return std::optional<QStringList>(QStringList{"", "  "});
    });
    EXPECT_FALSE(d.showOpenMultiple(nullptr));
    EXPECT_TRUE(d.fileNames().isEmpty());
    EXPECT_TRUE(d.errorText().isEmpty());
    d.setCancelError(true);
    CommonDialog::setOpenAnswerHook([](CommonDialog&) { return std::optional<QStringList>(); });
    EXPECT_FALSE(d.showOpenMultiple(nullptr));
    EXPECT_EQ(d.errorText(), "Cancel was selected.");
    // A filter that is none is reported before anything is shown.
    d.setFilter("Game files");
    EXPECT_FALSE(d.showOpenMultiple(nullptr));
    EXPECT_EQ(d.errorText(),
              "Cannot show the open dialog: the filter \"Game files\" is not a list of "
              "\"Description|pattern\" pairs");
    CommonDialog::setOpenAnswerHook({});
}

}  // namespace
}  // namespace tessaro::ui
