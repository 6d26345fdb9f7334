#include "controls/ColorButton.h"

#include "TestSupport.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QSignalSpy>
#include <QTest>

using namespace jov;
using jov::test::BoundsOf;
using jov::test::Grab;
using jov::test::PixelAt;

namespace {

const QColor White(255, 255, 255);
const QColor Grey191(191, 191, 191);
const QColor Face(10, 100, 250);
const QColor FaceLight(74, 164, 255);
const QColor FaceDark(0, 36, 186);

void GiveFocus(QWidget &widget)
{
    QFocusEvent in(QEvent::FocusIn, Qt::OtherFocusReason);
    QApplication::sendEvent(&widget, &in);
}

// An aliased font of fixed pixel size, so that caption pixels are either ink or face.
QFont CrispFont()
{
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(13);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// A 4 x 3 picture whose bottom-left colour, magenta, also appears inside it.
QImage TestPicture()
{
    const QColor m(Qt::magenta);
    const QColor rows[3][4] = {{Qt::red, Qt::green, Qt::blue, Qt::yellow},
                               {Qt::cyan, m, Qt::red, Qt::green},
                               {m, Qt::blue, Qt::yellow, Qt::cyan}};
    QImage image(4, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            image.setPixelColor(x, y, rows[y][x]);
    return image;
}

// What a picture pixel looks like on a white face: the transparent colour shows the face.
QColor Shown(const QImage &picture, int x, int y)
{
    const QColor c = picture.pixelColor(x, y);
    return c == picture.pixelColor(0, picture.height() - 1) ? White : c;
}

QImage WhiteButtonGrab(TColorButton &button)
{
    button.setColor(White);
    QPalette palette = button.palette();
    palette.setColor(QPalette::ButtonText, Qt::black);
    button.setPalette(palette);
    return Grab(button);
}

bool IsInk(QColor c)
{
    return c != White && c != Grey191;
}

} // namespace

class TestColorButton : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void creationValues();
    void setterCorrections_data();
    void setterCorrections();
    void faceFollowsPaletteUntilSet();

    void bevel_data();
    void bevel();
    void bevelNone();
    void bevelRings_data();
    void bevelRings();

    void focusRect_data();
    void focusRect();

    void picturePlacement_data();
    void picturePlacement();
    void pictureStretch();
    void pictureRect_data();
    void pictureRect();
    void autoSize_data();
    void autoSize();

    void captionOrigin_data();
    void captionOrigin();
    void captionPixels_data();
    void captionPixels();
    void accelUnderline_data();
    void accelUnderline();
    void disabledEmboss();

    void removeAccelMark_data();
    void removeAccelMark();
    void acceleratorChar_data();
    void acceleratorChar();

    void mouseClick_data();
    void mouseClick();
    void doubleClick();
    void keys_data();
    void keys();
    void enabledChangeSetsPressState();
    void acceleratorClicks_data();
    void acceleratorClicks();
};

void TestColorButton::creationValues()
{
    TColorButton button;
    QCOMPARE(button.size(), QSize(75, 25));
    QCOMPARE(button.alignment(), TAlignment::alMiddleCenter);
    QCOMPARE(button.bevelStyle(), TButtonBevel::bbRaised);
    QCOMPARE(button.bevelSize(), 2);
    QCOMPARE(button.spacing(), 2);
    QCOMPARE(button.buttonStyle(),
             TButtonStyles::bsCenter | TButtonStyles::bsShowFocus | TButtonStyles::bsShowKey);
    QCOMPARE(button.pressState(), TPressState::psUp);
    QVERIFY(button.caption().isEmpty());
    QVERIFY(button.picture().isNull());
}

void TestColorButton::setterCorrections_data()
{
    QTest::addColumn<bool>("bevel"); // else spacing
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("bevel-0-becomes-1") << true << 0 << 1;
    QTest::newRow("bevel-minus5-becomes-1") << true << -5 << 1;
    QTest::newRow("bevel-3-kept") << true << 3 << 3;
    QTest::newRow("spacing-minus1-becomes-0") << false << -1 << 0;
    QTest::newRow("spacing-0-kept") << false << 0 << 0;
    QTest::newRow("spacing-7-kept") << false << 7 << 7;
}

void TestColorButton::setterCorrections()
{
    QFETCH(bool, bevel);
    QFETCH(int, value);
    QFETCH(int, expected);
    TColorButton button;
    if (bevel) {
        button.setBevelSize(value);
        QCOMPARE(button.bevelSize(), expected);
    } else {
        button.setSpacing(value);
        QCOMPARE(button.spacing(), expected);
    }
}

void TestColorButton::faceFollowsPaletteUntilSet()
{
    TColorButton button;
    QPalette palette = button.palette();
    palette.setColor(QPalette::Button, QColor(1, 2, 3));
    button.setPalette(palette);
    QCOMPARE(button.color(), QColor(1, 2, 3));
    QCOMPARE(PixelAt(Grab(button), 37, 12), QColor(1, 2, 3));

    button.setColor(Face);
    QCOMPARE(button.colorRef(), ColorRef(0x00FA640A));
    palette.setColor(QPalette::Button, QColor(4, 5, 6));
    button.setPalette(palette);
    QCOMPARE(PixelAt(Grab(button), 37, 12), Face);

    button.setColorRef(MakeColor(200, 100, 50));
    QCOMPARE(button.color(), QColor(200, 100, 50));
    button.resetColor();
    QCOMPARE(button.color(), QColor(4, 5, 6));
}

void TestColorButton::bevel_data()
{
    QTest::addColumn<QColor>("face");
    QTest::addColumn<TButtonBevel>("bevel");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<QColor>("top");
    QTest::addColumn<QColor>("bottom");
    QTest::newRow("slot-white-up") << White << TButtonBevel::bbRaised << false << White << Grey191;
    QTest::newRow("slot-white-pressed")
        << White << TButtonBevel::bbRaised << true << Grey191 << White;
    QTest::newRow("blue-face-up") << Face << TButtonBevel::bbRaised << false << FaceLight
                                  << FaceDark;
    QTest::newRow("blue-face-pressed")
        << Face << TButtonBevel::bbRaised << true << FaceDark << FaceLight;
    QTest::newRow("lowered-up-looks-sunken")
        << Face << TButtonBevel::bbLowered << false << FaceDark << FaceLight;
    QTest::newRow("lowered-pressed-looks-raised")
        << Face << TButtonBevel::bbLowered << true << FaceLight << FaceDark;
}

void TestColorButton::bevel()
{
    QFETCH(QColor, face);
    QFETCH(TButtonBevel, bevel);
    QFETCH(bool, pressed);
    QFETCH(QColor, top);
    QFETCH(QColor, bottom);

    TColorButton button;
    button.resize(23, 22);
    button.setBevelSize(1);
    button.setButtonStyle(TButtonStyles::bsCenter);
    button.setBevelStyle(bevel);
    button.setColor(face);
    if (pressed)
        QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(button.pressState(), pressed ? TPressState::psDown : TPressState::psUp);

    const QImage image = Grab(button);
    QCOMPARE(PixelAt(image, 0, 10), top);     // left column
    QCOMPARE(PixelAt(image, 10, 0), top);     // top row
    QCOMPARE(PixelAt(image, 0, 0), top);      // top-left corner
    QCOMPARE(PixelAt(image, 22, 10), bottom); // right column
    QCOMPARE(PixelAt(image, 10, 21), bottom); // bottom row
    QCOMPARE(PixelAt(image, 22, 21), bottom); // bottom-right corner
    QCOMPARE(PixelAt(image, 0, 21), bottom);  // bottom-left corner
    QCOMPARE(PixelAt(image, 22, 0), bottom);  // top-right corner
    QCOMPARE(PixelAt(image, 1, 1), face);
    QCOMPARE(PixelAt(image, 21, 20), face);
}

void TestColorButton::bevelNone()
{
    TColorButton button;
    button.setColor(Face);
    button.setBevelStyle(TButtonBevel::bbNone);
    const QImage image = Grab(button);
    for (int x = 0; x < 75; ++x) {
        QCOMPARE(PixelAt(image, x, 0), Face);
        QCOMPARE(PixelAt(image, x, 24), Face);
    }
    for (int y = 0; y < 25; ++y) {
        QCOMPARE(PixelAt(image, 0, y), Face);
        QCOMPARE(PixelAt(image, 74, y), Face);
    }
}

void TestColorButton::bevelRings_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("two-rings") << 2;
    QTest::newRow("three-rings") << 3;
}

