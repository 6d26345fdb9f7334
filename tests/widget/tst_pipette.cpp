// The pipette of the main window with a stand-in hook library: start, sampling ticks, the end by
// a hook release, by Escape or by the program's own release while the hook is silent, and the
// ways a start can fail.
#include "QuietServices.h"
#include "TestSupport.h"

#include "FormParts.h"
#include "controls/Cursors.h"
#include "controls/Hints.h"
#include "controls/Loupe.h"
#include "controls/NumberField.h"
#include "controls/Panel.h"
#include "controls/QtColor.h"
#include "controls/StatusBar.h"
#include "controls/TrackBar95.h"
#include "hook/HookMouse.h"
#include "hook/HookRecord.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/Pipette.h"

#include <QCursor>
#include <QTimer>
#include <QWheelEvent>

#include <dlfcn.h>
#include <memory>

using namespace jov;
using jov::test::Parts;

namespace {

// The stand-in libraries are built beside the tests' folder.
QString FakeLibraryDir(const char *kind)
{
    return QCoreApplication::applicationDirPath() + "/../testlibs/" + kind + "/";
}

// Has the stand-in library that the hook component loaded send one record to the program.
bool SendFromFakeHook(qint32 msg, QPoint at)
{
    const QByteArray path = QFile::encodeName(FakeLibraryDir("fake") + "libHook.so");
    void *library = ::dlopen(path.constData(), RTLD_NOW | RTLD_NOLOAD);
    if (!library)
        return false;
    const auto send =
        reinterpret_cast<int (*)(const void *, int)>(::dlsym(library, "FakeHookSend"));
    const QByteArray record = EncodeHookRecord({msg, at.x(), at.y(), 0, 1, 0});
    const bool sent = send && send(record.constData(), int(record.size())) != 0;
    ::dlclose(library);
    return sent;
}

struct Fixture : test::QuietServices
{
    QColor screen = QColor(255, 0, 0);
    bool readable = true;
    QList<QPoint> sampled;
    QStringList hookMessages;
    TShiftState held = TShiftStates::ssLeft;
    std::unique_ptr<TMainForm> form;
    THookMouse *hook = nullptr;

    explicit Fixture(const char *library = "fake")
    {
        onSample = [this](const ScreenPoint &p) -> std::optional<QColor> {
            sampled << p.pos;
            return readable ? std::optional<QColor>(screen) : std::nullopt;
        };
        form = std::make_unique<TMainForm>(nullptr, services());
        hook = form->pipette().hook();
        hook->ShowMessage = [this](const QString &text) { hookMessages << text; };
        hook->setDirectoryDll(FakeLibraryDir(library));
        // The press on the pipette image still holds the left button.
        hook->QueryShiftState = [this] { return held; };
        Parts(*form).SpinRouge->setValue(10);
        Parts(*form).SpinVert->setValue(20);
        Parts(*form).SpinBleu->setValue(30);
    }
    // Screen points just outside the pipette's panel, and inside its right and bottom strips.
    QRect panel() const
    {
        return QRect(Parts(*form).PanelPipette->mapToGlobal(QPoint(0, 0)),
                     Parts(*form).PanelPipette->size());
    }
    void release(TMouseButton button, QPoint at)
    {
        hook->OnMouseUp(hook, button, {}, at.x(), at.y(), 0, 1, 0);
    }

    // A screen of one colour whose questions are answered as it was when asked, and counted.
    ScreenPoint pointer;
    QRgb screenRgb = qRgb(1, 2, 3);
    int asked = 0;
    static void Fill(ScreenBlock &block, QRgb colour)
    {
        block.image = QImage(LoupeBlockSide, LoupeBlockSide, QImage::Format_RGB32);
        block.image.fill(colour);
        block.validCells = block.image.rect();
    }
    void answerAsTheScreenWas()
    {
        pointer = {panel().topLeft() - QPoint(20, 20), 0};
        onAsk = [this](const ScreenPoint &guess) -> FormServices::PointerAnswer {
            ++asked;
            return [guess, at = pointer, colour = screenRgb](ScreenBlock &block) {
                Fill(block, colour);
                if (!(at == guess))
                    block.validCells = QRect();
                return std::optional<ScreenPoint>(at);
            };
        };
        onBlock = [this](const ScreenPoint &, ScreenBlock &block) {
            Fill(block, screenRgb);
            return true;
        };
    }
};

} // namespace

