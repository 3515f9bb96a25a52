#include "CompositionImage.h"
#include "Fixtures.h"
#include "TestSupport.h"
#include "UAfficheLogo.h"
#include "ULangage.h"
#include "ULangageDefaut.h"
#include "Ucontexte.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QMessageBox>
#include <QMouseEvent>
#include <gtest/gtest.h>

namespace {

using fixtures::ecrireImage;

// Each picture has its own height, so the shown picture tells which file it came from.
struct Dessin {
    const char* reglage;
    const char* fichier;
    int hauteur;
};
constexpr Dessin kDessins[] = {{"DessinMessage", "message.bmp", 10},
                               {"DessinMessageriePop", "mail.bmp", 11},
                               {"DessinRendezVous", "rdv.bmp", 12},
                               {"DessinRepondeur", "repondeur.bmp", 13}};
constexpr QRgb kRouge = 0xFFFF0000, kVert = 0xFF00FF00, kBleu = 0xFF0000FF;

struct NotificationsTest : ::testing::Test {
    QTemporaryDir programme, temporaire;
    QSystemTrayIcon tray;
    FakeProprietaire proprietaire;
    FakeLecteurSon* son = nullptr;
    FakeBureau* bureau = nullptr;
    std::unique_ptr<TNotifications> n;

    void SetUp() override {
        TableTextes().Clear();
        EnregistrerTextesDefaut();
        Contexte().SupprimerSection("");
        ecrireImage(chemin("Ensemble.ico"), {16, 16}, kRouge, "ICO");
        ecrireImage(chemin("Occupe.ico"), {16, 16}, kVert, "ICO");
        ecrireImage(chemin("Seul.ico"), {16, 16}, kBleu, "ICO");
        for (const Dessin& d : kDessins)
            reglage(d.reglage, ecrireImage(chemin(d.fichier), {20, d.hauteur}, 0xFF102030));
        reglage("SonMessage", "message.wav");
        reglage("SonPOP", "pop.wav");
        reglage("SonRV", "rv.wav");
        drapeau("UtiliserImages", true);
        drapeau("UtiliserSon", true);
        creer();
    }
    void TearDown() override { n.reset(); }

    void creer() {
        auto s = std::make_unique<FakeLecteurSon>();
        auto b = std::make_unique<FakeBureau>();
        son = s.get();
        bureau = b.get();
        n = std::make_unique<TNotifications>(
            &tray, fixtures::personnages(4), proprietaire, std::move(s), std::move(b),
            TNotifications::Dossiers{programme.path() + "/", temporaire.path() + "/"});
    }
    QString chemin(const QString& nom) const { return programme.filePath(nom); }
    static void reglage(const char* nom, const QString& valeur) {
        Contexte().EcrireChaineInitiale(nom, valeur);
    }
    static void drapeau(const char* nom, bool valeur) { Contexte().EcrireBooleenInitial(nom, valeur); }

    // The visible alert boxes, by text.
    static QStringList boites() {
        QStringList textes;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* b = qobject_cast<QMessageBox*>(w);
                b && b->objectName() == "_BoiteAlerte" && b->isVisible())
                textes << b->text();
        return textes;
    }
    // Which picture file the visible picture was made from; empty when none shows.
    QString imageMontree() const {
        if (!n->Form_Bitmap().isVisible())
            return {};
        const bool bande = n->EtatAlerte() != TNotifications::EtatRendezVous;
        const int h = n->ImageAlerte().height() - (bande ? QFontMetrics(policeLegende()).height() + 4 : 0);
        if (h == 64)
            return "icone";
        for (const Dessin& d : kDessins)
            if (d.hauteur == h)
                return d.fichier;
        return "?";
    }
    QRgb couleurIcone() const { return tray.icon().pixmap(16, 16).toImage().pixel(8, 8); }
    void souris(QEvent::Type type) {
        TForm_Bitmap& f = n->Form_Bitmap();
        const QPointF ici(2, 2);
        QMouseEvent e(
            type, ici, f.mapToGlobal(ici), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
            type == QEvent::MouseButtonRelease || type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
            Qt::NoModifier);
        QApplication::sendEvent(&f, &e);
    }
};

