#include "TestSupport.h"
#include "Ucontexte.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ContexteTest : ::testing::Test {
    QTemporaryDir dir;
    TContexte ctx{"Bavardin", dir.filePath("r.sqlite")};
};

} // namespace

TEST(NomApplication, FromTheProgramFileName) {
    const std::pair<const char*, const char*> cas[] = {
        {"/opt/x/Bavardin", "Bavardin"},   {"C:/x/bavardin.EXE", "Bavardin"}, {"BAVARDIN.exe", "Bavardin"},
        {"mon-chat.exe", "Mon-chat"},      {"9vies.exe", "9vies"},            {"ÉCLAIR.exe", "Éclair"},
        {"", "Sans nom"},                  {".exe", "Sans nom"},
    };
    for (auto [fichier, attendu] : cas)
        EXPECT_EQ(NomApplicationDe(QString::fromUtf8(fichier)), QString::fromUtf8(attendu)) << fichier;
}

TEST(Chemins, AvecSeparateurAndLettresSeules) {
    EXPECT_EQ(AvecSeparateur("C:\\"), "C:\\");
    EXPECT_EQ(AvecSeparateur("C:"), "C:");
    EXPECT_EQ(AvecSeparateur("C:\\Temp"), "C:\\Temp\\");
    EXPECT_EQ(AvecSeparateur(""), "");
    EXPECT_EQ(LettresSeules("Liste des courses 2"), "Listedescourses");
    EXPECT_EQ(LettresSeules("Courses"), "Courses");
    EXPECT_EQ(LettresSeules("2005"), "Generique");
    EXPECT_EQ(LettresSeules("?!..."), "Generique");
    EXPECT_EQ(LettresSeules("Café"), "Caf");
    EXPECT_EQ(TContexte::SectionPostIt("Liste des courses 2"), "Settings\\Form_PostIt\\Listedescourses");
}

TEST_F(ContexteTest, AFirstRunReadsDefaults) {
    EXPECT_EQ(ctx.CheminBase(), "\\Software\\Quidam\\Bavardin");
    EXPECT_EQ(ctx.LireChaineInitiale("SurnomUtilisateur"), "");
    EXPECT_EQ(ctx.LireEntierInitial("ChoixPersonnage"), 0);
    EXPECT_FALSE(ctx.LireBooleenInitial("RepondeurActif"));
    EXPECT_EQ(ctx.LireChaine("Nulle\\Part", "x", "défaut"), "défaut");
    QStringList l{"garde"};
    EXPECT_FALSE(ctx.LireListe(l, "Email", "Hote"));
    EXPECT_EQ(l, QStringList{"garde"});
}

TEST_F(ContexteTest, ScalarsLiveInInitialAndBooleansAreIntegers) {
    ctx.EcrireChaineInitiale("PremierDemarrage", "NON");
    ctx.EcrireBooleenInitial("UtiliserSon", true);
    ctx.EcrireEntierInitial("Niveau", -7);
    EXPECT_EQ(ctx.LireChaine("Initial", "premierdemarrage", ""), "NON");
    EXPECT_EQ(ctx.LireEntierInitial("UtiliserSon"), 1);
    ctx.EcrireEntierInitial("UtiliserSon", 5);
    EXPECT_TRUE(ctx.LireBooleenInitial("UtiliserSon"));
    EXPECT_EQ(ctx.LireEntierInitial("Niveau"), -7);
    // A wrong type raises, and the store's key is closed again afterwards.
    EXPECT_THROW(ctx.LireEntierInitial("PremierDemarrage"), ERegistre);
    EXPECT_EQ(ctx.LireChaineInitiale("PremierDemarrage"), "NON");
}

TEST_F(ContexteTest, ListsReadNumberedValuesUpTo1001) {
    TRegistre r(ctx.base());
    ASSERT_TRUE(r.OpenKey(ctx.CheminBase() + "\\PostIt\\Liste", true));
    for (const char* n : {"0", "1", "3"})
        r.WriteString(n, QString("item") + n);
    QStringList l{"a", "b"};
    ASSERT_TRUE(ctx.LireListe(l, "PostIt", "Liste"));
    EXPECT_EQ(l, (QStringList{"a", "b", "item0", "item1"})); // appends, stops at the gap

    for (int i = 0; i < 1500; ++i)
        r.WriteString(QString::number(i), "x");
    QStringList grande;
    ASSERT_TRUE(ctx.LireListe(grande, "PostIt", "Liste"));
    EXPECT_EQ(grande.size(), 1001);
}

TEST_F(ContexteTest, WritingAListReplacesItWhole) {
    ctx.EcrireListe({"un", "deux", "trois"}, "Email", "Hote");
    ctx.EcrireListe({"seul"}, "Email", "Hote");
    QStringList l;
    ASSERT_TRUE(ctx.LireListe(l, "Email", "Hote"));
    EXPECT_EQ(l, QStringList{"seul"});
    ctx.EcrireListe({}, "Email", "Hote");
    l.clear();
    EXPECT_TRUE(ctx.LireListe(l, "Email", "Hote")); // the key stays, empty
    EXPECT_TRUE(l.isEmpty());
}

TEST_F(ContexteTest, WindowGeometryFollowsStateBorderAndStyle) {
    const QString s = TContexte::SectionFenetre("Form_chat");
    EXPECT_EQ(s, "Settings\\Form_chat");
    EtatFenetre normal{10, 20, 300, 400, true, 0, true, true};
    ctx.SauverFenetre(s, normal);
    EtatFenetre max = normal;
    max.Left = 0;
    max.WindowState = 2;
    ctx.SauverFenetre(s, max); // only WindowState changes
    EtatFenetre mini = normal;
    mini.Left = 999;
    mini.WindowState = 1;
    ctx.SauverFenetre(s, mini); // nothing at all

    EtatFenetre lu{1, 2, 3, 4, false, 0, true, true};
    ctx.RestaurerFenetre(s, lu);
    EXPECT_EQ((std::tuple{lu.Left, lu.Top, lu.Height, lu.Width, lu.WindowState}), (std::tuple{10, 20, 300, 400, 2}));

    EtatFenetre fixe{1, 2, 3, 4, false, 0, false, true}; // fixed border keeps its size
    ctx.RestaurerFenetre(s, fixe);
    EXPECT_EQ((std::tuple{fixe.Left, fixe.Top, fixe.Height, fixe.Width}), (std::tuple{10, 20, 3, 4}));

    EtatFenetre dessus{1, 2, 3, 4, false, 0, true, false}; // stay-on-top ignores the state
    ctx.RestaurerFenetre(s, dessus);
    EXPECT_EQ(dessus.WindowState, 0);

    EtatFenetre absent{5, 6, 7, 8, false, 0, true, true};
    ctx.RestaurerFenetre("Settings\\Form_Jamais", absent);
    EXPECT_EQ((std::tuple{absent.Left, absent.Top, absent.Height, absent.Width}), (std::tuple{5, 6, 7, 8}));
    EXPECT_EQ(ctx.LireEntier(s, "Visible", -1), 1);
}