class TestPipette : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startShowsTheMode();
    void ticksSampleOutsideThePanelOnly_data();
    void ticksSampleOutsideThePanelOnly();
    void unreadablePixelKeepsSample_data();
    void unreadablePixelKeepsSample();
    void squareSizedByWheelAndKeys();
    void timerTicksShowWhatTheLastOneAsked();
    void restsUntilSomethingHappens();
    void releaseEndsAndTakesReleasePixel_data();
    void releaseEndsAndTakesReleasePixel();
    void leftPressStoresPointThenReleaseReplacesIt();
    void releaseWhileIdleDoesNothing();
    void releaseWithoutLeavingPanelKeepsColour();
    void quickTapEndsAtOnce();
    void failedStartEndsAtOnce_data();
    void failedStartEndsAtOnce();
    void escapeEndsWithColourFromBefore();
    void ownReleaseEndsOnlyWhileHookSilent_data();
    void ownReleaseEndsOnlyWhileHookSilent();
};

void TestPipette::startShowsTheMode()
{
    Fixture f;
    QVERIFY(test::ShowActive(*f.form));
    f.form->ImgPipetteMouseDown();
    QVERIFY(f.form->pipette().active());
    QVERIFY(f.hook->started());
    QVERIFY(f.form->pipette().timer()->isActive());
    QCOMPARE(f.form->pipette().timer()->interval(), 10);
    QVERIFY(Parts(*f.form).ImgPipette->isHidden());
    QCOMPARE(ApplicationCursor(), 1);
    QCOMPARE(f.form->statusBar()->panelText(0),
             QStringLiteral(" Pipette active : bougez la souris"));
    QVERIFY(!THintMonitor::instance()->hasHandler());
    // Hints no longer reach the status line while it runs.
    THintMonitor::instance()->setWidgetUnderMouse(Parts(*f.form).TrackRouge);
    QVERIFY(test::RunZeroTimers());
    QCOMPARE(f.form->statusBar()->panelText(0),
             QStringLiteral(" Pipette active : bougez la souris"));
    f.release(TMouseButton::mbLeft, QPoint(5, 5));
    QVERIFY(THintMonitor::instance()->hasHandler());
}

void TestPipette::ticksSampleOutsideThePanelOnly_data()
{
    QTest::addColumn<QPoint>("offset");  // from the panel's top-left corner
    QTest::addColumn<QSize>("plusSize"); // multiples of the panel's size added
    QTest::addColumn<bool>("samples");
    QTest::newRow("inside") << QPoint(3, 3) << QSize(0, 0) << false;
    QTest::newRow("right-strip") << QPoint(0, 3) << QSize(1, 0) << false;
    QTest::newRow("bottom-strip") << QPoint(3, 0) << QSize(0, 1) << false;
    QTest::newRow("corner-strip") << QPoint(0, 0) << QSize(1, 1) << false;
    QTest::newRow("beyond-right") << QPoint(1, 3) << QSize(1, 0) << true;
    QTest::newRow("left-of") << QPoint(-1, 3) << QSize(0, 0) << true;
    QTest::newRow("above") << QPoint(3, -1) << QSize(0, 0) << true;
}

void TestPipette::ticksSampleOutsideThePanelOnly()
{
    QFETCH(QPoint, offset);
    QFETCH(QSize, plusSize);
    QFETCH(bool, samples);
    Fixture f;
    QVERIFY(test::ShowActive(*f.form));
    const QRect panel = f.panel();
    const QPoint at = panel.topLeft() + offset +
                      QPoint(plusSize.width() * panel.width(), plusSize.height() * panel.height());
    QCursor::setPos(at);
    QCOMPARE(QCursor::pos(), at);
    f.form->TimerTimer();
    QCOMPARE(f.sampled.size(), samples ? 1 : 0);
    QCOMPARE(Parts(*f.form).PanelColor->color(), samples ? QColor(255, 0, 0) : QColor(10, 20, 30));
    // The sample never touches the current colour's fields.
    QCOMPARE(Parts(*f.form).SpinRouge->value(), 10);
}