TEST_F(NotificationsTest, AKindWaitsOnceAndWhatArrivesWhileThePictureShowsWaitsBehindIt) {
    n->TexteAlerte = "Paul";
    n->AjouterAlerte(0);
    EXPECT_EQ(n->EtatAlerte(), 1);
    EXPECT_EQ(imageMontree(), "message.bmp");
    EXPECT_EQ(tray.toolTip(), "Vous avez un message.");
    EXPECT_EQ(son->appels, QStringList({"Ouvrir message.wav", "Jouer message.wav"}));

    n->AjouterAlerte(0);
    n->AjouterAlerte(1);
    EXPECT_EQ(n->FileAlertes(), QStringList({"0", "1"}));
    EXPECT_EQ(n->EtatAlerte(), 1);
    EXPECT_EQ(son->appels.size(), 2) << "nothing new is shown while the picture is up";

    n->TraiterAlerte();
    EXPECT_EQ(proprietaire.appels, QStringList{"AfficherMessagesRecus"});
    EXPECT_EQ(n->EtatAlerte(), 0);
    EXPECT_EQ(tray.toolTip(), "En attente");
    EXPECT_EQ(n->FileAlertes(), QStringList{"1"});
    EXPECT_EQ(imageMontree(), "");

    // The mail waits until the messaging window closes, or until the next notification comes.
    n->AjouterAlerte(0);
    EXPECT_EQ(n->FileAlertes(), QStringList({"1", "0"}));
    EXPECT_EQ(n->EtatAlerte(), 3);
    EXPECT_EQ(imageMontree(), "mail.bmp");
    EXPECT_TRUE(boites().isEmpty());
}

TEST_F(NotificationsTest, WithPicturesOffEachNotificationShowsTheOldestKindInAModelessBox) {
    drapeau("UtiliserImages", false);
    n->AjouterAlerte(2);
    n->AjouterAlerte(1);
    EXPECT_EQ(boites(), QStringList({"Vous avez un rendez-vous.", "Vous avez un rendez-vous."}));
    EXPECT_EQ(n->EtatAlerte(), 2);
    EXPECT_EQ(son->appels, QStringList({"Ouvrir rv.wav", "Jouer rv.wav", "Ouvrir rv.wav", "Jouer rv.wav"}));
    EXPECT_FALSE(n->Form_Bitmap().isVisible());
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* b = qobject_cast<QMessageBox*>(w); b && b->objectName() == "_BoiteAlerte") {
            EXPECT_EQ(b->windowTitle(), "Bavardin");
            EXPECT_EQ(b->icon(), QMessageBox::Warning);
            EXPECT_FALSE(b->isModal());
            EXPECT_EQ(QApplication::modalWindow(), nullptr);
        }

    n->TraiterAlerte();
    EXPECT_EQ(proprietaire.appels, QStringList{"AfficherPageRappel"});
    n->AlerteSuivante();
    EXPECT_EQ(n->EtatAlerte(), 3);
    EXPECT_EQ(boites().size(), 3);
    EXPECT_EQ(boites().count("Vous avez un mail."), 1);
}

TEST_F(NotificationsTest, AMissingOrUnreadablePictureGivesTheBoxAndTheStateAllTheSame) {
    for (const QString& fichier : {QStringLiteral("absent.bmp"), QStringLiteral("abime.bmp")}) {
        SCOPED_TRACE(fichier.toStdString());
        testsupport::ecrireFichier(chemin("abime.bmp"), "BM pas une image");
        reglage("DessinMessageriePop", chemin(fichier));
        n->AjouterAlerte(1);
        EXPECT_EQ(boites().count("Vous avez un mail."), 1);
        EXPECT_EQ(n->EtatAlerte(), 3);
        EXPECT_FALSE(n->Form_Bitmap().isVisible());
        n->TraiterAlerte();
        EXPECT_EQ(proprietaire.appels.takeLast(), "AfficherMessagerie");
        n.reset(); // closes the boxes
        creer();
    }
}

