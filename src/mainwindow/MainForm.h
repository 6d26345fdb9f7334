#pragma once

#include "color/SlotOps.h"
#include "hook/HookEvents.h"
#include "mainwindow/FormServices.h"
#include "persistence/Options.h"
#include "persistence/Placement.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>
#include <utility>

class QCheckBox;
class QFrame;
class QLabel;
class QRadioButton;

namespace jov {

class SettingsStore;
class TColorButton;
class TCustomSlots;
class TGroupBox;
class TImage;
class TNumberField;
class TPanel;
class TPipette;
class TShape;
class TStatusBar;
class TTrackBar95;

// Indices into ImgList: the glyphs of the two window-mode toggles.
enum ImgListIndex { ImgTopNormal = 0, ImgTopOnTop = 1, ImgMinExpanded = 2, ImgMinCompact = 3 };

/// The main window: the sample, the channel rows, the custom slots, the tool buttons, the copy
/// choices and the status bar. It wires events to the pure units and to three parts that keep
/// their own state: the custom slots and palette (TCustomSlots), the eyedropper (TPipette) and
/// the settings store (through the services). Its handlers are short forwards named after the
/// control and the event.
///
/// Files: MainFormLayout.cpp creates and places the components and connects them;
/// MainFormSettings.cpp holds the start-up sequence, the settings and the placement record;
/// MainFormPipette.cpp the window's side of the pipette; MainForm.cpp the other handlers.
class TMainForm : public QWidget
{
    Q_OBJECT
public:
    // `services`: the store, dialogs, sounds and screen access; the platform's by default.
    explicit TMainForm(QWidget *parent = nullptr, FormServices services = FormServices::platform());
    ~TMainForm() override;

    // The current colour and its channel controls.
    void UpdateColor();
    void ColorToChannels(ColorRef color);
    ColorRef CurrentColor() const;
    void SpeedColorsClick();
    void SpeedNetscapeClick();

    // Colour text through the clipboard.
    void SpeedCopieClick();
    // Reads the clipboard's text and pastes it when it comes (see PasteText).
    void SpeedCollerClick();
    // A colour from the clipboard's text; a beep and a status message when its owner did not
    // answer.
    void PasteText(const ClipboardText &clipboard);

    // Keys seen by the window before the focused control. Returns whether the key ran a command
    // (such a key is not passed on, so a focused field does not also paste into its text).
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void FormKeyUp(int key, Qt::KeyboardModifiers modifiers);
    // The custom slots' keys, all with Alt: Left and Right move the mark, Enter applies the
    // marked slot's colour, + and - are the add and remove buttons (with Ctrl as well, their
    // Ctrl+click). Returns whether the key was one of them.
    bool SlotKeyDown(int key, Qt::KeyboardModifiers modifiers);
    // True while the last key-down had Ctrl held and no key has been released since.
    bool ctrlHeld() const { return m_ctrlHeld; }

    // The colour dialog's custom colours, as lines "ColorA=BBGGRR" .. "ColorP=BBGGRR".
    const QStringList &customColorLines() const { return m_customColorLines; }

    // The options dialog and the About box, shown over the full window.
    void BtnOptionsClick();
    void ShowAbout();
    // Opens the help file beside the program.
    void BtnAideClick();

    // The pipette: a press on its image starts it, every tick shows the pixel under the pointer
    // in the sample, and a left or right release anywhere (seen by the hook) ends it.
    void ImgPipetteMouseDown();
    void TimerTimer();
    void HookMouseDown(TShiftState shift, int x, int y);
    void HookMouseUp(int x, int y);
    void EndPipette(int x, int y);
    TPipette &pipette() const { return *m_pipette; }

    // Window modes: compact and always on top.
    void BtnMinClick();
    void ApplyMinMode();
    void BtnTopClick();
    void ApplyTopMode();

    // The options of the run, loaded at start-up and saved at close.
    const TOptionsRecord &options() const { return m_options; }
    // Takes a new set of options, as the options dialog's OK does; the window modes follow
    // only through ApplyMinMode and ApplyTopMode.
    void setOptions(const TOptionsRecord &options) { m_options = options; }

    // Custom slots. `index` is 0 for slot 1 ... 15 for slot 16.
    void BtnCol1Click(int index);
    void BtnCol1DblClick(int index);
    void BtnCol1DragDrop(int target, int source);
    void BtnPlusClick();
    void BtnMoinsClick();
    SlotColors SlotColorValues() const;
    void SetSlotColors(const SlotColors &colors);
    int MarkedSlot() const;
    int DraggedSlot() const;
    TCustomSlots &customSlots() const { return *m_slots; }

    // The palette: name, modified flag and the window title built from them.
    void SetPaletteName(const QString &name);
    void MarkPaletteModified();
    void ResetPaletteName(bool modified);
    bool QuerySavePalette();
    bool PaletteModified() const;
    void BtnSavePalClick();
    void BtnOpenPalClick();
    void LoadPaletteFile(const QString &path);

