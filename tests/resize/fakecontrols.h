// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// Controls that declare the layout engine's property names as Qt properties
// in twips. The engine uses a declared property as it stands, so these give
// exact twip numbers where a real widget would round to whole pixels.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>
#include <array>

namespace resizetest {

// An ordinary control: Left, Top, Width, Height in twips.
class TwipControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Left READ Left WRITE setLeft)
    Q_PROPERTY(int Top READ Top WRITE setTop)
    Q_PROPERTY(int Width READ Width WRITE setWidth)
    Q_PROPERTY(int Height READ Height WRITE setHeight)

public:
    TwipControl(QWidget* parent, const QString& name, QRect twips, double fontPoints = 10)
        : QWidget(parent),
          m_left(twips.x()),
          m_top(twips.y()),
          m_width(twips.width()),
          m_height(twips.height()) {
        setObjectName(name);
        QFont f = font();
        f.setPointSizeF(fontPoints);
        setFont(f);
    }

    int Left() const { return m_left; }
    void setLeft(int v) { m_left = v; }
    int Top() const { return m_top; }
    void setTop(int v) { m_top = v; }
    int Width() const { return m_width; }
    void setWidth(int v) { m_width = v; }
    int Height() const { return m_height; }
    void setHeight(int v) { m_height = v; }

    // Left, top, width, height as one rectangle, for comparisons.
    QRect twips() const { return QRect(m_left, m_top, m_width, m_height); }
    void setTwips(QRect r) {
        m_left = r.x();
        m_top = r.y();
        m_width = r.width();
        m_height = r.height();
    }

private:
    int m_left, m_top, m_width, m_height;
};

// A grid that answers the number of its columns the way a flex grid does.
class TwipGrid : public TwipControl {
    Q_OBJECT
    Q_PROPERTY(int ColsCount READ ColsCount)

public:
    using TwipControl::TwipControl;
    int ColsCount() const { return 4; }
};

// A tree or list view with columns.
class TwipColumnsView : public TwipControl {
    Q_OBJECT
    Q_PROPERTY(int ColumnsCount READ ColumnsCount)

public:
    using TwipControl::TwipControl;
    int ColumnsCount() const { return 3; }
};

// A tab container whose tab row has a height.
class TwipTabs : public TwipControl {
    Q_OBJECT
    Q_PROPERTY(int TabHeight READ TabHeight WRITE setTabHeight)

public:
    TwipTabs(QWidget* parent, const QString& name, QRect twips, int tabHeight)
        : TwipControl(parent, name, twips), m_tabHeight(tabHeight) {}
    int TabHeight() const { return m_tabHeight; }
    void setTabHeight(int v) { m_tabHeight = v; }

private:
    int m_tabHeight;
};

// A line control: two end points in twips.
class TwipLine : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int X1 READ X1 WRITE setX1)
    Q_PROPERTY(int Y1 READ Y1 WRITE setY1)
    Q_PROPERTY(int X2 READ X2 WRITE setX2)
    Q_PROPERTY(int Y2 READ Y2 WRITE setY2)

public:
    TwipLine(QWidget* parent, const QString& name, int x1, int y1, int x2, int y2)
        : QWidget(parent), m_x1(x1), m_y1(y1), m_x2(x2), m_y2(y2) {
        setObjectName(name);
    }
    int X1() const { return m_x1; }
    void setX1(int v) { m_x1 = v; }
    int Y1() const { return m_y1; }
    void setY1(int v) { m_y1 = v; }
    int X2() const { return m_x2; }
    void setX2(int v) { m_x2 = v; }
    int Y2() const { return m_y2; }
    void setY2(int v) { m_y2 = v; }

    // The end points as x1, y1, x2, y2.
    std::array<int, 4> ends() const { return {m_x1, m_y1, m_x2, m_y2}; }

private:
    int m_x1, m_y1, m_x2, m_y2;
};

}  // namespace resizetest