TEST_F(NotificationsTest, EachKindShowsItsStateTextPictureAndSoundAndTheDoubleClickActs) {
    struct Cas {
        int kind, etat;
        const char *texte, *image, *son, *action;
    };
    const Cas table[] = {
        {0, 1, "Vous avez un message.", "message.bmp", "message.wav", "AfficherMessagesRecus"},
        {1, 3, "Vous avez un mail.", "mail.bmp", "pop.wav", "AfficherMessagerie"},
        {2, 2, "Vous avez un rendez-vous.", "rdv.bmp", "rv.wav", "AfficherPageRappel"},
        {3, 1, "Le répondeur a enregistré un message.", "repondeur.bmp", "avant.wav",
         "AfficherMessagesRecus"},
        {4, 5, "Vous avez un mail.", "mail.bmp", "pop.wav", nullptr},
    };
    for (const Cas& c : table) {
        SCOPED_TRACE(c.kind);
        son->DefinirFichier("avant.wav");
        son->appels.clear();
        proprietaire.appels.clear();
        n->AjouterAlerte(c.kind);
        EXPECT_EQ(n->EtatAlerte(), c.etat);
        EXPECT_EQ(tray.toolTip(), QString::fromUtf8(c.texte));
        EXPECT_EQ(imageMontree(), c.image);
        EXPECT_EQ(son->appels, QStringList({QString("Ouvrir ") + c.son, QString("Jouer ") + c.son}));

        n->TraiterAlerte();
        EXPECT_EQ(proprietaire.appels, c.action ? QStringList{c.action} : QStringList());
        EXPECT_EQ(n->EtatAlerte(), 0);
        EXPECT_EQ(tray.toolTip(), "En attente");
        EXPECT_TRUE(n->FileAlertes().isEmpty());
        EXPECT_EQ(imageMontree(), "");
    }
    EXPECT_TRUE(bureau->ouverts.isEmpty());
    EXPECT_TRUE(boites().isEmpty());
}

TEST_F(NotificationsTest, AllAccountsMailOpensTheMailProgramWhenAskedThenShowsTheNextAtOnce) {
    struct Cas {
        bool lancer, existe;
    };
    for (const Cas c : {Cas{true, true}, Cas{true, false}, Cas{false, true}}) {
        SCOPED_TRACE(testing::Message() << c.lancer << c.existe);
        const QString programmeMail = temporaire.filePath("lecteur-mail");
        QFile::remove(programmeMail);
        if (c.existe)
            testsupport::ecrireFichier(programmeMail, "#!/bin/sh\n");
        reglage("Edit_ProgrammeMessagerie", programmeMail);
        drapeau("CheckBox_LancerMessagerieVerificationGlobale", c.lancer);
        bureau->ouverts.clear();

        n->AjouterAlerte(4);
        n->AjouterAlerte(2);
        n->TraiterAlerte();
        EXPECT_EQ(bureau->ouverts, c.lancer && c.existe ? QStringList{programmeMail} : QStringList());
        EXPECT_EQ(n->EtatAlerte(), 2);
        EXPECT_EQ(imageMontree(), "rdv.bmp");
        EXPECT_TRUE(proprietaire.appels.isEmpty());
        n->TraiterAlerte();
        proprietaire.appels.clear();
    }
}

TEST_F(NotificationsTest, WhileWaitingADoubleClickChecksMailOnlyWhenAnAccountExists) {
    n->TraiterAlerte();
    EXPECT_TRUE(proprietaire.appels.isEmpty());
    EXPECT_EQ(n->EtatAlerte(), 0);
    Contexte().EcrireListe({"Maison"}, "Email", "Libelle");
    n->TraiterAlerte();
    EXPECT_EQ(proprietaire.appels, QStringList{"VerifierMessagerieCourante"});
}

