#pragma once

#include "persistence/Options.h"

#include <QDialog>
#include <QPoint>
#include <QPointer>

class QCheckBox;
class QHideEvent;
class QShowEvent;
class QKeyEvent;
class QLabel;

namespace jov {

class TColorButton;
class TGroupBox;
class TImage;
class TNumberField;
class TStatusBar;

/// The options dialog: eight check boxes and the gradient step for options Op11 to Op19, and
/// the loupe's check box (Op33) below the buttons.
/// Create one for each showing and exec() it; on QDialog::Accepted copy the edits back with
/// ApplyTo(). While it exists and until it closes, the main window's status bar shows the hints
/// as a single text.
class TOptions : public QDialog
{
    Q_OBJECT

public:
    // `record` fills the controls; `boxTopLeft` is the main window's settings group box in
    // screen coordinates (see DialogTopLeftOverBox); `statusBar` may be null.
    TOptions(const TOptionsRecord &record, QPoint boxTopLeft, TStatusBar *statusBar,
             QWidget *parent = nullptr);
    ~TOptions() override;

    // Op11..Op18 and Op33 from the check boxes, Op19 from SpinPas brought into 1..64.
    void ApplyTo(TOptionsRecord &record) const;

    // Components, named as in the dialog's design.
    TImage *Image1 = nullptr;
    TGroupBox *GroupBox = nullptr;
    QCheckBox *CheckRestaure = nullptr;
    QCheckBox *CheckDirPal = nullptr;
    QCheckBox *CheckOldPal = nullptr;
    QCheckBox *CheckQuerySave = nullptr;
    QCheckBox *CheckSansNom = nullptr;
    QCheckBox *CheckClicColor = nullptr;
    QCheckBox *CheckSupprime = nullptr;
    QCheckBox *CheckDegrade = nullptr;
    QCheckBox *CheckLoupe = nullptr;
    QLabel *Label1 = nullptr;
    TNumberField *SpinPas = nullptr;
    TColorButton *BtnOk = nullptr;
    TColorButton *BtnAnnuler = nullptr;
    TColorButton *BtnAbout = nullptr;

Q_SIGNALS:
    // The "A propos" button: the About box is to be shown; the dialog stays open.
    void aboutRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void CreateComponents();
    void FormCreate(const TOptionsRecord &record, QPoint boxTopLeft);
    void FormClose();

    QPointer<TStatusBar> m_statusBar;
    bool m_statusBarSwitched = false;
};

} // namespace jov
