#include "MenuBarre.h"
#include "PointUDP.h"
#include "UChat.h"
#include "MessagesPostes.h"
#include "TestSupport.h"
#include "TypesFichiers.h"
#include "U_Principale.h"
#include "ULangage.h"
#include "ULangageDefaut.h"
#include "UUtils.h"
#include "Ucontexte.h"
#include "o_Fonctions.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct PrincipaleTest : ::testing::Test {
    void SetUp() override {
        TableTextes().Clear();
        EnregistrerTextesDefaut();
        Contexte().SupprimerSection("");
        Contexte().EcrireChaineInitiale("PremierDemarrage", "NON");
    }
    QMessageBox* bienvenue() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* b = qobject_cast<QMessageBox*>(w); b && b->objectName() == "_BoiteBienvenue" && b->isVisible())
                return b;
        return nullptr;
    }
    // Runs the event loop until the window quits it; false when it never does.
    bool boucleSeTermine(const std::function<void()>& declencheur) {
        bool expire = false;
        QTimer::singleShot(0, declencheur);
        QTimer::singleShot(5000, [&] {
            expire = true;
            QCoreApplication::exit(1);
        });
        return QCoreApplication::exec() == 0 && !expire;
    }
};

} // namespace

TEST_F(PrincipaleTest, CreationRegistersFileTypesCaptionsAndHidesTheAdministratorMenu) {
    EcrireCleSysteme(Racine::ClassesRoot, ".txt", "", "");
    TForm_Principale p;
    const QString exe = QCoreApplication::applicationFilePath();
    const std::pair<const char*, QString> types[] = {
        {".rdv", "Bavardin_rdv"},
        {"Bavardin_rdv", "Bavardin : Fichier de rendez-vous"},
        {"Bavardin_rdv\\DefaultIcon", exe},
        {".BavardinSave", "Bavardin_Save"},
        {"Bavardin_Save", "Bavardin : Fichier de sauvegarde"},
        {"Bavardin_Save\\DefaultIcon", exe},
        {".Lang", "Bavardin_Lang"},
        {"Bavardin_Lang", "Bavardin : Fichier de langage"},
        {"Bavardin_Lang\\DefaultIcon", exe},
        {".Annuaire", "Bavardin_Annuaire"},
        {"Bavardin_Annuaire", "Bavardin : Fichier Annuaire"},
        {"Bavardin_Annuaire\\DefaultIcon", exe},
        {".Bavardin", ""},
    };
    for (const auto& [cle, valeur] : types)
        EXPECT_EQ(LireCleSysteme(Racine::ClassesRoot, cle, ""), valeur) << cle;
    TRegistre r(Contexte().base());
    r.RootKey = Racine::ClassesRoot;
    ASSERT_TRUE(r.OpenKey("\\.Bavardin", false));
    EXPECT_TRUE(r.ValueExists("")); // an empty default value, not a missing one

    EXPECT_EQ(p.objectName(), "Form_Principale");
    EXPECT_EQ(p.windowTitle(), "Bavardin");
    EXPECT_TRUE(p.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(p.findChild<QAction*>("_PopupMenu_Apropos")->text(), "A propos d'Bavardin  V2.6.1.0");
    EXPECT_EQ(p.BcBarPopupMenu()->captionBarre(), "Bavardin  V2.6");
    EXPECT_FALSE(p.menuAdministrateur()->menuAction()->isVisible());
    EXPECT_EQ(p.ImageList_Popup().size(), 108);
    EXPECT_EQ(p.ImageList_Popup()[0].size(), QSize(16, 16));
    // The tray icon has no menu until the start has ended.
    EXPECT_EQ(p.Tray()->contextMenu(), nullptr);
    p.FinDemarrage();
    EXPECT_EQ(p.Tray()->contextMenu(), p.BcBarPopupMenu());

    EcrireCleSysteme(Racine::ClassesRoot, ".txt", "", "txtfile");
    Contexte().EcrireBooleenInitial("Administrateur_systeme", true);
    TForm_Principale admin;
    EXPECT_TRUE(admin.menuAdministrateur()->menuAction()->isVisible());
    EXPECT_EQ(LireCleSysteme(Racine::ClassesRoot, ".Bavardin", ""), "txtfile");
}

TEST_F(PrincipaleTest, EachOthelloCommandOpensAGameOfItsOwn) {
    TForm_Principale p;
    QAction* jeu = p.findChild<QAction*>("PopupMenu_JeuxOthello");
    ASSERT_NE(jeu, nullptr);
    EXPECT_TRUE(jeu->isVisible());
    jeu->trigger();
    jeu->trigger();
    QList<QWidget*> jeux;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "Form_Othello" && w->isVisible())
            jeux << w;
    EXPECT_EQ(jeux.size(), 2);
    for (QWidget* w : jeux)
        w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(PrincipaleTest, AnsweringModeAndTheStartAnnouncementOnTheLoopback) {
    const quint16 port = static_cast<quint16>(21000 + QCoreApplication::applicationPid() % 20000);
    QList<QByteArray> recus;
    TForm_Principale p;
    p.CreerFenetres(std::make_unique<TPointUDP>(port, QHostAddress::LocalHost, QHostAddress::LocalHost));
    QObject::connect(&p.chat()->pointUDP(), &TPointUDP::datagrammeRecu,
                     [&](const QByteArray& d, const QString&) { recus << d.left(d.indexOf(',')); });
    auto attendre = [&] {
        for (int i = 0; i < 30; ++i) {
            QCoreApplication::processEvents();
            QThread::msleep(5);
        }
        return std::exchange(recus, {});
    };
    p.AnnoncerDemarrage();
    // The own entry, then its welcome and its announcement, which comes back and is welcomed.
    EXPECT_TRUE(p.chat()->presence().EstConnecte(NomOrdinateur()));
    EXPECT_EQ(attendre(), (QList<QByteArray>{"BIENVENUE", "CONNEXION", "BIENVENUE"}));
    EXPECT_EQ(p.BcBarPopupMenu()->actions().first()->text(), LireSurnom() + " sur " + NomOrdinateur());
    p.BasculerRepondeur();
    EXPECT_TRUE(Contexte().LireBooleenInitial("RepondeurActif"));
    EXPECT_TRUE(p.findChild<QAction*>("PopupMenu_ModeRepondeur")->isChecked());
    EXPECT_EQ(attendre(), QList<QByteArray>{"REPONDEUR"});
    EXPECT_EQ(p.chat()->presence().machine(NomOrdinateur())->Etat, "REPONDEUR");
    p.BasculerRepondeur();
    EXPECT_EQ(attendre(), (QList<QByteArray>{"CONNEXION", "BIENVENUE"}));
    EXPECT_FALSE(Contexte().LireBooleenInitial("RepondeurActif"));
    // The people section follows the table when the menu opens after a change.
    p.chat()->presence().TraiterDatagramme("BIENVENUE,PC-AUTRE,Aaron,2", "198.18.0.3");
    EXPECT_TRUE(p.ConnectesModifies);
    emit p.BcBarPopupMenu()->aboutToShow();
    EXPECT_FALSE(p.ConnectesModifies);
    EXPECT_EQ(p.BcBarPopupMenu()->actions().first()->text(), "Aaron sur PC-AUTRE");
    // The orderly stop says goodbye, then closes the endpoint.
    p.ArreterServices(false);
    EXPECT_FALSE(p.chat()->pointUDP().actif());
    EXPECT_TRUE(p.chat()->presence().ListeConnectes().empty());
}

TEST_F(PrincipaleTest, ChefIsWrittenOnlyWhenEmpty) {
    TForm_Principale p;
    p.ControleDemarrage();
    EXPECT_EQ(Contexte().LireChaineInitiale("Chef"), "PC-QUIDAM");
    Contexte().EcrireChaineInitiale("Chef", "PC-BUREAU");
    p.ControleDemarrage();
    EXPECT_EQ(Contexte().LireChaineInitiale("Chef"), "PC-BUREAU");
}

TEST_F(PrincipaleTest, TheFirstStartWelcomesOnce) {
    Contexte().EcrireChaineInitiale("PremierDemarrage", "");
    {
        TForm_Principale p;
        p.FinDemarrage();
        QMessageBox* b = bienvenue();
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->text(), "Boujour,\r\nPour bien démarrer avec Bavardin, je vous propose de choisir\r\n"
                             "l'image qui vous représentera auprès des autres utilisateurs.\r\n"
                             "Sélectionnez la dans la liste d'icones qui va s'ouvrir.");
        b->button(QMessageBox::Ok)->click();
        QCoreApplication::processEvents();
        EXPECT_EQ(Contexte().LireChaineInitiale("PremierDemarrage"), "NON");
    }
    TForm_Principale p;
    p.FinDemarrage();
    EXPECT_EQ(bienvenue(), nullptr);
}

