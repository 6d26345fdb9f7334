#include "hook/HookMouse.h"
#include "hook/HookRecord.h"
#include "mainwindow/FormServices.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <dlfcn.h>
#include <memory>

using namespace jov;

namespace {

QString TestLibDirectory(const QString &kind)
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../testlibs/") + kind);
}

// One of the stand-in hook libraries, opened by the test too so that its counters and log
// survive the component's unloading it.
class FakeLibrary
{
public:
    explicit FakeLibrary(const QString &path) : m_path(path)
    {
        m_handle = ::dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!m_handle)
            return;
        m_send = reinterpret_cast<int (*)(const void *, int)>(::dlsym(m_handle, "FakeHookSend"));
        m_log = reinterpret_cast<int (*)(char *, int)>(::dlsym(m_handle, "FakeHookLog"));
        m_initCount = reinterpret_cast<int (*)()>(::dlsym(m_handle, "FakeHookInitCount"));
        m_finalCount = reinterpret_cast<int (*)()>(::dlsym(m_handle, "FakeHookFinalCount"));
        m_receiver = reinterpret_cast<int (*)()>(::dlsym(m_handle, "FakeHookReceiver"));
        const auto reset = reinterpret_cast<void (*)()>(::dlsym(m_handle, "FakeHookReset"));
        if (reset)
            reset();
    }
    ~FakeLibrary()
    {
        if (m_handle)
            ::dlclose(m_handle);
    }
    FakeLibrary(const FakeLibrary &) = delete;
    FakeLibrary &operator=(const FakeLibrary &) = delete;

    bool isValid() const { return m_send && m_log && m_initCount && m_finalCount && m_receiver; }
    QString directory() const { return QFileInfo(m_path).path(); }

    bool send(const QByteArray &payload) const
    {
        return m_send(payload.constData(), static_cast<int>(payload.size())) != 0;
    }
    QString log() const
    {
        char text[4096];
        m_log(text, sizeof text);
        return QString::fromLatin1(text);
    }
    int initCount() const { return m_initCount(); }
    int finalCount() const { return m_finalCount(); }
    int receiver() const { return m_receiver(); }

private:
    QString m_path;
    void *m_handle = nullptr;
    int (*m_send)(const void *, int) = nullptr;
    int (*m_log)(char *, int) = nullptr;
    int (*m_initCount)() = nullptr;
    int (*m_finalCount)() = nullptr;
    int (*m_receiver)() = nullptr;
};

std::unique_ptr<FakeLibrary> OpenFake(const QString &kind)
{
    return std::make_unique<FakeLibrary>(TestLibDirectory(kind) + QStringLiteral("/libHook.so"));
}

// A component that shows no message box and reports a fixed shift state.
struct Fixture
{
    THookMouse hook;
    QStringList messages;
    TShiftState shift = TShiftStates::ssLeft;

    explicit Fixture(const QString &directory = {})
    {
        hook.ShowMessage = [this](const QString &text) { messages << text; };
        hook.QueryShiftState = [this] { return shift; };
        hook.setDirectoryDll(directory);
    }
    // A component made in code starts its library when Enabled goes from false to true.
    void enable()
    {
        hook.setEnabled(false);
        hook.setEnabled(true);
    }
};

QByteArray Record(qint32 msg, qint32 x = 0, qint32 y = 0)
{
    return EncodeHookRecord({msg, x, y, 0x4200001, 1, 0});
}

} // namespace

class TestHookMouse : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void creation();
    void directoryDll_data();
    void directoryDll();
    void missingLibrary_data();
    void missingLibrary();
    void emptyDirectoryLooksBesideTheProgram();
    void noInitialisationHook();
    void refusal();
    void reloadCallsInitialisationAgain();
    void enablingWhenEnabledDoesNothing();
    void loadedStartsOnlyWhenEnabled();
    void recordsRaiseEventsAndGetTheReply();
    void payloadsThatAreNotRecords_data();
    void payloadsThatAreNotRecords();
    void eventsGoToTheCurrentComponent();
    void disablingInsideHandlerWaitsForTheReply_data();
    void disablingInsideHandlerWaitsForTheReply();
    void reEnablingInsideHandlerRestartsAfterTheReply();
    void destructionReleases();
    void handlerDeletingTheComponent();
    void defaultMessageBox();
};