void TestColorButton::bevelRings()
{
    QFETCH(int, size);
    TColorButton button;
    button.resize(30, 22);
    button.setColor(Face);
    button.setBevelSize(size);
    const QImage image = Grab(button);
    const int w = 30, h = 22;
    for (int i = 0; i < size; ++i) {
        QCOMPARE(PixelAt(image, i, 10), FaceLight);
        QCOMPARE(PixelAt(image, 15, i), FaceLight);
        QCOMPARE(PixelAt(image, i, i), FaceLight);
        QCOMPARE(PixelAt(image, w - 1 - i, 10), FaceDark);
        QCOMPARE(PixelAt(image, 15, h - 1 - i), FaceDark);
        QCOMPARE(PixelAt(image, i, h - 1 - i), FaceDark);
        QCOMPARE(PixelAt(image, w - 1 - i, i), FaceDark);
    }
    QCOMPARE(PixelAt(image, size, 10), Face);
    QCOMPARE(PixelAt(image, w - 1 - size, 10), Face);
    QCOMPARE(PixelAt(image, 15, size), Face);
}

void TestColorButton::focusRect_data()
{
    QTest::addColumn<TButtonBevel>("bevel");
    QTest::addColumn<int>("bevelSize");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<bool>("showFocus");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QRect>("expected"); // empty: nothing drawn

    QTest::newRow("raised-bevel2-spacing2")
        << TButtonBevel::bbRaised << 2 << 2 << true << true << QRect(3, 3, 69, 19);
    QTest::newRow("no-bevel-uses-whole-control")
        << TButtonBevel::bbNone << 2 << 2 << true << true << QRect(1, 1, 73, 23);
    QTest::newRow("spacing0-lies-on-bevel")
        << TButtonBevel::bbRaised << 1 << 0 << true << true << QRect(0, 0, 75, 25);
    QTest::newRow("no-bevel-spacing0-outside-control")
        << TButtonBevel::bbNone << 1 << 0 << true << true << QRect();
    QTest::newRow("without-bsShowFocus")
        << TButtonBevel::bbRaised << 2 << 2 << false << true << QRect();
    QTest::newRow("disabled") << TButtonBevel::bbRaised << 2 << 2 << true << false << QRect();
}

