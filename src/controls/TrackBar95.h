#pragma once

#include <QSlider>

namespace jov {

/// A horizontal slider with ticks below it whose thumb length, thumb visibility and selection
/// range are properties. Changing one of them rebuilds the slider's look.
class TTrackBar95 : public QSlider
{
    Q_OBJECT

public:
    explicit TTrackBar95(QWidget *parent = nullptr);

    bool fixedLength() const { return m_fixedLength; }
    void setFixedLength(bool fixedLength);

    bool selEnabled() const { return m_selEnabled; }
    void setSelEnabled(bool selEnabled);

    bool thumb() const { return m_thumb; }
    void setThumb(bool thumb);

    // Length of the thumb along the groove in pixels; 0 leaves the style's own length.
    int thumbSize() const { return m_thumbSize; }
    void setThumbSize(int thumbSize);

    // The selection range, drawn as a band along the groove while selEnabled() is true.
    int selStart() const { return m_selStart; }
    int selEnd() const { return m_selEnd; }
    void setSelection(int start, int end);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    class ThumbLengthStyle;

    // Takes a changed property into the slider's look.
    void recreate();

    bool m_fixedLength = false;
    bool m_selEnabled = false;
    bool m_thumb = true;
    int m_thumbSize = 0;
    int m_selStart = 0;
    int m_selEnd = 0;
    ThumbLengthStyle *m_style = nullptr; // a child object
};

} // namespace jov
