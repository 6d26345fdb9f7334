#include "portal/PortalColorPicker.h"

#include "portal/PortalResults.h"

#include <QDBusError>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTimer>
#include <QWindow>

namespace jov {

namespace {

const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString ScreenshotInterface = QStringLiteral("org.freedesktop.portal.Screenshot");
const QString RequestInterface = QStringLiteral("org.freedesktop.portal.Request");

// The portal names a request object after the caller's unique bus name (":1.42" gives "1_42")
// and the token the caller chose.
QString ExpectedRequestPath(const QString &uniqueName, const QString &token)
{
    QString sender = uniqueName;
    if (sender.startsWith(QLatin1Char(':')))
        sender.remove(0, 1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return PortalPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
}

TPortalColorPicker::Failure FailureOfError(const QDBusMessage &reply)
{
    using F = TPortalColorPicker::Failure;
    switch (QDBusError(reply).type()) {
    case QDBusError::ServiceUnknown:
        return F::NoPortal;
    case QDBusError::UnknownMethod:
    case QDBusError::UnknownInterface:
    case QDBusError::UnknownObject:
        return F::Unsupported;
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut:
        return F::NoReply;
    case QDBusError::Disconnected:
        return F::NoBus;
    default:
        break;
    }
    if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"))
        return F::NoPortal;
    return F::Error;
}

} // namespace

bool IsWaylandSession(const QString &waylandDisplay, const QString &sessionType)
{
    return !waylandDisplay.isEmpty() ||
           sessionType.compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0;
}

bool IsWaylandSession()
{
    return IsWaylandSession(qEnvironmentVariable("WAYLAND_DISPLAY"),
                            qEnvironmentVariable("XDG_SESSION_TYPE"));
}

QString PortalParentWindow(const QString &platformName, quintptr windowId)
{
    if (platformName == QLatin1String("xcb") && windowId != 0)
        return QStringLiteral("x11:") + QString::number(windowId, 16);
    return QString();
}

QString PortalParentWindow(const QWindow *window)
{
    if (!window)
        return QString();
    return PortalParentWindow(QGuiApplication::platformName(), quintptr(window->winId()));
}

TPortalColorPicker::TPortalColorPicker(QObject *parent)
    : QObject(parent), m_bus(QString()), m_useSessionBus(true)
{
}

TPortalColorPicker::TPortalColorPicker(const QDBusConnection &bus, QObject *parent)
    : QObject(parent), m_bus(bus)
{
}

TPortalColorPicker::~TPortalColorPicker()
{
    cancel();
}

QString TPortalColorPicker::StatusText(Failure failure)
{
    switch (failure) {
    case Failure::Cancelled:
        return QCoreApplication::translate("PortalColorPicker", " Pipette annulée");
    case Failure::Refused:
        return QCoreApplication::translate("PortalColorPicker",
                                           " Pipette indisponible : refus du portail");
    case Failure::NoBus:
        return QCoreApplication::translate("PortalColorPicker",
                                           " Pipette indisponible : pas de D-Bus");
    case Failure::NoPortal:
        return QCoreApplication::translate("PortalColorPicker",
                                           " Pipette indisponible : aucun portail");
    case Failure::Unsupported:
        return QCoreApplication::translate("PortalColorPicker",
                                           " Pipette indisponible : portail trop ancien");
    case Failure::NoPicker:
        return QCoreApplication::translate("PortalColorPicker",
                                           " Pipette indisponible : aucun sélecteur");
    case Failure::NoReply:
        return QCoreApplication::translate("PortalColorPicker",
                                           " Pipette indisponible : pas de réponse");
    case Failure::Error:
        return QCoreApplication::translate("PortalColorPicker",
                                           " Pipette indisponible : erreur du portail");
    case Failure::Malformed:
        return QCoreApplication::translate("PortalColorPicker",
                                           " Pipette indisponible : réponse illisible");
    case Failure::PortalGone:
        return QCoreApplication::translate("PortalColorPicker",
                                           " Pipette indisponible : portail arrêté");
    }
    return QCoreApplication::translate("PortalColorPicker", " Pipette indisponible");
}

bool TPortalColorPicker::pick(const QString &parentWindow)
{
    if (m_pending)
        return false;
    m_pending = true;
    ++m_serial;
    if (m_useSessionBus)
        m_bus = QDBusConnection::sessionBus();
    if (!m_bus.isConnected()) {
        failLater(Failure::NoBus);
        return true;
    }

    const QString token = QStringLiteral("jov%1_%2")
                              .arg(m_serial)
                              .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    m_requestPath = ExpectedRequestPath(m_bus.baseService(), token);
    subscribe(m_requestPath);
    if (m_subscribedPath.isEmpty()) {
        failLater(Failure::NoBus);
        return true;
    }

    // A portal that quits (or crashes) after taking the request would otherwise leave the wait
    // without an end.
    m_portalWatcher = new QDBusServiceWatcher(PortalService, m_bus,
                                              QDBusServiceWatcher::WatchForUnregistration, this);
    connect(m_portalWatcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
        if (m_pending && !m_call)
            fail(Failure::PortalGone);
    });

