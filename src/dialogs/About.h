#pragma once

#include <QDialog>
#include <QPoint>

class QFrame;
class QHideEvent;
class QLabel;
class QMovie;

namespace jov {

class TASLink;
class TImage;
class TPanel;

/// The "A propos de..." box: the animation of the three colours, the logo, the version, the
/// author line and the e-mail and web links. Create one for each showing and exec() it; the
/// animation runs from creation until the box closes.
class TAbout : public QDialog
{
    Q_OBJECT

public:
    // `boxTopLeft`: the main window's settings group box in screen coordinates (see
    // DialogTopLeftOverBox).
    explicit TAbout(QPoint boxTopLeft, QWidget *parent = nullptr);

    bool isAnimating() const;
    QMovie *animation() const { return m_movie; }

    // Components, named as in the box's design.
    TPanel *PanelFond = nullptr;
    QFrame *Bevel1 = nullptr;
    QLabel *JOVAnim = nullptr;
    TImage *JOVimg = nullptr;
    QLabel *LabelVersion = nullptr;
    QLabel *LabelAuteur = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    TASLink *ASLink1 = nullptr;
    TASLink *ASLink2 = nullptr;

Q_SIGNALS:
    // A link was clicked: its target is to be opened.
    void linkActivated(const QString &target);

protected:
    void hideEvent(QHideEvent *event) override;

private:
    void CreateComponents();
    void FormCreate(QPoint boxTopLeft);
    void FormClose();

    QMovie *m_movie = nullptr;
};

} // namespace jov
