// A stand-in for the desktop portal's colour picking, for tests: owns
// org.freedesktop.portal.Desktop on the session bus (DBUS_SESSION_BUS_ADDRESS), implements
// org.freedesktop.portal.Screenshot.PickColor, and answers as the command line says. It writes
// what it received, one "key=value" line each, to the --record file, and prints "ready" once
// the name is owned.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QFile>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

namespace {

struct Rgb
{
    double r = 0, g = 0, b = 0;
};
struct Pair
{
    double a = 0, b = 0;
};

QDBusArgument &operator<<(QDBusArgument &arg, const Rgb &c)
{
    arg.beginStructure();
    arg << c.r << c.g << c.b;
    arg.endStructure();
    return arg;
}
const QDBusArgument &operator>>(const QDBusArgument &arg, Rgb &c)
{
    arg.beginStructure();
    arg >> c.r >> c.g >> c.b;
    arg.endStructure();
    return arg;
}
QDBusArgument &operator<<(QDBusArgument &arg, const Pair &p)
{
    arg.beginStructure();
    arg << p.a << p.b;
    arg.endStructure();
    return arg;
}
const QDBusArgument &operator>>(const QDBusArgument &arg, Pair &p)
{
    arg.beginStructure();
    arg >> p.a >> p.b;
    arg.endStructure();
    return arg;
}

} // namespace

Q_DECLARE_METATYPE(Rgb)
Q_DECLARE_METATYPE(Pair)

namespace {

const QString RequestInterface = QStringLiteral("org.freedesktop.portal.Request");

struct Script
{
    QString answer;        // color, response, error, malformed, silent
    Rgb color;             // for "color"
    uint response = 0;     // for "response"
    QString errorName;     // for "error"
    QString malformed;     // string, pair, missing, signature, results
    int replyDelay = 0;    // ms before the method reply
    int responseDelay = 0; // ms between the reply and the Response
    bool otherHandle = false;
};

QFile *g_record = nullptr;

void Record(const QString &key, const QString &value)
{
    if (!g_record)
        return;
    QTextStream(g_record) << key << '=' << value << '\n';
    g_record->flush();
}

// One request object: records a Close and then stops answering.
class Request : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Request")

public:
    Request(const QString &path, QObject *parent) : QObject(parent), m_path(path) {}
    bool closed = false;

public Q_SLOTS:
    void Close()
    {
        Record(QStringLiteral("close"), m_path);
        closed = true;
        QDBusConnection::sessionBus().unregisterObject(m_path);
    }

private:
    QString m_path;
};

class Screenshot : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")

public:
    explicit Screenshot(const Script &script) : m_script(script) {}

public Q_SLOTS:
    QDBusObjectPath PickColor(const QString &parentWindow, const QVariantMap &options)
    {
        const QString caller = message().service();
        const QString token = options.value(QStringLiteral("handle_token")).toString();
        Record(QStringLiteral("parent"), parentWindow);
        Record(QStringLiteral("token"), token);
        Record(QStringLiteral("sender"), caller);
        Record(QStringLiteral("options"), QStringList(options.keys()).join(QLatin1Char(',')));

        if (m_script.answer == QLatin1String("error")) {
            sendErrorReply(m_script.errorName, QStringLiteral("refused by the test portal"));
            return {};
        }

        QString sender = caller.mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString handle =
            m_script.otherHandle
                ? QStringLiteral("/org/freedesktop/portal/desktop/request/other/r%1").arg(++m_count)
                : QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                      .arg(sender, token);
        auto *request = new Request(handle, this);
        QDBusConnection::sessionBus().registerObject(handle, request,
                                                     QDBusConnection::ExportAllSlots);
        Record(QStringLiteral("handle"), handle);

        setDelayedReply(true);
        const QDBusMessage call = message();
        QTimer::singleShot(m_script.replyDelay, this, [this, call, handle, caller, request] {
            QDBusConnection::sessionBus().send(
                call.createReply(QVariant::fromValue(QDBusObjectPath(handle))));
            if (m_script.answer == QLatin1String("silent"))
                return;
            QTimer::singleShot(m_script.responseDelay, this, [this, handle, caller, request] {
                if (!request->closed)
                    respond(handle, caller);
            });
        });
        return {};
    }

private:
    void respond(const QString &handle, const QString &caller)
    {
        QDBusMessage signal = QDBusMessage::createTargetedSignal(caller, handle, RequestInterface,
                                                                 QStringLiteral("Response"));
        QVariantMap results;
        uint response = 0;
        if (m_script.answer == QLatin1String("color")) {
            results.insert(QStringLiteral("color"), QVariant::fromValue(m_script.color));
        } else if (m_script.answer == QLatin1String("response")) {
            response = m_script.response;
        } else if (m_script.malformed == QLatin1String("string")) {
            results.insert(QStringLiteral("color"), QStringLiteral("#ff0000"));
        } else if (m_script.malformed == QLatin1String("pair")) {
            results.insert(QStringLiteral("color"), QVariant::fromValue(Pair{1.0, 0.0}));
        } else if (m_script.malformed == QLatin1String("signature")) {
            // The response code alone, no results.
            signal << response;
            QDBusConnection::sessionBus().send(signal);
            Record(QStringLiteral("response"), handle);
            return;
        } else if (m_script.malformed == QLatin1String("results")) {
            // Results that are not a dictionary.
            signal << response << QStringLiteral("color");
            QDBusConnection::sessionBus().send(signal);
            Record(QStringLiteral("response"), handle);
            return;
        }
        // "missing": a success without any colour.
        signal << response << results;
        QDBusConnection::sessionBus().send(signal);
        Record(QStringLiteral("response"), handle);
    }

    Script m_script;
    int m_count = 0;
};

