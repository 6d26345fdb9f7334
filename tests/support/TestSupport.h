#pragma once

// Small helpers shared by the widget tests.

#include <QColor>
#include <QImage>
#include <QRect>
#include <QTest>
#include <QWidget>

#include <functional>

namespace jov::test {

// The widget as painted now, one pixel per logical pixel, without alpha.
inline QImage Grab(QWidget &widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QColor PixelAt(const QImage &image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

// Smallest rectangle holding every pixel that `match` accepts; empty when there is none.
inline QRect BoundsOf(const QImage &image, const std::function<bool(QColor)> &match)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (match(QColor(image.pixel(x, y))))
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

// Counts the calls of a hook that stands for the system beep.
struct BeepCounter
{
    int count = 0;
    std::function<void()> hook()
    {
        return [this] { ++count; };
    }
};

// Shows a top-level widget and makes it the active window, which focus and shortcuts need.
inline bool ShowActive(QWidget &window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

} // namespace jov::test