void TestColorButton::focusRect()
{
    QFETCH(TButtonBevel, bevel);
    QFETCH(int, bevelSize);
    QFETCH(int, spacing);
    QFETCH(bool, showFocus);
    QFETCH(bool, enabled);
    QFETCH(QRect, expected);

    TColorButton button;
    button.setColor(Face);
    button.setBevelStyle(bevel);
    button.setBevelSize(bevelSize);
    button.setSpacing(spacing);
    TButtonStyle style = TButtonStyles::bsCenter;
    style.setFlag(TButtonStyles::bsShowFocus, showFocus);
    button.setButtonStyle(style);
    button.setEnabled(enabled);

    const QImage before = Grab(button);
    GiveFocus(button);
    const QImage after = Grab(button);

    QRect changed;
    for (int y = 0; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x) {
            const QRgb was = before.pixel(x, y) & 0xFFFFFF;
            const QRgb now = after.pixel(x, y) & 0xFFFFFF;
            if (was == now)
                continue;
            QCOMPARE(now, was ^ 0xFFFFFFu); // inverted, not painted over
            changed |= QRect(x, y, 1, 1);
        }
    }
    QCOMPARE(changed, expected);

    if (!expected.isEmpty()) {
        // Dotted: every other pixel of the top edge is inverted.
        const int y = expected.top();
        auto inverted = [&](int x) { return before.pixel(x, y) != after.pixel(x, y); };
        for (int x = expected.left(); x < expected.right(); ++x)
            QVERIFY(inverted(x) != inverted(x + 1));

        QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
        QApplication::sendEvent(&button, &out);
        QCOMPARE(Grab(button), before);
    }
}

