// The loupe on a real X server (Xvfb with openbox, both started here): the block read from the
// root in one request, and a loupe window that takes no focus, has no task bar entry and does
// not see itself.
#include "TestSupport.h"

#include "controls/Loupe.h"
#include "controls/Panel.h"
#include "controls/ScreenBlock.h"

#include <QApplication>
#include <QDir>

#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace jov;

namespace {

constexpr int ScreenWidth = 640;
constexpr int ScreenHeight = 480;

// The picture the root shows: every pixel differs from its neighbours in each channel.
QRgb Pattern(int x, int y)
{
    return qRgb((x * 7) & 0xFF, (y * 5) & 0xFF, (x ^ (y * 3)) & 0xFF);
}

// Xvfb and openbox for the whole run, stopped by process id at exit.
class XServer
{
public:
    ~XServer()
    {
        for (pid_t pid : {m_wm, m_server}) {
            if (pid > 0) {
                ::kill(pid, SIGTERM);
                ::waitpid(pid, nullptr, 0);
            }
        }
        if (!m_home.isEmpty())
            QDir(QString::fromLocal8Bit(m_home)).removeRecursively();
    }

    bool start()
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return false;
        const QByteArray size =
            QByteArray::number(ScreenWidth) + 'x' + QByteArray::number(ScreenHeight) + "x24";
        const QByteArray fd = QByteArray::number(fds[1]);
        m_server = ::fork();
        if (m_server == 0) {
            ::close(fds[0]);
            // Quiet about the display numbers other servers already hold.
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 2);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.constData(), "-screen", "0", size.constData(),
                     "-nolisten", "tcp", static_cast<char *>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        // Xvfb writes its display number once it accepts connections.
        QByteArray number;
        pollfd p{fds[0], POLLIN, 0};
        while (!number.contains('\n') && ::poll(&p, 1, 10000) > 0) {
            char buffer[16];
            const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
            if (n <= 0)
                break;
            number.append(buffer, n);
        }
        ::close(fds[0]);
        if (!number.contains('\n'))
            return false;
        ::setenv("DISPLAY", (':' + number.left(number.indexOf('\n'))).constData(), 1);

        char home[] = "/tmp/jov-loupe.XXXXXX";
        if (!::mkdtemp(home))
            return false;
        m_home = home;
        m_wm = ::fork();
        if (m_wm == 0) {
            ::setenv("HOME", home, 1);
            ::setenv("XDG_CONFIG_HOME", home, 1);
            ::setenv("XDG_CACHE_HOME", home, 1);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
            ::execlp("openbox", "openbox", static_cast<char *>(nullptr));
            ::_exit(127);
        }
        return m_wm > 0;
    }

private:
    pid_t m_server = -1;
    pid_t m_wm = -1;
    QByteArray m_home;
};

// The test's own connection, beside the application's.
struct Connection
{
    xcb_connection_t *c = nullptr;
    xcb_screen_t *screen = nullptr;

