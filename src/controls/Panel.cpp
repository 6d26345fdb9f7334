#include "controls/Panel.h"

#include "controls/DevicePixels.h"
#include "x11/OwnWindows.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace jov {

TPanel::TPanel(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    // The frame and the colour cover every pixel: a new colour repaints the panel alone, not
    // the group box and window behind it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_color = palette().color(QPalette::Button);
    InstallAccessibleControls();
}

TPanel::~TPanel() = default;

void TPanel::setColor(const QColor &color)
{
    if (m_color == color)
        return;
    m_color = color;
    if (m_describeColor)
        NotifyDescriptionChanged(this);
    if (m_patch) {
        m_patch->setColor(m_color.rgb());
        return;
    }
    // The frame stays as it is: the pipette changes the colour at every tick.
    update(contentsRect());
}

void TPanel::setColorPatched(bool patched)
{
    if (patched == bool(m_patch))
        return;
    if (!patched) {
        // What the patch showed stays on the screen until the face is painted in the same colour.
        update(contentsRect());
        m_patch.reset();
        return;
    }
    const QWidget *top = window();
    const QWindow *handle = top->windowHandle();
    if (!isVisible() || !handle || !top->internalWinId())
        return;
    const QRect inWindow(mapTo(top, contentsRect().topLeft()), contentsRect().size());
    auto patch = std::make_unique<x11::ColorPatch>(
        xcb_window_t(top->internalWinId()),
        LogicalToDevice(inWindow, QRect(), handle->devicePixelRatio()), m_color.rgb());
    if (*patch)
        m_patch = std::move(patch);
}

void TPanel::setColorDescription(ColorDescriber describe)
{
    m_describeColor = std::move(describe);
    NotifyDescriptionChanged(this);
}

QString TPanel::colorDescription() const
{
    return m_describeColor ? m_describeColor(m_color) : QString();
}

void TPanel::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        painter.fillRect(contentsRect(), m_color);
    }
    if (!contentsRect().contains(event->rect()))
        QFrame::paintEvent(event);
}

void TPanel::mouseDoubleClickEvent(QMouseEvent *event)
{
    QFrame::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        Q_EMIT doubleClicked();
}

TImage::TImage(QWidget *parent) : QWidget(parent)
{
    InstallAccessibleControls();
}

void TImage::setPicture(const QImage &picture)
{
    m_picture = picture;
    update();
}

void TImage::autoSize()
{
    if (!m_picture.isNull())
        resize(m_picture.size());
}

void TImage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_picture);
}

void TImage::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    Q_EMIT mousePressed(event->button(), event->modifiers(), event->position().toPoint());
}

TGroupBox::TGroupBox(const QString &caption, QWidget *parent)
    : QWidget(parent), m_caption(caption), m_captionColor(palette().color(QPalette::WindowText))
{
    InstallAccessibleControls();
}

void TGroupBox::setCaptionColor(const QColor &color)
{
    m_captionColor = color;
    update();
}

void TGroupBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QFontMetrics fm = fontMetrics();
    const int top = fm.height() / 2;
    // Etched frame: a shadow line with a light line one pixel right and down.
    const QRect frame(0, top, width() - 2, height() - top - 2);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(frame);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(frame.translated(1, 1));
    const QRect text(8, 0, fm.horizontalAdvance(m_caption), fm.height());
    painter.fillRect(text, palette().color(QPalette::Window));
    painter.setPen(m_captionColor);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_caption);
}

TShape::TShape(const QColor &brush, QWidget *parent) : QWidget(parent), m_brush(brush)
{
    InstallAccessibleControls();
}

void TShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_brush);
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace jov