void TestColorButton::picturePlacement_data()
{
    QTest::addColumn<TButtonStyle>("style");
    QTest::addColumn<TAlignment>("alignment");
    QTest::addColumn<QPoint>("at");

    // A 41 x 30 button, BevelSize 1, Spacing 2 (margin 3), a 4 x 3 picture.
    const TButtonStyle none;
    QTest::newRow("center-wins-over-alignment")
        << TButtonStyle(TButtonStyles::bsCenter) << TAlignment::alTopLeft << QPoint(18, 13);
    QTest::newRow("caption-top-picture-bottom") << none << TAlignment::alTopRight << QPoint(18, 24);
    QTest::newRow("caption-left-picture-right")
        << none << TAlignment::alMiddleLeft << QPoint(34, 13);
    QTest::newRow("caption-middle-picture-middle")
        << none << TAlignment::alMiddleCenter << QPoint(18, 13);
    QTest::newRow("caption-right-picture-left")
        << none << TAlignment::alMiddleRight << QPoint(3, 13);
    QTest::newRow("caption-bottom-picture-top")
        << none << TAlignment::alBottomLeft << QPoint(18, 3);
}

void TestColorButton::picturePlacement()
{
    QFETCH(TButtonStyle, style);
    QFETCH(TAlignment, alignment);
    QFETCH(QPoint, at);

    const QImage picture = TestPicture();
    TColorButton button;
    button.resize(41, 30);
    button.setBevelSize(1);
    button.setButtonStyle(style);
    button.setAlignment(alignment);
    button.setPicture(picture);
    const QImage image = WhiteButtonGrab(button);

    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            QCOMPARE(PixelAt(image, at.x() + x, at.y() + y), Shown(picture, x, y));
    // Nothing of the picture outside its rectangle.
    const QRect drawn = BoundsOf(image, [](QColor c) { return c != White && c != Grey191; });
    QVERIFY(QRect(at, picture.size()).contains(drawn));
}

void TestColorButton::pictureStretch()
{
    const QImage picture = TestPicture();
    TColorButton button;
    button.resize(40, 30);
    button.setBevelSize(1);
    // bsStretch wins over bsCenter.
    button.setButtonStyle(TButtonStyles::bsStretch | TButtonStyles::bsCenter);
    button.setPicture(picture);
    const QImage image = WhiteButtonGrab(button);

    // Target (3, 3, 37, 27): each picture pixel covers 8.5 x 8 pixels; look at their centres.
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            const QPoint centre(3 + (2 * x + 1) * 34 / 8, 3 + (2 * y + 1) * 24 / 6);
            QCOMPARE(PixelAt(image, centre.x(), centre.y()), Shown(picture, x, y));
        }
    }
    QCOMPARE(PixelAt(image, 3, 3), Shown(picture, 0, 0));
    QCOMPARE(PixelAt(image, 36, 3), Shown(picture, 3, 0));
    QCOMPARE(PixelAt(image, 36, 26), Shown(picture, 3, 2));
    const QRect drawn = BoundsOf(image, [](QColor c) { return c != White && c != Grey191; });
    QCOMPARE(drawn, QRect(3, 3, 34, 24));
}

void TestColorButton::pictureRect_data()
{
    QTest::addColumn<TButtonStyle>("style");
    QTest::addColumn<TAlignment>("alignment");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRect>("expected");

    const TButtonStyle center = TButtonStyles::bsCenter;
    QTest::newRow("stretch-ignores-picture-size")
        << TButtonStyle(TButtonStyles::bsStretch) << TAlignment::alTopLeft << QSize(100, 100)
        << QRect(4, 4, 67, 17);
    QTest::newRow("center-wider-than-button-truncates-toward-zero")
        << center << TAlignment::alMiddleCenter << QSize(78, 28) << QRect(-1, -1, 78, 28);
    QTest::newRow("top-caption-puts-picture-at-bottom")
        << TButtonStyle() << TAlignment::alTopCenter << QSize(16, 16) << QRect(29, 5, 16, 16);
    QTest::newRow("out-of-range-alignment-counts-as-middle-centre")
        << TButtonStyle() << static_cast<TAlignment>(42) << QSize(16, 16) << QRect(29, 4, 16, 16);
}

void TestColorButton::pictureRect()
{
    QFETCH(TButtonStyle, style);
    QFETCH(TAlignment, alignment);
    QFETCH(QSize, picture);
    QFETCH(QRect, expected);
    QCOMPARE(PictureRect(style, alignment, QSize(75, 25), 4, picture), expected);
}

