#pragma once

#include "hook/HookEvents.h"

#include <QByteArrayView>
#include <QLibrary>
#include <QObject>
#include <QString>

#include <functional>

namespace jov {

class TReceptionMessageCopyData;

// The hook library's file name on this platform.
inline constexpr char HookLibraryFileName[] = "libHook.so";

/// Reports mouse activity anywhere on the desktop as events of the program. The work is done by
/// an outside hook library, loaded while Enabled is true: it is given the handle of a private
/// receiver and sends one record per mouse message, waiting for the reply (1 = StopMessage).
///
/// The library exports `unsigned char InitialisationHook(int receiver)` (non-zero: started) and
/// `void FinalisationHook()` (after it returns the library sends nothing more).
///
/// Records raise the events of the current hook component (the one created last). A handler may
/// disable the component, or enable it again, while its own library waits for the reply to the
/// record being handled: the release (and a new start) then happen right after the reply has
/// been written, never while the library waits for it.
class THookMouse : public QObject, public THookMouseEvents
{
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ enabled WRITE setEnabled)
    Q_PROPERTY(bool StopMessage READ stopMessage WRITE setStopMessage)
    Q_PROPERTY(QString DirectoryDll READ directoryDll WRITE setDirectoryDll)

public:
    // Loads nothing: Enabled is true but the library starts only with Loaded() or when Enabled
    // goes from false to true. Becomes the current hook component.
    explicit THookMouse(QObject *owner = nullptr);
    // Releases the library, if any, before the receiver goes.
    ~THookMouse() override;

    // The component that receives all hook events: the one created last, while it lives.
    static THookMouse *current();

    bool enabled() const { return m_enabled; }
    // True to false releases the library; false to true loads and starts it; an unchanged value
    // does nothing.
    void setEnabled(bool enabled);

    bool stopMessage() const { return m_stopMessage; }
    void setStopMessage(bool stop) { m_stopMessage = stop; }

    // Folder in which the library is looked for, ending with "/" unless empty. Empty means the
    // program's own folder, or when the library is not there, the installed tree's library
    // folder found from the program's folder (InstalledHookDir).
    QString directoryDll() const { return m_directoryDll; }
    void setDirectoryDll(const QString &directory);

    // For an owner that has finished setting the properties: starts the library when Enabled.
    void Loaded();

    // Loads the library and starts it; true when its InitialisationHook accepted. A missing file
    // and a refusal are told to the user; a library without InitialisationHook stays loaded,
    // silently. While this component's own record is being handled, the load waits until the
    // reply has been written and this returns false.
    bool LoadHookLibrary();
    // Stops the library (FinalisationHook) and unloads it; deferred like LoadHookLibrary.
    void ReleaseHookLibrary();

    // The library accepted its start and has not been released since. False after a failed
    // start (missing library, no InitialisationHook, refusal): no record will come.
    bool started() const { return m_started; }
    bool libraryLoaded() const { return m_library.isLoaded(); }
    // A release asked while a record was being handled, waiting for the reply to be written.
    bool releasePending() const { return m_pendingRelease; }

    // Shows one of the component's two notices; the owner shows them as a modal box captioned
    // with the application's name, no icon, one "OK" button. By default they are printed.
    std::function<void(const QString &text)> ShowMessage;
    // The buttons and keys held right now; asked once per record. Replaceable for tests.
    std::function<TShiftState()> QueryShiftState;

private:
    quint32 handleCopyData(QByteArrayView payload);
    void runDeferred();
    void releaseNow();
    QString libraryPath(const QString &fileName) const;

    bool m_enabled = true;
    bool m_stopMessage = false;
    QString m_directoryDll;

    TReceptionMessageCopyData *m_receiver = nullptr;
    QLibrary m_library;
    using InitialisationHookProc = unsigned char (*)(int receiver);
    using FinalisationHookProc = void (*)();
    InitialisationHookProc m_initialisationHook = nullptr;
    FinalisationHookProc m_finalisationHook = nullptr;
    bool m_started = false;
    bool m_pendingRelease = false;
    bool m_pendingLoad = false;
};

} // namespace jov
