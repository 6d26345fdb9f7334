#include "controls/ASLink.h"
#include "controls/Cursors.h"

#include "TestSupport.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QSignalSpy>
#include <QTest>

using namespace jov;
using jov::test::BoundsOf;
using jov::test::Grab;

namespace {

const QColor White(255, 255, 255);
const QColor Black(0, 0, 0);
const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);
const QColor Grey(128, 128, 128);
const QColor Green(0, 255, 0);

// An aliased font of fixed pixel size, so that text pixels are either ink or background.
QFont CrispFont()
{
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(13);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// A link drawn black on white with a red shadow, its caption a blocky word.
void MakeCrisp(TASLink &link)
{
    QPalette palette = link.palette();
    palette.setColor(QPalette::Window, White);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, Grey);
    palette.setColor(QPalette::Active, QPalette::Light, Green);
    palette.setColor(QPalette::Inactive, QPalette::Light, Green);
    link.setPalette(palette);
    link.setFont(CrispFont());
    link.setFontColor(Black);
    link.setShadowColor(Red);
    link.setCaption(QStringLiteral("HEM"));
}

QRect BoundsOfColor(const QImage &image, const QColor &color)
{
    return BoundsOf(image, [&color](QColor c) { return c == color; });
}

QRect BoundsOfEither(const QImage &image, const QColor &a, const QColor &b)
{
    return BoundsOf(image, [&](QColor c) { return c == a || c == b; });
}

// The link targets a widget asked to open.
QStringList Targets(const QSignalSpy &spy)
{
    QStringList targets;
    for (const QList<QVariant> &args : spy)
        targets << args.at(0).toString();
    return targets;
}

} // namespace

