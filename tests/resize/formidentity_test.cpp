// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// How forms and their controls are told apart: two unrelated forms left with
// Designer's default name "Form" (a warning, and a strict identity that gives
// each its own record), instances of one form sharing theirs, and forms built
// in code whose widgets have no names or share one.
//
// Forms are frameless, on a 1024 x 768 screen of 15 twips per pixel.
#include <gtest/gtest.h>
#include <morvane/morvane.h>

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

#include "resizefunctions.h"
#include "resizetest.h"

using namespace MorvaneCtl;
using namespace resizetest;
using ResizeFunctions::placeOf;

namespace {

const QString App = QStringLiteral("MorvaneIdentityTests");

// Collects the control's warnings for as long as it lives.
class MorvaneWarnings {
public:
    MorvaneWarnings() {
        s_current = this;
        m_previous = qInstallMessageHandler(&collect);
    }
    ~MorvaneWarnings() {
        qInstallMessageHandler(m_previous);
        s_current = nullptr;
    }
    MorvaneWarnings(const MorvaneWarnings&) = delete;
    MorvaneWarnings& operator=(const MorvaneWarnings&) = delete;
    QStringList texts;

private:
    static void collect(QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtWarningMsg && s_current && text.startsWith(QLatin1String("Morvane:")))
            s_current->texts << text;
    }
    static inline MorvaneWarnings* s_current = nullptr;
    QtMessageHandler m_previous = nullptr;
};

std::unique_ptr<QWidget> openFrameless(const QString& file) {
    auto form = loadForm(file);
    if (form) {
        form->setWindowFlag(Qt::FramelessWindowHint);
        form->move(90, 60);
    }
    return form;
}

QWidget* child(QWidget* form, const char* name) {
    auto* w = form->findChild<QWidget*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

void showAt(QWidget* form, QSize size) {
    showAndSettle(form);
    ASSERT_TRUE(waitFor([&] { return form->size() == size; }))
        << ::testing::PrintToString(form->size());
    settle();
}

void resizeTo(QWidget* form, QSize size) {
    form->resize(size);
    ASSERT_TRUE(waitFor([&] { return form->size() == size; }))
        << ::testing::PrintToString(form->size());
    settle();
}

// orders.ui and customers.ui, both named "Form" by Designer; renamed here to
// one name of the test's own, so that they still share it.
class TwoFormsNamedForm : public ::testing::Test {
protected:
    void SetUp() override {
        orders = openFrameless(QStringLiteral("orders.ui"));
        customers = openFrameless(QStringLiteral("customers.ui"));
        ASSERT_TRUE(orders && customers);
        customers->setObjectName(orders->objectName());
    }

    ScreenStandIn screen{1024, 768};
    MorvaneWarnings warnings;
    std::unique_ptr<QWidget> orders, customers;
};

TEST_F(TwoFormsNamedForm, shareOneRecordAndTheSecondIsWarnedAboutOnce) {
    showAt(orders.get(), {200, 100});
    showAt(customers.get(), {400, 200});

    // Found by name, Customers is laid out from Orders' design: its button
    // goes where Orders' button (10, 10, 80, 30) goes at 200 %, not to its
    // own place (250, 150, 120, 40).
    EXPECT_EQ(child(customers.get(), "pushButton")->geometry(), QRect(20, 20, 160, 60));
    ASSERT_EQ(warnings.texts.size(), 1) << warnings.texts.join(u'\n').toStdString();
    const QString& text = warnings.texts.first();
    EXPECT_TRUE(text.contains(QStringLiteral("\"Customers\""))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\"Orders\""))) << text.toStdString();
    EXPECT_TRUE(text.contains(orders->objectName())) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("setStrictFormIdentity"))) << text.toStdString();

    // Once: not again on later passes, nor for another Customers.
    resizeTo(customers.get(), {600, 300});
    auto another = openFrameless(QStringLiteral("customers.ui"));
    ASSERT_TRUE(another);
    another->setObjectName(orders->objectName());
    showAt(another.get(), {400, 200});
    EXPECT_EQ(warnings.texts.size(), 1) << warnings.texts.join(u'\n').toStdString();
}

TEST_F(TwoFormsNamedForm, aSecondInstanceOfTheSameFormRaisesNoWarning) {
    showAt(orders.get(), {200, 100});
    auto again = openFrameless(QStringLiteral("orders.ui"));
    ASSERT_TRUE(again);
    again->setObjectName(orders->objectName());
    showAt(again.get(), {200, 100});
    resizeTo(again.get(), {400, 200});
    EXPECT_EQ(child(again.get(), "pushButton")->geometry(), QRect(20, 20, 160, 60));
    EXPECT_TRUE(warnings.texts.isEmpty()) << warnings.texts.join(u'\n').toStdString();
    EXPECT_EQ(ResizeFunctions::FindFormRecord(again.get()),
              ResizeFunctions::FindFormRecord(orders.get()));
}

