#include "Cp1252.h"
#include "Regedit4.h"
#include "TestSupport.h"
#include "Ucontexte.h"
#include "o_Fonctions.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using testsupport::ecrireFichier;


namespace {

struct Regedit4Test : ::testing::Test {
    QTemporaryDir dir;
    TContexte ctx{"Bavardin", dir.filePath("r.sqlite")};
    QString fichier = dir.filePath("sous/dossier/export.BavardinSave");
    QStringList messages;

    Regedit4Test() {
        ctx.definirAfficheur([this](const QString& m) { messages << m; });
    }
    TRegistre cle(const QString& chemin, Racine racine = Racine::CurrentUser) {
        TRegistre r(ctx.base());
        r.RootKey = racine;
        EXPECT_TRUE(r.OpenKey(chemin, true));
        return r;
    }
    void exporter() { ctx.ExporterCle(Racine::CurrentUser, "Software\\Quidam\\Bavardin", fichier); }
    void reimporter() {
        ctx.SupprimerCle("\\Software\\Quidam\\Bavardin");
        ctx.ImporterFichier(fichier);
    }
    std::optional<ValeurRegistre> valeur(const QString& chemin, const QString& nom,
                                         Racine racine = Racine::CurrentUser) {
        TRegistre r(ctx.base());
        r.RootKey = racine;
        if (!r.OpenKey(chemin, false))
            return std::nullopt;
        return r.lire(nom);
    }
    // The text is given in UTF-8 source and written as the Windows-1252 file it stands for.
    void importerTexte(const QByteArray& texte) {
        ecrireFichier(dir.filePath("in.reg"), cp1252::encode(QString::fromUtf8(texte)));
        ctx.ImporterFichier(dir.filePath("in.reg"));
    }
};

const QString kInitial = "\\Software\\Quidam\\Bavardin\\Initial";

} // namespace

TEST_F(Regedit4Test, ExportOfASmallStoreLineByLine) {
    ctx.EcrireChaineInitiale("PremierDemarrage", "NON");
    ctx.EcrireEntierInitial("UtiliserSon", 1);
    exporter();
    EXPECT_EQ(testsupport::lireFichier(fichier), QByteArray("REGEDIT4\r\n"
                                               "\r\n"
                                               "[HKEY_CURRENT_USER\\Software\\Quidam\\Bavardin]\r\n"
                                               "\r\n"
                                               "[HKEY_CURRENT_USER\\Software\\Quidam\\Bavardin\\Initial]\r\n"
                                               "\"PremierDemarrage\"=\"NON\"\r\n"
                                               "\"UtiliserSon\"=dword:00000001\r\n"
                                               "\r\n"));
}

TEST_F(Regedit4Test, ExportOfAWholeRoot) {
    cle("\\.rdv", Racine::ClassesRoot).WriteString("", "Bavardin_rdv");
    ctx.ExporterCle(Racine::ClassesRoot, "\\", fichier);
    EXPECT_EQ(testsupport::lireFichier(fichier),
              QByteArray("REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT]\r\n\r\n[HKEY_CLASSES_ROOT\\.rdv]\r\n@=\"Bavardin_rdv\"\r\n\r\n"));
}

TEST_F(Regedit4Test, ExportOfAMissingKeyWritesNoFile) {
    exporter();
    EXPECT_FALSE(QFile::exists(fichier));
}

TEST_F(Regedit4Test, StringEscapesAndEveryByteValueRoundTrip) {
    QByteArray tous;
    for (int i = 0; i < 256; ++i)
        tous += char(i);
    const QByteArray chemin = "C:\\Program Files\\\"Bavardin\"\r\nfin\\";
    const QByteArray brouille = Brouiller("mot de passe é\xf4", kCleMotsDePasse);
    auto r = cle(kInitial);
    r.ecrire("Tous", TypeValeur::Sz, tous);
    r.ecrire("Chemin", TypeValeur::Sz, chemin);
    r.ecrire("Edit_PasseUtilisateur", TypeValeur::Sz, brouille);
    r.ecrire("Nom \"bizarre\"\\", TypeValeur::Sz, "v");
    exporter();
    const QList<QByteArray> lignes = lireLignes(fichier);
    EXPECT_TRUE(lignes.contains("\"Chemin\"=\"C:\\\\Program Files\\\\\\\"Bavardin\\\"\\r\\nfin\\\\\""));
    reimporter();
    EXPECT_EQ(valeur(kInitial, "Tous")->donnees, tous);
    EXPECT_EQ(valeur(kInitial, "Chemin")->donnees, chemin);
    EXPECT_EQ(valeur(kInitial, "Edit_PasseUtilisateur")->donnees, brouille);
    EXPECT_EQ(valeur(kInitial, "Nom \"bizarre\"\\")->donnees, "v");
}

