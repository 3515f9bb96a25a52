#include "ChoisirDossier.h"
#include "FenetresQt.h"
#include "TestSupport.h"
#include "UFormBavardin.h"
#include "ULangage.h"
#include "Ucontexte.h"
#include "o_Fonctions.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

class TForm_Essai final : public TForm_Bavardin {
public:
    explicit TForm_Essai(const QString& nom = "Form_Essai") : TForm_Bavardin(nom) {
        auto* l = new QVBoxLayout(Client());
        bouton = new QPushButton("Envoyer", Client());
        bouton->setObjectName("Button_Envoyer");
        bouton->setToolTip("Envoie");
        l->addWidget(bouton);
        coche = new QCheckBox("Son", Client());
        coche->setObjectName("CheckBox_Son");
        l->addWidget(coche);
        groupe = new QGroupBox("Options", Client());
        groupe->setObjectName("GroupBox_Options");
        l->addWidget(groupe);
        saisie = new QLineEdit("saisie", Client());
        saisie->setObjectName("Edit_Nom");
        l->addWidget(saisie);
        onglets = new QTabWidget(Client());
        page = new QWidget;
        page->setObjectName("TabSheet_Options");
        onglets->addTab(page, "Icone et langage");
        l->addWidget(onglets);
        menu = new QMenu("Fichier", this);
        menu->setObjectName("Menu_Fichier");
        action = menu->addAction("Quitter");
        action->setObjectName("MenuItem_Quitter");
        FormCreate();
    }
    QPushButton* bouton;
    QCheckBox* coche;
    QGroupBox* groupe;
    QLineEdit* saisie;
    QTabWidget* onglets;
    QWidget* page;
    QMenu* menu;
    QAction* action;
};

struct FormTest : ::testing::Test {
    void SetUp() override { Traduction().definirFenetres(std::make_unique<FenetresQt>()); }
    // A language file beside the test program, picked as the language in force.
    void langue(const QByteArray& contenu) {
        ecrireFichierAtomique(DossierProgramme() + "EssaiShell.lang", contenu);
        Traduction().ListerLangages(Traduction().Langages);
        Traduction().ChoisirLangage("EssaiShell");
    }
    void TearDown() override {
        QFile::remove(DossierProgramme() + "EssaiShell.lang");
        Traduction().Lignes.clear();
    }
};

} // namespace

