#include "TestSupport.h"
#include "ULangage.h"
#include "o_Fonctions.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Brouiller, KnownValuesAndProperties) {
    EXPECT_EQ(Brouiller("", kCleMessage), "");
    EXPECT_EQ(Brouiller("abc", ""), QByteArray("\x9e\x9d\x9c"));
    EXPECT_EQ(Debrouiller("\x9e\x9d\x9c", ""), "abc");
    // s = b + k with the end-around carry: 'A'(65) + 'Q'(81) = 146 -> ~146 = 109.
    EXPECT_EQ(Brouiller("A", "Q"), QByteArray(1, char(109)));
    EXPECT_EQ(Brouiller(QByteArray(1, char(0xC8)), "Q"), QByteArray(1, char(~char(0xC8 + 0x51 - 255))));
    // The key restarts after its last byte: bytes 1 and 9 under an 8-byte key match.
    const QByteArray neuf = Brouiller("xxxxxxxxx", kCleMotsDePasse);
    EXPECT_EQ(neuf[0], neuf[8]);
    EXPECT_NE(neuf[0], neuf[1]);
}

TEST(Brouiller, RoundTripOfEveryByteButFF) {
    QByteArray tous;
    for (int i = 0; i < 256; ++i)
        tous += char(i);
    for (const char* cle : {kCleMessage, kCleMotsDePasse, ""}) {
        QByteArray attendu = tous;
        if (*cle)
            attendu[255] = '\0'; // 0xFF and 0x00 scramble alike
        EXPECT_EQ(Debrouiller(Brouiller(tous, cle), cle), attendu) << cle;
        EXPECT_EQ(Brouiller(tous, cle).size(), 256);
    }
    // Sums of 255, 242 and 245 give NUL, CR and LF bytes: the wire must carry all of them.
    EXPECT_EQ(Brouiller(QByteArray(1, char(255 - 'Q')), "Q"), QByteArray(1, '\0'));
    EXPECT_EQ(Brouiller(QByteArray(1, char(242 - 'Q')), "Q"), QByteArray(1, char(13)));
}

TEST(NomFichierValide, TrimsAndReplaces) {
    EXPECT_EQ(NomFichierValide("  Rapport: 2004/03?  ", '_'), "Rapport_ 2004_03_");
    EXPECT_EQ(NomFichierValide("\t\"a\\b|c<d>e*\"\r\n", '-'), "-a-b-c-d-e--");
    EXPECT_EQ(NomFichierValide("   ", '_'), "");
    EXPECT_EQ(NomFichierValide("été.txt", '_'), "été.txt");
}

TEST(Dossiers, CreerDossiersAndSeparators) {
    QTemporaryDir dir;
    const QString profond = dir.filePath("a/b/c");
    EXPECT_FALSE(DossierExiste(profond));
    EXPECT_TRUE(CreerDossiers(profond));
    EXPECT_TRUE(DossierExiste(profond));
    testsupport::ecrireFichier(profond + "/f", "x");
    EXPECT_TRUE(CreerDossiers(profond)); // existing folder: true, nothing changes
    EXPECT_EQ(testsupport::lireFichier(profond + "/f"), "x");
    EXPECT_FALSE(CreerDossiers(profond + "/f/g")); // under a file
    EXPECT_EQ(AvecBarreFinale(""), "\\");
    EXPECT_EQ(AvecBarreFinale("C:"), "C:\\");
    EXPECT_EQ(AvecBarreFinale("C:\\"), "C:\\");
    EXPECT_EQ(AvecBarreFichier("/tmp"), "/tmp/");
}

TEST(Fichiers, AtomicWriteReplacesWholeAndLinesSplitOnEveryBreak) {
    QTemporaryDir dir;
    const QString f = dir.filePath("x.txt");
    ecrireFichierAtomique(f, "ancien contenu plus long");
    ecrireFichierAtomique(f, joindreLignes({"a", "", "b"}));
    EXPECT_EQ(testsupport::lireFichier(f), "a\r\n\r\nb\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"x.txt"}); // no temporary left
    EXPECT_EQ(decouperLignes("a\r\nb\nc\rd\r\n\r\n"), (QList<QByteArray>{"a", "b", "c", "d", ""}));
    EXPECT_TRUE(lireLignes(dir.filePath("absent")).isEmpty());
    EXPECT_THROW(ecrireFichierAtomique(dir.filePath("absent/dossier/f"), "x"), EEntreeSortie);
}