TEST_F(PrincipaleTest, PostedMessagesClearTheOpenFlags) {
    TForm_Principale p;
    const std::pair<MessagePoste, FenetreUnique> cas[] = {
        {WM_FIN_HORLOGE, FenetreUnique::Horloge},         {WM_FIN_FORUM, FenetreUnique::Forum},
        {WM_FIN_PREFERENCES, FenetreUnique::Preferences}, {WM_FIN_TELEPHONE, FenetreUnique::Telephone},
        {WM_FIN_APROPOS, FenetreUnique::Apropos},         {WM_FIN_CALENDRIER, FenetreUnique::Calendrier},
    };
    for (auto [message, fenetre] : cas) {
        p.marquerOuverte(fenetre, true);
        PosterMessage(&p, message);
        QCoreApplication::processEvents();
        EXPECT_FALSE(p.ouverte(fenetre)) << message;
    }
    EXPECT_EQ(int(WM_ORDRE_QUITTER), 1034);
    EXPECT_EQ(int(WM_FIN_ENVOI), 1125);
}

TEST_F(PrincipaleTest, TheNetworkOrderQuitsWithoutTouchingTheAnsweringMachineOrPostIts) {
    Contexte().EcrireBooleenInitial("RepondeurActif", true);
    Contexte().EcrireListe({"Courses"}, "PostIt", "Actifs");
    TForm_Principale p;
    EXPECT_TRUE(boucleSeTermine([&] { PosterMessage(&p, WM_ORDRE_QUITTER); }));
    EXPECT_TRUE(p.arretEnCours());
    EXPECT_TRUE(Contexte().LireBooleenInitial("RepondeurActif"));
    QStringList actifs;
    Contexte().LireListe(actifs, "PostIt", "Actifs");
    EXPECT_EQ(actifs, QStringList{"Courses"});
}