void TestColorButton::autoSize_data()
{
    QTest::addColumn<TButtonStyle>("style");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<int>("bevelSize");
    QTest::addColumn<QSize>("expected");
    const TButtonStyle autoSize = TButtonStyles::bsAutoSize | TButtonStyles::bsCenter;
    QTest::newRow("16x16-bevel1") << autoSize << QSize(16, 16) << 1 << QSize(18, 18);
    QTest::newRow("10x6-bevel3") << autoSize << QSize(10, 6) << 3 << QSize(16, 12);
    QTest::newRow("no-picture-keeps-size") << autoSize << QSize() << 1 << QSize(75, 25);
    QTest::newRow("without-bsAutoSize")
        << TButtonStyle(TButtonStyles::bsCenter) << QSize(16, 16) << 1 << QSize(75, 25);
}

void TestColorButton::autoSize()
{
    QFETCH(TButtonStyle, style);
    QFETCH(QSize, picture);
    QFETCH(int, bevelSize);
    QFETCH(QSize, expected);

    TColorButton button;
    button.setButtonStyle(style);
    button.setBevelSize(bevelSize);
    if (picture.isValid()) {
        QImage image(picture, QImage::Format_RGB32);
        image.fill(Qt::red);
        image.setPixelColor(0, image.height() - 1, Qt::black); // the see-through colour
        button.setPicture(image);
    }
    Grab(button); // the size follows the picture at a paint
    QCOMPARE(button.size(), expected);
    const QImage image = Grab(button);
    QCOMPARE(image.size(), expected);
    if (expected == QSize(18, 18)) {
        // The picture fills the inside of the bevel exactly.
        QCOMPARE(PixelAt(image, 1, 1), QColor(Qt::red));
        QCOMPARE(PixelAt(image, 16, 16), QColor(Qt::red));
        QCOMPARE(PixelAt(image, 1, 16), button.color());
        QVERIFY(PixelAt(image, 17, 17) != QColor(Qt::red));
    }
}

void TestColorButton::captionOrigin_data()
{
    QTest::addColumn<TAlignment>("alignment");
    QTest::addColumn<QSize>("control");
    QTest::addColumn<int>("margin");
    QTest::addColumn<QSize>("text");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QPoint>("expected");

    const QSize button(75, 25);
    const QSize text(30, 13);
    QTest::newRow("middle-centre-75x25")
        << TAlignment::alMiddleCenter << button << 4 << text << 0 << QPoint(22, 6);
    QTest::newRow("wider-than-button-truncates-toward-zero")
        << TAlignment::alMiddleCenter << QSize(20, 25) << 4 << QSize(15, 13) << 0 << QPoint(3, 6);
    QTest::newRow("top-left") << TAlignment::alTopLeft << button << 4 << text << 0 << QPoint(4, 4);
    QTest::newRow("top-center") << TAlignment::alTopCenter << button << 4 << text << 0
                                << QPoint(22, 4);
    QTest::newRow("top-right") << TAlignment::alTopRight << button << 4 << text << 0
                               << QPoint(41, 4);
    QTest::newRow("middle-left") << TAlignment::alMiddleLeft << button << 4 << text << 0
                                 << QPoint(4, 6);
    QTest::newRow("middle-right") << TAlignment::alMiddleRight << button << 4 << text << 0
                                  << QPoint(41, 6);
    QTest::newRow("bottom-left") << TAlignment::alBottomLeft << button << 4 << text << 0
                                 << QPoint(4, 8);
    QTest::newRow("bottom-center")
        << TAlignment::alBottomCenter << button << 4 << text << 0 << QPoint(22, 8);
    QTest::newRow("bottom-right-embossed")
        << TAlignment::alBottomRight << button << 4 << text << 1 << QPoint(42, 9);
    QTest::newRow("middle-centre-embossed")
        << TAlignment::alMiddleCenter << button << 4 << text << 1 << QPoint(23, 7);
    QTest::newRow("odd-height-rounds-down")
        << TAlignment::alMiddleLeft << QSize(75, 26) << 4 << text << 0 << QPoint(4, 6);
    QTest::newRow("out-of-range-counts-as-middle-centre")
        << static_cast<TAlignment>(9) << button << 4 << text << 0 << QPoint(22, 6);
}

