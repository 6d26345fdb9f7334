#include "portal/PortalColorPicker.h"

#include "FormParts.h"
#include "QuietServices.h"
#include "controls/ColorButton.h"
#include "controls/Hints.h"
#include "controls/NumberField.h"
#include "controls/Panel.h"
#include "controls/StatusBar.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/Pipette.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <memory>
#include <sys/prctl.h>

using namespace jov;
using jov::test::Parts;
using Failure = TPortalColorPicker::Failure;

namespace {

// Children die with the test, even when it crashes: no bus or portal is left behind.
void DieWithParent(QProcess &process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

// Reads the child's output until a line starting with `prefix`; the rest of that line.
std::optional<QByteArray> WaitForLine(QProcess &process, const QByteArray &prefix, int ms)
{
    QDeadlineTimer deadline(ms);
    QByteArray seen;
    while (!deadline.hasExpired()) {
        if (!process.canReadLine() && !process.waitForReadyRead(int(deadline.remainingTime())))
            break;
        while (process.canReadLine()) {
            const QByteArray line = process.readLine().trimmed();
            if (line.startsWith(prefix))
                return line.mid(prefix.size());
        }
    }
    return std::nullopt;
}

} // namespace

class TestPortalPicker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void waylandSession_data();
    void waylandSession();
    void parentWindow();
    void outcome_data();
    void outcome();
    void cancelWhileWaiting();
    void stuckPortal_data();
    void stuckPortal();
    void pipetteThroughPortal_data();
    void pipetteThroughPortal();
    void statusFitsItsPanel();

private:
    bool startPortal(const QStringList &args);
    QStringList recorded(const QString &key) const;
    void caughtUpWithPortal(const QDBusConnection &connection) const;

    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    std::unique_ptr<QProcess> m_portal;
    QString m_recordPath;
};

void TestPortalPicker::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // Our own bus configuration: no service directories, so nothing real is ever activated on
    // it (a "no portal" case must stay one).
    const QString config = m_dir.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(
        QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus "
                       "Configuration 1.0//EN\" "
                       "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                       "<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                       "<auth>EXTERNAL</auth><policy context=\"default\">"
                       "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                       "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n")
            .arg(m_dir.path())
            .toUtf8());
    file.close();

    DieWithParent(m_daemon);
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                    QStringLiteral("--print-address=1")});
    QVERIFY2(m_daemon.waitForStarted(5000), "dbus-daemon (package dbus) cannot be started");
    const auto address = WaitForLine(m_daemon, "unix:", 5000);
    QVERIFY2(address, "dbus-daemon printed no address");
    m_address = QStringLiteral("unix:") + QString::fromUtf8(*address);
    // The main window's picker talks to the session bus: this one, from its first use on.
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());
    QVERIFY(QDBusConnection::connectToBus(m_address, QStringLiteral("portal-test")).isConnected());
}

void TestPortalPicker::cleanupTestCase()
{
    QDBusConnection::disconnectFromBus(QStringLiteral("portal-test"));
    m_daemon.terminate();
    QVERIFY(m_daemon.waitForFinished(5000));
}

void TestPortalPicker::cleanup()
{
    if (m_portal) {
        m_portal->terminate();
        m_portal->waitForFinished(5000);
        m_portal.reset();
    }
}

bool TestPortalPicker::startPortal(const QStringList &args)
{
    m_recordPath = m_dir.filePath(QStringLiteral("record-%1").arg(QTest::currentDataTag()));
    QFile::remove(m_recordPath);
    m_portal = std::make_unique<QProcess>();
    DieWithParent(*m_portal);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
    m_portal->setProcessEnvironment(env);
    m_portal->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_portal->start(QStringLiteral(JOV_FAKE_PORTAL),
                    QStringList{QStringLiteral("--record"), m_recordPath} + args);
    return m_portal->waitForStarted(5000) && WaitForLine(*m_portal, "ready", 5000);
}

