#include "BavardinReg.h"
#include "TestSupport.h"
#include "Ucontexte.h"

#include <QTemporaryFile>
#include <gtest/gtest.h>

namespace {

struct Sortie {
    int code;
    QString out, err;
};

// Runs one call with its output captured in memory.
Sortie appeler(const QStringList& args) {
    char* bo = nullptr;
    char* be = nullptr;
    size_t no = 0, ne = 0;
    std::FILE* o = open_memstream(&bo, &no);
    std::FILE* e = open_memstream(&be, &ne);
    const int code = ExecuterBavardinReg(args, o, e);
    std::fclose(o);
    std::fclose(e);
    Sortie s{code, QString::fromLocal8Bit(bo, qsizetype(no)), QString::fromLocal8Bit(be, qsizetype(ne))};
    free(bo);
    free(be);
    return s;
}

const QString kInitial = "HKEY_CURRENT_USER\\Software\\Quidam\\Bavardin\\Initial";

} // namespace

TEST(BavardinReg, SetGetDeleteOnTheUserStore) {
    EXPECT_EQ(appeler({"set", kInitial, "Administrateur_systeme", "dword", "1"}).code, 0);
    EXPECT_EQ(appeler({"set", kInitial, "SurnomUtilisateur", "sz", "Zoé"}).code, 0);
    EXPECT_EQ(appeler({"set", "[" + kInitial + "]", "Masque", "dword", "0xFFFFFFFF"}).code, 0);
    EXPECT_EQ(appeler({"get", kInitial, "administrateur_systeme"}).out, "1\n");
    EXPECT_EQ(appeler({"get", kInitial, "SurnomUtilisateur"}).out, "Zoé\n");
    EXPECT_EQ(appeler({"get", kInitial, "Masque"}).out, "-1\n");
    TContexte ctx("Bavardin");
    EXPECT_TRUE(ctx.LireBooleenInitial("Administrateur_systeme"));
    EXPECT_EQ(ctx.LireChaineInitiale("SurnomUtilisateur"), "Zoé");

    EXPECT_EQ(appeler({"delete", kInitial, "Masque"}).code, 0);
    EXPECT_EQ(appeler({"get", kInitial, "Masque"}).code, 1);
    EXPECT_EQ(appeler({"delete", kInitial, "Masque"}).code, 1);
    EXPECT_EQ(appeler({"delete", "HKEY_CURRENT_USER\\Software\\Quidam\\Bavardin"}).code, 0);
    EXPECT_EQ(ctx.LireChaineInitiale("SurnomUtilisateur"), "");
}

TEST(BavardinReg, ExportAndImportAsREGEDIT4) {
    appeler({"set", kInitial, "PremierDemarrage", "sz", "NON"});
    const QString f = testsupport::dossierMaison() + "/sauvegarde.BavardinSave";
    EXPECT_EQ(appeler({"export", f}).code, 0);
    EXPECT_TRUE(testsupport::lireFichier(f).contains("\"PremierDemarrage\"=\"NON\"\r\n"));
    appeler({"delete", "HKEY_CURRENT_USER\\Software\\Quidam\\Bavardin"});
    EXPECT_EQ(appeler({"import", f}).code, 0);
    EXPECT_EQ(appeler({"get", kInitial, "PremierDemarrage"}).out, "NON\n");
    const Sortie absente = appeler({"export", f, "HKEY_CURRENT_USER\\Nulle\\Part"});
    EXPECT_EQ(absente.code, 1);
    EXPECT_TRUE(absente.err.contains("clé absente"));
}

TEST(BavardinReg, BadCallsPrintTheUsageExit2AndWriteNothing) {
    const QStringList mauvais[] = {
        {},
        {"inconnu"},
        {"set", kInitial, "Nom", "qword", "1"},
        {"set", kInitial, "Nom", "dword", "douze"},
        {"set", kInitial, "Nom", "dword", "99999999999"},
        {"set", "HKEY_NULLE\\X", "Nom", "sz", "1"},
        {"set", kInitial, "Nom"},
        {"get", kInitial},
        {"delete"},
        {"export"},
        {"import", "a", "b"},
    };
    for (const QStringList& m : mauvais) {
        const Sortie s = appeler(m);
        EXPECT_EQ(s.code, 2) << m.join(' ').toStdString();
        EXPECT_TRUE(s.err.contains("usage : BavardinReg")) << m.join(' ').toStdString();
    }
    EXPECT_EQ(appeler({"get", kInitial, "Nom"}).code, 1);
    const Sortie aide = appeler({"--help"});
    EXPECT_EQ(aide.code, 0);
    for (const char* verbe : {"export", "import", "get", "set", "delete"})
        EXPECT_TRUE(aide.out.contains(QString("  ") + verbe + " ")) << verbe;
}
