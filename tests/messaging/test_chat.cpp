#include "Cp1252.h"
#include "IPrincipale.h"
#include "PointUDP.h"
#include "StockMessages.h"
#include "TestSupport.h"
#include "UChat.h"
#include "ULangage.h"
#include "ULangageDefaut.h"
#include "Ucontexte.h"
#include "o_Fonctions.h"

#include <QCoreApplication>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

// The main window as the messaging window sees it: a real menu with fixed items.
struct Principale final : IPrincipale {
    QMenu menu;
    QList<QPixmap> images;
    bool modifies = false;
    QObject cible;
    Principale() {
        for (int i = 0; i < 108; ++i) {
            QPixmap px(16, 16);
            px.fill(QColor::fromRgb(i, 0, 0));
            images << px;
        }
        menu.addSeparator()->setObjectName("_N7");
        menu.addAction("Envoi multiple...")->setObjectName("PopupMenu_EnvoiMultiple");
        menu.addAction("Quitter")->setObjectName("PopupMenu_Quitter");
    }
    QObject* cibleMessages() override { return &cible; }
    QMenu* menuTray() override { return &menu; }
    const QList<QPixmap>& personnages() const override { return images; }
    void marquerConnectesModifies() override { modifies = true; }
    bool forumOuvert() const override { return false; }
};

struct ChatTest : ::testing::Test {
    Principale principale;
    std::unique_ptr<TForm_chat> chat;

    void SetUp() override {
        TableTextes().Clear();
        EnregistrerTextesDefaut();
        Contexte().SupprimerSection("");
        const quint16 port = static_cast<quint16>(20000 + QCoreApplication::applicationPid() % 20000);
        chat = std::make_unique<TForm_chat>(principale,
                                            std::make_unique<TPointUDP>(port, QHostAddress::LocalHost, QHostAddress::LocalHost));
    }
    QStringList textesMenu() const {
        QStringList t;
        for (QAction* a : principale.menu.actions())
            t << (a->isSeparator() ? "-" : a->text());
        return t;
    }
    // Index of the personal picture an action shows, found by its colour.
    int image(QAction* a) const { return a->icon().pixmap(16, 16).toImage().pixelColor(0, 0).red(); }
    void entree(const char* d) { chat->presence().TraiterDatagramme(cp1252::encode(QString::fromUtf8(d)), "198.18.0.2"); }
};

} // namespace

TEST_F(ChatTest, TheWindowOpensItsEndpointAndNamesItself) {
    EXPECT_EQ(chat->objectName(), "Form_chat");
    EXPECT_EQ(chat->windowTitle(), "Bavardin - Chat");
    EXPECT_TRUE(chat->pointUDP().actif());
    EXPECT_EQ(chat->ListView_ListeNom()->objectName(), "ListView_ListeNom");
}

TEST_F(ChatTest, TheTrayMenuListsMachinesByNicknameAboveTheFixedItems) {
    Contexte().EcrireBooleenInitial("UtiliserPersonnage", true);
    entree("BIENVENUE,PC-Z,Zoé,7");
    entree("BIENVENUE,PC-B,bob,200");
    entree("BIENVENUE,PC-R,Rémi,");
    entree("BIENVENUE,PC-A,alice,5");
    entree("REPONDEUR,PC-A,alice,5");
    entree(QString("BIENVENUE,%1,Moi,3").arg(chat->presence().nomOrdinateur()).toUtf8().constData());
    EXPECT_TRUE(principale.modifies);
    chat->ConstruireMenuConnectes();
    const QString moi = chat->presence().nomOrdinateur();
    EXPECT_EQ(textesMenu(), (QStringList{"alice sur PC-A", "bob sur PC-B", "Moi sur " + moi, "Rémi sur PC-R",
                                         "Zoé sur PC-Z", "-", "Envoi multiple...", "Quitter"}));
    const QList<QAction*> a = principale.menu.actions();
    EXPECT_EQ(image(a[0]), 1); // answering machine
    EXPECT_EQ(image(a[1]), 0); // 200 is past the list
    EXPECT_EQ(image(a[2]), 3);
    EXPECT_EQ(image(a[3]), 0); // empty icon
    EXPECT_EQ(image(a[4]), 7);
    EXPECT_EQ(a[4]->data().toInt(), chat->presence().indexMachine("PC-Z"));

    Contexte().EcrireBooleenInitial("UtiliserPersonnage", false);
    chat->ConstruireMenuConnectes(); // rebuilt, not added twice
    EXPECT_EQ(principale.menu.actions().size(), 8);
    EXPECT_EQ(image(principale.menu.actions()[4]), 0);
    EXPECT_EQ(image(principale.menu.actions()[0]), 1);

    // The multiple-send list: every machine but this one, by name.
    QStringList liste;
    for (int i = 0; i < chat->ListView_ListeNom()->count(); ++i)
        liste << chat->ListView_ListeNom()->item(i)->text();
    EXPECT_EQ(liste, (QStringList{"PC-A", "PC-B", "PC-R", "PC-Z"}));

    chat->RetirerMenuConnectes();
    EXPECT_EQ(textesMenu(), (QStringList{"-", "Envoi multiple...", "Quitter"}));
}

TEST_F(ChatTest, ShuttingDownClosesTheEndpointAndEmptiesTheTableAndTheCache) {
    entree("BIENVENUE,PC-A,alice,5");
    ecrireFichierAtomique(DossierMessages() + "3.bavardin", "x");
    EXPECT_EQ(chat->etat("connectes\n"), "PC-A\t198.18.0.2\talice\t5\tACTIF\n");
    EXPECT_EQ(chat->etat("machines\n"), "PC-A\n");
    chat->FermerMessagerie(false);
    EXPECT_TRUE(chat->fermetureEnCours());
    EXPECT_FALSE(chat->pointUDP().actif());
    EXPECT_TRUE(chat->presence().ListeConnectes().empty());
    EXPECT_FALSE(QFile::exists(DossierMessages() + "3.bavardin"));
    EXPECT_EQ(chat->etat("connectes\n"), "");
}

TEST_F(ChatTest, KeptMessagesSurviveTheShutdown) {
    Contexte().EcrireBooleenInitial("ConserverMessagesChat", true);
    ecrireFichierAtomique(DossierMessages() + "4.bavardin", "x");
    chat->FermerMessagerie(false);
    EXPECT_TRUE(QFile::exists(DossierMessages() + "4.bavardin"));
    Contexte().EcrireBooleenInitial("ConserverMessagesChat", false);
    ecrireFichierAtomique(DossierMessages() + "5.bavardin", "x");
    auto autre = std::make_unique<TForm_chat>(principale, std::make_unique<TPointUDP>(0, QHostAddress::LocalHost,
                                                                                    QHostAddress::LocalHost));
    autre->FermerMessagerie(true); // the update path keeps them whatever the setting
    EXPECT_TRUE(QFile::exists(DossierMessages() + "5.bavardin"));
    QFile::remove(DossierMessages() + "4.bavardin");
    QFile::remove(DossierMessages() + "5.bavardin");
}