// What a portal without a back end for screenshots still exports on its object: other
// interfaces, none of them Screenshot.
class Settings : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
    Q_PROPERTY(uint version READ version)

public:
    uint version() const { return 1; }
};

// The first version of the Screenshot interface, before PickColor.
class OldScreenshot : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")
    Q_PROPERTY(uint version READ version)

public:
    uint version() const { return 1; }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qDBusRegisterMetaType<Rgb>();
    qDBusRegisterMetaType<Pair>();

    QCommandLineParser parser;
    parser.addOptions({
        {QStringLiteral("record"), QStringLiteral("File that receives what was asked."),
         QStringLiteral("file")},
        {QStringLiteral("color"), QStringLiteral("Answer 0 with this colour."),
         QStringLiteral("r,g,b")},
        {QStringLiteral("response"), QStringLiteral("Answer with this code and no results."),
         QStringLiteral("code")},
        {QStringLiteral("error"), QStringLiteral("Answer the call with this D-Bus error."),
         QStringLiteral("name")},
        {QStringLiteral("malformed"),
         QStringLiteral("Answer 0 with bad results: string, pair, missing, signature, results."),
         QStringLiteral("kind")},
        {QStringLiteral("silent"), QStringLiteral("Reply to the call, never send a Response.")},
        {QStringLiteral("no-screenshot"),
         QStringLiteral("Export the portal object without a Screenshot interface.")},
        {QStringLiteral("old-screenshot"),
         QStringLiteral("Export a Screenshot interface of version 1, without PickColor.")},
        {QStringLiteral("reply-delay"), QStringLiteral("Delay of the method reply."),
         QStringLiteral("ms")},
        {QStringLiteral("response-delay"), QStringLiteral("Delay of the Response."),
         QStringLiteral("ms")},
        {QStringLiteral("other-handle"),
         QStringLiteral("Use a request path that is not the one built from the token.")},
        {QStringLiteral("lifetime"), QStringLiteral("Quit after this many seconds (60)."),
         QStringLiteral("s")},
    });
    parser.process(app);

    Script script;
    if (parser.isSet(QStringLiteral("color"))) {
        script.answer = QStringLiteral("color");
        const QStringList parts = parser.value(QStringLiteral("color")).split(QLatin1Char(','));
        if (parts.size() != 3) {
            std::fprintf(stderr, "--color needs three numbers\n");
            return 2;
        }
        script.color = {parts[0].toDouble(), parts[1].toDouble(), parts[2].toDouble()};
    } else if (parser.isSet(QStringLiteral("response"))) {
        script.answer = QStringLiteral("response");
        script.response = parser.value(QStringLiteral("response")).toUInt();
    } else if (parser.isSet(QStringLiteral("error"))) {
        script.answer = QStringLiteral("error");
        script.errorName = parser.value(QStringLiteral("error"));
    } else if (parser.isSet(QStringLiteral("malformed"))) {
        script.answer = QStringLiteral("malformed");
        script.malformed = parser.value(QStringLiteral("malformed"));
    } else if (parser.isSet(QStringLiteral("silent"))) {
        script.answer = QStringLiteral("silent");
    }
    script.replyDelay = parser.value(QStringLiteral("reply-delay")).toInt();
    script.responseDelay = parser.value(QStringLiteral("response-delay")).toInt();
    script.otherHandle = parser.isSet(QStringLiteral("other-handle"));

    QFile record(parser.value(QStringLiteral("record")));
    if (parser.isSet(QStringLiteral("record"))) {
        if (!record.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
            std::fprintf(stderr, "cannot write the record file\n");
            return 2;
        }
        g_record = &record;
    }

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "no session bus\n");
        return 1;
    }
    Screenshot screenshot(script);
    Settings settings;
    OldScreenshot oldScreenshot;
    QObject *portal = &screenshot;
    if (parser.isSet(QStringLiteral("no-screenshot")))
        portal = &settings;
    else if (parser.isSet(QStringLiteral("old-screenshot")))
        portal = &oldScreenshot;
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), portal,
                            QDBusConnection::ExportAllSlots |
                                QDBusConnection::ExportAllProperties)) {
        std::fprintf(stderr, "cannot export the portal object\n");
        return 1;
    }
    if (!bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop"))) {
        std::fprintf(stderr, "cannot own org.freedesktop.portal.Desktop\n");
        return 1;
    }

    // Never outlives a test that forgot it.
    const int lifetime = parser.isSet(QStringLiteral("lifetime"))
                             ? parser.value(QStringLiteral("lifetime")).toInt()
                             : 60;
    QTimer::singleShot(lifetime * 1000, &app, &QCoreApplication::quit);

    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

#include "FakePortal.moc"