TEST_F(NotificationsTest, ASendHoldsNotificationsBackAndItsEndShowsTheHeadAgain) {
    n->ChangerIcone(15);
    n->AjouterAlerte(0);
    n->DebutEnvoi();
    EXPECT_TRUE(n->EnvoiEnCours());
    EXPECT_EQ(n->EtatAvantEnvoi(), 1);
    EXPECT_EQ(n->EtatAlerte(), 6);
    EXPECT_EQ(couleurIcone(), kVert);

    n->AjouterAlerte(1);
    n->TraiterAlerte();  // a double-click during the send
    n->AlerteSuivante(); // a window closed during the send
    EXPECT_EQ(n->EtatAlerte(), 6);
    EXPECT_EQ(n->FileAlertes(), QStringList({"0", "1"}));
    EXPECT_TRUE(proprietaire.appels.isEmpty());
    EXPECT_EQ(son->appels.size(), 2);
    EXPECT_EQ(imageMontree(), "message.bmp");

    n->FinEnvoi();
    EXPECT_FALSE(n->EnvoiEnCours());
    EXPECT_EQ(n->EtatAlerte(), 1);
    EXPECT_EQ(couleurIcone(), kRouge) << "idle, also when the answering machine was on";
    EXPECT_EQ(son->appels.size(), 4) << "the message shows again, with its sound";
    EXPECT_EQ(imageMontree(), "message.bmp");
}

TEST_F(NotificationsTest, ASendWhileWaitingComesBackToWaitingWithNothingShown) {
    n->DebutEnvoi();
    n->FinEnvoi();
    EXPECT_EQ(n->EtatAlerte(), 0);
    EXPECT_EQ(couleurIcone(), kRouge);
    EXPECT_EQ(imageMontree(), "");
    EXPECT_TRUE(boites().isEmpty());
    EXPECT_TRUE(son->appels.isEmpty());
}

TEST_F(NotificationsTest, OverlappingSendsEndWithTheLastOneAndAStrayEndChangesNothing) {
    n->AjouterAlerte(2);
    n->DebutEnvoi();
    n->DebutEnvoi();
    n->FinEnvoi();
    EXPECT_TRUE(n->EnvoiEnCours());
    EXPECT_EQ(n->EtatAlerte(), 6);
    EXPECT_EQ(couleurIcone(), kVert);
    n->FinEnvoi();
    EXPECT_EQ(n->EtatAlerte(), 2) << "not the sending state saved by the second send";
    n->TraiterAlerte();
    n->ChangerIcone(15);
    n->FinEnvoi();
    EXPECT_EQ(n->EtatAlerte(), 0);
    EXPECT_EQ(couleurIcone(), kBleu);
}

TEST_F(NotificationsTest, ThePersonalIconIsTheSendersAtSixtyFourPixelsAndIconZeroWhenUnknown) {
    drapeau("UtiliserIconePerso", true);
    const QString tempo = temporaire.filePath("Bavardin/tempo.bmp");
    ASSERT_FALSE(QDir(temporaire.filePath("Bavardin")).exists());
    for (const auto& [numero, attendu] : {std::pair{2, 2}, {0, 0}, {3, 3}, {4, 0}, {1000, 0}, {-1, 0}}) {
        SCOPED_TRACE(numero);
        n->IconeExpediteur = numero;
        n->TexteAlerte = "Zoé";
        n->AjouterAlerte(0);
        EXPECT_EQ(imageMontree(), "icone");
        const QImage fichier(tempo);
        ASSERT_EQ(fichier.size(), QSize(64, 64));
        EXPECT_EQ(fichier.pixel(32, 32), qRgb(10, 10 * (attendu + 1), 10));
        EXPECT_EQ(fichier.pixel(0, 0), fichier.pixel(63, 63))
            << "the icon's border is one transparent colour";
        EXPECT_FALSE(n->Forme().contains(QPoint(0, 0)));
        n->TraiterAlerte();
    }
    // Kind 3 keeps its own picture.
    n->AjouterAlerte(3);
    EXPECT_EQ(imageMontree(), "repondeur.bmp");
}

TEST_F(NotificationsTest, WithoutTheMessagePictureOrAFolderOfOursThePersonalIconIsNotUsed) {
    drapeau("UtiliserIconePerso", true);
    const QString ailleurs = temporaire.filePath("ailleurs");
    QDir().mkpath(ailleurs);
    ASSERT_TRUE(QFile::link(ailleurs, temporaire.filePath("Bavardin")));
    n->AjouterAlerte(0);
    EXPECT_EQ(imageMontree(), "message.bmp");
    EXPECT_FALSE(QFile::exists(ailleurs + "/tempo.bmp"));
    n->TraiterAlerte();

    reglage("DessinMessage", "");
    n->AjouterAlerte(0);
    EXPECT_EQ(boites(), QStringList{"Vous avez un message."});
}

