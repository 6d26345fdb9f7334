#include "dialogs/About.h"

#include "controls/ASLink.h"
#include "controls/Accessible.h"
#include "controls/Hints.h"
#include "controls/Layout.h"
#include "controls/Panel.h"
#include "dialogs/DialogPlacement.h"
#include "dialogs/Scramble.h"

#include "Version.h"

#include <QFrame>
#include <QHideEvent>
#include <QImage>
#include <QLabel>
#include <QMovie>

namespace jov {

namespace {

// The addresses, kept out of plain sight in the program file (see Unscramble).
constexpr unsigned char StoredMail[] = {0x17, 0xC6, 0xCA, 0xCB, 0xD1, 0xC4, 0xC6, 0xD1,
                                        0xE5, 0xCF, 0xCA, 0xD3, 0x88, 0xC6, 0xCA, 0xD0,
                                        0xC9, 0xC0, 0xD0, 0xD7, 0xD6, 0x8B, 0xC3, 0xD7};
constexpr unsigned char StoredWeb[] = {0x13, 0xD2, 0xD2, 0xD2, 0x8B, 0xCF, 0xCA, 0xD3, 0x88, 0xC6,
                                       0xCA, 0xD0, 0xC9, 0xC0, 0xD0, 0xD7, 0xD6, 0x8B, 0xC3, 0xD7};
static_assert(sizeof StoredMail == StoredMail[0] + 1u && sizeof StoredWeb == StoredWeb[0] + 1u,
              "each stored address holds exactly its length byte and its characters");

constexpr int AnimLeft = 30;
constexpr int AnimWidth = 235;
constexpr int AnimHeight = 227;

QLabel *BoldLabel(QWidget *parent, const QString &text, const QColor &color)
{
    auto *label = new QLabel(text, parent);
    label->setFont(WindowFont(true));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

} // namespace

TAbout::TAbout(QPoint boxTopLeft, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("About"));
    setWindowTitle(tr("A propos de..."));
    // No buttons: the box closes through the title bar or the system menu.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(WindowFont(false));
    setFixedSize(529, 268);

    CreateComponents();
    FormCreate(boxTopLeft);
}

void TAbout::CreateComponents()
{
    const QColor white(255, 255, 255);
    const QColor grey(128, 128, 128);

    PanelFond = new TPanel(this);
    PanelFond->setGeometry(rect());
    PanelFond->setColor(QColor(0, 0, 0));

    Bevel1 = new QFrame(PanelFond);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(10, 15, 508, 236);
    HideFromAssistiveTechnologies(Bevel1);

    JOVAnim = new QLabel(PanelFond);
    JOVAnim->setObjectName(QStringLiteral("JOVAnim"));
    JOVAnim->setGeometry(AnimLeft, 20, AnimWidth, AnimHeight);
    m_movie = new QMovie(QStringLiteral(":/about_anim.gif"), QByteArray(), this);
    JOVAnim->setMovie(m_movie);
    SetHint(JOVAnim, tr("| Le mélange des 3 couleurs JOV en action !"));

    JOVimg = new TImage(PanelFond);
    JOVimg->setObjectName(QStringLiteral("JOVimg"));
    JOVimg->move(275, 40);
    JOVimg->setPicture(QImage(QStringLiteral(":/logo.png")));
    JOVimg->autoSize();
    HideFromAssistiveTechnologies(JOVimg); // the logo: the window's title names the program

    LabelVersion = BoldLabel(PanelFond, QString(), white);
    LabelVersion->setObjectName(QStringLiteral("LabelVersion"));
    LabelVersion->setAlignment(Qt::AlignRight | Qt::AlignTop);
    SetHint(LabelVersion, tr("| Version du programme"));

    LabelAuteur = BoldLabel(PanelFond, QString(), white);
    LabelAuteur->setObjectName(QStringLiteral("LabelAuteur"));
    LabelAuteur->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    LabelAuteur->setGeometry(285, 108, 220, LabelAuteur->sizeHint().height());
    SetHint(LabelAuteur, tr("| Auteur"));

    Label5 = BoldLabel(PanelFond, tr("Tous droits réservés"), grey);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label5->setGeometry(285, 133, 220, Label5->sizeHint().height());

    auto placed = [&](const QString &text, int left, int top) {
        QLabel *label = BoldLabel(PanelFond, text, grey);
        label->move(left, top);
        label->adjustSize();
        return label;
    };
    Label1 = placed(QStringLiteral("E-mail"), 285, 198);
    Label2 = placed(QStringLiteral("Internet"), 285, 218);
    Label3 = placed(QStringLiteral(":"), 350, 198);
    Label4 = placed(QStringLiteral(":"), 350, 218);

    auto link = [&](int top, TURLType type, TShadowPosition shadow, const QString &hint) {
        auto *l = new TASLink(PanelFond);
        l->setAutoSize(false);
        l->setGeometry(360, top, 147, 13);
        l->setFont(WindowFont(false));
        l->setFontColor(QColor(255, 0, 0));
        l->setLinkColor(QColor(255, 0, 0));
        l->setShadowColor(white);
        l->setShadowSize(0);
        l->setShadowPos(shadow);
        l->setUrlType(type);
        SetHint(l, hint);
        connect(l, &TASLink::linkActivated, this, &TAbout::linkActivated);
        return l;
    };
    ASLink1 = link(198, TURLType::utMailto, TShadowPosition::spRightTop,
                   tr("| Cliquez pour écrire à l'auteur"));
    ASLink1->setObjectName(QStringLiteral("ASLink1"));
    ASLink2 = link(218, TURLType::utHttp, TShadowPosition::spLeftTop,
                   tr("| Cliquez pour visiter le site Internet de l'auteur"));
    ASLink2->setObjectName(QStringLiteral("ASLink2"));
}

void TAbout::FormCreate(QPoint boxTopLeft)
{
    move(DialogTopLeftOverBox(boxTopLeft));

    JOVAnim->move(AnimLeft, (height() - AnimHeight) / 2);
    m_movie->start();

    const QString mail = Unscramble(StoredMail);
    ASLink1->setCaption(mail);
    ASLink1->setUrlAdr(mail);
    const QString web = Unscramble(StoredWeb);
    ASLink2->setCaption(web);
    ASLink2->setUrlAdr(web);

    // Right-justified: the label grows to the left of its right edge at 503.
    LabelVersion->setText(tr("Version %1").arg(QLatin1String(ProgramVersion)));
    LabelVersion->adjustSize();
    LabelVersion->move(503 - LabelVersion->width(), 80);
    LabelAuteur->setText(tr("Conçu par l'équipe JOV"));
}

bool TAbout::isAnimating() const
{
    return m_movie->state() == QMovie::Running;
}

void TAbout::FormClose()
{
    m_movie->stop();
}

void TAbout::hideEvent(QHideEvent *event)
{
    // Every way of closing the box hides it; a window manager's own hiding does not count.
    if (!event->spontaneous())
        FormClose();
    QDialog::hideEvent(event);
}

} // namespace jov
