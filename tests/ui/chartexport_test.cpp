#include "ui/chartexport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtEndian>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "ui/messages.h"
#include "ui/mschart.h"

namespace tessaro::ui {
namespace {

struct DialogSeen {
    QString filter;
    QString defaultExt;
    bool cancelError = true;
};

class ChartExport : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        setMessageRecorder([this](const model::MessageBox& box) { messages.push_back(box); });
        chart.resize(500, 340);
        chart.setRowCount(3);
        chart.setColumnCount(2);
        chart.setSeriesFill(1, QColor(128, 0, 0));
        chart.setSeriesFill(2, QColor(0, 0, 128));
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

    // The next dialog is answered with `typed` (nothing = Cancel).
    void answer(std::optional<QString> typed) {
        CommonDialog::setAnswerHook([this, typed](const CommonDialog& d) {
            seen = {d.filter(), d.defaultExt(), d.cancelError()};
            ++dialogsShown;
            return typed;
        });
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    static QImage clipboardImage() { return QGuiApplication::clipboard()->image(); }

    static bool samePicture(const QImage& a, const QImage& b) {
        return !a.isNull() &&
               a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
    }

    QTemporaryDir dir;
    MSChart chart;
    CommonDialog dialog;
    std::vector<model::MessageBox> messages;
    DialogSeen seen;
    int dialogsShown = 0;
};

std::uint32_t le32(const QByteArray& bytes, int at) {
    return qFromLittleEndian<std::uint32_t>(bytes.constData() + at);
}
std::uint16_t le16(const QByteArray& bytes, int at) {
    return qFromLittleEndian<std::uint16_t>(bytes.constData() + at);
}

TEST_F(ChartExport, theDialogAsksForABitmapWithoutCancelError) {
    dialog.setFilter("Text (*.txt)|*.txt");
    dialog.setDefaultExt("txt");
    dialog.setCancelError(true);
    answer(std::nullopt);
    saveChartAsBitmap(nullptr, chart, dialog);
    EXPECT_EQ(dialogsShown, 1);
    EXPECT_EQ(seen.filter, "Pictures (*.bmp)|*.bmp");
    EXPECT_EQ(seen.defaultExt, "bmp");
    EXPECT_FALSE(seen.cancelError);
    EXPECT_TRUE(messages.empty());  // a cancel is not a failure
}

TEST_F(ChartExport, aNameWithoutExtensionIsSavedAsBmpHoldingThePicture) {
    answer(path("chart"));
    saveChartAsBitmap(nullptr, chart, dialog);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(dialog.fileName(), path("chart.bmp"));
    EXPECT_FALSE(QFile::exists(path("chart")));
    ASSERT_TRUE(QFile::exists(path("chart.bmp")));

    QImage saved(path("chart.bmp"), "BMP");
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), chart.size());
    EXPECT_TRUE(samePicture(saved, chart.picture()));
}

TEST_F(ChartExport, theFileIsAnUncompressedWindowsBitmap) {
    answer(path("plot.bmp"));
    saveChartAsBitmap(nullptr, chart, dialog);
    QFile file(path("plot.bmp"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // BITMAPFILEHEADER (14 bytes) then BITMAPINFOHEADER.
    ASSERT_GE(bytes.size(), 54);
    EXPECT_EQ(bytes.left(2), "BM");
    EXPECT_EQ(le32(bytes, 2), static_cast<std::uint32_t>(bytes.size()));
    EXPECT_GE(le32(bytes, 14), 40u);                               // header size
    EXPECT_EQ(static_cast<int>(le32(bytes, 18)), chart.width());   // width
    EXPECT_EQ(static_cast<int>(le32(bytes, 22)), chart.height());  // height, bottom-up
    const std::uint16_t bits = le16(bytes, 28);
    EXPECT_TRUE(bits == 24 || bits == 32) << bits;
    EXPECT_EQ(le32(bytes, 30), 0u);  // BI_RGB: no compression
}

TEST_F(ChartExport, anExistingFileIsReplaced) {
    {
        QFile old(path("old.bmp"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(200000, 'x'));
    }
    answer(path("old.bmp"));
    saveChartAsBitmap(nullptr, chart, dialog);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(samePicture(QImage(path("old.bmp"), "BMP"), chart.picture()));
}

TEST_F(ChartExport, afterSavingTheClipboardHoldsTheChartsPicture) {
    answer(path("a.bmp"));
    saveChartAsBitmap(nullptr, chart, dialog);
    EXPECT_TRUE(samePicture(clipboardImage(), chart.picture()));
    EXPECT_TRUE(samePicture(clipboardImage(), QImage(path("a.bmp"), "BMP")));
}

TEST_F(ChartExport, cancelWritesNothingAndLeavesTheClipboard) {
    answer(std::nullopt);
    saveChartAsBitmap(nullptr, chart, dialog);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "held before");
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasImage());
    EXPECT_TRUE(dialog.fileName().isEmpty());
    EXPECT_TRUE(messages.empty());

    answer(QString("   "));  // a blank name is no name
    saveChartAsBitmap(nullptr, chart, dialog);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "held before");
    EXPECT_TRUE(messages.empty());
}

TEST_F(ChartExport, cancelAfterASuccessfulSaveLeavesThatPictureOnTheClipboard) {
    answer(path("first.bmp"));
    saveChartAsBitmap(nullptr, chart, dialog);
    const QImage first = clipboardImage();
    ASSERT_FALSE(first.isNull());

    chart.setRow(1);
    chart.setColumn(1);
    chart.setData("-80");  // the chart now looks different
    ASSERT_FALSE(samePicture(first, chart.picture()));

    answer(std::nullopt);
    saveChartAsBitmap(nullptr, chart, dialog);
    EXPECT_TRUE(samePicture(clipboardImage(), first));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"first.bmp"});
    EXPECT_TRUE(messages.empty());
}

