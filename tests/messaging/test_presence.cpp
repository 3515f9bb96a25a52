#include "Cp1252.h"
#include "PointUDP.h"
#include "Presence.h"
#include "StockMessages.h"
#include "TestSupport.h"
#include "UUtils.h"
#include "Ucontexte.h"
#include "o_Fonctions.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// What the window and the main window are asked to do.
struct HoteEnregistreur final : IHotePresence {
    QStringList appels;
    bool forum = false;
    QList<ChampsDatagramme> lignesForum;
    int modifies = 0;
    void laisserPasserEvenements() override {}
    void viderCachesMessages() override { appels << "vider"; }
    void ordreMiseAJour() override { appels << "maj"; }
    void ordreQuitter() override { appels << "quitter"; }
    bool forumOuvert() const override { return forum; }
    void versForum(const ChampsDatagramme& c) override { lignesForum << c; }
    void connectesModifies() override { ++modifies; }
    void construireMenuConnectes() override { appels << "menu"; }
    void retirerMenuConnectes() override { appels << "retirer"; }
    void attendre(int ms) override { appels << QString("attendre %1").arg(ms); }
};

// A real endpoint on the loopback: what the instance "broadcasts" comes back to it here.
struct PresenceTest : ::testing::Test {
    HoteEnregistreur hote;
    std::unique_ptr<TPointUDP> point;
    std::unique_ptr<TPresence> p;
    QList<QByteArray> recus;

    void SetUp() override {
        Contexte().SupprimerSection("");
        Contexte().EcrireChaineInitiale("SurnomUtilisateur", "Moi");
        // A port of this process's own, so that test programs running side by side stay apart.
        const quint16 premier = static_cast<quint16>(40000 + QCoreApplication::applicationPid() % 20000);
        for (quint16 port = premier; port < premier + 40 && !point; ++port) {
            point = std::make_unique<TPointUDP>(port, QHostAddress::LocalHost, QHostAddress::LocalHost);
            if (!point->activer(nullptr))
                point.reset();
        }
        ASSERT_TRUE(point);
        QObject::connect(point.get(), &TPointUDP::datagrammeRecu, [this](const QByteArray& d, const QString&) { recus << d; });
        p = std::make_unique<TPresence>(hote, *point, "PC-MOI");
    }
    // The datagrams sent since the last call.
    QList<QByteArray> envoyes() {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 150) {
            QCoreApplication::processEvents();
            QThread::msleep(5);
        }
        return std::exchange(recus, {});
    }
    // Datagrams are written here in UTF-8 and travel as Windows-1252.
    void recevoir(const char* d, const QString& source = "198.18.0.9") {
        p->TraiterDatagramme(cp1252::encode(QString::fromUtf8(d)), source);
    }
    QStringList noms() const {
        QStringList n;
        for (const auto& [nom, m] : p->ListeConnectes())
            n << nom;
        return n;
    }
};

} // namespace

TEST(Datagramme, Splitting) {
    const struct {
        QByteArray octets;
        ChampsDatagramme attendu;
    } cas[] = {
        {"CONNEXION,PC-A,Léa,12", {"CONNEXION", "PC-A", "Léa", "12"}},
        {" \t CONNEXION \r,PC-A,Léa,12", {"CONNEXION", "PC-A", "Léa", "12"}},
        {"FORUM : a, b,PC-B, Jo,3,4,5", {"FORUM : a", " b", "PC-B", " Jo,3,4,5"}},
        {"CONNEXION", {"CONNEXION", "", "", ""}},
        {"CONNEXION,PC-A", {"CONNEXION", "PC-A", "", ""}},
        {"CONNEXION,PC-A,", {"CONNEXION", "PC-A", "", ""}},
        {QByteArray("ICONE,PC-A,X,7\0,ignoré", 22), {"ICONE", "PC-A", "X", "7"}},
        {"", {"", "", "", ""}},
        {",,,", {"", "", "", ""}},
    };
    for (const auto& c : cas) {
        const ChampsDatagramme d = DecouperDatagramme(cp1252::encode(QString::fromUtf8(c.octets)));
        EXPECT_EQ((QStringList{d.F1, d.F2, d.F3, d.F4}),
                  (QStringList{c.attendu.F1, c.attendu.F2, c.attendu.F3, c.attendu.F4}))
            << c.octets.toStdString();
    }
    EXPECT_EQ(ConstruireDatagramme("QUITTER", "PC-A", "CHEF", "0"), "QUITTER,PC-A,CHEF,0");
}