    QDBusMessage call = QDBusMessage::createMethodCall(
        PortalService, PortalPath, ScreenshotInterface, QStringLiteral("PickColor"));
    call << parentWindow << QVariantMap{{QStringLiteral("handle_token"), token}};
    m_call = new QDBusPendingCallWatcher(m_bus.asyncCall(call, m_callTimeout), this);
    connect(m_call, &QDBusPendingCallWatcher::finished, this, &TPortalColorPicker::onCallFinished);
    return true;
}

void TPortalColorPicker::cancel()
{
    if (!m_pending)
        return;
    if (m_bus.isConnected() && !m_requestPath.isEmpty()) {
        // Fire and forget: nothing waits for the portal to confirm.
        m_bus.send(QDBusMessage::createMethodCall(PortalService, m_requestPath, RequestInterface,
                                                  QStringLiteral("Close")));
    }
    finish();
}

void TPortalColorPicker::onCallFinished(QDBusPendingCallWatcher *watcher)
{
    watcher->deleteLater();
    if (watcher != m_call)
        return;
    m_call = nullptr;
    const QDBusMessage reply = watcher->reply();
    if (reply.type() != QDBusMessage::ReplyMessage) {
        const Failure failure = FailureOfError(reply);
        if (failure == Failure::Unsupported)
            tellMissingPickColor();
        else
            fail(failure);
        return;
    }
    const QVariantList args = reply.arguments();
    if (args.size() != 1 || !args.first().canConvert<QDBusObjectPath>()) {
        fail(Failure::Malformed);
        return;
    }
    const QString handle = args.first().value<QDBusObjectPath>().path();
    if (handle.isEmpty()) {
        fail(Failure::Malformed);
        return;
    }
    if (handle != m_subscribedPath) {
        // A portal older than the handle_token convention: its Response comes on this path.
        unsubscribe();
        m_requestPath = handle;
        subscribe(handle);
        if (m_subscribedPath.isEmpty())
            fail(Failure::NoBus);
    }
}

// A portal without PickColor: either its Screenshot interface is too old to have it, or the
// portal runs without any Screenshot interface, for want of a back end that provides one. The
// errors for both differ between D-Bus libraries and their texts are translated, so the
// interface's version property tells them apart.
void TPortalColorPicker::tellMissingPickColor()
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        PortalService, PortalPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << ScreenshotInterface << QStringLiteral("version");
    m_call = new QDBusPendingCallWatcher(m_bus.asyncCall(get, m_callTimeout), this);
    connect(m_call, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher *watcher) {
                watcher->deleteLater();
                if (watcher != m_call)
                    return;
                m_call = nullptr;
                fail(watcher->reply().type() == QDBusMessage::ReplyMessage ? Failure::Unsupported
                                                                           : Failure::NoPicker);
            });
}

void TPortalColorPicker::onResponse(const QDBusMessage &message)
{
    if (!m_pending || message.path() != m_subscribedPath)
        return;
    const QVariantList args = message.arguments();
    if (args.size() != 2 || args.at(0).metaType().id() != QMetaType::UInt) {
        fail(Failure::Malformed);
        return;
    }
    const uint response = args.at(0).toUInt();
    if (response == 1) {
        fail(Failure::Cancelled);
        return;
    }
    if (response != 0) {
        fail(Failure::Refused);
        return;
    }
    const QVariant results = PlainDBusValue(args.at(1));
    const auto color = results.metaType() == QMetaType::fromType<QVariantMap>()
                           ? PortalResultColor(results.toMap())
                           : std::nullopt;
    if (!color) {
        fail(Failure::Malformed);
        return;
    }
    finish();
    Q_EMIT picked((*color)[0], (*color)[1], (*color)[2]);
}

void TPortalColorPicker::subscribe(const QString &path)
{
    // A slot taking only the message receives the signal whatever its arguments are, so a
    // Response of the wrong shape is seen (and refused) rather than ignored for ever.
    if (m_bus.connect(PortalService, path, RequestInterface, QStringLiteral("Response"), this,
                      SLOT(onResponse(QDBusMessage))))
        m_subscribedPath = path;
}

void TPortalColorPicker::unsubscribe()
{
    if (m_subscribedPath.isEmpty())
        return;
    m_bus.disconnect(PortalService, m_subscribedPath, RequestInterface, QStringLiteral("Response"),
                     this, SLOT(onResponse(QDBusMessage)));
    m_subscribedPath.clear();
}

void TPortalColorPicker::finish()
{
    unsubscribe();
    m_pending = false;
    m_requestPath.clear();
    if (m_call) {
        // The reply, should it still come, goes nowhere.
        m_call->disconnect(this);
        m_call->deleteLater();
        m_call = nullptr;
    }
    if (m_portalWatcher) {
        m_portalWatcher->disconnect(this);
        m_portalWatcher->deleteLater();
        m_portalWatcher = nullptr;
    }
}

void TPortalColorPicker::fail(Failure failure)
{
    finish();
    Q_EMIT failed(failure, StatusText(failure));
}

void TPortalColorPicker::failLater(Failure failure)
{
    QTimer::singleShot(0, this, [this, failure, serial = m_serial] {
        if (m_pending && m_serial == serial)
            fail(failure);
    });
}

} // namespace jov
