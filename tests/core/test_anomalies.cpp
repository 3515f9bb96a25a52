#include "Cp1252.h"
#include "TestSupport.h"
#include "Ucontexte.h"
#include "o_Fonctions.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct AnomaliesTest : ::testing::Test {
    QTemporaryDir dir;
    TContexte ctx{"Bavardin", dir.filePath("r.sqlite")};
    QString log = dir.filePath("Anomalies.log");
};

} // namespace

TEST_F(AnomaliesTest, EntriesAreFourLinesAppendedInOrder) {
    ctx.EnregistrerAnomalie(dir.path(), "Chat", "ClientSocket.Close", "Connexion refusée");
    QList<QByteArray> l = lireLignes(log);
    ASSERT_EQ(l.size(), 4);
    const QString premiere = cp1252::decode(l[0]);
    EXPECT_TRUE(premiere.contains(QStringLiteral(" à "))) << l[0].toStdString();
    if (QLocale::system().language() == QLocale::C) { // French date and time then
        EXPECT_TRUE(QRegularExpression("^\\d\\d/\\d\\d/\\d{4} à \\d\\d:\\d\\d:\\d\\d$").match(premiere).hasMatch())
            << l[0].toStdString();
    }
    EXPECT_EQ(l[1], QByteArray(59, '*'));
    EXPECT_EQ(l[2], cp1252::encode(u"Chat                 : ClientSocket.Close   - Connexion refusée"));
    EXPECT_EQ(l[3], "");
    EXPECT_TRUE(testsupport::lireFichier(log).endsWith("\r\n\r\n"));

    ctx.EnregistrerAnomalie(dir.path(), "Chat", "IdUDPServer.Broadcast(ChoixPersonnage...", "");
    l = lireLignes(log);
    ASSERT_EQ(l.size(), 8);
    EXPECT_EQ(l[6], "Chat                 : IdUDPServer.Broadcast(ChoixPersonnage... - ");
    // A message that looks like a format stays as it is.
    ctx.EnregistrerAnomalie(dir.path(), "Principale", "ChangerIcone", "%1 %2");
    EXPECT_TRUE(lireLignes(log)[10].endsWith(" - %1 %2"));
}

TEST_F(AnomaliesTest, AnEmptiedLogStartsAgainAndAnUnwritableFolderRaises) {
    ctx.EnregistrerAnomalie(dir.path(), "Chat", "x", "y");
    ecrireFichierAtomique(log, {});
    ctx.EnregistrerAnomalie(dir.path(), "Chat", "x", "y");
    EXPECT_EQ(lireLignes(log).size(), 4);

    // A "folder" that is a file cannot take the log, even for root.
    const QString fichier = dir.filePath("fichier");
    ecrireFichierAtomique(fichier, "x");
    EXPECT_THROW(ctx.EnregistrerAnomalie(fichier, "Chat", "x", "y"), EEntreeSortie);
}