void TestPipette::unreadablePixelKeepsSample_data()
{
    QTest::addColumn<QString>("screenStatus"); // why the screen cannot be read at all
    QTest::newRow("pixel off the screen") << QString();
    QTest::newRow("screen unreadable") << QStringLiteral(" Pipette : écran illisible");
}

// The sample stays; a screen that cannot be read at all says so in the status line.
void TestPipette::unreadablePixelKeepsSample()
{
    QFETCH(QString, screenStatus);
    Fixture f;
    f.onUnreadable = [&](const ScreenPoint &) { return screenStatus; };
    QVERIFY(test::ShowActive(*f.form));
    f.form->ImgPipetteMouseDown();
    QCursor::setPos(f.panel().topLeft() - QPoint(20, 20));
    f.readable = false;
    f.form->TimerTimer();
    QCOMPARE(f.sampled.size(), 1);
    QCOMPARE(Parts(*f.form).PanelColor->color(), QColor(10, 20, 30));
    QCOMPARE(f.form->statusBar()->panelText(0),
             screenStatus.isEmpty() ? QStringLiteral(" Pipette active : bougez la souris")
                                    : screenStatus);
}

// The wheel and + / - step the square's side; the sample is the square's mean at once, the
// status says the side, and the side is kept in the options for the next run.
void TestPipette::squareSizedByWheelAndKeys()
{
    Fixture f;
    f.onBlock = [](const ScreenPoint &, ScreenBlock &block) {
        block.image = QImage(LoupeBlockSide, LoupeBlockSide, QImage::Format_RGB32);
        for (int y = 0; y < LoupeBlockSide; ++y)
            for (int x = 0; x < LoupeBlockSide; ++x)
                block.image.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        block.validCells = block.image.rect();
        return true;
    };
    QVERIFY(test::ShowActive(*f.form));
    f.form->ImgPipetteMouseDown();
    QCursor::setPos(f.panel().topLeft() - QPoint(20, 20));
    f.form->TimerTimer();
    QCOMPARE(Parts(*f.form).PanelColor->color(), QColor(255, 255, 255)); // the centre, column 7
    const auto wheel = [&](int delta) {
        QWheelEvent event(QPointF(), QPointF(), QPoint(), QPoint(0, delta), Qt::LeftButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(f.form.get(), &event);
    };
    wheel(60); // half a notch: nothing yet
    QCOMPARE(f.form->pipette().sampleSide(), 1);
    wheel(60);
    QCOMPARE(f.form->pipette().sampleSide(), 3);
    QCOMPARE(Parts(*f.form).PanelColor->color(), QColor(85, 85, 85)); // 1 of 3 columns white
    QCOMPARE(f.form->statusBar()->panelText(0), QStringLiteral(" Pipette active : carré de 3 × 3"));
    QTest::keyClick(f.form.get(), Qt::Key_Plus);
    QCOMPARE(Parts(*f.form).PanelColor->color(), QColor(153, 153, 153)); // 3 of 5
    QTest::keyClick(f.form.get(), Qt::Key_Minus);
    QTest::keyClick(f.form.get(), Qt::Key_Minus);
    QTest::keyClick(f.form.get(), Qt::Key_Minus); // stays at 1
    QCOMPARE(f.form->pipette().sampleSide(), 1);
    wheel(-120);
    wheel(240);
    QCOMPARE(f.form->pipette().sampleSide(), 5);
    f.release(TMouseButton::mbLeft, f.panel().topLeft() - QPoint(20, 20));
    QCOMPARE(f.form->options().sampleSide, 5);
    QCOMPARE(f.form->CurrentColor(), MakeColor(153, 153, 153));
}

// A timer tick shows the answer to what the tick before it asked; where that answer cannot do
// (the pointer was not where it was guessed) the tick reads at once, and a step of the arrow
// keys, read at once, is never followed by an answer from before it.
void TestPipette::timerTicksShowWhatTheLastOneAsked()
{
    Fixture f;
    f.answerAsTheScreenWas();
    ScreenPoint &pointer = f.pointer;
    QRgb &screen = f.screenRgb;
    int &asked = f.asked;
    QList<QColor> shown;
    connect(&f.form->pipette(), &TPipette::sampled, this, [&](const QColor &c) { shown << c; });
    QVERIFY(test::ShowActive(*f.form));
    f.form->ImgPipetteMouseDown();
    QTRY_VERIFY(asked >= 3);
    QCOMPARE(shown.last(), QColor(1, 2, 3));

    // Moved where no move was reported: the next ticks follow.
    pointer.pos += QPoint(-5, 0);
    screen = qRgb(4, 5, 6);
    QTRY_COMPARE(shown.last(), QColor(4, 5, 6));
    // The screen changes under a resting pointer: the sample and the loupe (which follows at
    // every other change) both come to show it, and stay.
    for (const QRgb colour : {qRgb(1, 1, 1), qRgb(2, 2, 2), qRgb(3, 3, 3), qRgb(4, 5, 6)}) {
        screen = colour;
        QTRY_COMPARE(f.form->pipette().loupe()->colorText(), HtmlText(QColor(colour)));
        QCOMPARE(shown.last(), QColor(colour));
    }

    pointer.pos += QPoint(-1, 0);
    screen = qRgb(7, 8, 9);
    shown.clear();
    QTest::keyClick(f.form.get(), Qt::Key_Left);
    QCOMPARE(shown.value(0), QColor(7, 8, 9));
    const int before = asked;
    QTRY_VERIFY(asked >= before + 3);
    QVERIFY(!shown.contains(QColor(4, 5, 6)));
    f.release(TMouseButton::mbLeft, pointer.pos);
    QVERIFY(!f.form->pipette().active());
}

// Once an answer shows nothing new, nothing drawn since it was asked and no move, nothing is
// asked until a move is reported, something is drawn, or a slow look finds a move nobody told.
void TestPipette::restsUntilSomethingHappens()
{
    Fixture f;
    f.answerAsTheScreenWas();
    std::function<void()> drawn;
    bool drawnSinceAsked = false;
    f.onRest = [&](std::function<void()> callback) {
        if (drawnSinceAsked)
            return false;
        drawn = std::move(callback);
        return true;
    };
    const auto ask = f.onAsk;
    f.onAsk = [&](const ScreenPoint &guess) {
        drawn = {}; // the next question forgets the drawing before it
        drawnSinceAsked = false;
        return ask(guess);
    };
    TPipette &pipette = f.form->pipette();
    QList<QColor> shown;
    connect(&pipette, &TPipette::sampled, this, [&](const QColor &c) { shown << c; });
    const auto restsShowing = [&](QRgb colour) {
        if (!QTest::qWaitFor([&] { return drawn && shown.last() == QColor(colour); }))
            return false;
        const int asked = f.asked;
        QTest::qWait(50);
        return f.asked == asked && pipette.timer()->isActive() && shown.last() == QColor(colour);
    };
    QVERIFY(test::ShowActive(*f.form));
    f.form->ImgPipetteMouseDown();
    QVERIFY(restsShowing(qRgb(1, 2, 3)));

    // Drawn under the pointer.
    f.screenRgb = qRgb(4, 5, 6);
    drawnSinceAsked = true;
    int asked = f.asked;
    std::exchange(drawn, {})();
    QCOMPARE(f.asked, asked + 1); // at once
    QVERIFY(restsShowing(qRgb(4, 5, 6)));
    // A move the hook reports.
    f.pointer.pos += QPoint(-3, 0);
    f.screenRgb = qRgb(7, 8, 9);
    asked = f.asked;
    f.hook->OnMouseMessage(f.hook, wm::MouseMove, f.pointer.pos.x(), f.pointer.pos.y(), 0, 1, 0);
    QCOMPARE(f.asked, asked + 1);
    QVERIFY(restsShowing(qRgb(7, 8, 9)));
    // A move nobody told of: the slow look finds it.
    f.pointer.pos += QPoint(-3, 0);
    f.screenRgb = qRgb(10, 11, 12);
    QVERIFY(restsShowing(qRgb(10, 11, 12)));

    f.release(TMouseButton::mbLeft, f.pointer.pos);
    QCOMPARE(f.form->CurrentColor(), MakeColor(10, 11, 12));
}

void TestPipette::releaseEndsAndTakesReleasePixel_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("left") << int(TMouseButton::mbLeft);
    QTest::newRow("right") << int(TMouseButton::mbRight);
}