    Connection()
    {
        c = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(c) == 0)
            screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    }
    ~Connection() { xcb_disconnect(c); }

    xcb_atom_t atom(const char *name) const
    {
        xcb_intern_atom_reply_t *r = xcb_intern_atom_reply(
            c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(r);
        return a;
    }

    QList<xcb_window_t> windows(const char *property) const
    {
        QList<xcb_window_t> list;
        xcb_get_property_reply_t *r = xcb_get_property_reply(
            c, xcb_get_property(c, 0, screen->root, atom(property), XCB_ATOM_WINDOW, 0, 1024),
            nullptr);
        if (r) {
            const auto *w = static_cast<const xcb_window_t *>(xcb_get_property_value(r));
            list = QList<xcb_window_t>(w, w + xcb_get_property_value_length(r) / 4);
        }
        std::free(r);
        return list;
    }

    // The windows the window manager looks after. A property change on the root first wakes it:
    // a map request that reached openbox while it was still starting can wait in its queue
    // until some other event comes.
    QList<xcb_window_t> managedWindows() const
    {
        const uint32_t any = 0;
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, screen->root, atom("JOV_TEST_WAKE"),
                            XCB_ATOM_CARDINAL, 32, 1, &any);
        return windows("_NET_CLIENT_LIST");
    }

    // Asks the window manager to activate a window the way a pager or xdotool does: openbox
    // would not let an application without user input take the focus by itself.
    void activate(xcb_window_t window)
    {
        xcb_client_message_event_t event = {};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = atom("_NET_ACTIVE_WINDOW");
        event.data.data32[0] = 2; // from a pager
        xcb_send_event(c, 0, screen->root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char *>(&event));
        xcb_flush(c);
    }

    // Waits until the window manager has handled what was sent to it before: it answers a
    // request for the frame extents of a new window of ours by setting them on that window.
    bool windowManagerCaughtUp()
    {
        const xcb_window_t probe = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, probe, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        xcb_client_message_event_t event = {};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = probe;
        event.type = atom("_NET_REQUEST_FRAME_EXTENTS");
        xcb_send_event(c, 0, screen->root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char *>(&event));
        xcb_flush(c);
        const xcb_atom_t extents = atom("_NET_FRAME_EXTENTS");
        const bool answered = QTest::qWaitFor(
            [&] {
                xcb_get_property_reply_t *r = xcb_get_property_reply(
                    c, xcb_get_property(c, 0, probe, extents, XCB_ATOM_CARDINAL, 0, 4), nullptr);
                const bool set = r && r->value_len == 4;
                std::free(r);
                return set;
            },
            5000);
        xcb_destroy_window(c, probe);
        xcb_flush(c);
        return answered;
    }

    // The pattern as the root's background, so it comes back wherever a window goes away.
    void paintRoot()
    {
        const xcb_pixmap_t pixmap = xcb_generate_id(c);
        xcb_create_pixmap(c, screen->root_depth, pixmap, screen->root, ScreenWidth, ScreenHeight);
        const xcb_gcontext_t gc = xcb_generate_id(c);
        xcb_create_gc(c, gc, pixmap, 0, nullptr);
        constexpr int Rows = 40;
        std::vector<uint32_t> data(std::size_t(ScreenWidth) * Rows);
        for (int top = 0; top < ScreenHeight; top += Rows) {
            for (int y = 0; y < Rows; ++y) {
                for (int x = 0; x < ScreenWidth; ++x)
                    data[std::size_t(y * ScreenWidth + x)] = Pattern(x, top + y) & 0xFFFFFF;
            }
            xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, ScreenWidth, Rows, 0,
                          int16_t(top), 0, screen->root_depth, uint32_t(data.size() * 4),
                          reinterpret_cast<const uint8_t *>(data.data()));
        }
        xcb_change_window_attributes(c, screen->root, XCB_CW_BACK_PIXMAP, &pixmap);
        xcb_clear_area(c, 0, screen->root, 0, 0, 0, 0);
        xcb_free_gc(c, gc);
        xcb_free_pixmap(c, pixmap);
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); // round trip
    }
};

// Every valid cell shows the root's pixel, the others are black.
bool BlockShowsRoot(const ScreenBlock &block, QPoint hot, QString &why)
{
    const QPoint origin = LoupeBlockAround(hot).topLeft();
    for (int y = 0; y < LoupeBlockSide; ++y) {
        for (int x = 0; x < LoupeBlockSide; ++x) {
            const bool valid = block.validCells.contains(x, y);
            const QRgb want = valid ? Pattern(origin.x() + x, origin.y() + y) : qRgb(0, 0, 0);
            if (block.image.pixel(x, y) != want) {
                why = QStringLiteral("cell %1, %2: %3 instead of %4")
                          .arg(x)
                          .arg(y)
                          .arg(block.image.pixel(x, y), 0, 16)
                          .arg(want, 0, 16);
                return false;
            }
        }
    }
    return true;
}

} // namespace

class TestLoupeX11 : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void blockMatchesTheRoot_data();
    void blockMatchesTheRoot();
    void loupeStaysOutOfTheWay();
    void drawingIsToldOnce();
    void paintedStraightEvenWhenUncovered();
    void patchedPanelShowsItsColour();

private:
    Connection m_x;
};

void TestLoupeX11::initTestCase()
{
    QVERIFY(m_x.screen);
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    // openbox is up once it announces itself on the root.
    QTRY_VERIFY_WITH_TIMEOUT(!m_x.windows("_NET_SUPPORTING_WM_CHECK").isEmpty(), 10000);
    m_x.paintRoot();
}

