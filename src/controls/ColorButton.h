#pragma once

#include "color/ColorValue.h"
#include "controls/Accessible.h"

#include <QAbstractButton>
#include <QColor>
#include <QFlags>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;

namespace jov {

// Where the caption sits; the picture goes to the opposite side.
enum class TAlignment {
    alTopLeft,
    alTopCenter,
    alTopRight,
    alMiddleLeft,
    alMiddleCenter,
    alMiddleRight,
    alBottomLeft,
    alBottomCenter,
    alBottomRight
};

enum class TButtonBevel { bbLowered, bbNone, bbRaised };

enum class TButtonStyles : unsigned char {
    bsAutoSize = 1 << 0,
    bsCenter = 1 << 1,
    bsStretch = 1 << 2,
    bsShowFocus = 1 << 3,
    bsShowKey = 1 << 4
};
using TButtonStyle = QFlags<TButtonStyles>;
Q_DECLARE_OPERATORS_FOR_FLAGS(TButtonStyle)

enum class TPressState { psUp, psDown, psDisabled };

// Deletes the first "&" of `caption` and returns its 1-based position, 0 when there is none.
// Only the first one goes: "A&&B" becomes "A&B" (position 2).
int RemoveAccelMark(QString &caption);

// The accelerator of a caption: the character after the last "&" that is not part of a doubled
// "&&"; a null QChar when the caption has none.
QChar AcceleratorChar(const QString &caption);

// Top-left corner of a caption of size `text` drawn in a control of size `control`, with
// `margin` = bevel size + spacing and `offset` the emboss shift (0 or 1).
QPoint CaptionOrigin(TAlignment alignment, QSize control, int margin, QSize text, int offset);

// Where a picture of size `picture` is drawn; with bsStretch the rectangle it is stretched to.
QRect PictureRect(TButtonStyle style, TAlignment alignment, QSize control, int margin,
                  QSize picture);

/// The program's owner-drawn push button: a flat face in its own colour with a bevel computed
/// from it, an optional picture and caption with an underlined accelerator, a dotted focus
/// rectangle and an embossed caption when disabled. Clicks, the space key and the Alt
/// accelerator are Qt's button handling; this class only paints, and tells a double click.
class TColorButton : public QAbstractButton
{
    Q_OBJECT

public:
    explicit TColorButton(QWidget *parent = nullptr);

    TAlignment alignment() const { return m_alignment; }
    void setAlignment(TAlignment alignment);

    TButtonBevel bevelStyle() const { return m_bevelStyle; }
    void setBevelStyle(TButtonBevel bevel);

    int bevelSize() const { return m_bevelSize; }
    void setBevelSize(int size); // below 1 becomes 1

    // The face colour; until one is set it follows the palette's button colour.
    QColor color() const;
    ColorRef colorRef() const;
    void setColor(const QColor &color);
    void setColorRef(ColorRef color);
    void resetColor();
    // Describes the button to assistive technologies as `describe` of its face colour, kept
    // current (the custom slots read as their colour).
    void setColorDescription(ColorDescriber describe);
    QString colorDescription() const;

    const QImage &picture() const { return m_picture; }
    void setPicture(const QImage &picture); // the button keeps its own copy

    int spacing() const { return m_spacing; }
    void setSpacing(int spacing); // below 0 becomes 0

    TButtonStyle buttonStyle() const { return m_style; }
    void setButtonStyle(TButtonStyle style);

    // The button's text; its accelerator (AcceleratorChar) becomes the Alt shortcut.
    QString caption() const { return text(); }
    void setCaption(const QString &caption);

    // Disabled, else down (pressed) or up, as the bevel is drawn.
    TPressState pressState() const;

    // With bsAutoSize and a picture: the picture plus the bevel on each side.
    QSize sizeHint() const override;

Q_SIGNALS:
    // The second press of a double click, which is no click of its own.
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QSize autoSize() const;
    void applyAutoSize();
    void drawCaption(QPainter &painter, int offset, const QColor &color) const;

    TAlignment m_alignment = TAlignment::alMiddleCenter;
    TButtonBevel m_bevelStyle = TButtonBevel::bbRaised;
    int m_bevelSize = 2;
    QColor m_color; // invalid: the palette's button colour
    QImage m_picture;
    QImage m_bitmap; // the picture as drawn, made when it is set
    ColorDescriber m_describeColor;
    int m_spacing = 2;
    TButtonStyle m_style =
        TButtonStyles::bsCenter | TButtonStyles::bsShowFocus | TButtonStyles::bsShowKey;
    bool m_hasFocus = false; // the focus rectangle follows the focus events
};

} // namespace jov
