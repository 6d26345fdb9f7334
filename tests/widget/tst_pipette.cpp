// The pipette of the main window with a stand-in hook library: start, sampling ticks, the end by
// a hook release, and the ways a start can fail.
#include "QuietServices.h"
#include "TestSupport.h"

#include "controls/Cursors.h"
#include "controls/Hints.h"
#include "controls/NumberField.h"
#include "controls/Panel.h"
#include "controls/StatusBar.h"
#include "controls/TrackBar95.h"
#include "hook/HookMouse.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/Pipette.h"

#include <QCursor>
#include <QTimer>

#include <memory>

using namespace jov;

namespace {

// The stand-in libraries are built beside the tests' folder.
QString FakeLibraryDir(const char *kind)
{
    return QCoreApplication::applicationDirPath() + "/../testlibs/" + kind + "/";
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
        form->SpinRouge->setValue(10);
        form->SpinVert->setValue(20);
        form->SpinBleu->setValue(30);
    }
    // Screen points just outside the pipette's panel, and inside its right and bottom strips.
    QRect panel() const
    {
        return QRect(form->PanelPipette->mapToGlobal(QPoint(0, 0)), form->PanelPipette->size());
    }
    void release(TMouseButton button, QPoint at)
    {
        hook->OnMouseUp(hook, button, {}, at.x(), at.y(), 0, 1, 0);
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
    void unreadablePixelKeepsSample();
    void releaseEndsAndTakesLastSample_data();
    void releaseEndsAndTakesLastSample();
    void leftPressStoresPointThenReleaseReplacesIt();
    void releaseWhileIdleDoesNothing();
    void releaseWithoutLeavingPanelKeepsColour();
    void quickTapEndsAtOnce();
    void failedStartEndsAtOnce_data();
    void failedStartEndsAtOnce();
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
    QVERIFY(f.form->ImgPipette->isHidden());
    QCOMPARE(ApplicationCursor(), 1);
    QCOMPARE(f.form->StatusBar->panelText(0), QStringLiteral(" Pipette active : bougez la souris"));
    QVERIFY(!THintMonitor::instance()->hasHandler());
    // Hints no longer reach the status line while it runs.
    THintMonitor::instance()->setWidgetUnderMouse(f.form->TrackRouge);
    QTest::qWait(20);
    QCOMPARE(f.form->StatusBar->panelText(0), QStringLiteral(" Pipette active : bougez la souris"));
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
    QCOMPARE(f.form->PanelColor->color(), samples ? QColor(255, 0, 0) : QColor(10, 20, 30));
    // The sample never touches the current colour's fields.
    QCOMPARE(f.form->SpinRouge->value(), 10);
}

void TestPipette::unreadablePixelKeepsSample()
{
    Fixture f;
    QVERIFY(test::ShowActive(*f.form));
    QCursor::setPos(f.panel().topLeft() - QPoint(20, 20));
    f.readable = false;
    f.form->TimerTimer();
    QCOMPARE(f.sampled.size(), 1);
    QCOMPARE(f.form->PanelColor->color(), QColor(10, 20, 30));
}

void TestPipette::releaseEndsAndTakesLastSample_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("left") << int(TMouseButton::mbLeft);
    QTest::newRow("right") << int(TMouseButton::mbRight);
}

void TestPipette::releaseEndsAndTakesLastSample()
{
    QFETCH(int, button);
    Fixture f;
    QVERIFY(test::ShowActive(*f.form));
    f.form->ImgPipetteMouseDown();
    QCursor::setPos(f.panel().topLeft() - QPoint(20, 20));
    f.form->TimerTimer();
    f.screen = QColor(0, 0, 255); // not read again at the release
    f.release(TMouseButton(button), QPoint(7, 9));
    QVERIFY(!f.form->pipette().active());
    QVERIFY(!f.form->pipette().timer()->isActive());
    QVERIFY(!f.hook->enabled());
    QCOMPARE(f.form->CurrentColor(), MakeColor(255, 0, 0));
    QCOMPARE(f.form->pipette().point(), QPoint(7, 9));
    QCOMPARE(QCursor::pos(), QPoint(7, 9));
    QCOMPARE(ApplicationCursor(), 0);
    QVERIFY(!f.form->ImgPipette->isHidden());
    QCOMPARE(f.form->StatusBar->panelText(0), QString());
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
    f.form->PanelColor->setColor(QColor(1, 2, 3));
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
    QVERIFY(!f.form->ImgPipette->isHidden());
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
    QVERIFY(!f.form->ImgPipette->isHidden());
    QCOMPARE(ApplicationCursor(), 0);
    QCOMPARE(f.form->CurrentColor(), MakeColor(10, 20, 30));
    QCOMPARE(f.form->PanelColor->color(), QColor(10, 20, 30));
    QVERIFY(THintMonitor::instance()->hasHandler());
}

QTEST_MAIN(TestPipette)
#include "tst_pipette.moc"