void TestLoupeX11::blockMatchesTheRoot_data()
{
    QTest::addColumn<QPoint>("hot");
    QTest::addColumn<QRect>("valid");
    QTest::newRow("inside") << QPoint(321, 123) << QRect(0, 0, 15, 15);
    QTest::newRow("top-left-corner") << QPoint(0, 0) << QRect(7, 7, 8, 8);
    QTest::newRow("bottom-right-corner") << QPoint(639, 479) << QRect(0, 0, 8, 8);
    QTest::newRow("left-edge") << QPoint(3, 200) << QRect(4, 0, 11, 15);
    QTest::newRow("bottom-edge") << QPoint(100, 475) << QRect(0, 0, 15, 12);
    QTest::newRow("off-the-root") << QPoint(700, 100) << QRect();
}

void TestLoupeX11::blockMatchesTheRoot()
{
    QFETCH(QPoint, hot);
    QFETCH(QRect, valid);
    ScreenBlock block;
    QCOMPARE(ReadScreenBlock({hot, 0}, block), !valid.isEmpty());
    QCOMPARE(block.validCells, valid);
    QString why;
    QVERIFY2(BlockShowsRoot(block, hot, why), qPrintable(why));
}

void TestLoupeX11::loupeStaysOutOfTheWay()
{
    QWidget main;
    main.setWindowTitle(QStringLiteral("main"));
    main.setGeometry(420, 330, 150, 100);
    main.show();
    const xcb_window_t mainId = xcb_window_t(main.winId());
    QTRY_VERIFY_WITH_TIMEOUT(m_x.managedWindows().contains(mainId), 5000);
    m_x.activate(mainId);
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QTRY_COMPARE_WITH_TIMEOUT(m_x.windows("_NET_ACTIVE_WINDOW").value(0), mainId, 5000);

    TLoupe loupe(&main);
    const QPoint hot(60, 60);
    const LoupeMonitor monitor = LoupeMonitorAt({hot, 0});
    QCOMPARE(monitor.device, QRect(0, 0, ScreenWidth, ScreenHeight));
    ScreenBlock block;
    QVERIFY(ReadScreenBlock({hot, 0}, block));
    loupe.showBlock(block.image, block.validCells, hot, monitor.device, monitor.devicePixelRatio);
    QVERIFY(QTest::qWaitForWindowExposed(&loupe));
    const xcb_window_t loupeId = xcb_window_t(loupe.winId());

    // Outside the window manager's care: never framed, listed or focused.
    xcb_get_window_attributes_reply_t *attributes =
        xcb_get_window_attributes_reply(m_x.c, xcb_get_window_attributes(m_x.c, loupeId), nullptr);
    QVERIFY(attributes);
    const bool overrideRedirect = attributes->override_redirect;
    const int mapState = attributes->map_state;
    std::free(attributes);
    QVERIFY(overrideRedirect);
    QCOMPARE(mapState, int(XCB_MAP_STATE_VIEWABLE));
    // A wrong activation would have been asked of the window manager, or of the server, when
    // the loupe was shown: the window manager has handled it once it answers a later request,
    // and the application has read the focus events it brought once a round trip of its own
    // connection is over.
    QVERIFY(m_x.windowManagerCaughtUp());
    xcb_connection_t *own =
        qApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    std::free(xcb_get_input_focus_reply(own, xcb_get_input_focus(own), nullptr));
    QCoreApplication::processEvents();
    QVERIFY(!m_x.managedWindows().contains(loupeId));
    QCOMPARE(m_x.windows("_NET_ACTIVE_WINDOW").value(0), mainId);
    QCOMPARE(QApplication::activeWindow(), &main);

    // It stands on the screen where it says, whole, clear of the block it shows.
    xcb_translate_coordinates_reply_t *at = xcb_translate_coordinates_reply(
        m_x.c, xcb_translate_coordinates(m_x.c, loupeId, m_x.screen->root, 0, 0), nullptr);
    QVERIFY(at);
    const QPoint onScreen(at->dst_x, at->dst_y);
    std::free(at);
    QCOMPARE(onScreen, loupe.deviceRect().topLeft());
    QVERIFY(monitor.device.contains(loupe.deviceRect()));
    QVERIFY(!loupe.wouldSeeItself(hot));

    // Moved about (and grown, between two picks), it stands where it says each time: the
    // display's notices of its own moves are not needed to place it.
    const auto placed = [&] {
        xcb_get_geometry_reply_t *g =
            xcb_get_geometry_reply(m_x.c, xcb_get_geometry(m_x.c, loupeId), nullptr);
        const QRect rect = g ? QRect(g->x, g->y, g->width, g->height) : QRect();
        std::free(g);
        return rect;
    };
    for (const QPoint to : {QPoint(ScreenWidth - 5, 40), QPoint(300, ScreenHeight - 5),
                            QPoint(301, ScreenHeight - 6), QPoint(5, 5), hot}) {
        if (to == hot) {
            loupe.hide();
            QFont larger = loupe.font();
            larger.setPointSize(larger.pointSize() + 4);
            loupe.setFont(larger);
        }
        loupe.showBlock(block.image, block.validCells, to, monitor.device,
                        monitor.devicePixelRatio);
        QTRY_COMPARE_WITH_TIMEOUT(placed(), loupe.deviceRect(), 5000);
        QVERIFY(!loupe.wouldSeeItself(to));
    }
    // Hidden, Qt knows where the window stood, and shows it there again.
    const QRect last = loupe.deviceRect();
    loupe.hide();
    QCOMPARE(loupe.geometry(), last);
    loupe.show();
    QVERIFY(QTest::qWaitForWindowExposed(&loupe));

    // Reading again around the hot spot gives the root, not the loupe; reading on the loupe
    // gives the loupe, which wouldSeeItself foretells.
    QString why;
    QVERIFY(ReadScreenBlock({hot, 0}, block));
    QVERIFY2(BlockShowsRoot(block, hot, why), qPrintable(why));
    const QPoint onLoupe = loupe.deviceRect().center();
    QVERIFY(loupe.wouldSeeItself(onLoupe));
    // Painted once shown again.
    QTRY_VERIFY_WITH_TIMEOUT(
        ReadScreenBlock({onLoupe, 0}, block) && !BlockShowsRoot(block, onLoupe, why), 5000);
}