class TestASLink : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void clickHandsTargetToOpener_data()
    {
        QTest::addColumn<TURLType>("type");
        QTest::addColumn<bool>("typeAdd");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("target");
        QTest::newRow("http-with-file") << TURLType::utHttp << true << "doc/a.html"
                                        << "http://www.exemple.fr/doc/a.html";
        QTest::newRow("http-no-prefix-with-file") << TURLType::utHttp << false << "doc/a.html"
                                                  << "www.exemple.fr/doc/a.html";
        QTest::newRow("http-no-file") << TURLType::utHttp << true << ""
                                      << "http://www.exemple.fr";
        QTest::newRow("mailto") << TURLType::utMailto << true << ""
                                << "mailto:www.exemple.fr";
        QTest::newRow("file-with-file") << TURLType::utFile << true << "x.html"
                                        << "file://www.exemple.fr/x.html";
        QTest::newRow("file-no-prefix") << TURLType::utFile << false << ""
                                        << "www.exemple.fr";
        QTest::newRow("https") << TURLType::utHttps << true << ""
                               << "https://www.exemple.fr";
        QTest::newRow("news") << TURLType::utNews << true << ""
                              << "news:www.exemple.fr";
    }
    void clickHandsTargetToOpener()
    {
        QFETCH(TURLType, type);
        QFETCH(bool, typeAdd);
        QFETCH(QString, file);
        QFETCH(QString, target);

        TASLink link;
        QSignalSpy opened(&link, &TASLink::linkActivated);
        link.setCaption(QStringLiteral("Le texte affiché")); // plays no part in the target
        link.setUrlType(type);
        link.setUrlAdr(QStringLiteral("www.exemple.fr"));
        link.setUrlTypeAdd(typeAdd);
        link.setUrlFile(file);
        QSignalSpy clicked(&link, &TASLink::clicked);

        QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(2, 2));

        QCOMPARE(clicked.count(), 1);
        QCOMPARE(Targets(opened), QStringList{target});
    }

    void disabledUrlStillClicks()
    {
        TASLink link;
        QSignalSpy opened(&link, &TASLink::linkActivated);
        link.setCaption(QStringLiteral("lien"));
        link.setUrlEnabled(false);
        QSignalSpy clicked(&link, &TASLink::clicked);

        QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(2, 2));

        QCOMPARE(clicked.count(), 1);
        QCOMPARE(opened.count(), 0);
    }

    // Text and shadow positions against the same caption drawn enabled without a shadow.
    void shadow_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<TShadowPosition>("position");
        QTest::addColumn<int>("size");
        QTest::addColumn<QPoint>("textMove");
        QTest::addColumn<QPoint>("shadowMove");
        const auto lt = TShadowPosition::spLeftTop;
        QTest::newRow("left-top-2") << true << lt << 2 << QPoint(2, 2) << QPoint(0, 0);
        QTest::newRow("left-bottom-2")
            << true << TShadowPosition::spLeftBottom << 2 << QPoint(2, 0) << QPoint(0, 2);
        QTest::newRow("right-bottom-3")
            << true << TShadowPosition::spRightBottom << 3 << QPoint(0, 0) << QPoint(3, 3);
        QTest::newRow("right-top-2")
            << true << TShadowPosition::spRightTop << 2 << QPoint(0, 2) << QPoint(2, 0);
        QTest::newRow("size-0-text-only") << true << lt << 0 << QPoint(0, 0) << QPoint(0, 0);
        QTest::newRow("disabled-size-0-one-pixel-right-bottom")
            << false << lt << 0 << QPoint(0, 0) << QPoint(1, 1);
        QTest::newRow("disabled-size-2-keeps-position")
            << false << lt << 2 << QPoint(2, 2) << QPoint(0, 0);
    }
    void shadow()
    {
        QFETCH(bool, enabled);
        QFETCH(TShadowPosition, position);
        QFETCH(int, size);
        QFETCH(QPoint, textMove);
        QFETCH(QPoint, shadowMove);

        TASLink link;
        MakeCrisp(link);
        link.setShadowSize(0);
        const QRect plain = BoundsOfColor(Grab(link), Black);
        QVERIFY(!plain.isEmpty());

        link.setShadowPos(position);
        link.setShadowSize(static_cast<unsigned char>(size));
        link.setEnabled(enabled);
        const QImage image = Grab(link);
        // Disabled: grey text with the highlight colour as shadow, whatever was set.
        const QColor ink = enabled ? Black : Grey;
        const QColor shade = enabled ? Red : Green;
        const QRect text = BoundsOfColor(image, ink);
        const QRect shadow = plain.translated(shadowMove);

        QCOMPARE(text, plain.translated(textMove));
        // The shadow shows wherever the text leaves it uncovered: together they cover both copies.
        QCOMPARE(BoundsOfEither(image, ink, shade), text | shadow);
        QCOMPARE(BoundsOfColor(image, shade).isEmpty(), shadow == text);
        QVERIFY(BoundsOfColor(image, enabled ? Grey : Black).isEmpty());
        QVERIFY(QRect(QPoint(0, 0), link.size()).contains(text | shadow));
    }

    void autoSize_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("showAccel");
        QTest::addColumn<int>("shadow");
        QTest::addColumn<QString>("measured");
        QTest::newRow("empty-caption-one-line") << "" << true << 0 << " ";
        QTest::newRow("empty-caption-shadow-3") << "" << true << 3 << " ";
        QTest::newRow("ampersand-alone") << "&" << true << 0 << " ";
        QTest::newRow("text-shadow-3") << "Lien" << true << 3 << "Lien";
        QTest::newRow("accel-mark-hidden") << "&Lien" << true << 1 << "Lien";
        QTest::newRow("accel-mark-drawn") << "&Lien" << false << 1 << "&Lien";
    }
    void autoSize()
    {
        QFETCH(QString, caption);
        QFETCH(bool, showAccel);
        QFETCH(int, shadow);
        QFETCH(QString, measured);

        TASLink link;
        link.setFont(CrispFont());
        link.setShowAccelChar(showAccel);
        link.setShadowSize(static_cast<unsigned char>(shadow));
        link.setCaption(caption);

        const QRect line = QFontMetrics(CrispFont())
                               .boundingRect(QRect(0, 0, 1000, 1000), Qt::AlignLeft, measured);
        QVERIFY(line.height() > 0);
        QCOMPARE(link.height(), line.height() + shadow);
        QCOMPARE(link.width(), line.width() + shadow + 2); // one free pixel on each side
    }

    void autoSizeKeepsEdge_data()
    {
        QTest::addColumn<TASLink::TAlignment>("alignment");
        QTest::newRow("right-justified-keeps-right-edge") << TASLink::TAlignment::taRightJustify;
        QTest::newRow("left-justified-keeps-left-edge") << TASLink::TAlignment::taLeftJustify;
    }
    void autoSizeKeepsEdge()
    {
        QFETCH(TASLink::TAlignment, alignment);
        QWidget parent;
        TASLink link(&parent);
        link.setAlignment(alignment);
        link.move(200, 30);
        link.setCaption(QStringLiteral("court"));
        const QRect before = link.geometry();

        link.setCaption(QStringLiteral("un texte bien plus long"));
        const QRect after = link.geometry();

        QVERIFY(after.width() > before.width());
        QCOMPARE(after.top(), before.top());
        if (alignment == TASLink::TAlignment::taRightJustify)
            QCOMPARE(after.x() + after.width(), before.x() + before.width());
        else
            QCOMPARE(after.x(), before.x());
    }

    void layout_data()
    {
        QTest::addColumn<TTextLayout>("layout");
        QTest::addColumn<int>("halves"); // the move down, in halves of the spare height
        QTest::newRow("top") << TTextLayout::tlTop << 0;
        QTest::newRow("center") << TTextLayout::tlCenter << 1;
        QTest::newRow("bottom") << TTextLayout::tlBottom << 2;
    }
    void layout()
    {
        QFETCH(TTextLayout, layout);
        QFETCH(int, halves);

        TASLink link;
        MakeCrisp(link);
        const QRect natural = BoundsOfColor(Grab(link), Black);
        const int spare = 41 - link.height();
        link.setAutoSize(false);
        link.resize(link.width(), 41);
        link.setLayout(layout);

        const QRect placed = BoundsOfColor(Grab(link), Black);
        QCOMPARE(placed.top(), natural.top() + (halves == 2 ? spare : halves * spare / 2));
    }

    void hoverTakesLinkColourAndRestores()
    {
        TASLink link;
        MakeCrisp(link);
        link.setShadowSize(0);
        link.setLinkColor(Blue);

        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(&link, &enter);
        QVERIFY(!BoundsOfColor(Grab(link), Blue).isEmpty());
        QVERIFY(BoundsOfColor(Grab(link), Black).isEmpty());

        // A repeated enter must not make the link colour the one to restore.
        QApplication::sendEvent(&link, &enter);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&link, &leave);
        QVERIFY(BoundsOfColor(Grab(link), Blue).isEmpty());
        QVERIFY(!BoundsOfColor(Grab(link), Black).isEmpty());
    }

    void handCursor()
    {
        TASLink link;
        const QCursor hand = ScreenCursor(5);
        QCOMPARE(hand.shape(), Qt::BitmapCursor);
        QCOMPARE(hand.pixmap().size(), QSize(32, 32));
        QCOMPARE(hand.hotSpot(), QPoint(0, 0));
        QVERIFY(qAlpha(hand.pixmap().toImage().pixel(0, 0)) > 0); // the fingertip
        QCOMPARE(link.cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(link.cursor().hotSpot(), QPoint(0, 0));
    }
};

QTEST_MAIN(TestASLink)
#include "tst_aslink.moc"
