#include "hook/HookMouse.h"
#include "hook/HookRecord.h"

#include <QTest>

using namespace jov;

Q_DECLARE_METATYPE(jov::TShiftState)

namespace {

// X11 state mask bits as the server reports them.
constexpr unsigned int XShift = 1u << 0;
constexpr unsigned int XLock = 1u << 1;
constexpr unsigned int XControl = 1u << 2;
constexpr unsigned int XMod1 = 1u << 3;
constexpr unsigned int XButton1 = 1u << 8;
constexpr unsigned int XButton2 = 1u << 9;
constexpr unsigned int XButton3 = 1u << 10;

QByteArray Payload(qint32 msg, quint32 extraInfo = 0)
{
    return EncodeHookRecord({msg, 10, 20, 0x1234, 1, extraInfo});
}

QString ButtonName(TMouseButton button)
{
    return button == TMouseButton::mbLeft ? QStringLiteral("left") : QStringLiteral("right");
}

// All seven events assigned, each writing one word into `trace`.
THookMouseEvents TracingEvents(QStringList &trace)
{
    THookMouseEvents events;
    events.OnMouseMessage = [&trace](THookMouse *, qint32, qint32, qint32, quint32, quint32,
                                     quint32) { trace << QStringLiteral("message"); };
    events.OnMouseDown = [&trace](THookMouse *, TMouseButton button, TShiftState, qint32, qint32,
                                  quint32, quint32, quint32) {
        trace << QStringLiteral("down:") + ButtonName(button);
    };
    events.OnMouseUp = [&trace](THookMouse *, TMouseButton button, TShiftState, qint32, qint32,
                                quint32, quint32,
                                quint32) { trace << QStringLiteral("up:") + ButtonName(button); };
    events.OnMouseMove = [&trace](THookMouse *, TShiftState, qint32, qint32, quint32, quint32,
                                  quint32) { trace << QStringLiteral("move"); };
    events.OnMouseWheel = [&trace](THookMouse *, TShiftState, int delta, QPoint, quint32) {
        trace << QStringLiteral("wheel:%1").arg(delta);
    };
    events.OnMouseWheelDown = [&trace](THookMouse *, TShiftState, QPoint, quint32) {
        trace << QStringLiteral("wheeldown");
    };
    events.OnMouseWheelUp = [&trace](THookMouse *, TShiftState, QPoint, quint32) {
        trace << QStringLiteral("wheelup");
    };
    return events;
}

quint32 Handle(const QByteArray &payload, const THookMouseEvents &events, bool stop = false,
               TShiftState shift = {})
{
    return HandleHookPayload(
        payload, nullptr, events, [shift] { return shift; }, [stop] { return stop; });
}

} // namespace

class TestHookRecord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decode_data();
    void decode();
    void encodeRoundTrip();
    void wheelDelta_data();
    void wheelDelta();
    void shiftFromMask_data();
    void shiftFromMask();
    void dispatch_data();
    void dispatch();
    void argumentsReachEvents();
    void reply_data();
    void reply();
    void handlerMayChangeTheReply();
    void shiftStateAskedOncePerRecordThatNeedsIt();
    void shortPayload_data();
    void shortPayload();
    void handlerReassignsItsOwnEvent();
};

void TestHookRecord::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint32>("msg");
    QTest::addColumn<qint32>("x");
    QTest::addColumn<qint32>("y");
    QTest::addColumn<quint32>("window");
    QTest::addColumn<quint32>("hitTest");
    QTest::addColumn<quint32>("extra");

    QTest::newRow("little-endian-fields")
        << QByteArray::fromHex("01020000 0a000000 14000000 78563412 01000000 efbeadde") << 0x201
        << 10 << 20 << 0x12345678u << 1u << 0xDEADBEEFu;
    QTest::newRow("negative-position")
        << QByteArray::fromHex("00020000 ffffffff 00ffffff 00000000 00000000 00000080") << 0x200
        << -1 << -256 << 0u << 0u << 0x80000000u;
    QTest::newRow("bytes-past-24-ignored")
        << QByteArray::fromHex("05020000 02000000 03000000 04000000 05000000 06000000 ffffffffffff")
        << 0x205 << 2 << 3 << 4u << 5u << 6u;
}

