#include "TestSupport.h"
#include "UUtils.h"
#include "Ucontexte.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Identite, NamesAndCleaning) {
    EXPECT_FALSE(NomOrdinateur().isEmpty());
    EXPECT_FALSE(NomUtilisateurWindows().isEmpty());
    EXPECT_TRUE(DossierTemporaire().endsWith('/'));
    const std::pair<const char*, const char*> cas[] = {
        {"Jean Dupont", "Jean_Dupont"}, {"Léa 2", "La_"}, {"", "Generique"}, {"1234!", "Generique"}, {" ", "_"}};
    for (auto [texte, attendu] : cas)
        EXPECT_EQ(NettoyerNom(QString::fromUtf8(texte)), attendu) << texte;
}

TEST(Identite, SurnomFallsBackToTheUserName) {
    Contexte().EcrireChaineInitiale("SurnomUtilisateur", "");
    EXPECT_EQ(LireSurnom(), NomUtilisateurWindows());
    Contexte().EcrireChaineInitiale("SurnomUtilisateur", "Zoé");
    EXPECT_EQ(LireSurnom(), "Zoé");
}

TEST(Identite, SystemKeys) {
    EXPECT_EQ(LireCleSysteme(Racine::ClassesRoot, ".inconnu", ""), "");
    EcrireCleSysteme(Racine::ClassesRoot, ".txt", "", "txtfile");
    EXPECT_EQ(LireCleSysteme(Racine::ClassesRoot, "\\.TXT", ""), "txtfile");
    EcrireCleSysteme(Racine::ClassesRoot, "A\\B", "Nom", "v");
    EXPECT_EQ(LireCleSysteme(Racine::ClassesRoot, "a\\b", "nom"), "v");
}

TEST(Version, TheRecordCompiledIntoThisFileReadsBack) {
    EXPECT_EQ(VersionProgramme(), " V2.6.1.0");
    EXPECT_EQ(VersionCourte(), " V2.6");
    QTemporaryDir dir;
    EXPECT_EQ(VersionMiseAJour(dir.path()), "Version Inconnue"); // no copy
    // Built at run time: a literal marker here would be found in this very test program.
    const QByteArray marque = QByteArray("bavardin_version_record:").toUpper();
    testsupport::ecrireFichier(dir.filePath("Bavardin"), "xx " + marque + "2.6.1.1; yy");
    EXPECT_EQ(VersionMiseAJour(dir.path()), " V2.6.1.1"); // differs from ours by the build only
    const QByteArray faux[] = {marque + "2.6.1;", marque + "2.x.1.0;", marque + "2.6.1.0", "rien"};
    for (const QByteArray& f : faux) {
        testsupport::ecrireFichier(dir.filePath("Bavardin"), f);
        EXPECT_EQ(VersionMiseAJour(dir.path()), "Version Inconnue") << f.toStdString();
    }
}
