#pragma once

#include "controls/Accessible.h"

#include <QFrame>
#include <QString>

#include <memory>

namespace jov::x11 {
class ColorPatch;
}

namespace jov {

// A panel with a one-pixel lowered bevel whose face shows a colour (the sample panel, the slot
// row, the pipette panel). Reports double-clicks and mouse presses.
class TPanel : public QFrame
{
    Q_OBJECT
public:
    explicit TPanel(QWidget *parent = nullptr);
    ~TPanel() override;

    QColor color() const { return m_color; }
    void setColor(const QColor &color);
    // Describes the panel to assistive technologies as `describe` of its colour, kept current
    // (the sample reads as the current colour).
    void setColorDescription(ColorDescriber describe);
    QString colorDescription() const;
    // While patched, the face's colour is shown by a window of the display's own laid over it,
    // whose background the X server paints, and nothing is drawn when it changes (a colour that
    // changes at every tick of the pipette). Only on X11, where the window is shown; elsewhere
    // the face is painted as always.
    void setColorPatched(bool patched);
    bool colorPatched() const { return bool(m_patch); }

Q_SIGNALS:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QColor m_color;
    ColorDescriber m_describeColor;
    std::unique_ptr<x11::ColorPatch> m_patch;
};

// A fixed picture that reports mouse presses (the pipette image).
class TImage : public QWidget
{
    Q_OBJECT
public:
    explicit TImage(QWidget *parent = nullptr);

    QImage picture() const { return m_picture; }
    void setPicture(const QImage &picture);
    // Size the control to its picture.
    void autoSize();

Q_SIGNALS:
    void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QImage m_picture;
};

// A group box with an etched frame and a caption in its own colour.
class TGroupBox : public QWidget
{
    Q_OBJECT
public:
    explicit TGroupBox(const QString &caption, QWidget *parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaptionColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_caption;
    QColor m_captionColor;
};

// A filled rectangle with a one-pixel black outline (the channel colour keys).
class TShape : public QWidget
{
    Q_OBJECT
public:
    TShape(const QColor &brush, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_brush;
};

} // namespace jov
