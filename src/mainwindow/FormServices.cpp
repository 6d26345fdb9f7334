#include "mainwindow/FormServices.h"

#include "controls/QtColor.h"
#include "persistence/LegacyIni.h"
#include "persistence/Options.h"
#include "persistence/RegistryStore.h"
#include "persistence/Systeme.h"
#include "portal/PortalColorPicker.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

#include <memory>
#include <optional>

namespace jov {

namespace {

int RunMessageBox(QMessageBox::Icon icon, const QString &caption, const QString &text,
                  QWidget *owner, bool question)
{
    QMessageBox box(icon, caption, text,
                    question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, owner);
    if (question) {
        box.button(QMessageBox::Yes)->setText(QCoreApplication::translate("FormServices", "&Oui"));
        box.button(QMessageBox::No)->setText(QCoreApplication::translate("FormServices", "&Non"));
    } else {
        box.button(QMessageBox::Ok)->setText(QCoreApplication::translate("FormServices", "OK"));
    }
    return box.exec();
}

// The file dialogs' icons and type names, from the file's name alone. Qt's own provider reads the
// start of every file it lists to tell its type, on the GUI thread too, and such a read can wait
// for good: /proc/kmsg for root (a regular file whose read waits for kernel messages, which it
// also takes away from the system log), a file on a network mount that no longer answers.
class NameOnlyIconProvider : public QFileIconProvider
{
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo &info) const override
    {
        if (info.isRoot())
            return icon(Drive);
        if (info.isDir())
            return icon(Folder);
        if (!info.isFile())
            return icon(File); // nothing is read
        return QIcon::fromTheme(ByName(info).iconName(), icon(File));
    }
    QString type(const QFileInfo &info) const override
    {
        if (!info.isFile())
            return QFileIconProvider::type(info);
        const QMimeType mime = ByName(info);
        return mime.comment().isEmpty() ? mime.name() : mime.comment();
    }

private:
    QMimeType ByName(const QFileInfo &info) const
    {
        return m_mimes.mimeTypeForFile(info, QMimeDatabase::MatchExtension);
    }
    QMimeDatabase m_mimes;
};

// The palette dialogs: JASC-PAL first, GIMP palettes beside it. The default extension follows
// the chosen filter, so that a name typed without one gets the right one before the dialog
// asks about overwriting.
PaletteSaveTarget RunFileDialog(QWidget *owner, const QString &folder, bool save,
                                const QString &name = QString())
{
    // The palettes' folder in the user's data is made the first time a dialog opens there.
    MakeUserPaletteFolder(folder);
    const QString jasc = save ? JascSaveFilter() : JascOpenFilter();
    NameOnlyIconProvider icons; // outlives the dialog, whose file thread uses it
    QFileDialog dialog(owner, QString(), folder, jasc + QStringLiteral(";;") + GimpFilter());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setIconProvider(&icons);
    dialog.setDefaultSuffix(QStringLiteral("pal"));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &f) {
        dialog.setDefaultSuffix(f == GimpFilter() ? QStringLiteral("gpl") : QStringLiteral("pal"));
    });
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave); // asks before overwriting
        dialog.selectFile(name);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return ResolvePaletteSave(dialog.selectedFiles().value(0), dialog.selectedNameFilter());
}

// How long the desktop's opener may take to say whether it opened the address; past that it is
// taken as opening (a plain browser started by it may keep it running) and left to run.
constexpr int OpenerAnswerMs = 1500;

// Hands an address to the desktop's opener (xdg-open) and checks its answer: false when there
// is none, it cannot start, or it ends in failure.
bool OpenWithDesktop(const QUrl &url)
{
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        return false;
    auto *process = new QProcess;
    process->setProgram(opener);
    process->setArguments({url.toString(QUrl::FullyEncoded)});
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start();
    if (!process->waitForStarted(OpenerAnswerMs)) {
        delete process;
        return false;
    }
    if (process->waitForFinished(OpenerAnswerMs)) {
        const bool opened =
            process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
        delete process;
        return opened;
    }
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    return true;
}

} // namespace

FormServices FormServices::platform()
{
    FormServices services;
    services.store = std::make_shared<RegistryStore>(SettingsStorePath());
    services.legacyIniPath = LegacyIniPath();
    services.beep = [] { QApplication::beep(); };
    services.chooseColor = [](QWidget *owner, const QColor &initial,
                              OptionalCustomColors &custom) -> std::optional<QColor> {
        // The dialog keeps its custom colours in the application.
        for (int i = 0; i < CustomColorCount; ++i)
            if (custom[size_t(i)])
                QColorDialog::setCustomColor(i, ToQColor(*custom[size_t(i)]));
        QColorDialog dialog(initial, owner);
        dialog.setOption(QColorDialog::DontUseNativeDialog);
        const bool accepted = dialog.exec() == QDialog::Accepted;
        for (int i = 0; i < CustomColorCount; ++i)
            custom[size_t(i)] = ToColorRef(QColorDialog::customColor(i));
        if (!accepted)
            return std::nullopt;
        return dialog.selectedColor();
    };
    services.setClipboardText = [](const QString &text) {
        QApplication::clipboard()->setText(text);
    };
    services.information = [](QWidget *owner, const QString &text) {
        RunMessageBox(QMessageBox::Information,
                      QCoreApplication::translate("FormServices", "Information"), text, owner,
                      false);
    };
    services.notice = [](const QString &text) {
        // No owner: the box is centred on the screen.
        RunMessageBox(QMessageBox::NoIcon, QCoreApplication::applicationName(), text, nullptr,
                      false);
    };
    services.confirm = [](QWidget *owner, const QString &text) {
        return RunMessageBox(QMessageBox::Question,
                             QCoreApplication::translate("FormServices", "Confirmation"), text,
                             owner, true) == QMessageBox::Yes;
    };
    services.openPaletteFile = [](QWidget *owner, const QString &folder) {
        return RunFileDialog(owner, folder, false).path;
    };
    services.savePaletteFile = [](QWidget *owner, const QString &folder, const QString &name) {
        return RunFileDialog(owner, folder, true, name);
    };
    services.readClipboardText = [](QObject *context,
                                    std::function<void(const ClipboardText &)> done) {
        ReadClipboardText(context, ClipboardWaitLimit, std::move(done));
    };
    services.runDialog = [](QDialog &dialog) { return dialog.exec(); };
    services.openUrl = OpenWithDesktop;
    services.pointer = PointerPosition;
    services.samplePixel = SamplePixel;
    services.warpPointer = WarpPointer;
    services.readBlock = ReadScreenBlock;
    auto drawing = std::make_shared<DrawingWait>();
    services.askPointerWithBlock =
        [drawing](const ScreenPoint &guess) -> FormServices::PointerAnswer {
        drawing->cancel();
        // std::function copies what it holds: the query is shared.
        auto query = std::make_shared<PointerBlockQuery>(guess);
        return [query](ScreenBlock &block) { return query->take(block); };
    };
    services.restUntilDrawn = [drawing](std::function<void()> drawn) {
        return drawing->start(std::move(drawn));
    };
    services.stopWatchingDrawing = [drawing] { drawing->stop(); };
    services.unreadableScreen = UnreadableScreenStatus;
    services.portalPicking = IsWaylandSession();
    return services;
}

} // namespace jov