TEST_F(TwoFormsNamedForm, withAStrictIdentityEachIsLaidOutFromItsOwnDesign) {
    PrivateSettings settings;
    // Both come from QUiLoader as plain QWidgets: their .ui files tell them apart.
    resizerOf(orders.get())->setStrictFormIdentity(true, QStringLiteral(":/forms/orders.ui"));
    resizerOf(customers.get())->setStrictFormIdentity(true, QStringLiteral(":/forms/customers.ui"));
    showAt(orders.get(), {200, 100});
    showAt(customers.get(), {400, 200});

    EXPECT_EQ(child(customers.get(), "pushButton")->geometry(), QRect(250, 150, 120, 40));
    resizeTo(customers.get(), {600, 300});
    EXPECT_EQ(child(customers.get(), "pushButton")->geometry(), QRect(375, 225, 180, 60));
    EXPECT_EQ(child(customers.get(), "lineEdit")->geometry(), QRect(30, 30, 300, 30));
    resizeTo(orders.get(), {400, 200});
    EXPECT_EQ(child(orders.get(), "pushButton")->geometry(), QRect(20, 20, 160, 60));
    EXPECT_TRUE(warnings.texts.isEmpty()) << warnings.texts.join(u'\n').toStdString();

    const int a = ResizeFunctions::FindFormRecord(orders.get());
    const int b = ResizeFunctions::FindFormRecord(customers.get());
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    EXPECT_NE(a, b);
    // Name, class and key, with the key's slashes made harmless for the
    // settings, where each form keeps its geometry in a section of its own.
    const QString ordersIdentity = ResizeFunctions::formIdentity(orders.get());
    EXPECT_EQ(ordersIdentity, orders->objectName() + QStringLiteral(".QWidget.:_forms_orders.ui"));
    EXPECT_EQ(ResizeFunctions::formTable()[size_t(a)].name, orders->objectName());
    resizerOf(orders.get())->SaveForm(orders.get(), true, App);
    resizerOf(customers.get())->SaveForm(customers.get(), true, App);
    EXPECT_EQ(PrivateSettings::lastSavedState(App, ordersIdentity),
              QStringLiteral("1350,900,6000,3000,0"));
    EXPECT_EQ(PrivateSettings::lastSavedState(App, ResizeFunctions::formIdentity(customers.get())),
              QStringLiteral("1350,900,9000,4500,0"));
    EXPECT_FALSE(PrivateSettings::hasLastSavedState(App, orders->objectName()));
}

TEST_F(TwoFormsNamedForm, aStrictIdentityWithoutKeysCannotTellTwoPlainWidgetsApart) {
    resizerOf(orders.get())->setStrictFormIdentity(true);
    resizerOf(customers.get())->setStrictFormIdentity(true);
    showAt(orders.get(), {200, 100});
    showAt(customers.get(), {400, 200});
    ASSERT_EQ(warnings.texts.size(), 1);
    EXPECT_TRUE(warnings.texts.first().contains(QStringLiteral("setStrictFormIdentity(true, key)")))
        << warnings.texts.first().toStdString();
}

// Forms of two classes of their own, built in code under one name.
class OrdersForm : public QWidget {};
class CustomersForm : public QWidget {};

template <class FormClass>
std::unique_ptr<QWidget> codeForm(const QString& name, QRect button) {
    auto form = std::make_unique<FormClass>();
    form->setObjectName(name);
    form->setWindowFlag(Qt::FramelessWindowHint);
    form->resize(400, 200);
    auto* b = new QPushButton(QStringLiteral("OK"), form.get());
    b->setObjectName(QStringLiteral("pushButton"));
    b->setGeometry(button);
    auto* ctl = new Morvane(form.get());
    ctl->InitProperties();
    ctl->CaptureDesignSize();
    ctl->setStrictFormIdentity(true);
    return form;
}

TEST(StrictFormIdentity, tellsFormsOfDifferentClassesApartAndKeepsInstancesOfOneTogether) {
    ScreenStandIn screen(1024, 768);
    MorvaneWarnings warnings;
    const QString name = uniqueFormName(QStringLiteral("Form"));
    auto orders = codeForm<OrdersForm>(name, {10, 10, 80, 30});
    auto customers = codeForm<CustomersForm>(name, {250, 150, 120, 40});
    auto moreOrders = codeForm<OrdersForm>(name, {10, 10, 80, 30});
    for (QWidget* form : {orders.get(), customers.get(), moreOrders.get()}) {
        showAt(form, {400, 200});
        resizeTo(form, {600, 300});
    }
    EXPECT_EQ(child(orders.get(), "pushButton")->geometry(), QRect(15, 15, 120, 45));
    EXPECT_EQ(child(customers.get(), "pushButton")->geometry(), QRect(375, 225, 180, 60));
    EXPECT_EQ(child(moreOrders.get(), "pushButton")->geometry(), QRect(15, 15, 120, 45));
    EXPECT_EQ(ResizeFunctions::formIdentity(customers.get()),
              name + QStringLiteral(".(anonymous namespace)::CustomersForm"));
    EXPECT_EQ(ResizeFunctions::FindFormRecord(orders.get()),
              ResizeFunctions::FindFormRecord(moreOrders.get()));
    EXPECT_NE(ResizeFunctions::FindFormRecord(orders.get()),
              ResizeFunctions::FindFormRecord(customers.get()));
    EXPECT_TRUE(warnings.texts.isEmpty()) << warnings.texts.join(u'\n').toStdString();

    // Back to plain names: the three share the first record again.
    for (QWidget* form : {orders.get(), customers.get()})
        resizerOf(form)->setStrictFormIdentity(false);
    EXPECT_EQ(ResizeFunctions::formIdentity(customers.get()), name);
}