TEST_F(Regedit4Test, ByteListsBreakAfterColumn77AndReadBack) {
    QByteArray quarante;
    for (int i = 0; i < 40; ++i)
        quarante += char(i * 7);
    auto r = cle(kInitial);
    r.ecrire("Brut", TypeValeur::Binary, quarante);
    r.ecrire("Quatre", TypeValeur::None, "abcd");
    r.ecrire("Six", TypeValeur::MultiSz, "a\0b\0\0\0"_qba.left(6));
    r.WriteExpandString("Exp", "%HOME%\\x");
    r.ecrire("Vide", TypeValeur::Binary, {});
    exporter();
    const QList<QByteArray> l = lireLignes(fichier);
    const qsizetype i = l.indexOf(QByteArray("\"Brut\"=hex:00,07,0e,15,1c,23,2a,31,38,3f,46,4d,54,5b,62,69,70,77,7e,85,8c,93,\\"));
    ASSERT_GE(i, 0) << l.join('\n').toStdString();
    EXPECT_TRUE(l[i + 1].startsWith("  9a,a1,"));
    EXPECT_LE(l[i + 1].size(), 78);
    EXPECT_TRUE(l.contains("\"Quatre\"=hex(0):61,62,63,64"));
    EXPECT_TRUE(l.contains("\"Six\"=hex(7):61,00,62,00,00,00"));
    EXPECT_TRUE(l.contains("\"Exp\"=hex(2):25,48,4f,4d,45,25,5c,78,00"));
    EXPECT_TRUE(l.contains("\"Vide\"=hex:"));
    reimporter();
    EXPECT_EQ(valeur(kInitial, "Brut")->donnees, quarante);
    const auto quatre = valeur(kInitial, "Quatre"), six = valeur(kInitial, "Six");
    EXPECT_EQ(quatre->type, TypeValeur::Binary); // the unusual type comes back as raw bytes
    EXPECT_EQ(quatre->donnees, "abcd");
    EXPECT_EQ(six->type, TypeValeur::Binary);
    EXPECT_EQ(six->donnees.size(), 6);
    EXPECT_EQ(valeur(kInitial, "Exp")->type, TypeValeur::ExpandSz);
    EXPECT_EQ(valeur(kInitial, "Exp")->donnees, "%HOME%\\x");
    EXPECT_EQ(valeur(kInitial, "Vide")->donnees, QByteArray());
}

TEST(Regedit4, LineBreakingTable) {
    // A line of exactly 78 characters stays whole; 79 with a comma from column 77 breaks.
    const QByteArray l78 = QByteArray(76, 'a') + ",b";
    const QByteArray l79 = QByteArray(76, 'a') + ",bc";
    const QByteArray virguleFinale = QByteArray(80, 'a') + ",";
    const QByteArray sansVirgule = QByteArray(100, 'x');
    const struct {
        QByteArray entree;
        QList<QByteArray> sortie;
    } cas[] = {
        {l78, {l78}},
        {l79, {QByteArray(76, 'a') + ",\\", "  bc"}},
        {virguleFinale, {virguleFinale}},
        {sansVirgule, {sansVirgule}},
    };
    for (const auto& c : cas) {
        QList<QByteArray> s;
        regedit4::couperLigne(c.entree, s);
        EXPECT_EQ(s, c.sortie) << c.entree.toStdString();
    }
}

