// The Othello board control and window, offscreen: the mouse, the menus, the status texts, the
// timer that drives the search, closing, and several windows at once.
#include "Otello.h"
#include "ULangageDefaut.h"
#include "UOthello.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace otello;

namespace {

const std::string kEmpty8 = "........";

// The draw of the engine tests: the machine's only move leaves nobody able to play, 32 to 32.
const std::string kDrawInOne =
    "mh......" + kEmpty8 + kEmpty8 + kEmpty8 + "mmmmmmmm" + "mmmmmmmm" + "mmmmmmmm" + "mmmmm...";
// The machine's only move takes the human's last disc but one square stays, for the human.
const std::string kLossInOne = "mh.mmmmm" + std::string(6 * 8, 'm') + "mmmmmmm.";
// The human cannot move anywhere.
const std::string kHumanStuck = "mh......" + std::string(6 * 8, '.') + "mh......";

class OthelloWindow : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnregistrerTextesDefaut(); }

    void SetUp() override {
        fenetre = new TForm_Othello;
        fenetre->resize(400, 400);
        fenetre->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(fenetre));
        plateau = fenetre->PlateauOthello();
    }
    void TearDown() override { delete fenetre.data(); }

    QAction* item(const char* nom) const { return fenetre->findChild<QAction*>(QString::fromLatin1(nom)); }
    QString texte(const char* cle) const {
        return TexteDe(QStringLiteral("Form_Othello"), QString::fromLatin1(cle));
    }
    QString statut() const { return fenetre->statusBar()->currentMessage(); }
    QPoint centre(int x, int y) const { return plateau->cellRect(x, y).center(); }
    void cliquer(int x, int y) const { QTest::mouseClick(plateau, Qt::LeftButton, {}, centre(x, y)); }
    // Ticks until the machine has finished, as the window's timer would.
    void attendreMachine() const {
        for (int i = 0; i < 1000 && plateau->isThinking(); ++i)
            fenetre->TimerTimer();
    }
    QString messageAffiche(QWidget* parent) const {
        const auto boxes = parent->findChildren<QMessageBox*>();
        return boxes.isEmpty() ? QString() : boxes.last()->text();
    }

    QPointer<TForm_Othello> fenetre;
    TOtello* plateau = nullptr;
};

} // namespace

TEST_F(OthelloWindow, IsBuiltWithItsNamesTextsAndDefaults) {
    EXPECT_EQ(fenetre->objectName(), "Form_Othello");
    EXPECT_EQ(fenetre->windowTitle(), "OthellBavardin");
    EXPECT_EQ(fenetre->minimumSize(), QSize(150, 150));
    EXPECT_EQ(plateau->objectName(), "PlateauOthello");
    EXPECT_EQ(plateau->Computer(), QColor(Qt::black));
    EXPECT_EQ(plateau->Human(), QColor(Qt::white));
    EXPECT_EQ(plateau->Skill(), TSkill::skBeginner);
    EXPECT_FALSE(fenetre->PanelGeneric()->isVisible());
    EXPECT_EQ(fenetre->PanneauStatut()->text(),
              QString::fromUtf8("Attention, jouez au travail peut s'avérer dangereux pour la santé."));

    auto* timer = fenetre->findChild<QTimer*>(QStringLiteral("Timer"));
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 50);
    auto* sortie = fenetre->findChild<QPushButton*>(QStringLiteral("_Button_SortieExpress"));
    ASSERT_NE(sortie, nullptr);
    EXPECT_EQ(sortie->text(), "Affreux");

    struct Item {
        const char* nom;
        const char* texte;
        int tag; // -1 for the game menu
    };
    for (const Item i : {Item{"MenuItem_Nouveau", "&Nouveau", -1}, Item{"MenuItem_Astuce", "&Astuce", -1},
                         Item{"MenuItem_Passer", "&Passer", -1}, Item{"MenuItem_Quitter", "&Quitter", -1},
                         Item{"MenuItem_Debutant", "&Débutant", 0}, Item{"MenuItem_Novice", "&Novice", 1},
                         Item{"MenuItem_Expert", "&Expert", 2}, Item{"MenuItem_Maitre", "&Maître", 3}}) {
        QAction* a = item(i.nom);
        ASSERT_NE(a, nullptr) << i.nom;
        EXPECT_EQ(a->text(), QString::fromUtf8(i.texte));
        if (i.tag >= 0) {
            EXPECT_EQ(a->data().toInt(), i.tag) << i.nom;
            EXPECT_EQ(a->isChecked(), i.tag == 0) << i.nom;
        }
    }
    EXPECT_EQ(fenetre->findChild<QMenu*>(QStringLiteral("Menu_Jeu"))->title(), "&Jeu");
    EXPECT_EQ(fenetre->findChild<QMenu*>(QStringLiteral("Menu_Niveau"))->title(), "&Niveau");
}

