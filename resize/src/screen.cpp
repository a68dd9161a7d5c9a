#include "morvane/screen.h"

#include "screenpin.h"

#include <QGuiApplication>
#include <QScreen>

namespace MorvaneCtl {

namespace {
// Per thread, like the rest of the control's module-wide state.
thread_local std::optional<ScreenMetrics> t_override;
thread_local std::optional<ScreenMetrics> t_pinned;
} // namespace

ScreenPin::ScreenPin() : m_saved(t_pinned) { t_pinned = currentScreen(); }
ScreenPin::~ScreenPin() { t_pinned = m_saved; }

ScreenMetrics ScreenMetrics::ofPixels(int width, int height, double twipsPerPixel) {
    return {width * twipsPerPixel, height * twipsPerPixel, twipsPerPixel, twipsPerPixel};
}

ScreenMetrics currentScreen() {
    if (t_pinned) return *t_pinned;
    if (t_override) return *t_override;
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen) return ScreenMetrics::ofPixels(1024, 768);
    // Twips are 1440 per logical inch.
    const double tppX = 1440.0 / screen->logicalDotsPerInchX();
    const double tppY = 1440.0 / screen->logicalDotsPerInchY();
    const QSize size = screen->size();
    return {size.width() * tppX, size.height() * tppY, tppX, tppY};
}

void setScreenOverride(std::optional<ScreenMetrics> screen) {
    t_override = screen;
    if (t_pinned) { // a pass under way measures the new screen from here on
        t_pinned.reset();
        t_pinned = currentScreen();
    }
}

} // namespace MorvaneCtl
