#include "Registre.h"
#include "TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct RegistreTest : ::testing::Test {
    QTemporaryDir dir;
    QString chemin = dir.filePath("registre.sqlite");
    RegistreBase base{chemin};
    TRegistre reg{base};
};

} // namespace

TEST_F(RegistreTest, KeysAndValuesIgnoreCaseButKeepIt) {
    ASSERT_TRUE(reg.OpenKey("\\Software\\Quidam\\Bavardin\\Initial", true));
    reg.WriteString("SurnomUtilisateur", "Léa");
    reg.CloseKey();
    ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\quidam\\BAVARDIN\\initial", false));
    EXPECT_TRUE(reg.ValueExists("surnomutilisateur"));
    EXPECT_EQ(reg.ReadString("SURNOMUTILISATEUR"), "Léa");
    reg.WriteString("SURNOMUTILISATEUR", "Zoé"); // overwrite keeps the first spelling
    EXPECT_EQ(reg.GetValueNames(), QStringList{"SurnomUtilisateur"});
    reg.OpenKey("\\Software", false);
    EXPECT_EQ(reg.GetKeyNames(), QStringList{"Quidam"});
}

TEST_F(RegistreTest, ValuesEnumerateInCreationOrderAndSubKeysAlphabetically) {
    ASSERT_TRUE(reg.OpenKey("\\K", true));
    for (const char* n : {"z", "a", "M", "b"})
        reg.WriteInteger(n, 1);
    reg.WriteInteger("a", 2); // rewriting keeps the place
    EXPECT_EQ(reg.GetValueNames(), (QStringList{"z", "a", "M", "b"}));
    for (const char* n : {"beta", "Alpha", "gamma", "Delta"})
        ASSERT_TRUE(reg.OpenKey(QString("\\K\\") + n, true));
    reg.OpenKey("\\K", false);
    EXPECT_EQ(reg.GetKeyNames(), (QStringList{"Alpha", "beta", "Delta", "gamma"}));
}

TEST_F(RegistreTest, AValueReadWithTheWrongTypeRaises) {
    ASSERT_TRUE(reg.OpenKey("\\K", true));
    reg.WriteString("s", "texte");
    reg.WriteInteger("i", 42);
    EXPECT_EQ(reg.ReadInteger("i"), 42);
    EXPECT_THROW(reg.ReadInteger("s"), ERegistre);
    EXPECT_THROW(reg.ReadString("i"), ERegistre);
}

TEST_F(RegistreTest, DeletingAKeyTakesEverythingBelowIt) {
    ASSERT_TRUE(reg.OpenKey("\\A\\B\\C", true));
    reg.WriteString("v", "1");
    ASSERT_TRUE(reg.DeleteKey("\\A\\B"));
    EXPECT_FALSE(reg.estOuverte()); // the open key went with it
    EXPECT_FALSE(reg.KeyExists("\\A\\B\\C"));
    EXPECT_TRUE(reg.KeyExists("\\A"));
    EXPECT_FALSE(reg.DeleteKey("\\A\\B"));
    EXPECT_THROW(reg.WriteString("x", "y"), ERegistre); // no key open
}

TEST_F(RegistreTest, RootsAreSeparateTrees) {
    reg.RootKey = Racine::ClassesRoot;
    ASSERT_TRUE(reg.OpenKey("\\.rdv", true));
    reg.WriteString("", "Bavardin_rdv");
    reg.RootKey = Racine::CurrentUser;
    EXPECT_FALSE(reg.KeyExists("\\.rdv"));
    EXPECT_EQ(racineDuNom(u"hkey_local_machine"), Racine::LocalMachine);
    EXPECT_FALSE(racineDuNom(u"HKEY_NOWHERE"));
}

TEST_F(RegistreTest, AnotherConnectionSeesChangesAndItsDeletesInvalidateOurCache) {
    ASSERT_TRUE(reg.OpenKey("\\Cle\\Sous", true));
    reg.WriteString("v", "avant");
    reg.CloseKey();
    {
        RegistreBase autre(chemin); // as BavardinReg would
        TRegistre r2(autre);
        ASSERT_TRUE(r2.OpenKey("\\Cle\\Sous", false));
        EXPECT_EQ(r2.ReadString("v"), "avant");
        ASSERT_TRUE(r2.DeleteKey("\\Cle"));
        ASSERT_TRUE(r2.OpenKey("\\Cle\\Sous", true));
        r2.WriteString("v", "après");
    }
    ASSERT_TRUE(reg.OpenKey("\\Cle\\Sous", false));
    EXPECT_EQ(reg.ReadString("v"), "après");
}

TEST_F(RegistreTest, ARolledBackTransactionLeavesNothing) {
    {
        RegistreBase::Transaction t(base);
        ASSERT_TRUE(reg.OpenKey("\\Tmp", true));
        reg.WriteString("v", "x");
    }
    reg.CloseKey();
    EXPECT_FALSE(reg.KeyExists("\\Tmp"));
}
