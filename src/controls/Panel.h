#pragma once

#include "controls/Accessible.h"

#include <QFrame>
#include <QString>

namespace jov {

// A panel with a one-pixel lowered bevel whose face shows a colour (the sample panel, the slot
// row, the pipette panel). Reports double-clicks and mouse presses.
class TPanel : public QFrame
{
    Q_OBJECT
public:
    explicit TPanel(QWidget *parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor &color);
    // Describes the panel to assistive technologies as `describe` of its colour, kept current
    // (the sample reads as the current colour).
    void setColorDescription(ColorDescriber describe);
    QString colorDescription() const;

Q_SIGNALS:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QColor m_color;
    ColorDescriber m_describeColor;
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