void TestHookMouse::initTestCase()
{
    for (const char *kind : {"fake", "refuse", "noinit"}) {
        const QString path = TestLibDirectory(QLatin1String(kind)) + QStringLiteral("/libHook.so");
        QVERIFY2(QFile::exists(path), qPrintable(path + QStringLiteral(" not built")));
    }
}

void TestHookMouse::creation()
{
    auto fake = OpenFake(QStringLiteral("fake"));
    QVERIFY(fake->isValid());
    Fixture first(fake->directory());
    QVERIFY(first.hook.enabled());
    QVERIFY(!first.hook.stopMessage());
    QCOMPARE(THookMouse::current(), &first.hook);
    // Made in code, it loads nothing until Enabled goes from false to true.
    QVERIFY(!first.hook.libraryLoaded());
    QCOMPARE(fake->initCount(), 0);
    {
        THookMouse second;
        QVERIFY(second.directoryDll().isEmpty());
        QCOMPARE(THookMouse::current(), &second);
    }
    QCOMPARE(THookMouse::current(), nullptr);
}

void TestHookMouse::directoryDll_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("stored");

    QTest::newRow("separator-appended") << "/opt/jov"
                                        << "/opt/jov/";
    QTest::newRow("slash-kept") << "/opt/jov/"
                                << "/opt/jov/";
    QTest::newRow("backslash-kept") << "C:\\Jov\\"
                                    << "C:\\Jov\\";
    QTest::newRow("relative") << "lib"
                              << "lib/";
    QTest::newRow("empty-stays-empty") << ""
                                       << "";
}

void TestHookMouse::directoryDll()
{
    QFETCH(QString, value);
    QFETCH(QString, stored);
    THookMouse hook;
    hook.setDirectoryDll(value);
    QCOMPARE(hook.directoryDll(), stored);
    QCOMPARE(hook.property("DirectoryDll").toString(), stored);
}

void TestHookMouse::missingLibrary_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("message");

    QTest::newRow("beside-program") << ""
                                    << "Le fichier libHook.so est manquant.";
    QTest::newRow("named-folder") << "/nonexistent-jov/hook"
                                  << "Le fichier /nonexistent-jov/hook/libHook.so est manquant.";
    QTest::newRow("folder-without-library")
        << QCoreApplication::applicationDirPath()
        << "Le fichier " + QCoreApplication::applicationDirPath() + "/libHook.so est manquant.";
}

