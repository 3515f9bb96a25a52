#include "Cp1252.h"
#include "TestSupport.h"
#include "ULangage.h"
#include "ULangageDefaut.h"
#include "o_Fonctions.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using testsupport::ecrireFichier;

namespace {

// Windows as plain objects carrying the same properties as the widgets.
class FenetresObjets final : public IFenetres {
public:
    explicit FenetresObjets(QList<QObject*> f) : m_f(std::move(f)) {}
    QList<QObject*> fenetres() const override { return m_f; }

private:
    QList<QObject*> m_f;
};

struct LangageTest : ::testing::Test {
    QTemporaryDir dir;
    TGStringList table;
    QObject chat, bouton, etiquette, _cache, pref, prefBouton;

    LangageTest() {
        chat.setObjectName("Form_chat");
        bouton.setObjectName("Button_ChatEnvoyer");
        bouton.setParent(&chat);
        bouton.setProperty("text", "Envoyer");
        bouton.setProperty("toolTip", "Envoyer le message");
        etiquette.setObjectName("Label_Vide");
        etiquette.setParent(&chat);
        etiquette.setProperty("text", "");
        _cache.setObjectName("_Panel_Generic");
        _cache.setParent(&chat);
        _cache.setProperty("text", "Bandeau");
        pref.setObjectName("Form_Preferences");
        prefBouton.setObjectName("Button_OK");
        prefBouton.setParent(&pref);
        prefBouton.setProperty("text", "OK");
    }
    std::unique_ptr<TLangage> langage(QList<QObject*> fenetres = {}) {
        auto l = std::make_unique<TLangage>(QStringList{dir.path()}, table);
        if (fenetres.isEmpty())
            fenetres = {&chat};
        l->definirFenetres(std::make_unique<FenetresObjets>(fenetres));
        return l;
    }
    void fichier(const QString& nom, const QByteArray& contenu) { ecrireFichier(dir.filePath(nom), contenu); }
};

} // namespace

TEST(ChampNumero, Fields) {
    EXPECT_EQ(ChampNumero("strings.Form_chat.stA=x", 1), "strings");
    EXPECT_EQ(ChampNumero("strings.Form_chat.stA=x", 2), "Form_chat");
    EXPECT_EQ(ChampNumero("sans point", 1), "sans point");
    EXPECT_EQ(ChampNumero("a.b", 5), "");
}

TEST_F(LangageTest, ListsLanguageFilesWhateverTheCaseOfTheirExtension) {
    fichier("Anglais.lang", "");
    fichier("Breton.LANG", "");
    fichier(".lang", "");
    fichier("notes.txt", "");
    auto l = langage();
    EXPECT_EQ(l->Langages, (QStringList{"", "Anglais", "Breton"}));
    EXPECT_EQ(l->LangageCourant, "");
}

TEST_F(LangageTest, CaptionsAndHintsApplyIgnoringCaseAndEmptyTextsChangeNothing) {
    fichier("Breton.LANG", cp1252::encode(u"form_chat.button_chatenvoyer.caption=Kas\r\n"
                                          u"Form_chat.Button_ChatEnvoyer.Caption=Second ignoré\n"
                                          u"Form_chat.Button_ChatEnvoyer.Hint=Kas ar gemennadenn\r"
                                          u"Form_chat.Label_Vide.Caption=\r\n"
                                          u"Form_chat._Panel_Generic.Caption=Banniel\r\n"
                                          u"Form_chat.Inconnu.Caption=x=y\r\n"
                                          u"ligne sans intérêt\r\n"));
    auto l = langage();
    l->ChoisirLangage("Breton");
    EXPECT_EQ(bouton.property("text").toString(), "Kas");
    EXPECT_EQ(bouton.property("toolTip").toString(), "Kas ar gemennadenn");
    EXPECT_EQ(_cache.property("text").toString(), "Banniel"); // underscore names are translated too
    EXPECT_EQ(etiquette.property("text").toString(), "");
    EXPECT_EQ(l->texteLigne("FORM_CHAT.INCONNU.CAPTION"), "x=y");
}

TEST_F(LangageTest, AnUnknownLanguageBecomesCurrentButChangesNothing) {
    fichier("Anglais.lang", "Form_chat.Button_ChatEnvoyer.Caption=Send\r\nstrings.Form_chat.stA= to \r\n");
    auto l = langage();
    l->ChoisirLangage("Klingon");
    EXPECT_EQ(l->LangageCourant, "Klingon");
    EXPECT_EQ(bouton.property("text").toString(), "Envoyer");
    EXPECT_EQ(table.Count(), 0);
    // A file gone between the listing and the load changes nothing either.
    QFile::remove(dir.filePath("Anglais.lang"));
    l->ChoisirLangage("Anglais");
    EXPECT_EQ(bouton.property("text").toString(), "Envoyer");
}