void TestPipette::releaseEndsAndTakesReleasePixel()
{
    QFETCH(int, button);
    Fixture f;
    QVERIFY(test::ShowActive(*f.form));
    f.form->ImgPipetteMouseDown();
    const QPoint pointer = f.panel().topLeft() - QPoint(20, 20);
    QCursor::setPos(pointer);
    f.form->TimerTimer();
    f.screen = QColor(0, 0, 255); // read again where the button came up
    f.release(TMouseButton(button), QPoint(7, 9));
    QVERIFY(!f.form->pipette().active());
    QVERIFY(!f.form->pipette().timer()->isActive());
    QVERIFY(!f.hook->enabled());
    QCOMPARE(f.form->CurrentColor(), MakeColor(0, 0, 255));
    QCOMPARE(f.sampled.last(), QPoint(7, 9));
    QCOMPARE(f.form->pipette().point(), QPoint(7, 9));
    QCOMPARE(QCursor::pos(), pointer); // moved on since the release: left there
    QCOMPARE(ApplicationCursor(), 0);
    QVERIFY(!Parts(*f.form).ImgPipette->isHidden());
    QCOMPARE(f.form->statusBar()->panelText(0), QString());
}

void TestPipette::leftPressStoresPointThenReleaseReplacesIt()
{
    Fixture f;
    f.form->ImgPipetteMouseDown();
    auto press = [&](TShiftState shift, QPoint at) {
        f.hook->OnMouseDown(f.hook, TMouseButton::mbLeft, shift, at.x(), at.y(), 0, 1, 0);
    };
    press(TShiftStates::ssLeft, QPoint(40, 50));
    QCOMPARE(f.form->pipette().point(), QPoint(40, 50));
    press(TShiftStates::ssRight, QPoint(60, 70)); // left not held: ignored
    QCOMPARE(f.form->pipette().point(), QPoint(40, 50));
    f.release(TMouseButton::mbLeft, QPoint(80, 90));
    QCOMPARE(f.form->pipette().point(), QPoint(80, 90));
    press(TShiftStates::ssLeft, QPoint(1, 2)); // not active any more
    QCOMPARE(f.form->pipette().point(), QPoint(80, 90));
}