void TestColorButton::captionOrigin()
{
    QFETCH(TAlignment, alignment);
    QFETCH(QSize, control);
    QFETCH(int, margin);
    QFETCH(QSize, text);
    QFETCH(int, offset);
    QFETCH(QPoint, expected);
    QCOMPARE(CaptionOrigin(alignment, control, margin, text, offset), expected);
}

void TestColorButton::captionPixels_data()
{
    QTest::addColumn<TAlignment>("alignment");
    QTest::newRow("top-right") << TAlignment::alTopRight;
    QTest::newRow("middle-center") << TAlignment::alMiddleCenter;
    QTest::newRow("bottom-left") << TAlignment::alBottomLeft;
    QTest::newRow("bottom-right") << TAlignment::alBottomRight;
}

// The ink of the caption lies in its text cell, and moves with the alignment exactly as far as
// the computed origin does.
void TestColorButton::captionPixels()
{
    QFETCH(TAlignment, alignment);
    const QFont font = CrispFont();
    const QFontMetrics metrics(font);
    const QSize text(metrics.horizontalAdvance(QStringLiteral("Ok")), metrics.height());

    auto inkFor = [&font](TAlignment a) {
        TColorButton button;
        button.resize(75, 40);
        button.setFont(font);
        button.setCaption(QStringLiteral("Ok"));
        button.setAlignment(a);
        return BoundsOf(WhiteButtonGrab(button), IsInk);
    };
    const QRect reference = inkFor(TAlignment::alTopLeft);
    QVERIFY(!reference.isEmpty());
    QVERIFY(QRect(QPoint(4, 4), text).contains(reference));

    const QPoint shift = CaptionOrigin(alignment, QSize(75, 40), 4, text, 0) -
                         CaptionOrigin(TAlignment::alTopLeft, QSize(75, 40), 4, text, 0);
    QCOMPARE(inkFor(alignment), reference.translated(shift));
}

void TestColorButton::accelUnderline_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("showKey");
    QTest::addColumn<QString>("drawn");
    QTest::addColumn<int>("marked"); // 1-based position in `drawn`, 0: no underline

    QTest::newRow("first-char") << QStringLiteral("&Ok") << true << QStringLiteral("Ok") << 1;
    QTest::newRow("second-char") << QStringLiteral("O&k") << true << QStringLiteral("Ok") << 2;
    QTest::newRow("doubled-underlines-remaining-ampersand")
        << QStringLiteral("A&&B") << true << QStringLiteral("A&B") << 2;
    QTest::newRow("without-bsShowKey")
        << QStringLiteral("&Ok") << false << QStringLiteral("Ok") << 0;
    QTest::newRow("no-mark") << QStringLiteral("Ok") << true << QStringLiteral("Ok") << 0;
}

void TestColorButton::accelUnderline()
{
    QFETCH(QString, caption);
    QFETCH(bool, showKey);
    QFETCH(QString, drawn);
    QFETCH(int, marked);

    const QFont font = CrispFont();
    const QFontMetrics metrics(font);
    TColorButton button;
    button.resize(75, 30);
    button.setFont(font);
    button.setCaption(caption);
    button.setAlignment(TAlignment::alTopLeft);
    TButtonStyle style = TButtonStyles::bsCenter;
    style.setFlag(TButtonStyles::bsShowKey, showKey);
    button.setButtonStyle(style);
    const QImage image = WhiteButtonGrab(button);

    // Text at (4, 4); the line lies one pixel below the text cell.
    const int y = 4 + metrics.height();
    int from = 0, to = 0;
    if (marked > 0) {
        from = 4 + metrics.horizontalAdvance(drawn.left(marked - 1));
        to = 4 + metrics.horizontalAdvance(drawn.left(marked));
        QVERIFY(to > from);
    }
    for (int x = 2; x < 73; ++x) {
        const bool underline = x >= from && x < to;
        QCOMPARE(PixelAt(image, x, y), underline ? QColor(Qt::black) : White);
    }
}