TEST_F(LangageTest, SwitchingKeepsCaptionsTheNewFileLacks) {
    fichier("Anglais.lang", "Form_chat.Button_ChatEnvoyer.Caption=Send\r\nForm_chat.Button_ChatEnvoyer.Hint=Tip\r\n");
    fichier("Breton.lang", "Form_chat.Button_ChatEnvoyer.Hint=Kas\r\n");
    auto l = langage();
    l->ChoisirLangage("Anglais");
    l->ChoisirLangage("Breton");
    EXPECT_EQ(bouton.property("text").toString(), "Send");
    EXPECT_EQ(bouton.property("toolTip").toString(), "Kas");
}

TEST_F(LangageTest, StringsLinesFillTheTableExactCaseOfThePrefixOnly) {
    fichier("Anglais.lang", "strings.Form_chat.stA=  at  \r\n"
                            "Strings.Form_chat.stVers=ignored\r\n"
                            "strings.Form_chat.stA=  at  \r\n"
                            "strings.FORM_CHAT.STA=  AT  \r\n"
                            "strings.Form_chat.stDe=\r\n");
    auto l = langage();
    l->ChoisirLangage("Anglais");
    EXPECT_EQ(table.lignes(), (QStringList{"Form_chat.stA=  at  ", "Form_chat.stDe="}));
    EXPECT_EQ(table.Value(u"form_chat.sta"), "  at  ");
}

TEST_F(LangageTest, SauverCaptionsDumpsExistingWindowsAsALanguageFile) {
    table.Add("Form_chat.stA= à ");
    table.Add("Form_Preferences.stSelection=Sélection");
    table.Add("Form_Telephone.stTous=Tous");
    auto l = langage({&chat, &pref});
    const QString dump = dir.filePath("dump.txt");
    l->SauverCaptions(dump);
    EXPECT_EQ(lireLignes(dump), (QList<QByteArray>{"Form_chat.Button_ChatEnvoyer.Caption=Envoyer",
                                                    "Form_chat.Button_ChatEnvoyer.Hint=Envoyer le message",
                                                    cp1252::encode(u"strings.Form_chat.stA= à "),
                                                    "Form_Preferences.Button_OK.Caption=OK",
                                                    cp1252::encode(u"strings.Form_Preferences.stSelection=Sélection")}));
    EXPECT_THROW(l->SauverCaptions(dir.filePath("absent/dump.txt")), EEntreeSortie);
}

// The default table works on the program's own table of texts.
TEST(TextesDefaut, DefaultsFillOnlyWhatTheLanguageLeftOut) {
    TableTextes().Clear();
    TableTextes().Add("Form_chat.stA=");         // empty text from a language file
    TableTextes().Add("Form_chat.stVers= to ");  // translated text
    EnregistrerTextesDefaut();
    EXPECT_EQ(TexteDe("Form_chat", "stA"), "");
    EXPECT_EQ(TexteDe("Form_chat", "stVers"), " to ");
    EXPECT_EQ(TexteDe("Form_chat", "stDequi"), "De   : Répondeur (");
    EXPECT_EQ(TexteDe("FORM_CHAT", "STSURQUOI"), " sur ");
    EXPECT_EQ(TexteDe("Form_Inexistante", "stA"), "");
    EXPECT_EQ(TexteDe("Form_Forum", "stBienvenue"), ""); // registered by the forum itself
    EnregistrerTextesForum();
    EXPECT_EQ(TexteDe("Form_Forum", "stConnexion"), "<<<  Connexion de ");

    TableTextes().Clear();
    EnregistrerTextesDefaut();
    EXPECT_EQ(TexteDe("Form_chat", "stA"), " à ");
    EXPECT_EQ(TexteDe("Form_Principale", "stApropos"), "A propos d'Bavardin ");
    EXPECT_EQ(TexteDe("Form_Principale", "stFiltreExport"),
              "Fichier texte (*.BavardinSave)|*.BAVARDINSAVE|Tous (*.*)|*.*");
    EXPECT_EQ(TexteDe("Form_RendezVous", "st1Jour"), "1 heure");
    EXPECT_EQ(TexteDe("Form_Othello", "stAttentionDanger"),
              "Attention, jouez au travail peut s'avérer dangereux pour la santé.");
    EXPECT_EQ(TableTextes().Count(), 93);
    EXPECT_EQ(TableTextes().lignes().first(), "Form_Principale.stMessage=Vous avez un message.");
    EXPECT_EQ(TableTextes().lignes().last(), "Form_Othello.stAttentionDanger=" +
                                                 TexteDe("Form_Othello", "stAttentionDanger"));
}
