#include "controls/StatusBar.h"

#include <QPainter>

namespace jov {

namespace {
constexpr int kPanelGap = 2;
}

TStatusBar::TStatusBar(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
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
    m_panels[index].text = text;
    if (!m_simplePanel)
        update(panelRect(index));
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

QRect TStatusBar::panelRect(int index) const
{
    int left = 0;
    for (int i = 0; i < index && i < m_panels.size(); ++i)
        left += m_panels[i].width + kPanelGap;
    int width = panelWidth(index);
    if (index == m_panels.size() - 1)
        width = qMax(width, this->width() - left); // the last panel takes what is left
    return QRect(left, kPanelGap, width, height() - kPanelGap);
}

void TStatusBar::setSimplePanel(bool on)
{
    if (m_simplePanel == on)
        return;
    m_simplePanel = on;
    update();
}

void TStatusBar::setSimpleText(const QString &text)
{
    if (m_simpleText == text)
        return;
    m_simpleText = text;
    if (m_simplePanel)
        update();
}

QSize TStatusBar::sizeHint() const
{
    return QSize(400, 19);
}

void TStatusBar::drawPanel(QPainter &painter, const QRect &rect, const QString &text,
                           Qt::Alignment alignment) const
{
    // A sunken frame one pixel wide: shadow on top and left, light on bottom and right.
    const QPalette &pal = palette();
    painter.setPen(pal.color(QPalette::Dark));
    painter.drawLine(rect.left(), rect.top(), rect.right(), rect.top());
    painter.drawLine(rect.left(), rect.top(), rect.left(), rect.bottom());
    painter.setPen(pal.color(QPalette::Light));
    painter.drawLine(rect.left() + 1, rect.bottom(), rect.right(), rect.bottom());
    painter.drawLine(rect.right(), rect.top() + 1, rect.right(), rect.bottom());
    const QRect inner = rect.adjusted(3, 1, -3, -1);
    painter.setPen(pal.color(QPalette::WindowText));
    painter.drawText(inner, int(alignment | Qt::AlignVCenter) | Qt::TextSingleLine,
                     painter.fontMetrics().elidedText(text, Qt::ElideRight, inner.width()));
}

void TStatusBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    if (m_simplePanel) {
        drawPanel(painter, QRect(0, kPanelGap, width(), height() - kPanelGap), m_simpleText,
                  Qt::AlignLeft);
        return;
    }
    for (int i = 0; i < m_panels.size(); ++i)
        drawPanel(painter, panelRect(i), m_panels[i].text, m_panels[i].alignment);
}

} // namespace jov