// The values the stand-in portal recorded under `key`, in order.
QStringList TestPortalPicker::recorded(const QString &key) const
{
    QFile file(m_recordPath);
    QStringList values;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return values;
    const QString prefix = key + QLatin1Char('=');
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(prefix))
            values << line.mid(prefix.size());
    }
    return values;
}

// Returns once everything the stand-in sent before has been handled here: its answer to a ping
// on the same connection comes after it.
void TestPortalPicker::caughtUpWithPortal(const QDBusConnection &connection) const
{
    if (m_portal && m_portal->state() == QProcess::Running && connection.isConnected()) {
        const QDBusMessage pong = connection.call(QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.portal.Desktop"),
            QStringLiteral("/org/freedesktop/portal/desktop"),
            QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping")));
        QVERIFY2(pong.type() == QDBusMessage::ReplyMessage, qPrintable(pong.errorMessage()));
    }
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void TestPortalPicker::waylandSession_data()
{
    QTest::addColumn<QString>("waylandDisplay");
    QTest::addColumn<QString>("sessionType");
    QTest::addColumn<bool>("wayland");
    QTest::newRow("x11") << ""
                         << "x11" << false;
    QTest::newRow("nothing set") << ""
                                 << "" << false;
    QTest::newRow("wayland display") << "wayland-0"
                                     << "" << true;
    QTest::newRow("session type") << ""
                                  << "wayland" << true;
    QTest::newRow("session type, any case") << ""
                                            << "Wayland" << true;
    QTest::newRow("tty session, display set") << "wayland-1"
                                              << "tty" << true;
}

void TestPortalPicker::waylandSession()
{
    QFETCH(QString, waylandDisplay);
    QFETCH(QString, sessionType);
    QFETCH(bool, wayland);
    QCOMPARE(IsWaylandSession(waylandDisplay, sessionType), wayland);
}

void TestPortalPicker::parentWindow()
{
    QCOMPARE(PortalParentWindow(QStringLiteral("xcb"), 0x2a0000b), QStringLiteral("x11:2a0000b"));
    QCOMPARE(PortalParentWindow(QStringLiteral("wayland"), 0x1234), QString());
    QCOMPARE(PortalParentWindow(QStringLiteral("xcb"), 0), QString());
    QCOMPARE(PortalParentWindow(nullptr), QString());
}

void TestPortalPicker::outcome_data()
{
    QTest::addColumn<QStringList>("portal"); // the stand-in's arguments; "none" for no portal
    QTest::addColumn<bool>("bus");
    QTest::addColumn<int>("failure"); // -1 when a colour is expected
    QTest::addColumn<QList<int>>("rgb");
    QTest::addColumn<int>("minTicks"); // of a 10 ms timer while waiting

    const int ok = -1;
    auto args = [](const QString &line) { return line.split(QLatin1Char(' ')); };
    QTest::newRow("colour, halves up")
        << args("--color 0.5,1,0") << true << ok << QList{128, 255, 0} << 0;
    QTest::newRow("colour clamped")
        << args("--color 1.7,-0.2,0.2") << true << ok << QList{255, 0, 51} << 0;
    QTest::newRow("colour on a path of the portal's choosing")
        << args("--color 0,0.25,1 --other-handle --response-delay 300") << true << ok
        << QList{0, 64, 255} << 0;
    QTest::newRow("slow answer, the loop runs")
        << args("--color 1,0,0 --response-delay 800") << true << ok << QList{255, 0, 0} << 10;
    QTest::newRow("cancelled") << args("--response 1") << true << int(Failure::Cancelled)
                               << QList<int>{} << 0;
    QTest::newRow("other end") << args("--response 2") << true << int(Failure::Refused)
                               << QList<int>{} << 0;
    QTest::newRow("error reply") << args("--error org.freedesktop.portal.Error.NotAllowed") << true
                                 << int(Failure::Error) << QList<int>{} << 0;
    QTest::newRow("no screenshot back end")
        << args("--no-screenshot") << true << int(Failure::NoPicker) << QList<int>{} << 0;
    QTest::newRow("screenshot without PickColor")
        << args("--old-screenshot") << true << int(Failure::Unsupported) << QList<int>{} << 0;
    QTest::newRow("colour as text")
        << args("--malformed string") << true << int(Failure::Malformed) << QList<int>{} << 0;
    QTest::newRow("two channels") << args("--malformed pair") << true << int(Failure::Malformed)
                                  << QList<int>{} << 0;
    QTest::newRow("success without colour")
        << args("--malformed missing") << true << int(Failure::Malformed) << QList<int>{} << 0;
    QTest::newRow("response without results")
        << args("--malformed signature") << true << int(Failure::Malformed) << QList<int>{} << 0;
    QTest::newRow("results not a dictionary")
        << args("--malformed results") << true << int(Failure::Malformed) << QList<int>{} << 0;
    QTest::newRow("NaN channel") << args("--color 0,nan,0") << true << int(Failure::Malformed)
                                 << QList<int>{} << 0;
    QTest::newRow("no portal on the bus") << QStringList{QStringLiteral("none")} << true
                                          << int(Failure::NoPortal) << QList<int>{} << 0;
    QTest::newRow("no bus") << QStringList{QStringLiteral("none")} << false << int(Failure::NoBus)
                            << QList<int>{} << 0;
}

void TestPortalPicker::outcome()
{
    QFETCH(QStringList, portal);
    QFETCH(bool, bus);
    QFETCH(int, failure);
    QFETCH(QList<int>, rgb);
    QFETCH(int, minTicks);

    const bool withPortal = portal != QStringList{QStringLiteral("none")};
    if (withPortal)
        QVERIFY2(startPortal(portal), "the stand-in portal did not start");
    const QDBusConnection connection =
        bus ? QDBusConnection(QStringLiteral("portal-test"))
            : QDBusConnection::connectToBus(QStringLiteral("unix:path=") +
                                                m_dir.filePath(QStringLiteral("no-bus")),
                                            QStringLiteral("portal-test-nobus"));
    QCOMPARE(connection.isConnected(), bus);

    TPortalColorPicker picker(connection);
    QSignalSpy picked(&picker, &TPortalColorPicker::picked);
    QSignalSpy failed(&picker, &TPortalColorPicker::failed);
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
    ticker.start(10);

    QVERIFY(picker.pick(QStringLiteral("x11:4a00007")));
    QVERIFY(picker.busy());
    QVERIFY(!picker.pick(QStringLiteral("x11:4a00007"))); // one pick at a time
    QTRY_COMPARE_WITH_TIMEOUT(picked.count() + failed.count(), 1, 10000);
    QVERIFY(!picker.busy());
    QVERIFY(picker.requestPath().isEmpty());

    if (failure < 0) {
        QCOMPARE(picked.count(), 1);
        QCOMPARE(picked.first(), (QVariantList{rgb[0], rgb[1], rgb[2]}));
    } else {
        QCOMPARE(failed.count(), 1);
        QCOMPARE(int(failed.first().at(0).value<Failure>()), failure);
        QCOMPARE(failed.first().at(1).toString(), TPortalColorPicker::StatusText(Failure(failure)));
    }
    QVERIFY2(ticks >= minTicks, qPrintable(QStringLiteral("%1 ticks").arg(ticks)));

    if (withPortal && !portal.contains(QStringLiteral("--no-screenshot")) &&
        !portal.contains(QStringLiteral("--old-screenshot"))) {
        // What the portal was asked: our parent window and a token usable in an object path.
        QCOMPARE(recorded(QStringLiteral("parent")), QStringList{QStringLiteral("x11:4a00007")});
        const QStringList tokens = recorded(QStringLiteral("token"));
        QCOMPARE(tokens.size(), 1);
        QVERIFY(QRegularExpression(QStringLiteral("^[A-Za-z0-9_]+$")).match(tokens[0]).hasMatch());
        QCOMPARE(recorded(QStringLiteral("options")), QStringList{QStringLiteral("handle_token")});
    }
    caughtUpWithPortal(connection);
    QCOMPARE(picked.count() + failed.count(), 1); // exactly one outcome
}

void TestPortalPicker::cancelWhileWaiting()
{
    QVERIFY2(startPortal({QStringLiteral("--silent")}), "the stand-in portal did not start");
    TPortalColorPicker picker(QDBusConnection(QStringLiteral("portal-test")));
    QSignalSpy picked(&picker, &TPortalColorPicker::picked);
    QSignalSpy failed(&picker, &TPortalColorPicker::failed);

    QVERIFY(picker.pick(QString()));
    QTRY_COMPARE_WITH_TIMEOUT(recorded(QStringLiteral("handle")).size(), 1, 5000);
    const QString handle = recorded(QStringLiteral("handle")).first();
    QTRY_COMPARE_WITH_TIMEOUT(picker.requestPath(), handle, 5000);
    QCOMPARE(recorded(QStringLiteral("parent")), QStringList{QString()});

    picker.cancel();
    QVERIFY(!picker.busy());
    // The portal is told to close the request, and nothing more comes from this pick.
    QTRY_COMPARE_WITH_TIMEOUT(recorded(QStringLiteral("close")), QStringList{handle}, 5000);
    caughtUpWithPortal(QDBusConnection(QStringLiteral("portal-test")));
    QCOMPARE(picked.count() + failed.count(), 0);

    // A new pick may start at once, and the destructor closes it too.
    {
        TPortalColorPicker again(QDBusConnection(QStringLiteral("portal-test")));
        QVERIFY(picker.pick(QString()));
        QVERIFY(again.pick(QString()));
        QTRY_COMPARE_WITH_TIMEOUT(recorded(QStringLiteral("handle")).size(), 3, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(
            !again.requestPath().isEmpty() &&
                recorded(QStringLiteral("handle")).contains(again.requestPath()),
            5000);
    }
    QTRY_COMPARE_WITH_TIMEOUT(recorded(QStringLiteral("close")).size(), 2, 5000);
    picker.cancel();
}

void TestPortalPicker::stuckPortal_data()
{
    QTest::addColumn<QStringList>("portal");
    QTest::addColumn<bool>("killAfterReply");
    QTest::addColumn<int>("failure");
    QTest::newRow("no reply to the call")
        << QStringList{QStringLiteral("--silent"), QStringLiteral("--reply-delay"),
                       QStringLiteral("5000")}
        << false << int(Failure::NoReply);
    QTest::newRow("portal quits while the user picks")
        << QStringList{QStringLiteral("--silent")} << true << int(Failure::PortalGone);
}

void TestPortalPicker::stuckPortal()
{
    QFETCH(QStringList, portal);
    QFETCH(bool, killAfterReply);
    QFETCH(int, failure);

    QVERIFY2(startPortal(portal), "the stand-in portal did not start");
    TPortalColorPicker picker(QDBusConnection(QStringLiteral("portal-test")));
    picker.setCallTimeout(300);
    QSignalSpy failed(&picker, &TPortalColorPicker::failed);
    QVERIFY(picker.pick(QString()));
    if (killAfterReply) {
        QTRY_VERIFY_WITH_TIMEOUT(
            picker.requestPath() == recorded(QStringLiteral("handle")).value(0), 5000);
        // Time itself is what is tested: past the call timeout, the wait for the Response,
        // which has no limit, goes on.
        QTest::qWait(400);
        QVERIFY(picker.busy());
        m_portal->kill();
        m_portal->waitForFinished(5000);
    }
    QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 5000);
    QCOMPARE(int(failed.first().at(0).value<Failure>()), failure);
    QVERIFY(!picker.busy());
}

void TestPortalPicker::pipetteThroughPortal_data()
{
    QTest::addColumn<QStringList>("portal"); // the stand-in's arguments; "none" for no portal
    QTest::addColumn<QColor>("picked");      // the current colour afterwards
    QTest::addColumn<QString>("status");     // status panel 0 afterwards

    const QColor before(10, 20, 30);
    QTest::newRow("colour") << QStringList{QStringLiteral("--color"), QStringLiteral("0.2,0.4,0.6")}
                            << QColor(51, 102, 153) << QString();
    QTest::newRow("cancel") << QStringList{QStringLiteral("--response"), QStringLiteral("1")}
                            << before << TPortalColorPicker::StatusText(Failure::Cancelled);
    QTest::newRow("no portal") << QStringList{QStringLiteral("none")} << before
                               << TPortalColorPicker::StatusText(Failure::NoPortal);
}

// The main window's pipette on a Wayland session: the press on the image asks the portal
// (on the session bus), the window shows the mode while it waits, and the answer ends it.
void TestPortalPicker::pipetteThroughPortal()
{
    QFETCH(QStringList, portal);
    QFETCH(QColor, picked);
    QFETCH(QString, status);

    const bool withPortal = portal != QStringList{QStringLiteral("none")};
    if (withPortal)
        QVERIFY2(startPortal(portal + QStringList{QStringLiteral("--response-delay"),
                                                  QStringLiteral("200")}),
                 "the stand-in portal did not start");
    test::QuietServices quiet;
    FormServices services = quiet.services();
    services.portalPicking = true;
    TMainForm form(nullptr, services);
    form.show();
    Parts(form).SpinRouge->setValue(10);
    Parts(form).SpinVert->setValue(20);
    Parts(form).SpinBleu->setValue(30);

    form.ImgPipetteMouseDown();
    QVERIFY(form.pipette().active());
    QVERIFY(Parts(form).ImgPipette->isHidden());
    QCOMPARE(form.statusBar()->panelText(0), QStringLiteral(" Pipette active : bougez la souris"));
    QTRY_VERIFY_WITH_TIMEOUT(!form.pipette().active(), 10000);

    QCOMPARE(form.CurrentColor(), MakeColor(picked.red(), picked.green(), picked.blue()));
    QCOMPARE(Parts(form).SpinVert->value(), picked.green());
    QCOMPARE(Parts(form).PanelColor->color(), picked);
    QVERIFY(!Parts(form).ImgPipette->isHidden());
    QCOMPARE(form.statusBar()->panelText(0), status);
    QCOMPARE(quiet.beeps + quiet.messages.size() + quiet.notices.size(), 0);
    if (withPortal) {
        QCOMPARE(recorded(QStringLiteral("parent")), QStringList{QString()}); // offscreen
        QCOMPARE(recorded(QStringLiteral("options")), QStringList{QStringLiteral("handle_token")});
    }

    // The pointer is still on the pipette image, whose hint comes back with it: the message
    // stays until the pointer is over another control.
    THintMonitor &hints = *THintMonitor::instance();
    hints.setWidgetUnderMouse(Parts(form).PanelPipette);
    hints.updateHint();
    hints.setWidgetUnderMouse(Parts(form).ImgPipette);
    hints.updateHint();
    QCOMPARE(form.statusBar()->panelText(0),
             status.isEmpty() ? LongHintAt(Parts(form).ImgPipette) : status);
    hints.setWidgetUnderMouse(Parts(form).BtnAide);
    hints.updateHint();
    QCOMPARE(form.statusBar()->panelText(0), LongHintAt(Parts(form).BtnAide));
}

// Each reason is read whole in status panel 0 of the main window, not cut short.
void TestPortalPicker::statusFitsItsPanel()
{
    test::QuietServices quiet;
    TMainForm form(nullptr, quiet.services());
    form.show();
    const int room = form.statusBar()->panelRect(0).width() - 6; // the panel's text margins
    const QMetaEnum failures = QMetaEnum::fromType<Failure>();
    QStringList cut;
    for (int i = 0; i < failures.keyCount(); ++i) {
        const QString text = TPortalColorPicker::StatusText(Failure(failures.value(i)));
        const int width = form.statusBar()->fontMetrics().horizontalAdvance(text);
        if (width > room)
            cut << QStringLiteral("'%1' (%2 px)").arg(text).arg(width);
    }
    QVERIFY2(cut.isEmpty(), qPrintable(QStringLiteral("%1 px of room: ").arg(room) +
                                       cut.join(QStringLiteral(", "))));
}

QTEST_MAIN(TestPortalPicker)
#include "tst_portalpicker.moc"
