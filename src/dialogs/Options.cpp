#include "dialogs/Options.h"

#include "BuiltInPictures.h"

#include "controls/Accessible.h"
#include "controls/CheckButtons.h"
#include "controls/ColorButton.h"
#include "controls/Hints.h"
#include "controls/Layout.h"
#include "controls/NumberField.h"
#include "controls/Panel.h"
#include "controls/StatusBar.h"
#include "dialogs/DialogPlacement.h"

#include <QCheckBox>
#include <QHideEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>

#include <algorithm>
#include <array>

namespace jov {

namespace {

// The gradient step the options accept.
constexpr int MinimumStep = 1;
constexpr int MaximumStep = 64;

// The nine check boxes, top to bottom, with the option each one shows.
struct CheckRow
{
    QCheckBox *TOptions::*field;
    bool inGroup; // in the group box, else on the dialog in the button row
    bool TOptionsRecord::*option;
    const char *name;
    int top;
    const char *caption;
    int helpContext;
    const char *hint;
};
const CheckRow CheckRows[] = {
    {&TOptions::CheckRestaure, true, &TOptionsRecord::savePlacement, "CheckRestaure", 25,
     QT_TRANSLATE_NOOP("jov::TOptions",
                       "Sauvegarder et restaurer automatiquement l'emplacement du programme"),
     20,
     QT_TRANSLATE_NOOP("jov::TOptions",
                       "| Retrouve la fenêtre à la même place au prochain lancement")},
    {&TOptions::CheckDirPal, true, &TOptionsRecord::rememberFolders, "CheckDirPal", 45,
     QT_TRANSLATE_NOOP("jov::TOptions",
                       "Sauvegarder et restaurer les dossiers des dernières palettes utilisées"),
     21,
     QT_TRANSLATE_NOOP("jov::TOptions",
                       "| Mémorise les dossiers d'ouverture et d'enregistrement des palettes")},
    {&TOptions::CheckOldPal, true, &TOptionsRecord::reloadPalette, "CheckOldPal", 65,
     QT_TRANSLATE_NOOP(
         "jov::TOptions",
         "Sauvegarder et restaurer la palette utilisée (sinon boutons personnalisés)"),
     22,
     QT_TRANSLATE_NOOP("jov::TOptions", "| Recharge au démarrage la dernière palette utilisée")},
    {&TOptions::CheckQuerySave, true, &TOptionsRecord::askToSavePalette, "CheckQuerySave", 85,
     QT_TRANSLATE_NOOP("jov::TOptions",
                       "Proposer la sauvegarde des palettes au chargement et à la fermeture"),
     23,
     QT_TRANSLATE_NOOP("jov::TOptions",
                       "| Demande s'il faut enregistrer une palette modifiée avant de la quitter")},
    {&TOptions::CheckSansNom, true, &TOptionsRecord::untitledOnCtrl, "CheckSansNom", 105,
     QT_TRANSLATE_NOOP("jov::TOptions",
                       "Modifier le nom (SansNom) de la palette lors du Ctrl + ou du Ctrl -"),
     24,
     QT_TRANSLATE_NOOP("jov::TOptions",
                       "| Renomme la palette en SansNom après un ajout ou un retrait avec Ctrl")},
    {&TOptions::CheckClicColor, true, &TOptionsRecord::clickApplies, "CheckClicColor", 125,
     QT_TRANSLATE_NOOP("jov::TOptions",
                       "Mettre à jour le modèle par simple clic sur boutons personnalisés"),
     25,
     QT_TRANSLATE_NOOP("jov::TOptions",
                       "| Applique la couleur d'un bouton personnalisé dès le premier clic")},
    {&TOptions::CheckSupprime, true, &TOptionsRecord::clearFromSelected, "CheckSupprime", 145,
     QT_TRANSLATE_NOOP("jov::TOptions",
                       "Supprimer la couleur des boutons à partir du bouton sélectionné"),
     26,
     QT_TRANSLATE_NOOP("jov::TOptions",
                       "| Efface les couleurs à partir du bouton sélectionné seulement")},
    {&TOptions::CheckDegrade, true, &TOptionsRecord::gradientFromSelected, "CheckDegrade", 165,
     QT_TRANSLATE_NOOP("jov::TOptions",
                       "Commencer le dégradé des boutons à partir du bouton sélectionné"),
     27, QT_TRANSLATE_NOOP("jov::TOptions", "| Fait partir le dégradé du bouton sélectionné")},
    {&TOptions::CheckLoupe, false, &TOptionsRecord::showLoupe, "CheckLoupe", 242,
     QT_TRANSLATE_NOOP("jov::TOptions", "Afficher la loupe pendant la pipette"), 29,
     QT_TRANSLATE_NOOP("jov::TOptions",
                       "| Montre les pixels autour du pointeur pendant la pipette")},
};

} // namespace

TOptions::TOptions(const TOptionsRecord &record, QPoint boxTopLeft, TStatusBar *statusBar,
                   QWidget *parent)
    : QDialog(parent), m_statusBar(statusBar)
{
    setObjectName(QStringLiteral("Options"));
    setWindowTitle(QStringLiteral("Options"));
    // Dialog border with the system menu only: no help or minimise buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(WindowFont());
    setFixedSize(529, 268);

    CreateComponents();
    FormCreate(record, boxTopLeft);
}

TOptions::~TOptions()
{
    // A dialog destroyed without having been closed still gives the status bar back.
    FormClose();
}

void TOptions::CreateComponents()
{
    // Children are created in the design's tab order: Ok, Annuler, the group box (its check
    // boxes, then the step field), A propos; only the check boxes and the field take the focus.
    QPalette buttonPalette = palette();
    buttonPalette.setColor(QPalette::ButtonText, Qt::black);
    auto button = [&](const char *name, int left, const QString &caption, const QString &hint,
                      TButtonStyle style) {
        auto *b = Place(new TColorButton(this), left, 240, 70, 21);
        b->setObjectName(QLatin1String(name));
        b->setCaption(caption);
        b->setButtonStyle(style);
        b->setFont(WindowFont());
        b->setPalette(buttonPalette);
        // Like every button of the program's windows, not a tab stop and never focused: none of
        // the three draws a focus mark, and a focused "Ok" would take the Space key.
        b->setFocusPolicy(Qt::NoFocus);
        b->setProperty("HelpContext", 7);
        SetHint(b, hint);
        return b;
    };
    BtnOk = button("BtnOk", 375, tr("Ok"), tr("| Accepte toutes les options"), TButtonStyle());
    BtnAnnuler = button("BtnAnnuler", 450, tr("Annuler"), tr("| Annule toutes les modifications"),
                        TButtonStyles::bsCenter);

    GroupBox = Place(new TGroupBox(QString(), this), 50, 5, 470, 226);
    GroupBox->setObjectName(QStringLiteral("GroupBox"));

    for (const CheckRow &row : CheckRows) {
        if (!row.inGroup)
            continue;
        auto *check = Place(new TCheckBox(tr(row.caption), GroupBox), 15, row.top, 450, 17);
        check->setObjectName(QLatin1String(row.name));
        check->setProperty("HelpContext", row.helpContext);
        SetHint(check, tr(row.hint));
        this->*row.field = check;
    }

    Label1 =
        new QLabel(tr("Régler le pas du dégradé sur la valeur indiquée (défaut = 16) :"), GroupBox);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(35, 195);
    Label1->adjustSize();

    SpinPas = Place(new TNumberField(GroupBox), 405, 190, 51, 21);
    SpinPas->setObjectName(QStringLiteral("SpinPas"));
    SpinPas->setRange(MinimumStep, MaximumStep);
    SpinPas->setMaxLength(3);
    SpinPas->setProperty("HelpContext", 28);
    SetHint(SpinPas, tr("| Nombre de pas du dégradé automatique, de 1 à 64"));

    BtnAbout = button("BtnAbout", 50, tr("A propos"),
                      tr("| Affiche les informations du logiciel (Ctrl A)"), TButtonStyle());

    // Created last: last in the tab order, after "A propos".
    for (const CheckRow &row : CheckRows) {
        if (row.inGroup)
            continue;
        // Between "A propos" and "Ok".
        auto *check = Place(new TCheckBox(tr(row.caption), this), BtnAbout->geometry().right() + 11,
                            row.top, 240, 17);
        check->setObjectName(QLatin1String(row.name));
        check->setProperty("HelpContext", row.helpContext);
        SetHint(check, tr(row.hint));
        this->*row.field = check;
    }

    Image1 = Place(new TImage(this), 10, 10, 32, 32);
    Image1->setPicture(BuiltInPicture(QLatin1StringView("options_big")));
    HideFromAssistiveTechnologies(Image1); // the dialog's emblem, as its title says

    connect(BtnOk, &TColorButton::clicked, this, &QDialog::accept);
    connect(BtnAnnuler, &TColorButton::clicked, this, &QDialog::reject);
    connect(BtnAbout, &TColorButton::clicked, this, &TOptions::aboutRequested);
}

void TOptions::FormCreate(const TOptionsRecord &record, QPoint boxTopLeft)
{
    move(DialogTopLeftOverBox(boxTopLeft));

    if (m_statusBar) {
        m_statusBar->setSimplePanel(true);
        m_statusBarSwitched = true;
    }

    for (const CheckRow &row : CheckRows)
        (this->*row.field)->setChecked(record.*row.option);
    SpinPas->setValue(record.gradientDivisor);
}

void TOptions::FormClose()
{
    if (!m_statusBarSwitched)
        return;
    m_statusBarSwitched = false;
    if (m_statusBar)
        m_statusBar->setSimplePanel(false);
}

void TOptions::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The first check box, which takes the focus when the dialog comes up, shows it at once:
    // the style draws focus marks only in a window the keyboard has moved in.
    setAttribute(Qt::WA_KeyboardFocusChange);
}

void TOptions::hideEvent(QHideEvent *event)
{
    // OK, Annuler, Escape and the close button all end in hiding the dialog.
    if (!event->spontaneous())
        FormClose();
    QDialog::hideEvent(event);
}

void TOptions::keyPressEvent(QKeyEvent *event)
{
    // The buttons take no focus, so their keys work wherever the focus is: Enter is "Ok",
    // Escape "Annuler" (QDialog's own), Ctrl+A "A propos".
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        modifiers == Qt::NoModifier) {
        accept();
        return;
    }
    if (event->key() == Qt::Key_A && modifiers == Qt::ControlModifier) {
        BtnAbout->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TOptions::ApplyTo(TOptionsRecord &record) const
{
    for (const CheckRow &row : CheckRows)
        record.*row.option = (this->*row.field)->isChecked();
    // The field keeps what was typed until it is left; what is stored is always in range.
    record.gradientDivisor = std::clamp(SpinPas->value(), MinimumStep, MaximumStep);
}

} // namespace jov