// A form built in code, as most are: nothing named but the form.
class UnnamedWidgets : public ::testing::Test {
protected:
    UnnamedWidgets() {
        form.setObjectName(uniqueFormName(QStringLiteral("CodeForm")));
        form.setWindowFlag(Qt::FramelessWindowHint);
        form.resize(400, 200);
        button = place(new QPushButton(QStringLiteral("OK"), &form), {20, 10, 80, 20});
        frame = place(new QFrame(&form), {200, 20, 160, 100});
        inFrame = place(new QLabel(QStringLiteral("Name"), frame), {10, 10, 60, 20});
        check = place(new QCheckBox(QStringLiteral("Paid"), frame), {10, 50, 100, 20});
        group = place(new QGroupBox(QStringLiteral("Group"), &form), {20, 40, 160, 100});
        inGroup = place(new QLineEdit(group), {10, 30, 120, 20});
        auto* tabWidget = place(new QTabWidget(&form), {20, 150, 160, 40});
        tabs = tabWidget;
        auto* page = new QWidget;
        tabWidget->addTab(page, QStringLiteral("One"));
        onPage = place(new QPushButton(QStringLiteral("Go"), page), {4, 2, 40, 10});
        table = place(new QTableWidget(2, 2, &form), {200, 130, 160, 60});
        // Two widgets sharing a name and no Index.
        firstLabel = place(new QLabel(QStringLiteral("one"), &form), {380, 10, 16, 20});
        secondLabel = place(new QLabel(QStringLiteral("two"), &form), {380, 40, 16, 20});
        firstLabel->setObjectName(QStringLiteral("label"));
        secondLabel->setObjectName(QStringLiteral("label"));
        auto* ctl = new Morvane(&form);
        ctl->InitProperties();
        ctl->CaptureDesignSize();
    }

    template <class W>
    W* place(W* w, QRect r) {
        w->setGeometry(r);
        designed.emplace_back(w, r);
        return w;
    }

    ScreenStandIn screen{1024, 768};
    QWidget form;
    QWidget *button, *frame, *inFrame, *check, *group, *inGroup, *tabs, *onPage, *table;
    QWidget *firstLabel, *secondLabel;
    std::vector<std::pair<QWidget*, QRect>> designed;
};

TEST_F(UnnamedWidgets, everyOneScalesFromItsOwnDesignPassAfterPass) {
    showAt(&form, {400, 200});
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        resizeTo(&form, {600, 300});
        for (const auto& [w, r] : designed) {
            SCOPED_TRACE(placeOf(w).toStdString());
            EXPECT_EQ(w->geometry(),
                      QRect(r.x() * 3 / 2, r.y() * 3 / 2, r.width() * 3 / 2, r.height() * 3 / 2));
        }
        resizeTo(&form, {400, 200});
        for (const auto& [w, r] : designed) {
            SCOPED_TRACE(placeOf(w).toStdString());
            EXPECT_EQ(w->geometry(), r);
        }
    }
}

TEST_F(UnnamedWidgets, areRecordedByTheirPlaceAndTheTablesPartsAreNot) {
    showAt(&form, {400, 200});
    const QString formName = form.objectName();
    QStringList recorded;
    for (const ResizeFunctions::ControlRecord& r : ResizeFunctions::controlTable())
        if (r.formName == formName) recorded << r.name;
    // Each widget (and the resize control) once; the second "label" by its
    // place; the table's headers and corner button and the tab bar's scroll
    // buttons are their control's own.
    EXPECT_EQ(recorded.size(), int(designed.size()) + 1) << recorded.join(u',').toStdString();
    EXPECT_TRUE(recorded.contains(QStringLiteral("/QPushButton#0")));
    EXPECT_TRUE(recorded.contains(QStringLiteral("/QFrame#1/QLabel#0")));
    EXPECT_TRUE(recorded.contains(QStringLiteral("/QGroupBox#2/QLineEdit#0")));
    EXPECT_TRUE(recorded.contains(
        QStringLiteral("/QTabWidget#3/qt_tabwidget_stackedwidget/QWidget#0/QPushButton#0")))
        << recorded.join(u',').toStdString();
    EXPECT_TRUE(recorded.contains(QStringLiteral("label")));
    EXPECT_TRUE(recorded.contains(QStringLiteral("/label#6")));
    for (const QString& name : recorded) {
        EXPECT_FALSE(name.startsWith(QLatin1String("/QTableWidget#4/"))) << name.toStdString();
        EXPECT_FALSE(name.startsWith(QLatin1String("Scroll"))) << name.toStdString();
    }
    EXPECT_EQ(placeOf(secondLabel), QStringLiteral("label")) << "outside a walk a name is a name";
}

}  // namespace
