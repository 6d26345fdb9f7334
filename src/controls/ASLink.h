#pragma once

#include <QColor>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

class QPainter;

namespace jov {

// Where the drop shadow shows relative to the text.
enum class TShadowPosition { spLeftTop, spLeftBottom, spRightBottom, spRightTop };

// Vertical placement of the text in the control.
enum class TTextLayout { tlTop, tlCenter, tlBottom };

// Scheme of a link target.
enum class TURLType {
    utFile,
    utFtp,
    utGopher,
    utHttp,
    utHttps,
    utMailto,
    utNews,
    utTelnet,
    utWais
};

// "file://", "ftp://", ..., "mailto:", ..., "wais:".
QString URLPrefix(TURLType type);

// The text handed to the shell: the prefix of `type` before `address` when `typeAdd`, then
// "/" and `file` when `file` is not empty. The caption plays no part.
QString LinkTarget(TURLType type, const QString &address, bool typeAdd, const QString &file);

// How far the text copy and the shadow copy of the drawing rectangle move for a shadow of
// `size` pixels at `position`; the shadow shows on the side the text moved away from.
struct ShadowOffsets
{
    QPoint text;
    QPoint shadow;
};
ShadowOffsets ShadowOffsetsFor(TShadowPosition position, int size);

/// A label that draws its caption with an optional drop shadow, takes the link colour while
/// the mouse is over it, shows the hand cursor (application cursor 5) and opens a link target
/// built from its URL properties when clicked. It has no background of its own unless
/// Transparent is turned off.
class TASLink : public QWidget
{
    Q_OBJECT

public:
    enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

    explicit TASLink(QWidget *parent = nullptr);

    TAlignment alignment() const { return m_alignment; }
    void setAlignment(TAlignment alignment);

    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool on);

    QWidget *focusControl() const { return m_focusControl; }
    void setFocusControl(QWidget *control);

    TTextLayout layout() const { return m_layout; }
    void setLayout(TTextLayout layout);

    // Until a colour is set, the shadow follows the palette's highlight edge (Light).
    QColor shadowColor() const;
    void setShadowColor(const QColor &color);

    int shadowSize() const { return m_shadowSize; }
    void setShadowSize(unsigned char size);

    TShadowPosition shadowPos() const { return m_shadowPos; }
    void setShadowPos(TShadowPosition position);

    bool showAccelChar() const { return m_showAccelChar; }
    void setShowAccelChar(bool on);

    bool showFocus() const { return m_showFocus; }
    void setShowFocus(bool on);

    bool transparent() const { return m_transparent; }
    void setTransparent(bool on);

    bool wordWrap() const { return m_wordWrap; }
    void setWordWrap(bool on);

    QColor linkColor() const { return m_linkColor; }
    void setLinkColor(const QColor &color) { m_linkColor = color; }

    QString urlAdr() const { return m_urlAdr; }
    void setUrlAdr(const QString &address) { m_urlAdr = address; }

    bool urlEnabled() const { return m_urlEnabled; }
    void setUrlEnabled(bool on) { m_urlEnabled = on; }

    QString urlFile() const { return m_urlFile; }
    void setUrlFile(const QString &file) { m_urlFile = file; }

    bool urlTypeAdd() const { return m_urlTypeAdd; }
    void setUrlTypeAdd(bool on) { m_urlTypeAdd = on; }

    TURLType urlType() const { return m_urlType; }
    void setUrlType(TURLType type) { m_urlType = type; }

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);

    // The colour of the text; until one is set it follows the palette's WindowText.
    QColor fontColor() const;
    void setFontColor(const QColor &color);

    // The background filled when not transparent; until set, the palette's Window colour.
    QColor color() const;
    void setColor(const QColor &color);

    // What a click opens now.
    QString linkTarget() const;

    // As a mouse click: clicked(), then the link, then a repaint.
    void click();

Q_SIGNALS:
    void clicked();
    // A click asks to open the link target (see LinkTarget); whoever owns the label opens it.
    void linkActivated(const QString &target);

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int textFlags(bool withAlignment) const;
    // Draws the caption and its shadow into `rect` (painter given), or measures them (painter
    // null); returns the union of the text and shadow rectangles.
    QRect DoDrawText(QPainter *painter, const QRect &rect, int flags) const;
    void AdjustBounds();
    void OpenLink();
    void updateShortcut();
    void focusChanged(QWidget *now);

    TAlignment m_alignment = TAlignment::taLeftJustify;
    bool m_autoSize = true;
    QPointer<QWidget> m_focusControl;
    TTextLayout m_layout = TTextLayout::tlTop;
    QColor m_shadowColor; // invalid: the palette's Light
    int m_shadowSize = 1;
    TShadowPosition m_shadowPos = TShadowPosition::spLeftTop;
    bool m_showAccelChar = true;
    bool m_showFocus = false;
    bool m_transparent = true;
    bool m_wordWrap = false;
    QColor m_linkColor = QColor(0, 0, 255);
    QString m_urlAdr;
    bool m_urlEnabled = true;
    QString m_urlFile;
    bool m_urlTypeAdd = true;
    TURLType m_urlType = TURLType::utMailto;

    QString m_caption;
    QColor m_fontColor;  // invalid: the palette's WindowText
    QColor m_color;      // invalid: the palette's Window
    QColor m_savedColor; // the font colour before the mouse came in
    bool m_hovering = false;
    bool m_focusControlActive = false;
    bool m_leftPressed = false;
    int m_shortcutId = 0;
};

} // namespace jov