void TestHookMouse::missingLibrary()
{
    QFETCH(QString, directory);
    QFETCH(QString, message);
    if (QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/libHook.so")))
        QSKIP("a libHook.so lies beside the test program");

    Fixture f(directory);
    f.enable();
    QCOMPARE(f.messages, QStringList{message});
    QVERIFY(f.hook.enabled());
    QVERIFY(!f.hook.started());
    QVERIFY(!f.hook.libraryLoaded());
}

void TestHookMouse::emptyDirectoryLooksBesideTheProgram()
{
    // Not the loader's search path: a copy of the stand-in beside the program is the one used.
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/libHook.so");
    if (QFile::exists(beside))
        QSKIP("a libHook.so already lies beside the test program");
    QVERIFY(QFile::copy(TestLibDirectory(QStringLiteral("fake")) + QStringLiteral("/libHook.so"),
                        beside));
    const auto removeCopy = qScopeGuard([&] { QFile::remove(beside); });
    {
        FakeLibrary copy(beside);
        QVERIFY(copy.isValid());
        Fixture f;
        f.enable();
        QVERIFY(f.messages.isEmpty());
        QVERIFY(f.hook.started());
        QCOMPARE(copy.initCount(), 1);
    }
}

void TestHookMouse::noInitialisationHook()
{
    auto fake = OpenFake(QStringLiteral("noinit"));
    QVERIFY(fake->isValid());
    Fixture f(fake->directory());
    f.enable();
    QVERIFY(f.messages.isEmpty());
    QVERIFY(f.hook.libraryLoaded());
    QVERIFY(!f.hook.started());

    f.hook.setEnabled(false);
    QCOMPARE(fake->finalCount(), 1);
    QVERIFY(!f.hook.libraryLoaded());
}

void TestHookMouse::refusal()
{
    auto fake = OpenFake(QStringLiteral("refuse"));
    QVERIFY(fake->isValid());
    Fixture f(fake->directory());
    f.enable();
    const QString refused = QStringLiteral("Une erreur d'initialisation s'est produite.");
    QCOMPARE(f.messages, QStringList{refused});
    QCOMPARE(fake->initCount(), 1);
    QVERIFY(fake->receiver() >= 0);
    QVERIFY(f.hook.libraryLoaded());
    QVERIFY(!f.hook.started());
    QVERIFY(f.hook.enabled());

    f.hook.setEnabled(false);
    QCOMPARE(fake->finalCount(), 1);
    QVERIFY(!f.hook.libraryLoaded());

    // Enabling again tries anew.
    f.hook.setEnabled(true);
    QCOMPARE(fake->initCount(), 2);
    QCOMPARE(f.messages, QStringList({refused, refused}));
}

void TestHookMouse::reloadCallsInitialisationAgain()
{
    auto fake = OpenFake(QStringLiteral("fake"));
    QVERIFY(fake->isValid());
    Fixture f(fake->directory());
    f.enable();
    QVERIFY(f.hook.started());
    QCOMPARE(fake->initCount(), 1);

    f.hook.setEnabled(false);
    QVERIFY(!f.hook.started());
    QVERIFY(!f.hook.libraryLoaded());
    QCOMPARE(fake->finalCount(), 1);

    f.hook.setEnabled(true);
    QVERIFY(f.hook.started());
    QCOMPARE(fake->initCount(), 2);
    QCOMPARE(fake->log(), QStringLiteral("init;final;init;"));
    QVERIFY(f.messages.isEmpty());
}

void TestHookMouse::enablingWhenEnabledDoesNothing()
{
    auto fake = OpenFake(QStringLiteral("refuse"));
    QVERIFY(fake->isValid());
    Fixture f(fake->directory());
    f.enable();
    QCOMPARE(f.messages.size(), 1);
    f.hook.setEnabled(true);
    f.hook.setProperty("Enabled", true);
    QCOMPARE(fake->initCount(), 1);
    QCOMPARE(fake->finalCount(), 0);
    QCOMPARE(f.messages.size(), 1);
}

void TestHookMouse::loadedStartsOnlyWhenEnabled()
{
    auto fake = OpenFake(QStringLiteral("fake"));
    QVERIFY(fake->isValid());
    {
        Fixture f(fake->directory());
        f.hook.setEnabled(false);
        f.hook.Loaded();
        QCOMPARE(fake->initCount(), 0);
    }
    {
        Fixture f(fake->directory());
        f.hook.Loaded();
        QVERIFY(f.hook.started());
        QCOMPARE(fake->initCount(), 1);
        // Loading over a running library stops it first rather than leaving it unowned.
        QVERIFY(f.hook.LoadHookLibrary());
        QCOMPARE(fake->log(), QStringLiteral("init;final;init;"));
    }
    QCOMPARE(fake->finalCount(), 2);
}

void TestHookMouse::recordsRaiseEventsAndGetTheReply()
{
    auto fake = OpenFake(QStringLiteral("fake"));
    QVERIFY(fake->isValid());
    Fixture f(fake->directory());
    f.shift = TShiftStates::ssLeft | TShiftStates::ssAlt;
    QStringList trace;
    f.hook.OnMouseMessage = [&](THookMouse *sender, qint32 msg, qint32 x, qint32 y, quint32 window,
                                quint32, quint32) {
        QCOMPARE(sender, &f.hook);
        QCOMPARE(window, 0x4200001u);
        trace << QStringLiteral("message %1 %2,%3").arg(msg, 0, 16).arg(x).arg(y);
    };
    f.hook.OnMouseDown = [&](THookMouse *sender, TMouseButton button, TShiftState shift, qint32 x,
                             qint32 y, quint32, quint32 hitTest, quint32) {
        QCOMPARE(sender, &f.hook);
        QCOMPARE(shift, f.shift);
        QCOMPARE(hitTest, 1u);
        trace << QStringLiteral("down %1 %2,%3")
                     .arg(button == TMouseButton::mbLeft ? "left" : "right")
                     .arg(x)
                     .arg(y);
    };
    f.hook.OnMouseUp = [&](THookMouse *, TMouseButton button, TShiftState, qint32, qint32, quint32,
                           quint32, quint32) {
        trace << QStringLiteral("up %1").arg(button == TMouseButton::mbLeft ? "left" : "right");
    };
    f.enable();
    QVERIFY(f.hook.started());

    QVERIFY(fake->send(Record(wm::LButtonDown, 640, -3)));
    QTRY_COMPARE(fake->log(), QStringLiteral("init;send;reply=0;"));
    QCOMPARE(trace, QStringList({QStringLiteral("message 201 640,-3"),
                                 QStringLiteral("down left 640,-3")}));

    trace.clear();
    f.hook.setStopMessage(true);
    QVERIFY(fake->send(Record(wm::RButtonUp, 1, 2)));
    QVERIFY(fake->send(Record(wm::MButtonUp, 3, 4)));
    QTRY_COMPARE(fake->log(), QStringLiteral("init;send;reply=0;send;reply=1;send;reply=1;"));
    QCOMPARE(trace, QStringList({QStringLiteral("message 205 1,2"), QStringLiteral("up right"),
                                 QStringLiteral("message 208 3,4")}));
}

void TestHookMouse::payloadsThatAreNotRecords_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<int>("events");

    QTest::newRow("short") << Record(wm::LButtonDown).left(10) << 0;
    QTest::newRow("one-byte-short") << Record(wm::LButtonDown).left(23) << 0;
    QTest::newRow("oversized-reads-first-24")
        << Record(wm::LButtonDown) + QByteArray(500, 'x') << 1;
}

