#include "hook/HookMouse.h"

#include "hook/HookRecord.h"
#include "hook/PointerState.h"
#include "hook/ReceptionMessageCopyData.h"
#include "x11/X11Requests.h"

#include "InstallLayout.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QPointer>

namespace jov {

namespace {

THookMouse *s_current = nullptr;

// Until the owner says how to show the notices, they go to the error output.
void PrintHookMessage(const QString &text)
{
    qWarning().noquote() << text;
}

} // namespace

THookMouse::THookMouse(QObject *owner)
    : QObject(owner), ShowMessage(PrintHookMessage), QueryShiftState(QueryPointerShiftState)
{
    s_current = this;
    m_receiver = new TReceptionMessageCopyData(this);
    m_receiver->OnCopyData = [this](QByteArrayView payload) { return handleCopyData(payload); };
    m_receiver->OnReplied = [this] { runDeferred(); };
    // Unresolved symbols show at load time rather than as a crash in the library's thread.
    m_library.setLoadHints(QLibrary::ResolveAllSymbolsHint);
}

THookMouse::~THookMouse()
{
    // No deferring here: the receiver goes with this object. Hanging up first frees a library
    // that waits for a reply this component will never write.
    releaseNow();
    if (s_current == this)
        s_current = nullptr;
}

THookMouse *THookMouse::current()
{
    return s_current;
}

void THookMouse::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    if (m_enabled)
        ReleaseHookLibrary();
    else
        LoadHookLibrary();
    m_enabled = enabled;
}

void THookMouse::setDirectoryDll(const QString &directory)
{
    m_directoryDll = directory;
    if (!m_directoryDll.isEmpty() && !m_directoryDll.endsWith(u'/') &&
        !m_directoryDll.endsWith(u'\\'))
        m_directoryDll += u'/';
}

void THookMouse::Loaded()
{
    if (m_enabled)
        LoadHookLibrary();
}

QString THookMouse::libraryPath(const QString &fileName) const
{
    if (!m_directoryDll.isEmpty())
        return fileName;
    // Not the loader's search path: the library that belongs to the program is the one beside
    // it (build tree, unpacked folder), else the one in the private folder of the installed tree
    // the program runs from, whatever its prefix.
    const QString programFolder = QCoreApplication::applicationDirPath();
    QString beside = programFolder + u'/' + fileName;
    if (QFileInfo(beside).isFile())
        return beside;
    const QString installed =
        QDir::cleanPath(programFolder + u'/' + QLatin1String(InstalledHookDir) + u'/' + fileName);
    // Neither: the load fails on the path beside the program and the message names the file.
    return QFileInfo(installed).isFile() ? installed : beside;
}

bool THookMouse::LoadHookLibrary()
{
    if (m_receiver->isHandling()) {
        m_pendingLoad = true;
        return false;
    }
    // A library already running would otherwise keep its hook with nobody to stop it.
    if (m_library.isLoaded())
        releaseNow();

    const QString fileName = m_directoryDll + QLatin1String(HookLibraryFileName);
    m_library.setFileName(libraryPath(fileName));
    if (!m_library.load()) {
        ShowMessage(
            QCoreApplication::translate("HookMouse", "Le fichier %1 est manquant.").arg(fileName));
        return false;
    }
    m_finalisationHook =
        reinterpret_cast<FinalisationHookProc>(m_library.resolve("FinalisationHook"));
    m_initialisationHook =
        reinterpret_cast<InitialisationHookProc>(m_library.resolve("InitialisationHook"));
    if (!m_initialisationHook)
        return false;

    // The library listens to the display the program's windows are on, whatever DISPLAY says.
    if (const QByteArray display = x11::DisplayName(); !display.isEmpty())
        qputenv(hookwire::DisplayVariable, display);
    const int receiver = m_receiver->handle();
    m_started = receiver >= 0 && m_initialisationHook(receiver) != 0;
    if (!m_started)
        ShowMessage(QCoreApplication::translate("HookMouse",
                                                "Une erreur d'initialisation s'est produite."));
    return m_started;
}

void THookMouse::ReleaseHookLibrary()
{
    if (m_receiver->isHandling()) {
        // The library waits for the reply to the record being handled; stopping it now would
        // join a thread blocked on that reply.
        m_pendingRelease = true;
        m_pendingLoad = false;
        return;
    }
    releaseNow();
}

void THookMouse::releaseNow()
{
    m_pendingRelease = false;
    m_receiver->hangUp();
    if (m_finalisationHook)
        m_finalisationHook();
    if (m_library.isLoaded())
        m_library.unload();
    m_initialisationHook = nullptr;
    m_finalisationHook = nullptr;
    m_started = false;
    m_receiver->close();
}

void THookMouse::runDeferred()
{
    if (m_pendingRelease)
        releaseNow();
    if (m_pendingLoad) {
        m_pendingLoad = false;
        LoadHookLibrary();
    }
}

quint32 THookMouse::handleCopyData(QByteArrayView payload)
{
    THookMouse *target = s_current;
    if (!target) {
        static const THookMouseEvents none;
        return HandleHookPayload(payload, nullptr, none, {}, {});
    }
    // A handler may delete the component: the events are read from a copy and the reply from a
    // guarded pointer (a deleted component stops nothing).
    const THookMouseEvents events = *target;
    const QPointer<THookMouse> alive(target);
    return HandleHookPayload(payload, target, events, target->QueryShiftState,
                             [alive] { return alive && alive->m_stopMessage; });
}

} // namespace jov
