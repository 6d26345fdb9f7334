#include "controls/TrackBar95.h"

#include "TestSupport.h"
#include "controls/KeptIconsStyle.h"

#include <QApplication>
#include <QPixmapCache>
#include <QProxyStyle>
#include <QStyleOptionSlider>
#include <QTest>

using namespace jov;
using jov::test::Grab;
using jov::test::PixelAt;

namespace {

// Reaches the style option the slider paints with.
class Probe : public TTrackBar95
{
public:
    using TTrackBar95::initStyleOption;

    QRect subControl(QStyle::SubControl control, int value = -1)
    {
        QStyleOptionSlider option;
        initStyleOption(&option);
        if (value >= 0)
            option.sliderPosition = option.sliderValue = value;
        return style()->subControlRect(QStyle::CC_Slider, &option, control, this);
    }
};

// The channel sliders of the main window.
void SetUpChannel(TTrackBar95 &slider)
{
    slider.resize(425, 26);
    slider.setRange(0, 255);
    slider.setPageStep(51);
    slider.setTickInterval(51);
    slider.setThumbSize(20);
    slider.ensurePolished();
}

} // namespace

class TestTrackBar95 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void creationValues();
    void thumbLength_data();
    void thumbLength();
    void selectionBand_data();
    void selectionBand();
    void ticksLookAlikeFirstPainted();
    // Last: it changes the application's style.
    void underKeptIconsStyle();
};

void TestTrackBar95::creationValues()
{
    TTrackBar95 slider;
    QVERIFY(!slider.fixedLength());
    QVERIFY(!slider.selEnabled());
    QVERIFY(slider.thumb());
    QCOMPARE(slider.thumbSize(), 0);
    QCOMPARE(slider.orientation(), Qt::Horizontal);
    QCOMPARE(slider.tickPosition(), QSlider::TicksBelow);
}

void TestTrackBar95::thumbLength_data()
{
    QTest::addColumn<int>("thumbSize");
    QTest::addColumn<int>("expected"); // -1: the style's own length
    QTest::newRow("main-window-20") << 20 << 20;
    QTest::newRow("long-33") << 33 << 33;
    QTest::newRow("zero-keeps-style-length") << 0 << -1;
}

// Measured on the painted slider: the columns of the groove's middle row that change when the
// thumb is hidden.
void TestTrackBar95::thumbLength()
{
    QFETCH(int, thumbSize);
    QFETCH(int, expected);

    Probe slider;
    SetUpChannel(slider);
    slider.setThumbSize(thumbSize);
    slider.setValue(128);
    if (expected < 0) {
        QStyleOptionSlider option;
        slider.initStyleOption(&option);
        expected = QApplication::style()->pixelMetric(QStyle::PM_SliderLength, &option, &slider);
    }
    QCOMPARE(slider.subControl(QStyle::SC_SliderHandle).width(), expected);

    const int y = slider.subControl(QStyle::SC_SliderGroove).center().y();
    const QImage withThumb = Grab(slider);
    slider.setThumb(false);
    const QImage without = Grab(slider);
    int first = -1, last = -1;
    for (int x = 0; x < withThumb.width(); ++x) {
        if (withThumb.pixel(x, y) != without.pixel(x, y)) {
            if (first < 0)
                first = x;
            last = x;
        }
    }
    QVERIFY2(first >= 0, "the thumb is drawn, and hidden without Thumb");
    QCOMPARE(last - first + 1, expected);
}

void TestTrackBar95::selectionBand_data()
{
    QTest::addColumn<bool>("selEnabled");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<bool>("band");
    QTest::newRow("enabled") << true << 100 << 200 << true;
    QTest::newRow("enabled-ends-reversed") << true << 200 << 100 << true;
    QTest::newRow("disabled-draws-none") << false << 100 << 200 << false;
}

void TestTrackBar95::selectionBand()
{
    QFETCH(bool, selEnabled);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(bool, band);

    Probe slider;
    SetUpChannel(slider);
    slider.setValue(0);
    slider.setSelEnabled(selEnabled);
    slider.setSelection(start, end);
    const QColor highlight = slider.palette().color(QPalette::Highlight);
    const int y = slider.subControl(QStyle::SC_SliderGroove).center().y();
    const QImage image = Grab(slider);

    auto xAt = [&slider](int value) {
        return slider.subControl(QStyle::SC_SliderHandle, value).center().x();
    };
    QCOMPARE(PixelAt(image, xAt(150), y) == highlight, band);
    QCOMPARE(PixelAt(image, xAt(105), y) == highlight, band);
    QVERIFY(PixelAt(image, xAt(95), y) != highlight);
    QVERIFY(PixelAt(image, xAt(230), y) != highlight);
}

// The first slider painted (the style makes its groove's picture then) has its ticks in the
// same colour as the others: no slider looks focused that is not.
void TestTrackBar95::ticksLookAlikeFirstPainted()
{
    QPixmapCache::clear();
    TTrackBar95 first;
    TTrackBar95 second;
    SetUpChannel(first);
    SetUpChannel(second);
    const QImage firstImage = Grab(first);
    QCOMPARE(Grab(second), firstImage);
}

// Under the program's own style the standard icons are made once: asked again, the same
// pixmaps come back instead of new ones added to Qt's pixmap cache. The sliders keep the real
// style beneath it.
void TestTrackBar95::underKeptIconsStyle()
{
    QApplication::setStyle(new TKeptIconsStyle);
    QStyle *style = QApplication::style();
    for (const QStyle::StandardPixmap icon :
         {QStyle::SP_MessageBoxWarning, QStyle::SP_FileDialogBack, QStyle::SP_DirIcon}) {
        const qint64 first = style->standardIcon(icon).pixmap(32).cacheKey();
        QCOMPARE(style->standardIcon(icon).pixmap(32).cacheKey(), first);
    }
    TTrackBar95 slider;
    const auto *own = qobject_cast<const QProxyStyle *>(slider.style());
    QVERIFY(own);
    QCOMPARE(own->baseStyle()->name(), BaseStyleOf(style)->name());
    QVERIFY(!own->baseStyle()->name().isEmpty());
}

QTEST_MAIN(TestTrackBar95)
#include "tst_trackbar95.moc"