// Once shown, the loupe's new pictures go straight into its window; uncovered, it shows the
// newest one, not Qt's older copy.
void TestLoupeX11::paintedStraightEvenWhenUncovered()
{
    TLoupe loupe;
    const QPoint hot(200, 200);
    const LoupeMonitor monitor = LoupeMonitorAt({hot, 0});
    QImage cells(LoupeBlockSide, LoupeBlockSide, QImage::Format_RGB32);
    ScreenBlock onScreen;
    const auto shows = [&](QRgb colour) {
        cells.fill(colour);
        loupe.showBlock(cells, cells.rect(), hot, monitor.device, monitor.devicePixelRatio);
        const ScreenPoint centre{loupe.deviceRect().topLeft() + TLoupe::pictureRect().center(), 0};
        return QTest::qWaitFor([&] {
            return ReadScreenBlock(centre, onScreen) &&
                   onScreen.image.pixel(LoupeBlockHalf, LoupeBlockHalf) == colour;
        });
    };
    QVERIFY(shows(qRgb(10, 200, 30)));
    QVERIFY(QTest::qWaitForWindowExposed(&loupe));
    QVERIFY(shows(qRgb(40, 50, 220)));

    const xcb_window_t cover = xcb_generate_id(m_x.c);
    const uint32_t values[] = {0x000000, 1}; // background, override-redirect
    const QRect at = loupe.deviceRect();
    xcb_create_window(m_x.c, XCB_COPY_FROM_PARENT, cover, m_x.screen->root, int16_t(at.x()),
                      int16_t(at.y()), uint16_t(at.width()), uint16_t(at.height()), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, m_x.screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
    xcb_map_window(m_x.c, cover);
    std::free(xcb_get_input_focus_reply(m_x.c, xcb_get_input_focus(m_x.c), nullptr));
    cells.fill(qRgb(250, 120, 0));
    loupe.showBlock(cells, cells.rect(), hot, monitor.device, monitor.devicePixelRatio);
    xcb_destroy_window(m_x.c, cover);
    xcb_flush(m_x.c);
    QVERIFY(shows(qRgb(250, 120, 0)));
    // Still so once everything has come in.
    QTest::qWait(100);
    QVERIFY(shows(qRgb(250, 120, 0)));
}

// A patched panel shows each new colour through a window of the display's own, and its face
// painted in the last one once unpatched.
void TestLoupeX11::patchedPanelShowsItsColour()
{
    TPanel panel;
    panel.setGeometry(100, 300, 60, 40);
    panel.setColor(QColor(1, 2, 3));
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    const auto children = [&] {
        xcb_query_tree_reply_t *tree = xcb_query_tree_reply(
            m_x.c, xcb_query_tree(m_x.c, xcb_window_t(panel.winId())), nullptr);
        const int n = tree ? xcb_query_tree_children_length(tree) : -1;
        std::free(tree);
        return n;
    };
    ScreenBlock onScreen;
    const auto shows = [&](const QColor &colour) {
        const QPoint centre = panel.mapToGlobal(panel.rect().center());
        return QTest::qWaitFor([&] {
            return ReadScreenBlock({centre, 0}, onScreen) &&
                   onScreen.image.pixel(LoupeBlockHalf, LoupeBlockHalf) == colour.rgb();
        });
    };
    QVERIFY(shows(QColor(1, 2, 3)));
    QCOMPARE(children(), 0);
    panel.setColorPatched(true);
    QVERIFY(panel.colorPatched());
    QTRY_COMPARE(children(), 1);
    for (const QColor &colour : {QColor(200, 10, 10), QColor(10, 200, 10), QColor(7, 8, 250)}) {
        panel.setColor(colour);
        QVERIFY(shows(colour));
    }
    panel.setColorPatched(false);
    QTRY_COMPARE(children(), 0);
    QTest::qWait(50);
    QVERIFY(shows(QColor(7, 8, 250)));
    QCOMPARE(panel.grab().toImage().pixel(panel.rect().center()), qRgb(7, 8, 250));
}

// A reader at rest hears of drawing anywhere, in another program's window too, once, and of
// nothing else.
void TestLoupeX11::drawingIsToldOnce()
{
    DrawingWait wait;
    ScreenBlock block;
    const ScreenPoint at{QPoint(321, 123), 0};
    int told = 0;
    const auto rest = [&] {
        PointerBlockQuery(at).take(block);
        return wait.start([&] { ++told; });
    };
    QVERIFY(!rest()); // watched from then on
    QVERIFY(rest());
    QTest::qWait(100);
    QCOMPARE(told, 0);

    const xcb_window_t window = xcb_generate_id(m_x.c);
    const uint32_t values[] = {0x00FF00, 1}; // background, override-redirect
    xcb_create_window(m_x.c, XCB_COPY_FROM_PARENT, window, m_x.screen->root, 500, 400, 20, 20, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, m_x.screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
    xcb_map_window(m_x.c, window);
    xcb_flush(m_x.c);
    QTRY_COMPARE(told, 1);
    // Drawn again before the next question: nothing more is told, and that question is news.
    xcb_clear_area(m_x.c, 0, window, 0, 0, 0, 0);
    xcb_flush(m_x.c);
    QTest::qWait(100);
    QCOMPARE(told, 1);
    QVERIFY(!wait.start([&] { ++told; }));

    // Drawn before the answer came: not a rest.
    PointerBlockQuery query(at);
    xcb_clear_area(m_x.c, 0, window, 0, 0, 0, 0);
    std::free(xcb_get_input_focus_reply(m_x.c, xcb_get_input_focus(m_x.c), nullptr));
    query.take(block);
    QTRY_VERIFY(!wait.start([&] { ++told; }));
    xcb_destroy_window(m_x.c, window);
    xcb_flush(m_x.c);
    wait.stop();
    QVERIFY(!rest());
    QVERIFY(rest());
    QCOMPARE(told, 1);
    wait.stop();
}

int main(int argc, char **argv)
{
    XServer server;
    if (!server.start()) {
        std::fprintf(stderr,
                     "Xvfb and openbox could not be started (scripts/deps.sh installs them)\n");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    TestLoupeX11 test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_loupex11.moc"