TEST_F(Regedit4Test, DefaultValueDwordCaseRootsAndKeysWithoutRoot) {
    importerTexte("REGEDIT4\r\n\r\n"
                  "[HKEY_CURRENT_USER\\Software\\Quidam\\Bavardin\\Initial]\r\n"
                  "@=\"défaut\"\r\n"
                  "\"Petit\"=dword:0000000a\r\n"
                  "\"Grand\"=DWORD:0000000A\r\n"
                  "\"Neg\"=dword:ffffffff\r\n"
                  "\"Court\"=dword:12\r\n"
                  "\"Mauvais\"=dword:0000zz00\r\n"
                  "\"Inconnu\"=truc:12\r\n"
                  "[hkey_local_machine\\Software\\Autre]\r\n"
                  "\"M\"=\"m\"\r\n"
                  "[HKEY_NULLE_PART\\Software\\Perdu]\r\n"
                  "\"P\"=\"p\"\r\n"
                  "[SansRacine]\r\n"
                  "\"S\"=\"s\"\r\n");
    EXPECT_EQ(cp1252::decode(valeur(kInitial, "")->donnees), "défaut");
    TRegistre r(ctx.base());
    ASSERT_TRUE(r.OpenKey(kInitial, false));
    EXPECT_EQ(r.ReadInteger("Petit"), 10);
    EXPECT_EQ(r.ReadInteger("Grand"), 10);
    EXPECT_EQ(r.ReadInteger("Neg"), -1);
    EXPECT_FALSE(r.ValueExists("Court"));
    EXPECT_FALSE(r.ValueExists("Mauvais"));
    EXPECT_FALSE(r.ValueExists("Inconnu"));
    EXPECT_TRUE(valeur("\\Software\\Autre", "M", Racine::LocalMachine));
    EXPECT_FALSE(valeur("\\Software\\Autre", "M"));
    EXPECT_TRUE(valeur("\\Software\\Perdu", "P"));
    EXPECT_TRUE(valeur("\\SansRacine", "S"));

    exporter();
    EXPECT_TRUE(lireLignes(fichier).contains(cp1252::encode(u"@=\"défaut\"")));
}

TEST_F(Regedit4Test, FilesThatAreNotRegedit4WriteNothing) {
    for (const QByteArray& texte : {QByteArray("regedit4\r\n[HKEY_CURRENT_USER\\X]\r\n\"a\"=\"b\"\r\n"),
                                    QByteArray("Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\X]\r\n"),
                                    QByteArray()}) {
        importerTexte(texte);
        EXPECT_FALSE(TRegistre(ctx.base()).KeyExists("\\X"));
    }
    ctx.ImporterFichier(dir.filePath("absent.reg"));
    // Blanks around the first line are allowed.
    importerTexte("  REGEDIT4 \n[HKEY_CURRENT_USER\\X]\n\"a\"=\"b\"\n");
    EXPECT_TRUE(TRegistre(ctx.base()).KeyExists("\\X"));
}

TEST_F(Regedit4Test, AValueBeforeAnyKeyRaisesAndTheImportWritesNothing) {
    ecrireFichier(dir.filePath("in.reg"), "REGEDIT4\r\n\"orphelin\"=\"x\"\r\n[HKEY_CURRENT_USER\\Y]\r\n\"a\"=\"b\"\r\n");
    EXPECT_THROW(ctx.ImporterFichier(dir.filePath("in.reg")), ERegistre);
    EXPECT_FALSE(TRegistre(ctx.base()).KeyExists("\\Y"));
}

TEST_F(Regedit4Test, ContinuationLinesAndOddNameParts) {
    importerTexte("REGEDIT4\r\n[HKEY_CURRENT_USER\\Z]\r\n"
                  "\"Suite\"=hex:01,02,\\\r\n"
                  "    03,04\r\n"
                  "\"Nom\\\\Avec\\\"Echap\\x\"=\"v\\q\"\r\n"
                  "\"Esc\"=\"a\\\"b\\\\c\\nd\\\"\r\n"
                  "\"Fin\"=hex:05,\\\r\n");
    EXPECT_EQ(valeur("\\Z", "Suite")->donnees, QByteArray("\x01\x02\x03\x04"));
    EXPECT_EQ(valeur("\\Z", "Nom\\Avec\"Echap\\x")->donnees, QByteArray("v\\q"));
    EXPECT_EQ(valeur("\\Z", "Esc")->donnees, QByteArray("a\"b\\c\nd")); // final lone backslash dropped
    EXPECT_FALSE(valeur("\\Z", "Fin")); // "05," lacks its last pair
}

TEST_F(Regedit4Test, SupprimerCleOfAMissingKeySaysSo) {
    ctx.SupprimerCle("\\Software\\Quidam\\Bavardin");
    EXPECT_EQ(messages, QStringList{"Erreur d'ouverture de clé"});
}
