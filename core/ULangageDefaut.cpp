#include "ULangageDefaut.h"

#include "ULangage.h"

#include <array>

namespace {

constexpr std::array kTextes = std::to_array<TexteDefaut>({
    {"Form_Principale", "stMessage", u"Vous avez un message."},
    {"Form_Principale", "stMail", u"Vous avez un mail."},
    {"Form_Principale", "stEnvoiEnCours", u"Message en cours d'envoi."},
    {"Form_Principale", "stRendezVous", u"Vous avez un rendez-vous."},
    {"Form_Principale", "stRepondeur", u"Le répondeur a enregistré un message."},
    {"Form_Principale", "stApropos", u"A propos d'Bavardin "},
    {"Form_Principale", "stEnAttente", u"En attente"},
    {"Form_Principale", "stVersionInconnue", u"Version inconnue."},
    {"Form_Principale", "stNouveauPostIt", u"Nouveau Post-It"},
    {"Form_Principale", "stFiltreExport", u"Fichier texte (*.BavardinSave)|*.BAVARDINSAVE|Tous (*.*)|*.*"},
    {"Form_Principale", "stFiltreExportTitre", u"Export des données d'Bavardin"},
    {"Form_Principale", "stNomPostIt", u"Nom du Post-It"},
    {"Form_Principale", "stSaisiNomPostIt", u"Veuillez saisir le nom du nouveau Post-It"},
    {"Form_Principale", "stNouveau", u"Nouveau"},
    {"Form_Principale", "stLePostIt", u"Le Post-It "},
    {"Form_Principale", "stExisteDeja", u" existe déjà."},
    {"Form_Principale", "stPostItExistant", u"Post-It existant"},
    {"Form_Principale", "stFiltreImport", u"Fichier texte (*.BavardinSave)|*.BAVARDINSAVE|Tous (*.*)|*.*"},
    {"Form_Principale", "stFiltreImportTitre", u"Import des données d'Bavardin"},
    {"Form_chat", "stErreurSocket", u"Erreur de fermeture du socket client : "},
    {"Form_chat", "stErreurFermetureSocket", u"Erreur de fermeture du socket serveur : "},
    {"Form_chat", "stErreurSocketOuverture", u"Erreur d'ouverture du socket client : "},
    {"Form_chat", "stAQui", u" à "},
    {"Form_chat", "stSurQuoi", u" sur "},
    {"Form_chat", "stErreurUDP", u"Erreur de traitement UDP : "},
    {"Form_chat", "stEstPasConnecte", u" n'est pas connecté, désolé."},
    {"Form_chat", "stErreurConnexion", u"Erreur de connexion"},
    {"Form_chat", "stDeQui", u"De   : Répondeur ("},
    {"Form_chat", "stVersQui", u"Vers : "},
    {"Form_chat", "stLeDate", u"Le   : "},
    {"Form_chat", "stGenereAutomatiquement", u"Ce message est généré automatiquement par l'application."},
    {"Form_chat", "stPasCorrespondant", u"Votre correspondant n'est pas disponible actuellement."},
    {"Form_chat", "stPlaceDansBAL", u"Le contenu de votre message a été placé dans la boite au lettre."},
    {"Form_chat", "stMessageVers", u"Message envoyé vers : "},
    {"Form_chat", "stVers", u" vers "},
    {"Form_chat", "stDe", u"De   : "},
    {"Form_chat", "stCorrespondNonConnecte", u"Le correspondant n'est pas connecté, désolé."},
    {"Form_chat", "stMessageMultiple", u"Message Multiple envoyé vers : "},
    {"Form_chat", "stEnvoiMultipleVers", u"Envoi multiple ("},
    {"Form_chat", "stFaitPartieMultiple", u"       Ce message fait partie d'un envoi multiple"},
    {"Form_chat", "stRepondreA", u"Répondre à "},
    {"Form_chat", "stA", u" à "},
    {"Form_chat", "stAccuseLeture", u"Le message suivant a été bien reçu"},
    {"Form_MessageriePop", "stConnexionEchoue", u"Connexion échouée"},
    {"Form_MessageriePop", "stConnexionRequise", u"Connection Requise. Se connecter ?"},
    {"Form_MessageriePop", "stHoteInconnu", u"Hôte inconnu !"},
    {"Form_MessageriePop", "stNouvelHote", u"Saisissez un nouvel hôte :"},
    {"Form_MessageriePop", "stTraitementInterrompu", u"Le traitement a été interrompu suite à l'erreur : "},
    {"Form_MessageriePop", "stDe", u"De : "},
    {"Form_RendezVous", "stUneFois", u"Une fois"},
    {"Form_RendezVous", "stToutesHeures", u"Toutes les heures"},
    {"Form_RendezVous", "stTousJours", u"Tous les jours"},
    {"Form_RendezVous", "stToutesSemaines", u"Toutes les semaines"},
    {"Form_RendezVous", "stTousMois", u"Tous les mois"},
    {"Form_RendezVous", "stTousAns", u"Tous les ans"},
    {"Form_RendezVous", "st5Mn", u"5 minutes"},
    {"Form_RendezVous", "st1Heure", u"1 heure"},
    {"Form_RendezVous", "st1Jour", u"1 heure"},
    {"Form_RendezVous", "st1Semaine", u"1 semaine"},
    {"Form_RendezVous", "st1Mois", u"1 mois"},
    {"Form_RendezVous", "stPasDeProchainEvenement", u"Aucun évènement prévu"},
    {"Form_RendezVous", "stProchainEvenement", u"Prochain évènement le "},
    {"Form_RendezVous", "stA", u" à "},
    {"Form_RendezVous", "stSoit", u" (soit "},
    {"Form_RendezVous", "stMn", u" mn)"},
    {"Form_RendezVous", "stDateRV", u"Date du rendez-vous     : "},
    {"Form_RendezVous", "stHeureRV", u"Heure du rendez-vous    : "},
    {"Form_RendezVous", "stRappelerRV", u"Rappeler le rendez-vous : "},
    {"Form_RendezVous", "stFrequenceRV", u"Fréquence de rappel     : "},
    {"Form_RendezVous", "st5MnAvant", u"5 minutes avant"},
    {"Form_RendezVous", "st1HeureAvant", u"1 heure avant"},
    {"Form_RendezVous", "st1JourAvant", u"1 jour avant"},
    {"Form_RendezVous", "st1semaineAvant", u"1 semaine avant"},
    {"Form_RendezVous", "st1MoisAvant", u"1 mois avant"},
    {"Form_aide", "stExamTermine", u"Examen terminé."},
    {"Form_aide", "stExamEnCours", u"Examen de la machine en cours. Veuillez patienter..."},
    {"Form_Preferences", "stSelectionEXE", u"Exécutables (*.exe)|*.EXE|Tous les fichiers (*.*)|*.*"},
    {"Form_Preferences", "stSelectionMAJ", u"Sélection du répertoire de MAJ"},
    {"Form_Preferences", "stSelectionAnnuaire", u"Annuaire (*.annuaire)|*.ANNUAIRE|Tous les fichiers (*.*)|*.*"},
    {"Form_Preferences", "stSelectionSon", u"Son (*.wav)|*.WAV|Tous les fichiers (*.*)|*.*"},
    {"Form_Preferences", "stSelection", u"Sélection"},
    {"Form_Telephone", "stAutres", u"Autres"},
    {"Form_Telephone", "stTous", u"Tous"},
    {"Form_Telephone", "stTousPublics", u"Tous les publics"},
    {"Form_Telephone", "stTousPrives", u"Tous les privés"},
    {"Form_PostIt", "stEfface", u"Le post it sera effacé définitivement"},
    {"Form_PostIt", "stContinuer", u"Voulez-vous continuez ?"},
    {"Form_Othello", "stJouer", u"Vous ne pouvez pas passer. Jouer !"},
    {"Form_Othello", "stPerdu", u"Vous perdez !"},
    {"Form_Othello", "stGagne", u"Vous gagnez !"},
    {"Form_Othello", "stAVous", u"A vous de jouer"},
    {"Form_Othello", "stReflechir", u"Laissez moi réfléchir..."},
    {"Form_Othello", "stAttentionDanger", u"Attention, jouez au travail peut s'avérer dangereux pour la santé."},
});

constexpr std::array kTextesForum = std::to_array<TexteDefaut>({
    {"Form_Forum", "stConnexion", u"<<<  Connexion de "},
    {"Form_Forum", "stDeconnexion", u"<<<  Déconnexion de "},
    {"Form_Forum", "stBienvenue", u"Bienvenue"},
});

void enregistrer(std::span<const TexteDefaut> textes) {
    for (const auto& t : textes)
        AjouterTexteDefaut(QLatin1String(t.fenetre), QLatin1String(t.cle), QString::fromUtf16(t.texte));
}

} // namespace

QString TexteDe(const QString& fenetre, const QString& cle) { return TableTextes().Value(fenetre + u'.' + cle); }

void AjouterTexteDefaut(const QString& fenetre, const QString& cle, const QString& texte) {
    if (!TexteDe(fenetre, cle).isEmpty())
        return;
    TableTextes().Add(fenetre + u'.' + cle + u'=' + texte);
}

std::span<const TexteDefaut> TextesDefaut() { return kTextes; }
std::span<const TexteDefaut> TextesDefautForum() { return kTextesForum; }

void EnregistrerTextesDefaut() { enregistrer(kTextes); }
void EnregistrerTextesForum() { enregistrer(kTextesForum); }