TEST_F(OthelloWindow, MouseMovesTheHumanAndTheMachineAnswersWithinATick) {
    QSignalSpy mauvais(plateau, &TOtello::OnBadMove);
    cliquer(1, 1);
    cliquer(4, 4);
    EXPECT_EQ(mauvais.count(), 2);
    EXPECT_EQ(plateau->PlacedCount(), 0);

    // A release dragged off the squares is a bad move too.
    QTest::mousePress(plateau, Qt::LeftButton, {}, centre(3, 5));
    QTest::mouseRelease(plateau, Qt::LeftButton, {}, QPoint(-40, 10));
    EXPECT_EQ(mauvais.count(), 3);

    cliquer(3, 5);
    EXPECT_EQ(plateau->engine().square(3, 5), kHuman);
    EXPECT_EQ(plateau->engine().square(4, 5), kHuman);
    EXPECT_TRUE(plateau->isThinking());
    EXPECT_EQ(statut(), texte("stReflechir"));
    EXPECT_EQ(statut(), QString::fromUtf8("Laissez moi réfléchir..."));
    // While the machine thinks a click does nothing.
    cliquer(5, 6);
    EXPECT_EQ(plateau->engine().square(5, 6), kEmpty);
    EXPECT_EQ(mauvais.count(), 3);

    // One tick runs the whole beginner search (seven steps), not just one of them.
    fenetre->TimerTimer();
    EXPECT_FALSE(plateau->isThinking());
    EXPECT_EQ(plateau->engine().square(3, 6), kMachine);
    EXPECT_EQ(statut(), "A vous de jouer");
}

TEST_F(OthelloWindow, BoardFillsTheClientAndPaintsGridAndDiscs) {
    EXPECT_EQ(plateau->geometry(), fenetre->Client()->rect());
    EXPECT_EQ(plateau->Color(), fenetre->palette().color(QPalette::ToolTipBase));
    const QImage image = plateau->grab().toImage();
    auto couleur = [&image](QPoint p) { return QColor(image.pixel(p)); };
    EXPECT_EQ(couleur(centre(4, 4)), QColor(Qt::white));
    EXPECT_EQ(couleur(centre(5, 5)), QColor(Qt::white));
    EXPECT_EQ(couleur(centre(4, 5)), QColor(Qt::black));
    EXPECT_EQ(couleur(centre(5, 4)), QColor(Qt::black));
    EXPECT_EQ(couleur(centre(1, 1)), plateau->Color());
    const QRect c = plateau->cellRect(2, 2);
    EXPECT_EQ(couleur(QPoint(c.left(), c.center().y())), QColor(Qt::black));
    EXPECT_EQ(couleur(QPoint(c.center().x(), c.top())), QColor(Qt::black));
}