TEST_F(FormTest, BannerAndStatusBar) {
    TForm_Essai f;
    EXPECT_EQ(f.objectName(), "Form_Essai");
    EXPECT_EQ(f.PanelGeneric()->objectName(), "_Panel_Generic");
    EXPECT_EQ(f.PanelGeneric()->width(), 36);
    EXPECT_EQ(f.ImageGeneric()->objectName(), "Image_Generic");
    EXPECT_EQ(f.ImageGeneric()->pixmap().size(), QSize(34, 321));
    EXPECT_EQ(f.PanelGeneric()->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_GE(f.PanneauStatut()->minimumWidth(), 60);
    EXPECT_TRUE(f.statusBar());
}

TEST_F(FormTest, AWindowOpensTranslatedEveryKindOfControl) {
    langue("Form_Essai.Button_Envoyer.Caption=Send\r\n"
           "Form_Essai.Button_Envoyer.Hint=Sends\r\n"
           "Form_Essai.CheckBox_Son.Caption=Sound\r\n"
           "Form_Essai.GroupBox_Options.Caption=Settings\r\n"
           "Form_Essai.Edit_Nom.Caption=jamais\r\n"
           "Form_Essai.TabSheet_Options.Caption=Icon and language\r\n"
           "Form_Essai.Menu_Fichier.Caption=File\r\n"
           "Form_Essai.MenuItem_Quitter.Caption=Quit\r\n"
           "Form_Autre.Button_Envoyer.Caption=Autre\r\n");
    TForm_Essai f;
    EXPECT_EQ(f.bouton->text(), "Send");
    EXPECT_EQ(f.bouton->toolTip(), "Sends");
    EXPECT_EQ(f.coche->text(), "Sound");
    EXPECT_EQ(f.groupe->title(), "Settings");
    EXPECT_EQ(f.saisie->text(), "saisie"); // an edit box's text is not a caption
    EXPECT_EQ(f.onglets->tabText(0), "Icon and language");
    EXPECT_EQ(f.menu->title(), "File");
    EXPECT_EQ(f.action->text(), "Quit");
}

TEST_F(FormTest, SauverCaptionsWritesEveryExistingWindowShownOrHidden) {
    TForm_Essai cachee("Form_Cachee");
    TableTextes().Clear();
    TableTextes().Add("Form_Cachee.stA= à ");
    const QString dump = testsupport::dossierMaison() + "/dump.lang";
    Traduction().SauverCaptions(dump);
    const QList<QByteArray> l = lireLignes(dump);
    EXPECT_TRUE(l.contains("Form_Cachee.Button_Envoyer.Caption=Envoyer"));
    EXPECT_TRUE(l.contains("Form_Cachee.Button_Envoyer.Hint=Envoie"));
    EXPECT_TRUE(l.contains("Form_Cachee.TabSheet_Options.Caption=Icone et langage"));
    EXPECT_TRUE(l.contains("Form_Cachee.MenuItem_Quitter.Caption=Quitter"));
    EXPECT_TRUE(l.contains("strings.Form_Cachee.stA= \xe0 "));
    for (const QByteArray& ligne : l) {
        EXPECT_FALSE(ligne.contains("._")) << ligne.toStdString(); // underscore names stay out
        EXPECT_FALSE(ligne.contains("Edit_Nom")) << ligne.toStdString();
    }
}

TEST_F(FormTest, GeometrySurvivesMaximisedAndMinimisedCloses) {
    {
        TForm_Essai f("Form_Geometrie");
        f.move(40, 50);
        f.resize(420, 310);
        f.SauverFenetre();
        f.setWindowState(Qt::WindowMaximized);
        f.SauverFenetre();
    }
    EXPECT_EQ(Contexte().LireEntier("Settings\\Form_Geometrie", "WindowState", -1), 2);
    EXPECT_EQ(Contexte().LireEntier("Settings\\Form_Geometrie", "Width", -1), 420);
    {
        TForm_Essai f("Form_Geometrie");
        f.RestaurerFenetre();
        EXPECT_TRUE(f.isMaximized());
        f.setWindowState(Qt::WindowMinimized);
        f.move(1, 1);
        f.SauverFenetre(); // minimised: nothing written
    }
    TForm_Essai f("Form_Geometrie");
    Contexte().EcrireEntier("Settings\\Form_Geometrie", "WindowState", 0);
    f.RestaurerFenetre();
    EXPECT_EQ(f.pos(), QPoint(40, 50));
    EXPECT_EQ(f.size(), QSize(420, 310));

    TForm_Essai fixe("Form_Geometrie");
    fixe.setFixedSize(200, 100); // a fixed border keeps its designed size
    fixe.RestaurerFenetre();
    EXPECT_EQ(fixe.size(), QSize(200, 100));
    EXPECT_EQ(fixe.pos(), QPoint(40, 50));
}

TEST(ChoisirDossierTest, PreselectsAnExistingFolderAndReturnsTheChoice) {
    const QString racine = testsupport::dossierMaison() + "/choix";
    ASSERT_TRUE(CreerDossiers(racine + "/sous"));
    // Answers the dialog as a user would, once it is up.
    auto repondre = [](bool accepter, QString* vu = nullptr) {
        QTimer::singleShot(50, [=] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible()) {
                    if (vu)
                        *vu = d->directory().absolutePath() + "|" + d->windowTitle();
                    accepter ? static_cast<QDialog*>(d)->accept() : d->reject();
                }
        });
    };
    QString dossier = racine + "/sous";
    QString vu;
    repondre(true, &vu);
    EXPECT_TRUE(ChoisirDossier("Sélection du répertoire de MAJ", "", dossier));
    EXPECT_EQ(vu, racine + "/sous|Sélection du répertoire de MAJ");
    EXPECT_EQ(dossier, racine + "/sous");

    dossier = racine + "/absent";
    repondre(false, &vu);
    EXPECT_FALSE(ChoisirDossier("Titre", racine, dossier));
    EXPECT_EQ(dossier, ""); // a folder that does not exist is emptied
    EXPECT_EQ(vu, racine + "|Titre"); // and the chooser starts at the root
}
