#include "controls/KeptIconsStyle.h"

#include <QGuiApplication>
#include <QWidget>

namespace jov {

QIcon TKeptIconsStyle::standardIcon(StandardPixmap icon, const QStyleOption *option,
                                    const QWidget *widget) const
{
    // An option may ask for a picture of its own (a state, a size): made each time.
    if (option)
        return QProxyStyle::standardIcon(icon, option, widget);
    const Qt::LayoutDirection direction =
        widget ? widget->layoutDirection() : QGuiApplication::layoutDirection();
    QIcon &kept = m_icons[{int(icon), direction == Qt::RightToLeft}];
    if (kept.isNull())
        kept = QProxyStyle::standardIcon(icon, option, widget);
    return kept;
}

QStyle *BaseStyleOf(QStyle *style)
{
    while (auto *proxy = qobject_cast<QProxyStyle *>(style))
        style = proxy->baseStyle();
    return style;
}

} // namespace jov
