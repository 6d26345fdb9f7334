#include "dialogs/About.h"

#include "controls/ASLink.h"
#include "controls/Panel.h"
#include "dialogs/Scramble.h"

#include "TestSupport.h"

#include <QImageReader>
#include <QLabel>
#include <QMovie>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <vector>

using namespace jov;

namespace {

constexpr QPoint BoxOnScreen(40, 70);

// `text` as the box stores it: its length, then each Latin-1 character XORed with the key.
std::vector<unsigned char> Stored(const QByteArray &latin1)
{
    std::vector<unsigned char> bytes{static_cast<unsigned char>(latin1.size())};
    for (char c : latin1)
        bytes.push_back(static_cast<unsigned char>(c) ^ ScrambleKey);
    return bytes;
}

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void unscramble_data()
    {
        QTest::addColumn<QByteArray>("latin1");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("address") << QByteArray("qui@exemple.fr");
        QTest::newRow("byte-equal-to-key") << QByteArray("\xA5\x01", 2);
        QTest::newRow("accented-latin1") << QByteArray("d\xE9grad\xE9");
    }
    void unscramble()
    {
        QFETCH(QByteArray, latin1);
        const std::vector<unsigned char> stored = Stored(latin1);
        QCOMPARE(Unscramble(stored.data()), QString::fromLatin1(latin1));
    }

    void unscrambleStopsAtStoredLength()
    {
        std::vector<unsigned char> stored = Stored("abc");
        stored.push_back('x' ^ ScrambleKey); // bytes past the length are not part of the text
        QCOMPARE(Unscramble(stored.data()), QStringLiteral("abc"));
        QCOMPARE(Unscramble(nullptr), QString());
    }

    // Assistive technologies get a role and the hint's text for every control.
    void accessibleNames()
    {
        TAbout about(BoxOnScreen);
        const QStringList bad = jov::test::BadlyNamedControls(about);
        QVERIFY2(bad.isEmpty(), qPrintable(bad.join(QLatin1Char('\n'))));
    }

    void openedTwiceFreshEachTime()
    {
        QMovie *previous = nullptr;
        for (int showing = 0; showing < 2; ++showing) {
            auto *about = new TAbout(BoxOnScreen);
            QVERIFY(about->animation() != previous);
            previous = about->animation();
            QVERIFY(about->isAnimating());
            about->open();
            QVERIFY(about->isVisible());
            const int first = about->animation()->currentFrameNumber();
            QTRY_VERIFY(about->animation()->currentFrameNumber() != first);
            QVERIFY(about->isAnimating());

            // The title bar's close button, then Escape or the system menu.
            if (showing == 0)
                about->close();
            else
                about->reject();
            QVERIFY(!about->isVisible());
            QVERIFY(!about->isAnimating());
            const int stoppedAt = about->animation()->currentFrameNumber();
            // The same picture started now has shown two more frames by the time a running
            // animation would have shown at least one (every frame lasts as long).
            QMovie reference(about->animation()->fileName());
            QSignalSpy frames(&reference, &QMovie::frameChanged);
            reference.start();
            QTRY_VERIFY(frames.count() >= 3);
            QCOMPARE(about->animation()->currentFrameNumber(), stoppedAt);
            delete about;
        }
    }

    void animationFrames()
    {
        TAbout about(BoxOnScreen);
        QMovie *movie = about.animation();
        QVERIFY(movie->isValid());
        QCOMPARE(movie->format(), QByteArray("gif"));
        QCOMPARE(movie->frameCount(), 23);
        QCOMPARE(movie->loopCount(), -1); // repeated without end
        // Each frame's own delay, read from the picture itself (a running movie reports the
        // time left until its next frame instead).
        QImageReader reader(movie->fileName());
        int frames = 0;
        for (QImage image = reader.read(); !image.isNull(); image = reader.read(), ++frames) {
            QCOMPARE(reader.nextImageDelay(), 200);
            QCOMPARE(image.size(), QSize(235, 227));
        }
        QCOMPARE(frames, 23);
        QCOMPARE(about.JOVAnim->geometry(), QRect(30, (268 - 227) / 2, 235, 227));
    }

    void links_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("target");
        QTest::newRow("e-mail") << "ASLink1"
                                << "contact@jov-couleurs.fr"
                                << "mailto:contact@jov-couleurs.fr";
        QTest::newRow("web") << "ASLink2"
                             << "www.jov-couleurs.fr"
                             << "http://www.jov-couleurs.fr";
    }
    void links()
    {
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, target);

        TAbout about(BoxOnScreen);
        QSignalSpy opened(&about, &TAbout::linkActivated);
        about.open();
        auto *link = about.findChild<TASLink *>(name);
        QVERIFY(link);
        QCOMPARE(link->caption(), address);
        QCOMPARE(link->geometry().size(), QSize(147, 13));  // no auto-size
        QCOMPARE(link->cursor().shape(), Qt::BitmapCursor); // the hand

        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.at(0).at(0).toString(), target);
        QVERIFY(about.isVisible());
        about.reject();
    }

    void versionAndPlacement()
    {
        TAbout about(BoxOnScreen);
        QCOMPARE(about.windowTitle(), QStringLiteral("A propos de..."));
        QCOMPARE(about.size(), QSize(529, 268));
        QCOMPARE(about.LabelVersion->text(), QStringLiteral("Version 3.0.0.0"));
        QCOMPARE(about.LabelVersion->x() + about.LabelVersion->width(), 503);
        QCOMPARE(about.LabelVersion->y(), 80);
        QVERIFY(!about.LabelAuteur->text().isEmpty());
        QCOMPARE(about.JOVimg->geometry(), QRect(275, 40, 119, 54));
        QCOMPARE(about.pos(), BoxOnScreen + QPoint(2, 2));
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