void TestHookRecord::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint32, msg);
    QFETCH(qint32, x);
    QFETCH(qint32, y);
    QFETCH(quint32, window);
    QFETCH(quint32, hitTest);
    QFETCH(quint32, extra);

    const std::optional<TMouseHookRecord> record = DecodeHookRecord(bytes);
    QVERIFY(record);
    QCOMPARE(record->Msg, msg);
    QCOMPARE(record->X, x);
    QCOMPARE(record->Y, y);
    QCOMPARE(record->HandleWindow, window);
    QCOMPARE(record->HitTestCode, hitTest);
    QCOMPARE(record->ExtraInfo, extra);
}

void TestHookRecord::encodeRoundTrip()
{
    const TMouseHookRecord record{0x20A, -5, 70000, 0xFFFFFFFFu, 1, 0xC0018001u};
    const QByteArray bytes = EncodeHookRecord(record);
    QCOMPARE(bytes.size(), HookRecordSize);
    QCOMPARE(bytes.left(8), QByteArray::fromHex("0a020000 fbffffff"));
    QCOMPARE(DecodeHookRecord(bytes), std::optional<TMouseHookRecord>(record));
}

void TestHookRecord::wheelDelta_data()
{
    QTest::addColumn<quint32>("extraInfo");
    QTest::addColumn<int>("delta");

    QTest::newRow("zero-up") << 0u << 120;
    QTest::newRow("just-below-range-up") << 0x40017FFFu << 120;
    QTest::newRow("range-start-down") << 0x40018000u << -120;
    QTest::newRow("sign-bit-down") << 0x80000000u << -120;
    QTest::newRow("range-end-down") << 0xC0018000u << -120;
    QTest::newRow("just-above-range-up") << 0xC0018001u << 120;
    QTest::newRow("all-ones-up") << 0xFFFFFFFFu << 120;
}

void TestHookRecord::wheelDelta()
{
    QFETCH(quint32, extraInfo);
    QFETCH(int, delta);
    QCOMPARE(WheelDeltaOf(extraInfo), delta);
}

void TestHookRecord::shiftFromMask_data()
{
    QTest::addColumn<unsigned int>("mask");
    QTest::addColumn<TShiftState>("shift");

    QTest::newRow("nothing") << 0u << TShiftState();
    QTest::newRow("button1-left") << XButton1 << TShiftState(TShiftStates::ssLeft);
    QTest::newRow("button3-right") << XButton3 << TShiftState(TShiftStates::ssRight);
    QTest::newRow("button2-middle") << XButton2 << TShiftState(TShiftStates::ssMiddle);
    QTest::newRow("control") << XControl << TShiftState(TShiftStates::ssCtrl);
    QTest::newRow("mod1-alt") << XMod1 << TShiftState(TShiftStates::ssAlt);
    QTest::newRow("shift-key-alone-empty") << XShift << TShiftState();
    QTest::newRow("caps-lock-empty") << XLock << TShiftState();
    QTest::newRow("left-with-shift-key")
        << (XButton1 | XShift) << TShiftState(TShiftStates::ssLeft);
    QTest::newRow("everything") << (XShift | XLock | XControl | XMod1 | XButton1 | XButton2 |
                                    XButton3)
                                << (TShiftStates::ssLeft | TShiftStates::ssRight |
                                    TShiftStates::ssMiddle | TShiftStates::ssCtrl |
                                    TShiftStates::ssAlt);
}

void TestHookRecord::shiftFromMask()
{
    QFETCH(unsigned int, mask);
    QFETCH(TShiftState, shift);
    QCOMPARE(ShiftFromX11Mask(mask), shift);
}

