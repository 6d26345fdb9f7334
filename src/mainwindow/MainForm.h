#pragma once

#include "color/ColorValue.h"
#include "color/SlotOps.h"
#include "mainwindow/FormServices.h"
#include "persistence/Options.h"
#include "persistence/Placement.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QFrame;
class QLabel;
class QRadioButton;
class QTimer;

namespace jov {

class SettingsStore;
class THookMouse;
class TColorButton;
class TGroupBox;
class TImage;
class TNumberField;
class TPanel;
class TShape;
class TStatusBar;
class TTrackBar95;

// The main window: the sample, the channel rows, the custom slots, the tool buttons, the copy
// choices and the status bar. Handlers are short; the logic they call lives in the pure units.
class TMainForm : public QWidget
{
    Q_OBJECT
public:
    // `services` replaces the platform's sounds and dialogs (tests); by default the real ones.
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
    void SpeedCollerClick();

    // Keys seen by the window before the focused control. Returns whether the key ran a command
    // (such a key is not passed on, so a focused field does not also paste into its text).
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void FormKeyUp(int key, Qt::KeyboardModifiers modifiers);
    // True while the last key-down had Ctrl held and no key has been released since.
    bool CtrlHeld = false;

    // The colour dialog's custom colours, as lines "ColorA=BBGGRR" .. "ColorP=BBGGRR".
    QStringList ColorDialogCustomColors;

    // The options dialog and the About box, shown over the full window.
    void BtnOptionsClick();
    void ShowAbout();
    // Opens the help file beside the program.
    void BtnAideClick();

    // The pipette: a press on its image starts it, every tick shows the pixel under the cursor
    // in the sample, and a left or right release anywhere (seen by the hook) ends it.
    void ImgPipetteMouseDown();
    void TimerTimer();
    void EndPipette(int x, int y);
    bool PipetteActive = false;
    QPoint PipettePoint;

    // Window modes: compact (Op09) and always on top (Op08).
    void BtnMinClick();
    void ApplyMinMode();
    void BtnTopClick();
    void ApplyTopMode();

    // The options of the run, loaded at start-up and saved at close.
    TOptionsRecord Options;

    // Custom slots. `index` is 0 for slot 1 ... 15 for slot 16.
    void BtnCol1Click(int index);
    void BtnCol1DblClick(int index);
    void BtnCol1DragDrop(int target, int source);
    void ApplySlot(int index);
    void BtnPlusClick();
    void BtnMoinsClick();
    SlotColors SlotColorValues() const;
    void SetSlotColors(const SlotColors &colors);
    // Index of the slot carrying the mark "*", -1 when none does.
    int MarkedSlot() const;
    // Set by the first click on a slot, never cleared.
    bool SelectionMade = false;
    // The slot being dragged, -1 when no drag is under way.
    int DraggedSlot() const { return m_dragSource; }

    // The palette: name (Op32), modified flag and the window title built from them.
    void SetPaletteName(const QString &name);
    void MarkPaletteModified();
    void ResetPaletteName(bool modified);
    bool QuerySavePalette();
    bool PaletteModified() const { return m_paletteModified; }
    void BtnSavePalClick();
    void BtnOpenPalClick();
    void LoadPaletteFile(const QString &path);

    // Settings: read at creation, written when the window closes.
    void LoadSettings();
    bool SaveSettings();
    void FormClose();
    SettingsStore &Store() { return *m_store; }
    // The window placement record of the "Application" subkey.
    void RestorePlacement();
    bool SavePlacement();
    WindowPlacementRecord CurrentPlacement() const;

    // Status panel 0 shows the application hint, or the single text while the status bar is
    // in single-text mode.
    void ShowHintText();

    // The screen's pixels per inch (device pixels), used by ScaleToScreen.
    int ScreenPpi() const;
    // ScaleToScreen of a design size, in this window's logical pixels.
    int ScaledSize(int designSize) const;

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
    std::array<TColorButton *, 16> Slots{};
    TGroupBox *BoxCopie = nullptr;
    TColorButton *BtnCopie = nullptr;
    QCheckBox *CheckValeur = nullptr;
    QFrame *Bevel1 = nullptr;
    QLabel *Label1 = nullptr;
    QRadioButton *RadioHexa = nullptr;
    QRadioButton *RadioHtml = nullptr;
    QRadioButton *RadioRgb = nullptr;
    TStatusBar *StatusBar = nullptr;

    // The pipette's 10 ms sampling timer and the global mouse hook that ends it.
    QTimer *Timer = nullptr;
    THookMouse *Hook = nullptr;

    // The image list of the two toggles: 0 and 1 for BtnTop, 2 and 3 for BtnMin.
    QList<QImage> ImgList;

Q_SIGNALS:
    // The window has closed and its settings are saved: the program may end.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ConnectHandlers();
    void TrackChange(TTrackBar95 *track, TNumberField *field);
    void StartSlotDrag(int index);
    void EndSlotDrag(const QPoint &globalPos, bool drop);
    int SlotAt(const QPoint &globalPos) const;
    void ShowSlotMessage();
    void WithFullWindow(const std::function<void()> &show);
    void SpinChange(TNumberField *field, TTrackBar95 *track);

    void CreateComponents();
    void SetTabOrder();
    void FormCreate();

    FormServices m_services;
    std::unique_ptr<SettingsStore> m_store;
    bool m_firstShow = true;
    bool m_paletteModified = false;
    int m_dragSource = -1;
};

} // namespace jov
