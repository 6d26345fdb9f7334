// The colour button's pure layout rules: the accelerator mark, and where the caption and the
// picture go.
#include "controls/ColorButton.h"

namespace jov {

int RemoveAccelMark(QString &caption)
{
    const qsizetype at = caption.indexOf(QLatin1Char('&'));
    if (at < 0)
        return 0;
    caption.remove(at, 1);
    return int(at) + 1;
}

QChar AcceleratorChar(const QString &caption)
{
    QChar hotkey;
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != QLatin1Char('&'))
            continue;
        if (caption.at(i + 1) != QLatin1Char('&'))
            hotkey = caption.at(i + 1);
        ++i; // the marked character, or the second half of "&&", is not a mark itself
    }
    return hotkey;
}

QPoint CaptionOrigin(TAlignment alignment, QSize control, int margin, QSize text, int offset)
{
    const int w = control.width();
    const int h = control.height();
    const int m = margin;
    const int left = m + offset;
    const int centre = (w - 2 * m - text.width()) / 2 + m + offset;
    const int right = w - m - text.width() + offset;
    const int top = m + offset;
    const int middle = (h - 2 * m - text.height()) / 2 + m + offset;
    const int bottom = h - m - text.height() + offset;

    switch (alignment) {
    case TAlignment::alTopLeft:
        return {left, top};
    case TAlignment::alTopCenter:
        return {centre, top};
    case TAlignment::alTopRight:
        return {right, top};
    case TAlignment::alMiddleLeft:
        return {left, middle};
    case TAlignment::alMiddleRight:
        return {right, middle};
    case TAlignment::alBottomLeft:
        return {left, bottom};
    case TAlignment::alBottomCenter:
        return {centre, bottom};
    case TAlignment::alBottomRight:
        return {right, bottom};
    case TAlignment::alMiddleCenter:
        break;
    }
    return {centre, middle};
}

QRect PictureRect(TButtonStyle style, TAlignment alignment, QSize control, int margin,
                  QSize picture)
{
    const int w = control.width();
    const int h = control.height();
    const int pw = picture.width();
    const int ph = picture.height();
    const int m = margin;

    if (style.testFlag(TButtonStyles::bsStretch))
        return QRect(m, m, w - 2 * m, h - 2 * m);

    const int centreX = (w - pw) / 2;
    const int middleY = (h - ph) / 2;
    if (style.testFlag(TButtonStyles::bsCenter))
        return QRect(centreX, middleY, pw, ph);

    // The picture takes the side opposite the caption.
    switch (alignment) {
    case TAlignment::alTopLeft:
    case TAlignment::alTopCenter:
    case TAlignment::alTopRight:
        return QRect(centreX, h - m - ph, pw, ph);
    case TAlignment::alMiddleLeft:
        return QRect(w - m - pw, middleY, pw, ph);
    case TAlignment::alMiddleRight:
        return QRect(m, middleY, pw, ph);
    case TAlignment::alBottomLeft:
    case TAlignment::alBottomCenter:
    case TAlignment::alBottomRight:
        return QRect(centreX, m, pw, ph);
    case TAlignment::alMiddleCenter:
        break;
    }
    return QRect(centreX, middleY, pw, ph);
}

} // namespace jov