TEST_F(OthelloWindow, PointerShowsWhereTheHumanCanPlay) {
    auto bouger = [this](QPoint p) {
        QMouseEvent move(QEvent::MouseMove, p, plateau->mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(plateau, &move);
        return plateau->cursor().shape();
    };
    EXPECT_EQ(bouger(centre(3, 5)), Qt::CrossCursor);
    EXPECT_EQ(bouger(centre(3, 4)), Qt::ArrowCursor);
    EXPECT_EQ(bouger(QPoint(plateau->width() - 1, plateau->height() - 1)), Qt::ArrowCursor);
    plateau->ComputerTurn();
    EXPECT_EQ(bouger(centre(3, 5)), Qt::BusyCursor);
}

TEST_F(OthelloWindow, PasserOpensWithTheMachineOnlyOnAFreshBoard) {
    item("MenuItem_Passer")->trigger();
    EXPECT_TRUE(plateau->isThinking());
    // Passing again while it thinks changes nothing.
    item("MenuItem_Passer")->trigger();
    attendreMachine();
    EXPECT_EQ(plateau->PlacedCount(), 2);
    EXPECT_EQ(plateau->engine().square(3, 4), kMachine);
    EXPECT_EQ(messageAffiche(fenetre), QString());

    item("MenuItem_Passer")->trigger();
    EXPECT_EQ(messageAffiche(fenetre), QString::fromUtf8("Vous ne pouvez pas passer. Jouer !"));
    EXPECT_FALSE(plateau->isThinking());
    EXPECT_EQ(plateau->PlacedCount(), 2);

    item("MenuItem_Nouveau")->trigger();
    EXPECT_EQ(plateau->PlacedCount(), 0);
    EXPECT_EQ(plateau->engine().board(), initialBoard());
}

TEST_F(OthelloWindow, SkillItemsTickOneAndApplyDuringASearch) {
    item("MenuItem_Passer")->trigger();
    ASSERT_TRUE(plateau->isThinking());
    item("MenuItem_Maitre")->trigger();
    EXPECT_EQ(plateau->Skill(), TSkill::skMaster);
    EXPECT_EQ(plateau->engine().depth(), 6);
    EXPECT_TRUE(item("MenuItem_Maitre")->isChecked());
    EXPECT_FALSE(item("MenuItem_Debutant")->isChecked());
    attendreMachine();
    EXPECT_EQ(plateau->PlacedCount(), 2);

    item("MenuItem_Novice")->trigger();
    EXPECT_EQ(plateau->Skill(), TSkill::skNovice);
    int ticked = 0;
    for (const char* nom : {"MenuItem_Debutant", "MenuItem_Novice", "MenuItem_Expert", "MenuItem_Maitre"})
        ticked += item(nom)->isChecked();
    EXPECT_EQ(ticked, 1);
    EXPECT_TRUE(item("MenuItem_Novice")->isChecked());
}

TEST_F(OthelloWindow, EndOfGameShowsTheResult) {
    struct Case {
        const std::string& position;
        const char* cle;
        const char* texte;
    };
    for (const Case& c :
         {Case{kDrawInOne, "stGagne", "Vous gagnez !"}, Case{kLossInOne, "stPerdu", "Vous perdez !"}}) {
        ASSERT_TRUE(plateau->setPosition(c.position));
        item("MenuItem_Passer")->trigger();
        attendreMachine();
        EXPECT_EQ(statut(), texte(c.cle));
        EXPECT_EQ(statut(), QString::fromUtf8(c.texte));
        EXPECT_EQ(discCount(plateau->engine().board(), kEmpty), 0);
    }
}

TEST_F(OthelloWindow, HintMovesThePointerOrSaysThereIsNothingToPlay) {
    item("MenuItem_Astuce")->trigger();
    attendreMachine();
    const QRect r = plateau->cellRect(3, 5);
    EXPECT_EQ(QCursor::pos(),
              plateau->mapToGlobal(QPoint(r.right() + 1 - r.width() / 2, r.bottom() + 1 - r.height() / 2)));
    EXPECT_EQ(plateau->PlacedCount(), 0);
    EXPECT_EQ(messageAffiche(plateau), QString());

    ASSERT_TRUE(plateau->setPosition(kHumanStuck));
    item("MenuItem_Astuce")->trigger();
    attendreMachine();
    EXPECT_EQ(messageAffiche(plateau), "Impossible de jouer :(");
    EXPECT_EQ(plateau->PlacedCount(), 0);
}

TEST_F(OthelloWindow, EscapeClosesAndTheNextWindowTakesThePlacement) {
    fenetre->setGeometry(120, 90, 333, 288);
    const QSize taille = fenetre->size();
    fenetre->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(fenetre));
    QTest::keyClick(fenetre, Qt::Key_Escape);
    QTest::qWait(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(fenetre.isNull());

    auto suivante = std::make_unique<TForm_Othello>();
    EXPECT_EQ(suivante->size(), taille);
}

TEST_F(OthelloWindow, TwoWindowsPlayTheirOwnGames) {
    auto autre = std::make_unique<TForm_Othello>();
    autre->resize(300, 300);
    autre->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(autre.get()));
    TOtello* plateau2 = autre->PlateauOthello();

    cliquer(3, 5);
    item("MenuItem_Maitre")->trigger();
    attendreMachine();
    EXPECT_GT(plateau->PlacedCount(), 2);
    EXPECT_EQ(plateau2->engine().board(), initialBoard());
    EXPECT_EQ(plateau2->Skill(), TSkill::skBeginner);

    autre->findChild<QAction*>(QStringLiteral("MenuItem_Passer"))->trigger();
    for (int i = 0; i < 1000 && plateau2->isThinking(); ++i)
        autre->TimerTimer();
    EXPECT_EQ(plateau2->engine().square(3, 4), kMachine);
    EXPECT_EQ(plateau->engine().square(3, 4), kEmpty);
    EXPECT_EQ(autre->statusBar()->currentMessage(), "A vous de jouer");
}