TEST_F(ChartExport, aMissingFolderGivesOneMessageNamingTheFile) {
    const QString target = path("missing/chart.bmp");
    answer(target);
    saveChartAsBitmap(nullptr, chart, dialog);
    ASSERT_EQ(messages.size(), 1u);
    const QString text = QString::fromStdString(messages[0].text);
    EXPECT_TRUE(text.contains(target)) << messages[0].text;
    EXPECT_TRUE(text.contains(QString::fromLocal8Bit(std::strerror(ENOENT)))) << messages[0].text;
    EXPECT_EQ(messages[0].title, "");  // the program's title
    EXPECT_EQ(messages[0].icon, model::Icon::None);
    EXPECT_FALSE(QFileInfo::exists(target));
}

TEST_F(ChartExport, aFolderInPlaceOfTheFileGivesOneMessage) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.bmp"));
    answer(path("taken.bmp"));
    saveChartAsBitmap(nullptr, chart, dialog);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(QString::fromStdString(messages[0].text).contains(path("taken.bmp")));
    EXPECT_TRUE(QFileInfo(path("taken.bmp")).isDir());
}

TEST_F(ChartExport, aChartWithNoAreaGivesNoPictureAndOneMessage) {
    chart.resize(0, 0);
    answer(path("empty.bmp"));
    saveChartAsBitmap(nullptr, chart, dialog);
    ASSERT_EQ(messages.size(), 1u);
    const QString text = QString::fromStdString(messages[0].text);
    EXPECT_TRUE(text.contains(path("empty.bmp")));
    EXPECT_TRUE(text.contains("no picture"));
    EXPECT_FALSE(QFileInfo::exists(path("empty.bmp")));
}

TEST_F(ChartExport, aDialogThatCannotBeShownGivesOneMessageAndTouchesNothing) {
    CommonDialog::setAnswerHook([](const CommonDialog&) -> std::optional<QString> {
        throw std::runtime_error("no display");
    });
    saveChartAsBitmap(nullptr, chart, dialog);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(QString::fromStdString(messages[0].text).contains("no display"));
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "held before");
}

// ---- the dialog itself ----

TEST(CommonDialogFilter, oldFiltersBecomeQtNameFilters) {
    CommonDialog d;
    d.setFilter("Pictures (*.bmp)|*.bmp");
    EXPECT_EQ(d.nameFilters(), QStringList{"Pictures (*.bmp)"});
    d.setFilter("Bitmaps|*.bmp|Images|*.png;*.jpg");
    EXPECT_EQ(d.nameFilters(), (QStringList{"Bitmaps (*.bmp)", "Images (*.png *.jpg)"}));
    for (const char* bad : {"Pictures", "Pictures|", "|*.bmp", "A|*.a|B"}) {
        d.setFilter(bad);
        EXPECT_TRUE(d.nameFilters().isEmpty()) << bad;
    }
}

TEST(CommonDialogFilter, aBadFilterIsReportedInsteadOfShown) {
    CommonDialog d;
    d.setFilter("Pictures|");
    bool shown = false;
    CommonDialog::setAnswerHook([&shown](const CommonDialog&) -> std::optional<QString> {
        shown = true;
        return QString("x.bmp");
    });
    EXPECT_FALSE(d.showSave(nullptr));
    CommonDialog::setAnswerHook({});
    EXPECT_FALSE(shown);
    EXPECT_TRUE(d.errorText().contains("Pictures|"));
    EXPECT_TRUE(d.fileName().isEmpty());
}

TEST(CommonDialogAnswer, defaultExtensionOnlyForNamesWithoutOne) {
    CommonDialog d;
    d.setDefaultExt("bmp");
    const std::vector<std::pair<QString, QString>> cases{
        {"/tmp/chart", "/tmp/chart.bmp"},           {"/tmp/chart.bmp", "/tmp/chart.bmp"},
        {"/tmp/Chart.BMP", "/tmp/Chart.BMP"},       {"/tmp/chart.png", "/tmp/chart.png"},
        {"/tmp/v1.2/chart", "/tmp/v1.2/chart.bmp"},
    };
    for (const auto& [typed, chosen] : cases) {
        CommonDialog::setAnswerHook([typed](const CommonDialog&) { return typed; });
        EXPECT_TRUE(d.showSave(nullptr));
        EXPECT_EQ(d.fileName(), chosen);
    }
    CommonDialog::setAnswerHook({});
}

TEST(CommonDialogAnswer, cancelClearsTheNameAndIsAnErrorOnlyWhenAskedFor) {
    CommonDialog d;
    CommonDialog::setAnswerHook([](const CommonDialog&) { return QString("/tmp/a.bmp"); });
    ASSERT_TRUE(d.showSave(nullptr));
    CommonDialog::setAnswerHook([](const CommonDialog&) { return std::optional<QString>(); });
    EXPECT_FALSE(d.showSave(nullptr));
    EXPECT_TRUE(d.fileName().isEmpty());
    EXPECT_TRUE(d.errorText().isEmpty());
    d.setCancelError(true);
    EXPECT_FALSE(d.showSave(nullptr));
    EXPECT_EQ(d.errorText(), "Cancel was selected.");
    CommonDialog::setAnswerHook({});
}

}  // namespace
}  // namespace tessaro::ui