void TestColorButton::disabledEmboss()
{
    const QFont font = CrispFont();
    auto setUp = [&font](TColorButton &button) {
        button.setFont(font);
        button.setColor(Face);
        button.setCaption(QStringLiteral("Ok"));
        QPalette palette = button.palette();
        palette.setColor(QPalette::ButtonText, Qt::black);
        button.setPalette(palette);
    };
    TColorButton enabled;
    setUp(enabled);
    const QRect inPlace = BoundsOf(Grab(enabled), [](QColor c) { return c == QColor(Qt::black); });
    QVERIFY(!inPlace.isEmpty());

    TColorButton disabled;
    setUp(disabled);
    disabled.setEnabled(false);
    const QImage image = Grab(disabled);
    QCOMPARE(disabled.pressState(), TPressState::psDisabled);

    // Darkened face colour in place over the lightened one shifted by (1, 1); no black text.
    const QRect inner(2, 2, 71, 21);
    const QImage inside = image.copy(inner);
    const QRect dark = BoundsOf(inside, [](QColor c) { return c == FaceDark; });
    const QRect light = BoundsOf(inside, [](QColor c) { return c == FaceLight; });
    QCOMPARE(dark.translated(inner.topLeft()), inPlace);
    QCOMPARE(light.bottomRight(), dark.bottomRight() + QPoint(1, 1));
    QVERIFY(BoundsOf(inside, [](QColor c) {
                return c != Face && c != FaceDark && c != FaceLight;
            }).isEmpty());
}

void TestColorButton::removeAccelMark_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("position");
    QTest::newRow("leading") << "&Ok"
                             << "Ok" << 1;
    QTest::newRow("doubled-removes-one") << "A&&B"
                                         << "A&B" << 2;
    QTest::newRow("only-first-of-two") << "&A&b"
                                       << "A&b" << 1;
    QTest::newRow("none") << "Ok"
                          << "Ok" << 0;
    QTest::newRow("empty") << ""
                           << "" << 0;
}

void TestColorButton::removeAccelMark()
{
    QFETCH(QString, caption);
    QFETCH(QString, expected);
    QFETCH(int, position);
    QCOMPARE(RemoveAccelMark(caption), position);
    QCOMPARE(caption, expected);
}

void TestColorButton::acceleratorChar_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("expected"); // empty: none
    QTest::newRow("leading") << "&Ok"
                             << "O";
    QTest::newRow("last-of-several") << "&A&b"
                                     << "b";
    QTest::newRow("doubled-marks-nothing") << "A&&B"
                                           << "";
    QTest::newRow("doubled-then-mark") << "&&&X"
                                       << "X";
    QTest::newRow("mark-after-doubled-pairs") << "A&&&&b&c"
                                              << "c";
    QTest::newRow("trailing-ampersand") << "Ok&"
                                        << "";
    QTest::newRow("none") << "Ok"
                          << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestColorButton::acceleratorChar()
{
    QFETCH(QString, caption);
    QFETCH(QString, expected);
    const QChar hotkey = AcceleratorChar(caption);
    QCOMPARE(hotkey.isNull() ? QString() : QString(hotkey), expected);
}

void TestColorButton::mouseClick_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("releaseAt");
    QTest::addColumn<bool>("pressedLook"); // between press and release
    QTest::addColumn<int>("clicks");
    QTest::newRow("left-inside") << Qt::LeftButton << QPoint(70, 20) << true << 1;
    QTest::newRow("left-released-outside") << Qt::LeftButton << QPoint(80, 10) << true << 0;
    QTest::newRow("right") << Qt::RightButton << QPoint(10, 10) << false << 0;
}

void TestColorButton::mouseClick()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, releaseAt);
    QFETCH(bool, pressedLook);
    QFETCH(int, clicks);

    TColorButton b;
    QSignalSpy clicked(&b, &TColorButton::clicked);
    QTest::mousePress(&b, button, {}, QPoint(10, 10));
    QCOMPARE(b.pressState(), pressedLook ? TPressState::psDown : TPressState::psUp);
    QTest::mouseRelease(&b, button, {}, releaseAt);
    QCOMPARE(b.pressState(), TPressState::psUp);
    QCOMPARE(clicked.size(), clicks);
}