void TestPipette::releaseWhileIdleDoesNothing()
{
    Fixture f;
    Parts(*f.form).PanelColor->setColor(QColor(1, 2, 3));
    f.release(TMouseButton::mbLeft, QPoint(3, 4));
    QCOMPARE(f.form->CurrentColor(), MakeColor(10, 20, 30));
    QCOMPARE(f.form->pipette().point(), QPoint(0, 0));
}

void TestPipette::releaseWithoutLeavingPanelKeepsColour()
{
    Fixture f;
    QVERIFY(test::ShowActive(*f.form));
    f.form->ImgPipetteMouseDown();
    QCursor::setPos(f.panel().center());
    f.form->TimerTimer();
    f.release(TMouseButton::mbLeft, f.panel().center());
    QCOMPARE(f.form->CurrentColor(), MakeColor(10, 20, 30));
}

void TestPipette::quickTapEndsAtOnce()
{
    // The button was let go before the hook listened: no release will come.
    Fixture f;
    f.held = {};
    QVERIFY(test::ShowActive(*f.form));
    f.form->ImgPipetteMouseDown();
    QVERIFY(!f.form->pipette().active());
    QVERIFY(!f.hook->enabled());
    QVERIFY(!Parts(*f.form).ImgPipette->isHidden());
    QCOMPARE(f.form->CurrentColor(), MakeColor(10, 20, 30));
    QVERIFY(f.hookMessages.isEmpty());
}

void TestPipette::failedStartEndsAtOnce_data()
{
    QTest::addColumn<QString>("library");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << "missing"
                             << "Le fichier %1libHook.so est manquant.";
    QTest::newRow("no-entry") << "noinit"
                              << "";
    QTest::newRow("refused") << "refuse"
                             << "Une erreur d'initialisation s'est produite.";
}