TEST_F(PresenceTest, ConnexionFromANewMachineIsWelcomedOnceAndTwiceInAnsweringMode) {
    recevoir("CONNEXION,PC-A,Léa,12");
    EXPECT_EQ(envoyes(), QList<QByteArray>{"BIENVENUE,PC-MOI,Moi,0"});
    const TMachineConnectee* a = p->machine("pc-a");
    ASSERT_TRUE(a);
    EXPECT_EQ((QStringList{a->Adresse, a->Surnom, a->Icone, a->Etat}), (QStringList{"198.18.0.9", "Léa", "12", "ACTIF"}));

    Contexte().EcrireBooleenInitial("RepondeurActif", true);
    Contexte().EcrireChaineInitiale("ChoixPersonnage", "5");
    recevoir("CONNEXION,PC-B,Bob,3");
    EXPECT_EQ(envoyes(), (QList<QByteArray>{"BIENVENUE,PC-MOI,Moi,5", "REPONDEUR,PC-MOI,Moi,5"}));
    // Known already: back to ACTIF, one welcome, whatever the answering mode.
    recevoir("REPONDEUR,PC-B,Bob,3");
    EXPECT_EQ(p->machine("PC-B")->Etat, "REPONDEUR");
    recevoir("CONNEXION,PC-B,Autre,9");
    EXPECT_EQ(envoyes(), QList<QByteArray>{"BIENVENUE,PC-MOI,Moi,5"});
    EXPECT_EQ(p->machine("PC-B")->Etat, "ACTIF");
    EXPECT_EQ(p->machine("PC-B")->Surnom, "Bob"); // never updated
    EXPECT_EQ(hote.modifies, 4);
}

TEST_F(PresenceTest, OrderWordsOnKnownAndUnknownMachines) {
    recevoir("BIENVENUE,PC-A,Léa,1");
    recevoir("BIENVENUE,pc-a,Autre,2"); // known: nothing
    EXPECT_EQ(p->machine("PC-A")->Surnom, "Léa");
    for (const char* d : {"DECONNEXION,PC-X,X,0", "REPONDEUR,PC-X,X,0", "ICONE,PC-X,X,4", "INCONNU,PC-Y,Y,0"})
        recevoir(d); // unknown machines: only recorded
    EXPECT_EQ(noms(), QStringList{"PC-A"});
    EXPECT_EQ(p->ListeMachines(), (QStringList{"PC-A", "PC-X", "PC-Y"}));
    recevoir("ICONE,PC-A,Ancien,42,x");
    EXPECT_EQ(p->machine("PC-A")->Icone, "42,x");
    EXPECT_EQ(p->IconeDe("PC-A"), 0); // not a number
    recevoir("ICONE,PC-A,Ancien,42");
    EXPECT_EQ(p->IconeDe("pc-a"), 42);
    recevoir("DECONNEXION,Pc-A,Léa,1");
    EXPECT_TRUE(noms().isEmpty());
    EXPECT_FALSE(p->EstConnecte("PC-A"));
    EXPECT_EQ(hote.modifies, 9);
    EXPECT_TRUE(envoyes().isEmpty()); // none of these answers
}

TEST_F(PresenceTest, QuitOrdersForThisMachineAndForOthers) {
    recevoir("QUITTER,PC-AUTRE,CHEF,0");
    EXPECT_TRUE(envoyes().isEmpty());
    EXPECT_EQ(p->ListeMachines(), QStringList{"PC-AUTRE"});
    EXPECT_EQ(hote.modifies, 1);
    recevoir("QUITTER,pc-moi,CHEF,0");
    EXPECT_EQ(envoyes(), QList<QByteArray>{"DECONNEXION,PC-MOI,Moi,0"});
    EXPECT_EQ(hote.appels, QStringList{"quitter"});
    EXPECT_EQ(p->ListeMachines(), QStringList{"PC-AUTRE"});
}

TEST_F(PresenceTest, CacheUpdateForumAndOddDatagrams) {
    recevoir("EFFACERMESSAGES,PC-A,X,0");
    recevoir("MAJAUTO,PC-A,X,0");
    recevoir("FORUM : bonjour,PC-A,X,0"); // forum closed: nothing at all
    EXPECT_EQ(hote.appels, (QStringList{"vider", "maj"}));
    EXPECT_TRUE(p->ListeMachines().isEmpty());
    EXPECT_EQ(hote.modifies, 0);
    hote.forum = true;
    recevoir("FORUM : bonjour,PC-A,X,0");
    ASSERT_EQ(hote.lignesForum.size(), 1);
    EXPECT_EQ(hote.lignesForum[0].F1, "FORUM : bonjour");
    EXPECT_TRUE(p->ListeMachines().isEmpty());
    recevoir("FORUM :  ,PC-F,X,0"); // trimmed to "FORUM :": an ordinary unknown word
    EXPECT_EQ(p->ListeMachines(), QStringList{"PC-F"});
    recevoir("CONNEXION"); // no comma: an entry with an empty name
    EXPECT_EQ(noms(), (QStringList{""}));
    EXPECT_EQ(envoyes(), QList<QByteArray>{"BIENVENUE,PC-MOI,Moi,0"});
}

TEST_F(PresenceTest, EmptyingTheCacheTakesOnlyMessageFiles) {
    const QString d = DossierMessages();
    EXPECT_TRUE(d.endsWith("/" + NomUtilisateurWindows() + "/chat/"));
    for (const char* f : {"0.bavardin", "1.bavardin", "ArbreChat.bavardin", "oups.bavardin", "garder.txt"})
        ecrireFichierAtomique(d + f, "x");
    ViderCacheMessages(d);
    EXPECT_EQ(QDir(d).entryList(QDir::Files), QStringList{"garder.txt"});
}