void TestHookMouse::payloadsThatAreNotRecords()
{
    QFETCH(QByteArray, payload);
    QFETCH(int, events);

    auto fake = OpenFake(QStringLiteral("fake"));
    QVERIFY(fake->isValid());
    Fixture f(fake->directory());
    f.hook.setStopMessage(true);
    int downs = 0;
    f.hook.OnMouseDown = [&](THookMouse *, TMouseButton, TShiftState, qint32, qint32, quint32,
                             quint32, quint32) { ++downs; };
    f.enable();
    QVERIFY(fake->send(payload));
    // A payload that is no record is answered 0, whatever StopMessage says.
    QTRY_VERIFY(fake->log().contains(QStringLiteral("reply=")));
    QCOMPARE(fake->log(), QStringLiteral("init;send;reply=%1;").arg(events ? 1 : 0));
    QCOMPARE(downs, events);
}

void TestHookMouse::eventsGoToTheCurrentComponent()
{
    auto fake = OpenFake(QStringLiteral("fake"));
    QVERIFY(fake->isValid());
    Fixture first(fake->directory());
    QList<THookMouse *> senders;
    first.hook.OnMouseMessage = [&](THookMouse *sender, qint32, qint32, qint32, quint32, quint32,
                                    quint32) { senders << sender; };
    first.enable();

    auto second = std::make_unique<THookMouse>();
    second->setStopMessage(true);
    second->OnMouseMessage = first.hook.OnMouseMessage;
    QVERIFY(fake->send(Record(wm::MouseMove)));
    QTRY_COMPARE(fake->log(), QStringLiteral("init;send;reply=1;"));
    QCOMPARE(senders, QList<THookMouse *>{second.get()});

    // With the current component gone, records are still answered, with no event.
    second.reset();
    QVERIFY(fake->send(Record(wm::MouseMove)));
    QTRY_COMPARE(fake->log(), QStringLiteral("init;send;reply=1;send;reply=0;"));
    QCOMPARE(senders.size(), 1);
}

void TestHookMouse::disablingInsideHandlerWaitsForTheReply_data()
{
    QTest::addColumn<bool>("stop");
    QTest::newRow("reply-0") << false;
    QTest::newRow("reply-1") << true;
}

