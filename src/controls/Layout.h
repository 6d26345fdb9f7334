#pragma once

#include <QFont>
#include <QWidget>

namespace jov {

// Puts a widget at its design place and returns it, so creation and placement read as one.
template <typename W> W *Place(W *widget, int left, int top, int width, int height)
{
    widget->setGeometry(left, top, width, height);
    return widget;
}

// The windows' font: Verdana 11 pixels high (8 points at 96 ppi).
inline QFont WindowFont(bool bold = false)
{
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(11);
    font.setBold(bold);
    return font;
}

} // namespace jov
