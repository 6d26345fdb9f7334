#include "controls/Cursors.h"

#include "BuiltInPictures.h"

#include <QGuiApplication>
#include <QHash>
#include <QPixmap>

namespace jov {

namespace {
QHash<int, QCursor> &registry()
{
    static QHash<int, QCursor> cursors;
    return cursors;
}
int g_applicationCursor = 0;
} // namespace

void SetScreenCursor(int index, const QCursor &cursor)
{
    registry().insert(index, cursor);
}

QCursor ScreenCursor(int index)
{
    return registry().value(index, QCursor(Qt::ArrowCursor));
}

void RegisterPipetteCursor()
{
    const QPixmap pipette = QPixmap::fromImage(BuiltInPicture(QLatin1StringView("cursor_pipette")));
    SetScreenCursor(PipetteCursorIndex,
                    pipette.isNull() ? QCursor(Qt::ArrowCursor) : QCursor(pipette, 0, 13));
}

bool HasScreenCursor(int index)
{
    return registry().contains(index);
}

void SetApplicationCursor(int index)
{
    if (index == g_applicationCursor)
        return;
    if (g_applicationCursor != 0)
        QGuiApplication::restoreOverrideCursor();
    g_applicationCursor = index;
    if (index != 0)
        QGuiApplication::setOverrideCursor(ScreenCursor(index));
}

int ApplicationCursor()
{
    return g_applicationCursor;
}

} // namespace jov
