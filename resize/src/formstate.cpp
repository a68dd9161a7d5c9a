// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The saved geometry of a form: SaveForm's text and RestoreForm's use of it.
#include <QRect>
#include <QSettings>
#include <cmath>

#include "engine.h"
#include "geometrytext.h"
#include "logging.h"
#include "morvane/screen.h"
#include "onscreen.h"

namespace MorvaneCtl::ResizeFunctions {

using namespace detail;

void SaveFormState(QWidget* form, bool persist, const QString& applicationName) {
    const int index = FindFormRecord(form);
    if (index < 0) return;
    const auto left = get(form, Prop::Left), top = get(form, Prop::Top);
    const auto width = get(form, Prop::Width), height = get(form, Prop::Height);
    const auto state = getLong(form, Prop::WindowState);
    if (!left || !top || !width || !height || !state) return;
    FormRecord& record = tables().forms[index];
    record.SavedState =
        geometryText(left->toFloat(), top->toFloat(), width->toFloat(), height->toFloat(), *state);
    if (!applicationName.isEmpty() && persist) {
        QSettings settings(QSettings::UserScope, applicationName);
        settings.beginGroup(record.identity);
        settings.setValue(QStringLiteral("LastSavedState"), record.SavedState);
    }
}

namespace {

// Why a stored geometry cannot be used, or nothing when it can.
QString refusal(QWidget* form, const QRect& twips, const RestoreBounds& bounds) {
    const ScreenMetrics s = currentScreen(form);
    const double minWidth = bounds.minWidth > 0 ? bounds.minWidth : s.twipsPerPixelX;
    const double minHeight = bounds.minHeight > 0 ? bounds.minHeight : s.twipsPerPixelY;
    if (twips.width() < minWidth || twips.height() < minHeight)
        return QStringLiteral("a window of %1 x %2 twips is below its minimum size of %3 x %4")
            .arg(twips.width())
            .arg(twips.height())
            .arg(minWidth)
            .arg(minHeight);
    if (!LateBound::onSomeScreen(form, twips))
        return QStringLiteral("no part of the window would be on any screen");
    return {};
}

// In place of a refused geometry: the form in the normal state at its design
// size, where it is if that lies on a screen, otherwise centred on its screen.
void useDesignGeometry(QWidget* form, const RestoreBounds& bounds) {
    const auto left = getLong(form, Prop::Left), top = getLong(form, Prop::Top);
    const auto width = getLong(form, Prop::Width), height = getLong(form, Prop::Height);
    if (!left || !top || !width || !height) return;
    QRect twips(*left, *top, *width, *height);
    if (bounds.designSize.width() > 0) twips.setWidth(bounds.designSize.width());
    if (bounds.designSize.height() > 0) twips.setHeight(bounds.designSize.height());
    set(form, Prop::WindowState, 0);
    LateBound::move(form, twips.x(), twips.y(), twips.width(), twips.height());
    if (!LateBound::onSomeScreen(form, twips)) LateBound::centerOnScreen(form);
}

}  // namespace

bool RestoreFormState(QWidget* form, bool persist, const QString& applicationName,
                      const RestoreBounds& bounds) {
    const int index = FindFormRecord(form);
    if (index < 0) return true;
    FormRecord& record = tables().forms[index];
    QString text;
    if (!applicationName.isEmpty() && persist) {
        QSettings settings(QSettings::UserScope, applicationName);
        settings.beginGroup(record.identity);
        record.SavedState = settings.value(QStringLiteral("LastSavedState"), QString()).toString();
        text = record.SavedState;
    } else if (!record.SavedState.isEmpty() && !persist) {
        text = record.SavedState;
    }
    if (text.isEmpty()) return true;

    const GeometryFields fields = parseGeometryText(text);
    // Without a readable window state there is no telling what to apply.
    if (!fields.state) return true;
    if (*fields.state == 2) {
        set(form, Prop::WindowState, 2);
    } else if (*fields.state == 0) {
        // Fields that are no numbers leave that part of the geometry as it is.
        auto twips = [](std::optional<float> v, std::optional<int> now) -> std::optional<int> {
            if (!v) return now;
            const double r = std::nearbyint(static_cast<double>(*v));
            if (std::fabs(r) > 2147483647.0) return now;
            return static_cast<int>(r);
        };
        const auto left = twips(fields.left, getLong(form, Prop::Left));
        const auto top = twips(fields.top, getLong(form, Prop::Top));
        const auto width = twips(fields.width, getLong(form, Prop::Width));
        const auto height = twips(fields.height, getLong(form, Prop::Height));
        if (!left || !top || !width || !height) return true;
        // A text saved on another desktop, or damaged, may leave no window
        // to see: it is refused, and the form keeps a window its user has.
        const QRect target(*left, *top, *width, *height);
        if (const QString why = refusal(form, target, bounds); !why.isEmpty()) {
            qCWarning(lcMorvane,
                      "the stored geometry \"%s\" of the form %s is refused (%s); the form "
                      "gets its design geometry instead",
                      qPrintable(text), qPrintable(record.identity), qPrintable(why));
            useDesignGeometry(form, bounds);
            return false;
        }
        set(form, Prop::WindowState, 0);
        LateBound::move(form, *left, *top, *width, *height);
    } else {
        set(form, Prop::WindowState, 1);
    }
    return true;
}

}  // namespace MorvaneCtl::ResizeFunctions