TEST_F(PrincipaleTest, QuitterTurnsTheAnsweringMachineOffAndSavesTheOpenPostIts) {
    Contexte().EcrireBooleenInitial("RepondeurActif", true);
    Contexte().EcrireListe({"Courses"}, "PostIt", "Actifs");
    TForm_Principale p;
    EXPECT_TRUE(boucleSeTermine([&] { p.Quitter(); }));
    EXPECT_FALSE(Contexte().LireBooleenInitial("RepondeurActif"));
    QStringList actifs;
    EXPECT_TRUE(Contexte().LireListe(actifs, "PostIt", "Actifs"));
    EXPECT_TRUE(actifs.isEmpty()); // no post-it was open
    p.Quitter();                   // a second stop does nothing
}

TEST(TypesMime, WrittenOnceAndSkippedWhereTheFolderCannotBeWritten) {
    const QString donnees = testsupport::dossierMaison() + "/donnees";
    ASSERT_TRUE(EnregistrerTypesMime(donnees));
    const QString xml = donnees + "/mime/packages/bavardin.xml";
    EXPECT_EQ(testsupport::lireFichier(xml), DeclarationMime());
    EXPECT_TRUE(QFile::exists(donnees + "/icons/hicolor/48x48/apps/bavardin.png"));
    EXPECT_TRUE(DeclarationMime().contains("<glob pattern=\"*.rdv\"/>"));
    const QDateTime avant = QFileInfo(xml).lastModified();
    QThread::msleep(20);
    ASSERT_TRUE(EnregistrerTypesMime(donnees));
    EXPECT_EQ(QFileInfo(xml).lastModified(), avant); // unchanged: not rewritten

    const QString fichier = testsupport::dossierMaison() + "/pas-un-dossier";
    ecrireFichierAtomique(fichier, "x");
    EXPECT_FALSE(EnregistrerTypesMime(fichier));
}