void TestHookMouse::disablingInsideHandlerWaitsForTheReply()
{
    // The library waits for the reply to the very record whose handler disables the component;
    // stopping it from inside the handler would join a thread blocked on that reply.
    QFETCH(bool, stop);
    auto fake = OpenFake(QStringLiteral("fake"));
    QVERIFY(fake->isValid());
    Fixture f(fake->directory());
    f.hook.setStopMessage(stop);
    int finalInside = -1;
    bool pendingInside = false;
    bool loadedInside = false;
    f.hook.OnMouseUp = [&](THookMouse *sender, TMouseButton, TShiftState, qint32, qint32, quint32,
                           quint32, quint32) {
        sender->setEnabled(false);
        finalInside = fake->finalCount();
        pendingInside = sender->releasePending();
        loadedInside = sender->libraryLoaded();
    };
    f.enable();
    QVERIFY(fake->send(Record(wm::LButtonUp)));
    QTRY_VERIFY(fake->log().contains(QStringLiteral("final")));

    QCOMPARE(finalInside, 0);
    QVERIFY(pendingInside);
    QVERIFY(loadedInside);
    QCOMPARE(fake->log(), QStringLiteral("init;send;reply=%1;final;").arg(stop ? 1 : 0));
    QVERIFY(!f.hook.enabled());
    QVERIFY(!f.hook.releasePending());
    QVERIFY(!f.hook.libraryLoaded());
    QVERIFY(!f.hook.started());
}

void TestHookMouse::reEnablingInsideHandlerRestartsAfterTheReply()
{
    auto fake = OpenFake(QStringLiteral("fake"));
    QVERIFY(fake->isValid());
    Fixture f(fake->directory());
    int ups = 0;
    f.hook.OnMouseUp = [&](THookMouse *sender, TMouseButton, TShiftState, qint32, qint32, quint32,
                           quint32, quint32) {
        ++ups;
        sender->setEnabled(false);
        sender->setEnabled(true);
    };
    f.enable();
    QVERIFY(fake->send(Record(wm::LButtonUp)));
    QTRY_COMPARE(fake->log(), QStringLiteral("init;send;reply=0;final;init;"));
    QVERIFY(f.hook.started());
    QVERIFY(f.hook.enabled());

    // The new start receives records as before.
    QVERIFY(fake->send(Record(wm::LButtonUp)));
    QTRY_COMPARE(ups, 2);
}

void TestHookMouse::destructionReleases()
{
    auto fake = OpenFake(QStringLiteral("fake"));
    QVERIFY(fake->isValid());
    {
        Fixture f(fake->directory());
        f.enable();
        QVERIFY(f.hook.started());
    }
    QCOMPARE(fake->log(), QStringLiteral("init;final;"));
}

void TestHookMouse::handlerDeletingTheComponent()
{
    auto fake = OpenFake(QStringLiteral("fake"));
    QVERIFY(fake->isValid());
    auto *f = new Fixture(fake->directory());
    f->enable();
    QVERIFY(f->hook.started());
    int downs = 0;
    f->hook.setStopMessage(true);
    f->hook.OnMouseDown = [&](THookMouse *, TMouseButton, TShiftState, qint32, qint32, quint32,
                              quint32, quint32) { ++downs; };
    f->hook.OnMouseMessage = [&](THookMouse *, qint32, qint32, qint32, quint32, quint32, quint32) {
        delete f; // the component goes while its record is handled
        f = nullptr;
    };
    QVERIFY(fake->send(Record(wm::LButtonDown, 1, 2)));
    QTRY_VERIFY(f == nullptr);
    // The events of the record still run from their copy; a deleted component stops nothing.
    QTRY_COMPARE(downs, 1);
    QTRY_VERIFY(fake->log().startsWith(QLatin1String("init;send;")));
    QVERIFY(!fake->log().contains(QLatin1String("reply=1")));
}

void TestHookMouse::defaultMessageBox()
{
    // The real notice: a modal box captioned with the application name, no icon, one "OK".
    QCoreApplication::setApplicationName(QStringLiteral("JOV"));
    THookMouse hook;
    hook.ShowMessage = FormServices::platform().notice; // as the main window sets it
    hook.setDirectoryDll(QStringLiteral("/nonexistent-jov"));
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::Warning;
    QStringList buttons;
    bool modal = false;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        modal = box->isModal();
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        for (QAbstractButton *button : box->buttons())
            buttons << button->text();
        box->button(QMessageBox::Ok)->click();
    });
    hook.setEnabled(false);
    hook.setEnabled(true);
    QVERIFY(modal);
    QCOMPARE(title, QStringLiteral("JOV"));
    QCOMPARE(text, QStringLiteral("Le fichier /nonexistent-jov/libHook.so est manquant."));
    QCOMPARE(icon, QMessageBox::NoIcon);
    QCOMPARE(buttons, QStringList{QStringLiteral("OK")});
}

QTEST_MAIN(TestHookMouse)
#include "tst_hookmouse.moc"