void TestHookRecord::dispatch_data()
{
    QTest::addColumn<qint32>("msg");
    QTest::addColumn<quint32>("extraInfo");
    QTest::addColumn<QStringList>("trace");

    const auto words = [](const char *text) { return QString::fromLatin1(text).split(u','); };
    QTest::newRow("left-down") << wm::LButtonDown << 0u << words("message,down:left");
    QTest::newRow("right-down") << wm::RButtonDown << 0u << words("message,down:right");
    QTest::newRow("left-up") << wm::LButtonUp << 0u << words("message,up:left");
    QTest::newRow("right-up") << wm::RButtonUp << 0u << words("message,up:right");
    QTest::newRow("move") << wm::MouseMove << 0u << words("message,move");
    QTest::newRow("wheel-extra-0-up") << wm::MouseWheel << 0u << words("message,wheel:120,wheelup");
    QTest::newRow("wheel-40018000-down")
        << wm::MouseWheel << 0x40018000u << words("message,wheel:-120,wheeldown");
    QTest::newRow("wheel-80000000-down")
        << wm::MouseWheel << 0x80000000u << words("message,wheel:-120,wheeldown");
    QTest::newRow("wheel-C0018001-up")
        << wm::MouseWheel << 0xC0018001u << words("message,wheel:120,wheelup");
    QTest::newRow("middle-down-message-only") << wm::MButtonDown << 0u << words("message");
    QTest::newRow("middle-up-message-only") << wm::MButtonUp << 0u << words("message");
    QTest::newRow("double-click-message-only") << wm::LButtonDblClk << 0u << words("message");
    QTest::newRow("x-button-message-only") << wm::XButtonDown << 0u << words("message");
    QTest::newRow("non-client-move-message-only") << 0x00A0 << 0u << words("message");
    QTest::newRow("negative-number-message-only") << qint32(-0x201) << 0u << words("message");
}

void TestHookRecord::dispatch()
{
    QFETCH(qint32, msg);
    QFETCH(quint32, extraInfo);
    QFETCH(QStringList, trace);

    QStringList seen;
    Handle(Payload(msg, extraInfo), TracingEvents(seen));
    QCOMPARE(seen, trace);
}

void TestHookRecord::argumentsReachEvents()
{
    THookMouse sender;
    const TShiftState shift = TShiftStates::ssLeft | TShiftStates::ssCtrl;
    const TMouseHookRecord record{wm::RButtonUp, -7, 1080, 0xCAFE, 2, 0x55};
    THookMouseEvents events;
    int calls = 0;
    events.OnMouseMessage = [&](THookMouse *s, qint32 msg, qint32 x, qint32 y, quint32 window,
                                quint32 hitTest, quint32 extra) {
        ++calls;
        QCOMPARE(s, &sender);
        QCOMPARE(msg, record.Msg);
        QCOMPARE(QPoint(x, y), QPoint(-7, 1080));
        QCOMPARE(window, 0xCAFEu);
        QCOMPARE(hitTest, 2u);
        QCOMPARE(extra, 0x55u);
    };
    events.OnMouseUp = [&](THookMouse *s, TMouseButton button, TShiftState state, qint32 x,
                           qint32 y, quint32 window, quint32 hitTest, quint32 extra) {
        ++calls;
        QCOMPARE(s, &sender);
        QCOMPARE(button, TMouseButton::mbRight);
        QCOMPARE(state, shift);
        QCOMPARE(QPoint(x, y), QPoint(-7, 1080));
        QCOMPARE(window, 0xCAFEu);
        QCOMPARE(hitTest, 2u);
        QCOMPARE(extra, 0x55u);
    };
    HandleHookPayload(
        EncodeHookRecord(record), &sender, events, [shift] { return shift; }, [] { return false; });
    QCOMPARE(calls, 2);

    // The wheel events get the position as a point and the window, with the same shift state.
    QPoint wheelPos;
    QPoint downPos;
    quint32 downWindow = 0;
    TShiftState downShift;
    events = {};
    events.OnMouseWheel = [&](THookMouse *, TShiftState, int, QPoint pos, quint32) {
        wheelPos = pos;
    };
    events.OnMouseWheelDown = [&](THookMouse *, TShiftState state, QPoint pos, quint32 window) {
        downShift = state;
        downPos = pos;
        downWindow = window;
    };
    HandleHookPayload(
        EncodeHookRecord({wm::MouseWheel, 300, -2, 77, 1, 0x80000000u}), &sender, events,
        [shift] { return shift; }, [] { return false; });
    QCOMPARE(wheelPos, QPoint(300, -2));
    QCOMPARE(downPos, QPoint(300, -2));
    QCOMPARE(downWindow, 77u);
    QCOMPARE(downShift, shift);
}

void TestHookRecord::reply_data()
{
    QTest::addColumn<qint32>("msg");
    QTest::addColumn<bool>("stop");
    QTest::addColumn<quint32>("reply");

    QTest::newRow("left-down-pass") << wm::LButtonDown << false << 0u;
    QTest::newRow("left-down-stop") << wm::LButtonDown << true << 1u;
    QTest::newRow("middle-down-stop") << wm::MButtonDown << true << 1u;
    QTest::newRow("move-pass") << wm::MouseMove << false << 0u;
}