    // Settings: read at creation, written when the window closes.
    void LoadSettings();
    bool SaveSettings();
    // Saves the settings at close; false when they did not all reach the store.
    bool FormClose();
    // Ends the run as a granted close does, without any question (nobody may be there to
    // answer): the desktop session is ending, or the program was told to stop. A save that
    // failed is reported on the error output.
    void EndSession();
    SettingsStore &Store() const { return *m_services.store; }
    // The window placement record of the "Application" subkey.
    void RestorePlacement();
    // Moves the window to a stored place, brought whole onto the nearest screen when it is not.
    void PlaceOnScreens(QPoint stored);
    bool SavePlacement();
    WindowPlacementRecord CurrentPlacement() const;

    // Status panel 0 shows the application hint, or the single text while the status bar is
    // in single-text mode.
    void ShowHintText();

    // The screen's pixels per inch (device pixels), used by ScaleToScreen.
    int ScreenPpi() const;
    // ScaleToScreen of a design size, in this window's logical pixels.
    int ScaledSize(int designSize) const;

    // The sixteen slot buttons (slot n is the n-th from the left), the status bar and the
    // glyphs of the two toggles, by ImgListIndex. The other components are found by name.
    const std::array<TColorButton *, SlotCount> &slotButtons() const { return Slots; }
    TStatusBar *statusBar() const { return StatusBar; }
    const QList<QImage> &glyphs() const { return ImgList; }

Q_SIGNALS:
    // The window has closed and its settings are saved: the program may end.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateComponents();
    void SetTabOrder();
    void ConnectHandlers();
    void FormCreate();
    void TrackChange(TTrackBar95 *track, TNumberField *field);
    void SpinChange(TNumberField *field, TTrackBar95 *track);
    void ApplySlotColor(ColorRef color);
    // Fits a place that PlaceOnScreens had to move again once the window's frame is known.
    void FrameKnown();
    // Saves as at a close and emits closed(), once per run; a failed save is told in a notice
    // when the user is there, else on the error output.
    void EndRun(bool userPresent);
    void WithFullWindow(const std::function<void()> &show);
    void PipetteKeyDown();
    void CheckValeurToggle();
    void ShowPipetteMode();
    // The status line while picking with a square of that side.
    static QString PipetteStatusText(int side);
    void EndPipetteMode(const QColor &picked);
    // The controls that show options of the record: the colour and the copy choices.
    using ChannelControlList = std::array<std::pair<qint32 TOptionsRecord::*, TNumberField *>, 3>;
    using FormatControlList = std::array<std::pair<bool TOptionsRecord::*, QRadioButton *>, 3>;
    ChannelControlList ChannelControls() const;
    FormatControlList FormatControls() const;

    FormServices m_services;
    TOptionsRecord m_options;
    // What the store held when this run read it or last wrote it: a save writes only what
    // this run changed, so another instance's changes survive.
    SettingsSnapshot m_settingsSnapshot;
    QStringList m_customColorLines;
    TCustomSlots *m_slots = nullptr;
    TPipette *m_pipette = nullptr;
    bool m_ctrlHeld = false;
    bool m_pasting = false;
    // A stored place that was fitted onto the screens before the frame was known.
    std::optional<QPoint> m_unframedFit;
    bool m_firstShow = true;
    bool m_ended = false;

    // Components, named as in the window's design.
    TGroupBox *BoxReglage = nullptr;
    TColorButton *BtnOptions = nullptr;
    TColorButton *BtnOpenPal = nullptr;
    TColorButton *BtnSavePal = nullptr;
    TPanel *PanelColor = nullptr;
    TPanel *PanelPerso = nullptr;
    TColorButton *BtnColors = nullptr;
    TPanel *PanelPipette = nullptr;
    TImage *ImgPipette = nullptr;
    TColorButton *BtnAide = nullptr;
    TColorButton *BtnColler = nullptr;
    TColorButton *BtnNetscape = nullptr;
    TColorButton *BtnTop = nullptr;
    TColorButton *BtnPlus = nullptr;
    TColorButton *BtnMoins = nullptr;
    TColorButton *BtnMin = nullptr;
    TShape *ShapeRouge = nullptr;
    TShape *ShapeVert = nullptr;
    TShape *ShapeBleu = nullptr;
    TTrackBar95 *TrackRouge = nullptr;
    TTrackBar95 *TrackVert = nullptr;
    TTrackBar95 *TrackBleu = nullptr;
    TNumberField *SpinRouge = nullptr;
    TNumberField *SpinVert = nullptr;
    TNumberField *SpinBleu = nullptr;
    // Slot n (1..16) is Slots[n - 1], the n-th from the left.
    std::array<TColorButton *, SlotCount> Slots{};
    TGroupBox *BoxCopie = nullptr;
    TColorButton *BtnCopie = nullptr;
    QCheckBox *CheckValeur = nullptr;
    QFrame *Bevel1 = nullptr;
    QLabel *Label1 = nullptr;
    QRadioButton *RadioHexa = nullptr;
    QRadioButton *RadioHtml = nullptr;
    QRadioButton *RadioRgb = nullptr;
    TStatusBar *StatusBar = nullptr;
    // The glyphs of the two toggles, by ImgListIndex.
    QList<QImage> ImgList;
};

} // namespace jov