TEST_F(NotificationsTest, ThePictureStandsAtItsStatesPlaceAndADragStoresItExceptForAllAccounts) {
    struct Cas {
        int kind;
        const char *left, *top;
        QPoint place;
        bool stocke;
    };
    const Cas table[] = {{0, "ImageLeftChat", "ImageTopChat", {10, 20}, true},
                         {2, "ImageLeftRV", "ImageTopRV", {30, 40}, true},
                         {1, "ImageLeftPOP", "ImageTopPOP", {50, 60}, true},
                         {4, "ImageLeftPOP", "ImageTopPOP", {50, 60}, false}};
    for (const Cas& c : table) {
        SCOPED_TRACE(c.kind);
        for (const Cas& d : table) {
            Contexte().EcrireEntierInitial(d.left, d.place.x());
            Contexte().EcrireEntierInitial(d.top, d.place.y());
        }
        n->AjouterAlerte(c.kind);
        EXPECT_EQ(n->Form_Bitmap().pos(), c.place);
        n->Form_Bitmap().move(111, 222);
        souris(QEvent::MouseMove);
        // Only the pair of the shown state changes, and not for all accounts.
        for (const Cas& d : table) {
            const bool change = c.stocke && QLatin1String(d.left) == QLatin1String(c.left);
            const QPoint lue(Contexte().LireEntierInitial(d.left), Contexte().LireEntierInitial(d.top));
            EXPECT_EQ(lue, change ? QPoint(111, 222) : d.place) << d.left;
        }
        n->TraiterAlerte();
    }
}

TEST_F(NotificationsTest, ADoubleClickOnThePictureActsOnTheNotification) {
    n->AjouterAlerte(1);
    souris(QEvent::MouseButtonPress); // starts a system move where the platform has one
    souris(QEvent::MouseButtonRelease);
    souris(QEvent::MouseButtonDblClick);
    EXPECT_EQ(proprietaire.appels, QStringList{"AfficherMessagerie"});
    EXPECT_EQ(n->EtatAlerte(), 0);
    EXPECT_FALSE(n->Form_Bitmap().isVisible());
}

TEST_F(NotificationsTest, EachIconCodeLoadsItsFileAndAFileThatFailsIsLoggedOnceAndChangesNothing) {
    for (const auto& [code, couleur] : {std::pair{9, kRouge}, {11, kVert}, {15, kBleu}}) {
        n->ChangerIcone(code);
        EXPECT_EQ(couleurIcone(), couleur) << code;
    }
    const QString log = chemin("Anomalies.log");
    ASSERT_FALSE(QFile::exists(log));
    QFile::remove(chemin("Occupe.ico"));
    n->ChangerIcone(11);
    EXPECT_EQ(couleurIcone(), kBleu);
    const QList<QByteArray> lignes = testsupport::lireFichier(log).split('\n');
    ASSERT_EQ(lignes.size(), 5) << "one entry of four lines";
    const QByteArray debut = QString("%1 : %2 - ").arg("Principale", -20).arg("ChangerIcone", -20).toLatin1();
    EXPECT_TRUE(lignes[2].startsWith(debut)) << lignes[2].toStdString();
    EXPECT_TRUE(lignes[2].contains("Occupe.ico"));
}

TEST_F(NotificationsTest, WithSoundOffThePlayerStillTakesTheFileThatTheAnsweringMachineReuses) {
    drapeau("UtiliserSon", false);
    n->AjouterAlerte(1);
    EXPECT_TRUE(son->appels.isEmpty());
    EXPECT_EQ(son->Fichier(), "pop.wav");
    n->TraiterAlerte();
    drapeau("UtiliserSon", true);
    n->AjouterAlerte(3);
    EXPECT_EQ(son->appels, QStringList({"Ouvrir pop.wav", "Jouer pop.wav"}));
}

} // namespace