void TestPipette::failedStartEndsAtOnce()
{
    QFETCH(QString, library);
    QFETCH(QString, message);
    Fixture f(qPrintable(library));
    QVERIFY(test::ShowActive(*f.form));
    QCursor::setPos(f.panel().topLeft() - QPoint(20, 20));
    // The sample may have followed the cursor while the message was up.
    f.hook->ShowMessage = [&](const QString &text) {
        f.hookMessages << text;
        f.form->TimerTimer();
    };
    f.form->ImgPipetteMouseDown();
    QCOMPARE(f.hookMessages, message.isEmpty()
                                 ? QStringList()
                                 : QStringList({message.arg(FakeLibraryDir(qPrintable(library)))}));
    QVERIFY(!f.form->pipette().active());
    QVERIFY(!f.form->pipette().timer()->isActive());
    QVERIFY(!Parts(*f.form).ImgPipette->isHidden());
    QCOMPARE(ApplicationCursor(), 0);
    QCOMPARE(f.form->CurrentColor(), MakeColor(10, 20, 30));
    QCOMPARE(Parts(*f.form).PanelColor->color(), QColor(10, 20, 30));
    QVERIFY(THintMonitor::instance()->hasHandler());
}

void TestPipette::escapeEndsWithColourFromBefore()
{
    Fixture f;
    QVERIFY(test::ShowActive(*f.form));
    f.form->ImgPipetteMouseDown();
    QCursor::setPos(f.panel().topLeft() - QPoint(20, 20));
    f.form->TimerTimer();
    QCOMPARE(Parts(*f.form).PanelColor->color(), QColor(255, 0, 0));
    QTest::keyClick(f.form.get(), Qt::Key_Escape);
    QVERIFY(!f.form->pipette().active());
    QVERIFY(!f.hook->enabled());
    QVERIFY(!f.form->pipette().timer()->isActive());
    QCOMPARE(Parts(*f.form).PanelColor->color(), QColor(10, 20, 30));
    QCOMPARE(f.form->CurrentColor(), MakeColor(10, 20, 30));
    QVERIFY(!Parts(*f.form).ImgPipette->isHidden());
    QCOMPARE(f.form->statusBar()->panelText(0), QString());
    QCOMPARE(ApplicationCursor(), 0);
}

void TestPipette::ownReleaseEndsOnlyWhileHookSilent_data()
{
    QTest::addColumn<bool>("hookSpoke"); // a move record came before the release
    QTest::newRow("silent-hook") << false;
    QTest::newRow("hook-heard") << true;
}

// The program sees the release of the press that started the pipette too; it ends the pipette
// only when the hook has reported nothing at all, else it leaves the end to the hook.
void TestPipette::ownReleaseEndsOnlyWhileHookSilent()
{
    QFETCH(bool, hookSpoke);
    Fixture f;
    QVERIFY(test::ShowActive(*f.form));
    QTest::mousePress(Parts(*f.form).ImgPipette, Qt::LeftButton);
    QVERIFY(f.form->pipette().active());
    QVERIFY(f.hook->started());
    const QPoint pointer = f.panel().topLeft() - QPoint(20, 20);
    QCursor::setPos(pointer);
    f.form->TimerTimer();
    int records = 0; // outlives every record the hook sends in this test
    if (hookSpoke) {
        f.hook->OnMouseMessage =
            [&, heard = f.hook->OnMouseMessage](THookMouse *sender, qint32 msg, qint32 x, qint32 y,
                                                quint32 window, quint32 hit, quint32 extra) {
                heard(sender, msg, x, y, window, hit, extra);
                ++records;
            };
        QVERIFY(SendFromFakeHook(wm::MouseMove, pointer));
        QTRY_COMPARE(records, 1);
    }
    QTest::mouseRelease(f.form.get(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(f.form->pipette().active(), hookSpoke);
    if (hookSpoke) {
        QVERIFY(SendFromFakeHook(wm::LButtonUp, QPoint(7, 9)));
        QTRY_VERIFY(!f.form->pipette().active());
    }
    // Where the release happened, though the pointer is elsewhere.
    const QPoint end = hookSpoke ? QPoint(7, 9) : f.form->mapToGlobal(QPoint(5, 5));
    QCOMPARE(f.form->pipette().point(), end);
    QCOMPARE(f.sampled.last(), end);
    QCOMPARE(QCursor::pos(), pointer);
    QCOMPARE(f.form->CurrentColor(), MakeColor(255, 0, 0));
    QVERIFY(!Parts(*f.form).ImgPipette->isHidden());
}

QTEST_MAIN(TestPipette)
#include "tst_pipette.moc"
