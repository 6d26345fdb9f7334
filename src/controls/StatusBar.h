#pragma once

#include <QList>
#include <QString>
#include <QWidget>

namespace jov {

// A status bar of fixed-width text panels along the bottom edge of a window, with a single
// full-width text mode that hides the panels while it is on. Panel widths are in device pixels:
// they keep their size whatever the scaling of the window (a 100-pixel panel is 100 pixels on
// a 120 dpi screen too), while the bar's height and the text follow the window. A first panel's
// text too long for it (a hint, a message) is shown whole across the bar while it lasts.
class TStatusBar : public QWidget
{
    Q_OBJECT
public:
    struct Panel
    {
        int width = 100;
        Qt::Alignment alignment = Qt::AlignLeft;
        QString text;
    };

    explicit TStatusBar(QWidget *parent = nullptr);

    int panelCount() const { return int(m_panels.size()); }
    void addPanel(int width, Qt::Alignment alignment);
    QString panelText(int index) const;
    void setPanelText(int index, const QString &text);
    int panelWidth(int index) const;
    void setPanelWidth(int index, int width);
    // The panel's rectangle in device pixels of the bar, and in its logical pixels (the
    // smallest logical rectangle covering it).
    QRect devicePanelRect(int index) const;
    QRect panelRect(int index) const;

    bool simplePanel() const { return m_simplePanel; }
    void setSimplePanel(bool on);
    QString simpleText() const { return m_simpleText; }
    void setSimpleText(const QString &text);

    // Whether the first panel's text is too long for it, and so shown across the bar.
    bool firstPanelOverflows() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // `device`: the panel's rectangle in device pixels.
    void drawPanel(class QPainter &painter, const QRect &device, const QString &text,
                   Qt::Alignment alignment) const;

    QList<Panel> m_panels;
    bool m_simplePanel = false;
    QString m_simpleText;
};

} // namespace jov
