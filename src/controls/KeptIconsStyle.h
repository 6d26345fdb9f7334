#pragma once

#include <QHash>
#include <QIcon>
#include <QProxyStyle>

namespace jov {

// The application's style, except that each standard icon (a message box's, the file dialog's
// buttons) is made once and handed out again. Every new QIcon of the same picture would add
// pixmaps of its own to Qt's pixmap cache, so that dialogs opened again and again would fill it
// up to its limit: the program's memory would grow by megabytes before it levels off.
class TKeptIconsStyle : public QProxyStyle
{
    Q_OBJECT
public:
    // Over the style Qt would give the application.
    TKeptIconsStyle() = default;

    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;

private:
    // By icon and direction (an arrow's points the other way right to left).
    mutable QHash<QPair<int, bool>, QIcon> m_icons;
};

// The style `style` is a proxy for, through any number of proxies; `style` itself when it is none.
QStyle *BaseStyleOf(QStyle *style);

} // namespace jov