// A double click gives one click (the first release) and one doubleClicked (the second press).
void TestColorButton::doubleClick()
{
    TColorButton b;
    QStringList log;
    connect(&b, &TColorButton::clicked, &b, [&] { log << QStringLiteral("click"); });
    connect(&b, &TColorButton::doubleClicked, &b, [&] { log << QStringLiteral("dblclick"); });
    const QPoint at(10, 10);

    QTest::mousePress(&b, Qt::LeftButton, {}, at);
    QTest::mouseRelease(&b, Qt::LeftButton, {}, at);
    QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(at), b.mapToGlobal(QPointF(at)),
                       Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&b, &second);
    QTest::mouseRelease(&b, Qt::LeftButton, {}, at);

    QCOMPARE(log, QStringList({"click", "dblclick"}));
    QCOMPARE(b.pressState(), TPressState::psUp);
}

void TestColorButton::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("pressedLook"); // between press and release
    QTest::addColumn<int>("clicks");

    QTest::newRow("space") << int(Qt::Key_Space) << true << 1;
    QTest::newRow("return") << int(Qt::Key_Return) << false << 0;
    QTest::newRow("other-key") << int(Qt::Key_A) << false << 0;
}

void TestColorButton::keys()
{
    QFETCH(int, key);
    QFETCH(bool, pressedLook);
    QFETCH(int, clicks);

    TColorButton b;
    QSignalSpy clicked(&b, &TColorButton::clicked);
    QTest::keyPress(&b, Qt::Key(key));
    QCOMPARE(b.pressState(), pressedLook ? TPressState::psDown : TPressState::psUp);
    QTest::keyRelease(&b, Qt::Key(key));
    QCOMPARE(clicked.size(), clicks);
    QCOMPARE(b.pressState(), TPressState::psUp);
}

void TestColorButton::enabledChangeSetsPressState()
{
    TColorButton b;
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    b.setEnabled(false);
    QCOMPARE(b.pressState(), TPressState::psDisabled);
    b.setEnabled(true);
    QCOMPARE(b.pressState(), TPressState::psUp);

    // Disabled through its parent: the next paint finds out.
    QWidget parent;
    auto *child = new TColorButton(&parent);
    parent.setEnabled(false);
    Grab(*child);
    QCOMPARE(child->pressState(), TPressState::psDisabled);
}

void TestColorButton::acceleratorClicks_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("showKey");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("clicks");

    const Qt::KeyboardModifiers alt = Qt::AltModifier;
    QTest::newRow("upper-case-mark") << "&Ok" << true << true << alt << 1;
    QTest::newRow("lower-case-mark") << "&ok" << true << true << alt << 1;
    QTest::newRow("without-bsShowKey-still-clicks") << "&Ok" << false << true << alt << 1;
    QTest::newRow("last-mark-counts") << "&K&o" << true << true << alt << 1;
    QTest::newRow("disabled") << "&Ok" << true << false << alt << 0;
    QTest::newRow("doubled-ampersand") << "A&&O" << true << true << alt << 0;
    QTest::newRow("other-letter") << "&Yes" << true << true << alt << 0;
    QTest::newRow("without-alt") << "&Ok" << true << true << Qt::KeyboardModifiers() << 0;
}

void TestColorButton::acceleratorClicks()
{
    QFETCH(QString, caption);
    QFETCH(bool, showKey);
    QFETCH(bool, enabled);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, clicks);

    QWidget window;
    window.resize(200, 100);
    auto *button = new TColorButton(&window);
    button->setCaption(QStringLiteral("&Xyz"));
    button->setCaption(caption); // the former hotkey must go with the former caption
    TButtonStyle style = button->buttonStyle();
    style.setFlag(TButtonStyles::bsShowKey, showKey);
    button->setButtonStyle(style);
    button->setEnabled(enabled);
    QSignalSpy clicked(button, &TColorButton::clicked);
    QVERIFY(jov::test::ShowActive(window));

    QTest::keyClick(&window, Qt::Key_O, modifiers);
    QTest::keyClick(&window, Qt::Key_X, Qt::AltModifier);
    // The accelerator presses the button at once and releases it (the click) a moment later.
    QTRY_VERIFY(!button->isDown());
    QCOMPARE(clicked.size(), clicks);
}

QTEST_MAIN(TestColorButton)
#include "tst_colorbutton.moc"