void TestHookRecord::reply()
{
    QFETCH(qint32, msg);
    QFETCH(bool, stop);
    QFETCH(quint32, reply);

    QStringList seen;
    QCOMPARE(Handle(Payload(msg), TracingEvents(seen), stop), reply);
    QCOMPARE(Handle(Payload(msg), THookMouseEvents(), stop), reply);
}

void TestHookRecord::handlerMayChangeTheReply()
{
    // The reply is decided after the last handler, so a handler that sets StopMessage stops
    // this very message.
    bool stop = false;
    THookMouseEvents events;
    events.OnMouseDown = [&stop](THookMouse *, TMouseButton, TShiftState, qint32, qint32, quint32,
                                 quint32, quint32) { stop = true; };
    const quint32 reply =
        HandleHookPayload(Payload(wm::LButtonDown), nullptr, events, {}, [&stop] { return stop; });
    QCOMPARE(reply, 1u);
}

void TestHookRecord::shiftStateAskedOncePerRecordThatNeedsIt()
{
    // Left held: every event of the record, the move included, carries ssLeft, and the state is
    // read before any handler runs.
    int asked = 0;
    bool handlerRan = false;
    THookMouseEvents events;
    QList<TShiftState> shifts;
    events.OnMouseMessage = [&](THookMouse *, qint32, qint32, qint32, quint32, quint32, quint32) {
        handlerRan = true;
    };
    events.OnMouseMove = [&](THookMouse *, TShiftState shift, qint32, qint32, quint32, quint32,
                             quint32) { shifts << shift; };
    events.OnMouseDown = [&](THookMouse *, TMouseButton, TShiftState shift, qint32, qint32, quint32,
                             quint32, quint32) { shifts << shift; };
    const auto leftHeld = [&] {
        ++asked;
        if (handlerRan)
            return TShiftState();
        return ShiftFromX11Mask(XButton1 | XShift);
    };
    for (qint32 msg : {wm::LButtonDown, wm::MouseMove, wm::MouseMove}) {
        handlerRan = false;
        HandleHookPayload(Payload(msg), nullptr, events, leftHeld, {});
    }
    QCOMPARE(asked, 3);
    QCOMPARE(shifts, QList<TShiftState>(3, TShiftStates::ssLeft));
    // Nobody follows the moves or the releases: the state is not asked for them.
    events.OnMouseMove = nullptr;
    for (qint32 msg : {wm::MouseMove, wm::LButtonUp, wm::MButtonDown})
        HandleHookPayload(Payload(msg), nullptr, events, leftHeld, {});
    QCOMPARE(asked, 3);
}

void TestHookRecord::shortPayload_data()
{
    QTest::addColumn<int>("size");

    QTest::newRow("empty") << 0;
    QTest::newRow("one-byte") << 1;
    QTest::newRow("message-number-only") << 4;
    QTest::newRow("one-byte-short") << 23;
}

void TestHookRecord::shortPayload()
{
    QFETCH(int, size);

    QStringList seen;
    int asked = 0;
    const QByteArray payload = Payload(wm::LButtonDown).left(size);
    const quint32 reply = HandleHookPayload(
        payload, nullptr, TracingEvents(seen),
        [&asked] {
            ++asked;
            return TShiftState();
        },
        [] { return true; });
    QCOMPARE(reply, 0u);
    QVERIFY(seen.isEmpty());
    QCOMPARE(asked, 0);
}

void TestHookRecord::handlerReassignsItsOwnEvent()
{
    // The running handler is a copy: clearing the event from inside it does not pull the
    // captured state from under it (a fault that the address sanitizer reports).
    THookMouseEvents events;
    QString seen;
    const QString text = QStringLiteral("still here after clearing");
    events.OnMouseUp = [&events, &seen, text](THookMouse *, TMouseButton, TShiftState, qint32,
                                              qint32, quint32, quint32, quint32) {
        events.OnMouseUp = nullptr;
        seen = text;
    };
    Handle(Payload(wm::LButtonUp), events);
    QCOMPARE(seen, text);
    QVERIFY(!events.OnMouseUp);
}

QTEST_GUILESS_MAIN(TestHookRecord)
#include "tst_hookrecord.moc"
