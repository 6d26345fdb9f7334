#include "controls/StatusBar.h"

#include "controls/Accessible.h"

#include <QPainter>
#include <QTransform>

#include <cmath>

namespace jov {

namespace {
constexpr int kPanelGap = 2;
}

TStatusBar::TStatusBar(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    InstallAccessibleControls();
}

void TStatusBar::addPanel(int width, Qt::Alignment alignment)
{
    m_panels.append(Panel{width, alignment, QString()});
    update();
}

QString TStatusBar::panelText(int index) const
{
    return index >= 0 && index < m_panels.size() ? m_panels[index].text : QString();
}

void TStatusBar::setPanelText(int index, const QString &text)
{
    if (index < 0 || index >= m_panels.size() || m_panels[index].text == text)
        return;
    const bool overflowed = index == 0 && firstPanelOverflows();
    m_panels[index].text = text;
    if (overflowed || (index == 0 && firstPanelOverflows()))
        update();
    else if (!m_simplePanel)
        update(panelRect(index));
    NotifyStatusTextChanged(this, index);
}

int TStatusBar::panelWidth(int index) const
{
    return index >= 0 && index < m_panels.size() ? m_panels[index].width : 0;
}

void TStatusBar::setPanelWidth(int index, int width)
{
    if (index < 0 || index >= m_panels.size() || m_panels[index].width == width)
        return;
    m_panels[index].width = width;
    update();
}

QRect TStatusBar::devicePanelRect(int index) const
{
    const double ratio = devicePixelRatioF();
    const int gap = int(std::lround(kPanelGap * ratio));
    int left = 0;
    for (int i = 0; i < index && i < m_panels.size(); ++i)
        left += m_panels[i].width + gap;
    int width = panelWidth(index);
    if (index == m_panels.size() - 1) // the last panel takes what is left
        width = qMax(width, int(std::lround(this->width() * ratio)) - left);
    return QRect(left, gap, width, int(std::lround(height() * ratio)) - gap);
}

QRect TStatusBar::panelRect(int index) const
{
    const QRect device = devicePanelRect(index);
    const double ratio = devicePixelRatioF();
    const QPoint topLeft(int(std::floor(device.left() / ratio)),
                         int(std::floor(device.top() / ratio)));
    const QPoint pastEnd(int(std::ceil((device.right() + 1) / ratio)),
                         int(std::ceil((device.bottom() + 1) / ratio)));
    return QRect(topLeft, pastEnd - QPoint(1, 1));
}

void TStatusBar::setSimplePanel(bool on)
{
    if (m_simplePanel == on)
        return;
    m_simplePanel = on;
    update();
    NotifyStatusTextChanged(this, 0);
}

void TStatusBar::setSimpleText(const QString &text)
{
    if (m_simpleText == text)
        return;
    m_simpleText = text;
    if (m_simplePanel) {
        update();
        NotifyStatusTextChanged(this, 0);
    }
}

bool TStatusBar::firstPanelOverflows() const
{
    if (m_panels.isEmpty() || m_panels[0].text.isEmpty())
        return false;
    const double room = devicePanelRect(0).width() / devicePixelRatioF() - 6;
    return fontMetrics().horizontalAdvance(m_panels[0].text) > room;
}

QSize TStatusBar::sizeHint() const
{
    return QSize(400, 19);
}

void TStatusBar::drawPanel(QPainter &painter, const QRect &device, const QString &text,
                           Qt::Alignment alignment) const
{
    // A sunken frame one device pixel wide: shadow on top and left, light on bottom and right.
    const QPalette &pal = palette();
    const double ratio = devicePixelRatioF();
    painter.save();
    painter.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
    const QRect r = device;
    painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), pal.color(QPalette::Dark));
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), pal.color(QPalette::Dark));
    painter.fillRect(QRect(r.left() + 1, r.bottom(), r.width() - 1, 1), pal.color(QPalette::Light));
    painter.fillRect(QRect(r.right(), r.top() + 1, 1, r.height() - 1), pal.color(QPalette::Light));
    painter.restore();
    // The text in logical pixels, so that it scales with the window.
    const QRectF logical(r.left() / ratio, r.top() / ratio, r.width() / ratio, r.height() / ratio);
    const QRectF inner = logical.adjusted(3, 1, -3, -1);
    painter.setPen(pal.color(QPalette::WindowText));
    painter.drawText(
        inner, int(alignment | Qt::AlignVCenter) | Qt::TextSingleLine,
        painter.fontMetrics().elidedText(text, Qt::ElideRight, int(std::floor(inner.width()))));
}

void TStatusBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    if (m_simplePanel || firstPanelOverflows()) {
        const double ratio = devicePixelRatioF();
        const int gap = int(std::lround(kPanelGap * ratio));
        drawPanel(painter,
                  QRect(0, gap, int(std::lround(width() * ratio)),
                        int(std::lround(height() * ratio)) - gap),
                  m_simplePanel ? m_simpleText : m_panels[0].text, Qt::AlignLeft);
        return;
    }
    for (int i = 0; i < m_panels.size(); ++i)
        drawPanel(painter, devicePanelRect(i), m_panels[i].text, m_panels[i].alignment);
}

} // namespace jov