TEST_F(PresenceTest, TheStartAnnouncementAndTheRefresh) {
    p->AnnoncerDemarrage();
    const TMachineConnectee* moi = p->machine("PC-MOI");
    ASSERT_TRUE(moi);
    EXPECT_EQ((QStringList{moi->Adresse, moi->Surnom, moi->Icone}), (QStringList{"PC-MOI", "Moi", ""}));
    EXPECT_EQ(hote.appels, QStringList{"menu"});
    const QList<QByteArray> annonce = envoyes();
    EXPECT_EQ(annonce, (QList<QByteArray>{"BIENVENUE,PC-MOI,Moi,0", "CONNEXION,PC-MOI,Moi,0"}));
    // Its own CONNEXION comes back to it like anyone's.
    p->TraiterDatagramme(annonce[1], "127.0.0.1");
    EXPECT_EQ(envoyes(), QList<QByteArray>{"BIENVENUE,PC-MOI,Moi,0"});

    hote.appels.clear();
    p->ActualiserConnectes();
    EXPECT_TRUE(noms().isEmpty());
    EXPECT_EQ(hote.appels, (QStringList{"retirer", "attendre 2000"}));
    EXPECT_EQ(envoyes(), (QList<QByteArray>{"DECONNEXION,PC-MOI,Moi,0", "CONNEXION,PC-MOI,Moi,0"}));
    p->TraiterDatagramme("CONNEXION,PC-MOI,Moi,0", "198.18.0.1");
    EXPECT_EQ(p->machine("PC-MOI")->Adresse, "198.18.0.1");
}

TEST_F(PresenceTest, InAnsweringModeTheAnnouncementsEndWithTheAnsweringState) {
    Contexte().EcrireBooleenInitial("RepondeurActif", true);
    p->AnnoncerDemarrage();
    const QList<QByteArray> annonce = envoyes();
    EXPECT_EQ(annonce, (QList<QByteArray>{"BIENVENUE,PC-MOI,Moi,0", "REPONDEUR,PC-MOI,Moi,0", "CONNEXION,PC-MOI,Moi,0",
                                          "REPONDEUR,PC-MOI,Moi,0"}));
    // Received in that order, as every peer and this machine receive them, they leave REPONDEUR.
    for (const QByteArray& d : annonce)
        p->TraiterDatagramme(d, "127.0.0.1");
    EXPECT_EQ(p->machine("PC-MOI")->Etat, "REPONDEUR");
    envoyes();
    p->ActualiserConnectes();
    EXPECT_EQ(envoyes(), (QList<QByteArray>{"DECONNEXION,PC-MOI,Moi,0", "CONNEXION,PC-MOI,Moi,0", "REPONDEUR,PC-MOI,Moi,0"}));
}

TEST_F(PresenceTest, LookUpsAndTheMenuOrder) {
    for (const char* d : {"BIENVENUE,PC-Z,zoé,1", "BIENVENUE,PC-A,Bob,2", "BIENVENUE,PC-M,alice,3", "BIENVENUE,PC-Q,Marc,x"})
        recevoir(d);
    EXPECT_EQ(p->MachineDuSurnom("ALICE"), "PC-M");
    EXPECT_EQ(p->MachineDuSurnom("Personne"), "Machine inconnue");
    EXPECT_TRUE(p->EstConnecte("pc-q"));
    EXPECT_EQ(p->IconeDe("PC-Q"), 0);
    EXPECT_EQ(p->IconeDe("PC-ABSENT"), 0);
    EXPECT_EQ(p->indexMachine("pc-m"), 2);
    p->TrierConnectes();
    EXPECT_EQ(noms(), (QStringList{"PC-Z", "PC-Q", "PC-A", "PC-M"})); // descending, inserted at the top
}

TEST_F(PresenceTest, AFailedBroadcastIsLoggedAndNothingElse) {
    // An IPv6 destination from a bound IPv4 socket fails at once, on this machine.
    TPointUDP casse(0, QHostAddress::LocalHost, QHostAddress::LocalHostIPv6);
    ASSERT_TRUE(casse.activer(nullptr));
    TPresence q(hote, casse, "PC-MOI");
    const QString log = DossierProgramme() + "Anomalies.log";
    QFile::remove(log);
    q.DiffuserOrdre("CONNEXION");
    q.DiffuserQuitter("PC-B");
    const QList<QByteArray> l = lireLignes(log);
    ASSERT_EQ(l.size(), 8);
    EXPECT_TRUE(l[2].startsWith("Chat                 : IdUDPServer.Broadcast(ChoixPersonnage... - ")) << l[2].toStdString();
    EXPECT_TRUE(l[6].startsWith("Chat                 : IdUDPServer.Broadcast(QUITTER... - ")) << l[6].toStdString();
    QFile::remove(log);
}
