#pragma once

// The main window's services for widget tests: nothing is shown, played or opened. Every
// dialog, beep and address is recorded, and the answers are whatever the test set beforehand.
// The settings store is in memory unless the test gives another one. The object must outlive
// the window that uses its services.

#include "MemoryStore.h"
#include "mainwindow/FormServices.h"

#include <QDialog>
#include <QList>
#include <QStringList>
#include <QUrl>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

namespace jov::test {

struct QuietServices
{
    std::shared_ptr<SettingsStore> store = std::make_shared<MemoryStore>();
    QString legacyIniPath;

    int beeps = 0;
    QStringList messages;              // information notices
    QStringList notices;               // the mouse hook's notices
    QStringList questions;             // confirmations asked
    bool answer = false;               // the answer to every confirmation
    std::optional<QColor> chosenColor; // the colour dialog's answer (nothing: cancelled)
    int colorDialogRuns = 0;
    QColor colorDialogInitial;
    OptionalCustomColors colorDialogCustom; // the custom colours handed to the colour dialog
    // What the dialog leaves in its custom colours; as handed in unless set.
    std::optional<CustomColors> customColorsLeft;
    QString openPath;          // the open dialog's answer
    QString savePath;          // the save dialog's answer
    QStringList dialogFolders; // "folder" for an open, "folder|name" for a save
    QList<QUrl> urls;          // addresses handed to the desktop
    bool urlsOpen = true;      // whether the desktop took them
    // What each modal dialog does instead of running; rejected by default.
    std::function<int(QDialog &)> onDialog = [](QDialog &) { return int(QDialog::Rejected); };
    // What a read of the clipboard gives; the platform's clipboard unless set.
    std::optional<ClipboardText> clipboard;
    // The screen as the pipette sees it: the pointer and pixels are the platform's unless set.
    std::function<std::optional<QColor>(const ScreenPoint &)> onSample;
    std::function<bool(const ScreenPoint &, ScreenBlock &)> onBlock;
    std::function<FormServices::PointerAnswer(const ScreenPoint &guess)> onAsk;
    // Whether a pipette at rest may wait for news (see restUntilDrawn); it never does unless set.
    std::function<bool(std::function<void()> drawn)> onRest;
    // Stands for the status of a screen whose pixels cannot be read, when set.
    std::function<QString(const ScreenPoint &)> onUnreadable;

    FormServices services()
    {
        FormServices s = FormServices::platform();
        s.store = store;
        s.legacyIniPath = legacyIniPath;
        s.beep = [this] { ++beeps; };
        s.chooseColor = [this](QWidget *, const QColor &initial, OptionalCustomColors &custom) {
            ++colorDialogRuns;
            colorDialogInitial = initial;
            colorDialogCustom = custom;
            if (customColorsLeft)
                std::copy(customColorsLeft->begin(), customColorsLeft->end(), custom.begin());
            return chosenColor;
        };
        s.information = [this](QWidget *, const QString &text) { messages << text; };
        s.notice = [this](const QString &text) { notices << text; };
        s.confirm = [this](QWidget *, const QString &text) {
            questions << text;
            return answer;
        };
        s.openPaletteFile = [this](QWidget *, const QString &folder) {
            dialogFolders << folder;
            return openPath;
        };
        s.savePaletteFile = [this](QWidget *, const QString &folder, const QString &name) {
            dialogFolders << folder + QLatin1Char('|') + name;
            return savePath.isEmpty() ? PaletteSaveTarget() : ResolvePaletteSave(savePath, {});
        };
        s.readClipboardText = [this, platform = s.readClipboardText](
                                  QObject *context,
                                  std::function<void(const ClipboardText &)> done) {
            if (clipboard)
                done(*clipboard);
            else
                platform(context, std::move(done));
        };
        s.runDialog = [this](QDialog &dialog) { return onDialog(dialog); };
        s.openUrl = [this](const QUrl &url) {
            urls << url;
            return urlsOpen;
        };
        s.samplePixel = [this, platform = s.samplePixel](const ScreenPoint &p) {
            return onSample ? onSample(p) : platform(p);
        };
        s.readBlock = [this, platform = s.readBlock](const ScreenPoint &p, ScreenBlock &block) {
            return onBlock ? onBlock(p, block) : platform(p, block);
        };
        s.askPointerWithBlock = [this, platform = s.askPointerWithBlock](const ScreenPoint &g) {
            return onAsk ? onAsk(g) : platform(g);
        };
        s.restUntilDrawn = [this](std::function<void()> drawn) {
            return onRest && onRest(std::move(drawn));
        };
        s.unreadableScreen = [this, platform = s.unreadableScreen](const ScreenPoint &p) {
            return onUnreadable ? onUnreadable(p) : platform(p);
        };
        s.portalPicking = false;
        return s;
    }
};

} // namespace jov::test
