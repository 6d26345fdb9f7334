#pragma once

// Small helpers shared by the widget tests.

#include "controls/ASLink.h"
#include "controls/Hints.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QColor>
#include <QImage>
#include <QLabel>
#include <QRect>
#include <QStringList>
#include <QTest>
#include <QTimer>
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

// Waits, bounded, until the zero-delay timers started before the call have run (they run in the
// order they were started): a check that something they would do did not happen is then sound.
inline bool RunZeroTimers()
{
    QObject context;
    bool ran = false;
    QTimer::singleShot(0, &context, [&ran] { ran = true; });
    return QTest::qWaitFor([&ran] { return ran; });
}

// Shows a top-level widget and makes it the active window, which focus and shortcuts need.
inline bool ShowActive(QWidget &window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// The widgets of `window` with a hint that assistive technologies cannot tell apart: each must
// have a role of its own and be named by the text it shows (a label's, a check box's, a
// captioned button's, a link's) and described by its hint, or, showing no text, be named by its
// hint without the bar. Returns "name: what is wrong" lines.
inline QStringList BadlyNamedControls(QWidget &window)
{
    // As when a screen reader starts listening: the controls are named from then on.
    QAccessible::setActive(true);
    QStringList bad;
    for (QWidget *widget : window.findChildren<QWidget *>()) {
        if (HintOf(widget).isEmpty())
            continue;
        const QString hint = LongHint(HintOf(widget)).trimmed();
        QString shown;
        if (auto *label = qobject_cast<QLabel *>(widget); label && !label->movie())
            shown = label->text();
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            shown = button->text().remove(QLatin1Char('&'));
        else if (auto *link = qobject_cast<TASLink *>(widget))
            shown = link->caption();
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        const QString name = accessible->text(QAccessible::Name);
        const QString description = accessible->text(QAccessible::Description);
        if (name != (shown.isEmpty() ? hint : shown) || (!shown.isEmpty() && description != hint))
            bad << widget->objectName() +
                       QStringLiteral(": named '%1', described '%2'").arg(name, description);
        if (accessible->role() == QAccessible::Client)
            bad << widget->objectName() + QStringLiteral(": no role");
    }
    return bad;
}

} // namespace jov::test
