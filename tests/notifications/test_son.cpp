#include "Doublures.h"
#include "Fixtures.h"
#include "Son.h"
#include "TestSupport.h"
#include "UAfficheLogo.h"
#include "ULangage.h"
#include "ULangageDefaut.h"
#include "Ucontexte.h"

#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(LecteurSon, FilesThatCannotPlayAreIgnoredAndTheFileIsKept) {
    QTemporaryDir dossier;
    testsupport::ecrireFichier(dossier.filePath("faux.wav"), "RIFF pas un son");
    TLecteurSon lecteur;
    lecteur.Jouer(); // before any file
    for (const QString& fichier :
         {QString(), dossier.filePath("absent.wav"), dossier.filePath("faux.wav"), dossier.path()}) {
        lecteur.DefinirFichier(fichier);
        lecteur.Ouvrir();
        lecteur.Jouer();
        EXPECT_EQ(lecteur.Fichier(), fichier);
    }
}

TEST(LecteurSon, ASoundThatCannotPlayDoesNotStopThePicture) {
    TableTextes().Clear();
    EnregistrerTextesDefaut();
    Contexte().SupprimerSection("");
    QTemporaryDir dossier;
    Contexte().EcrireChaineInitiale("DessinRendezVous",
                                    fixtures::ecrireImage(dossier.filePath("rdv.bmp"), {8, 8}, 0xFF00FF00));
    Contexte().EcrireChaineInitiale("SonRV", dossier.filePath("absent.wav"));
    Contexte().EcrireBooleenInitial("UtiliserImages", true);
    Contexte().EcrireBooleenInitial("UtiliserSon", true);
    QSystemTrayIcon tray;
    FakeProprietaire proprietaire;
    TNotifications n(&tray, fixtures::personnages(1), proprietaire, std::make_unique<TLecteurSon>(),
                     std::make_unique<FakeBureau>(),
                     TNotifications::Dossiers{dossier.path() + "/", dossier.path() + "/"});
    n.AjouterAlerte(2);
    EXPECT_EQ(n.EtatAlerte(), 2);
    EXPECT_TRUE(n.Form_Bitmap().isVisible());
    EXPECT_EQ(n.MediaPlayer().Fichier(), dossier.filePath("absent.wav"));
}

} // namespace
