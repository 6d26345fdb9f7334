#include "controls/TrackBar95.h"

#include "controls/KeptIconsStyle.h"

#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionSlider>

#include <algorithm>

namespace jov {

// The application's style with the thumb length of one slider put in.
class TTrackBar95::ThumbLengthStyle : public QProxyStyle
{
public:
    explicit ThumbLengthStyle(QStyle *base) : QProxyStyle(base) {}

    int length = 0;

    int pixelMetric(PixelMetric metric, const QStyleOption *option,
                    const QWidget *widget) const override
    {
        if (metric == PM_SliderLength && length > 0)
            return length;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

TTrackBar95::TTrackBar95(QWidget *parent) : QSlider(Qt::Horizontal, parent)
{
    setTickPosition(QSlider::TicksBelow);
    setTickInterval(1);

    // A base style of our own: the proxy takes ownership of it, and the slider of the proxy.
    QStyle *base = QStyleFactory::create(BaseStyleOf(QApplication::style())->name());
    m_style = new ThumbLengthStyle(base);
    m_style->setParent(this);
    setStyle(m_style);
}

void TTrackBar95::setFixedLength(bool fixedLength)
{
    if (fixedLength == m_fixedLength)
        return;
    m_fixedLength = fixedLength;
    recreate();
}

void TTrackBar95::setSelEnabled(bool selEnabled)
{
    if (selEnabled == m_selEnabled)
        return;
    m_selEnabled = selEnabled;
    recreate();
}

void TTrackBar95::setThumb(bool thumb)
{
    if (thumb == m_thumb)
        return;
    m_thumb = thumb;
    recreate();
}

void TTrackBar95::setThumbSize(int thumbSize)
{
    if (thumbSize == m_thumbSize)
        return;
    m_thumbSize = thumbSize;
    recreate();
}

void TTrackBar95::setSelection(int start, int end)
{
    m_selStart = start;
    m_selEnd = end;
    if (m_selEnabled)
        update();
}

void TTrackBar95::recreate()
{
    m_style->length = m_thumbSize;
    updateGeometry();
    update();
}

void TTrackBar95::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOptionSlider option;
    initStyleOption(&option);

    // The groove and the ticks are drawn by two calls: Fusion draws the ticks in the colour of
    // the groove's outline, which its drawing of the groove changes to the highlight's outline
    // whenever it makes the groove's picture afresh (the first slider of the window painted),
    // so that slider's ticks would look focused.
    option.subControls = QStyle::SC_SliderGroove;
    style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
    if (tickPosition() != QSlider::NoTicks) {
        option.subControls = QStyle::SC_SliderTickmarks;
        style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
    }

    if (m_selEnabled && maximum() > minimum()) {
        // Band between the thumb centres at the two ends of the range, inside the groove.
        auto centreAt = [this, &option](int value) {
            QStyleOptionSlider at = option;
            at.sliderPosition = value;
            at.sliderValue = value;
            return style()
                ->subControlRect(QStyle::CC_Slider, &at, QStyle::SC_SliderHandle, this)
                .center()
                .x();
        };
        const int from = centreAt(std::clamp(std::min(m_selStart, m_selEnd), minimum(), maximum()));
        const int to = centreAt(std::clamp(std::max(m_selStart, m_selEnd), minimum(), maximum()));
        const QRect groove =
            style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
        const int thickness = std::max(2, groove.height() / 2);
        const QRect band(from, groove.top() + (groove.height() - thickness) / 2, to - from + 1,
                         thickness);
        painter.fillRect(band, palette().color(QPalette::Highlight));
    }

    if (m_thumb) {
        option.subControls = QStyle::SC_SliderHandle;
        style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
    }
}

} // namespace jov
