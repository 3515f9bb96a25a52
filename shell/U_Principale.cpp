#include "U_Principale.h"

#include "Application.h"
#include "Boites.h"
#include "Bureau.h"
#include "MenuBarre.h"
#include "MessagesPostes.h"
#include "Son.h"
#include "TypesFichiers.h"
#include "UChat.h"
#include "ULangageDefaut.h"
#include "UOthello.h"
#include "UUtils.h"
#include "Ucontexte.h"
#include "o_Fonctions.h"

#include <QApplication>
#include <QMessageBox>
#include <QSystemTrayIcon>

namespace {

struct ElementMenu {
    const char* nom;   // empty for a separator
    const char* texte; // for a submenu, its title
    int niveau;        // 0 top level, 1 inside the last submenu
    bool sousMenu;
};

// The fixed tray menu, top to bottom; the people section goes above "_N7".
constexpr ElementMenu kMenu[] = {
    {"_N7", nullptr, 0, false},
    {"PopupMenu_EnvoiMultiple", "Envoi multiple...", 0, false},
    {"_N8", nullptr, 0, false},
    {"PopupMenu_Messagerie", "Chat : Lire les messages", 0, false},
    {"PopupMenu_Forum", "Forum : Ouvrir le forum", 0, false},
    {"PopupMenu_Courrier", "EMail", 0, true},
    {"PopupMenu_Telephone", "Téléphone : Saisir et lister", 0, false},
    {"PopupMenu_postIt", "Post-It", 0, true},
    {"PopupMenu_ProchaineEcheance", "Evènements", 0, false},
    {"_N9", nullptr, 0, false},
    {"PopupMenu_Configuration", "Configuration", 0, true},
    {"PopupMenu_Actualiserlesconnects", "Actualiser les connectés", 1, false},
    {"_N2", nullptr, 1, false},
    {"OuvrirleLogerror1", "Ouvrir le fichier des anomalies", 1, false},
    {"Effacerlesmessagesdesanomalies1", "Effacer les messages d'anomalies", 1, false},
    {"_N5", nullptr, 1, false},
    {"PopupMenu_Importer", "Importer les données d'Bavardin", 1, false},
    {"PopupMenu_Exporter", "Exporter les données d'Bavardin", 1, false},
    {"N2", nullptr, 1, false},
    {"Forcerlamisejourdelapplication1", "Mise à jour manuelle de l'application", 1, false},
    {"_N13", nullptr, 1, false},
    {"PopupMenu_Panneaudeconfiguration", "Panneau de configuration...", 1, false},
    {"PopupMenu_AProposde", "En plus...", 0, true},
    {"PopupMenu_ModeRepondeur", "Mode répondeur", 1, false},
    {"_N3", nullptr, 1, false},
    {"Calendrier1", "Calendrier...", 1, false},
    {"Horloge1", "Horloge...", 1, false},
    {"N1", nullptr, 1, false},
    {"PopupMenu_JeuxOthello", "Othellbavardin...", 1, false},
    {"_PopupMenu_Apropos", "A Propos de...", 1, false},
    {"_PopupMenu_Administrateur", "Administrateur système", 0, true},
    {"Envoyerunmessageanonyme1", "Envoyer un message anonyme", 1, false},
    {"N3", nullptr, 1, false},
    {"_PopupMenu_sauver", "Sauver les captions", 1, false},
    {"_PopupMenu_Virerquelquun", "Virer quelqu'un", 1, false},
    {"_Viderlescachesdesmessages1", "Vider les caches des messages", 1, false},
    {"_N14", nullptr, 1, false},
    {"_PopupMenu_ForcerMAJ", "Forcer la mise à jour globale", 1, false},
    {"_N6", nullptr, 0, false},
    {"PopupMenu_Quitter", "Quitter", 0, false},
};

// Commands whose windows and services exist in this build; the others stay hidden.
bool disponible(QLatin1String nom) {
    static const QLatin1String dispo[] = {
        QLatin1String("PopupMenu_Quitter"), QLatin1String("PopupMenu_AProposde"),
        QLatin1String("_PopupMenu_Administrateur"), QLatin1String("PopupMenu_JeuxOthello")};
    for (QLatin1String d : dispo)
        if (d == nom)
            return true;
    return false;
}

QList<QPixmap> chargerPersonnages() {
    const QPixmap bande(QStringLiteral(":/bavardin/personnages.png"));
    QList<QPixmap> liste;
    liste.reserve(108);
    for (int i = 0; i < 108; ++i)
        liste << bande.copy(16 * i, 0, 16, 16);
    return liste;
}

} // namespace

TForm_Principale::TForm_Principale(QWidget* parent)
    : TForm_Bavardin(QStringLiteral("Form_Principale"), parent) {
    setWindowTitle(QStringLiteral("Bavardin"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    m_personnages = chargerPersonnages();
    construireMenu();
    m_tray = new QSystemTrayIcon(this);
    m_tray->setObjectName(QStringLiteral("Tray"));
    // 1. Base creation: translation.
    FormCreate();
    // 2. No send under way, no single-instance window open (members start cleared).
    // 4. Never shown: this window exists for its tray icon and its messages.
    setAttribute(Qt::WA_DontShowOnScreen);
    // 5. File types.
    SansInterruption([] { EnregistrerTypesFichiers(QCoreApplication::applicationFilePath()); });
    // 7. The tray icon, with the program's icon, no menu and no double-click action yet.
    m_tray->setIcon(QIcon(m_personnages.value(0)));
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        qInfo("Bavardin : pas de zone de notification sur ce bureau, le programme continue sans icône.");
    m_tray->show();
    // 6. and 9. The notification queue, the composed picture and its window, the sound player.
    m_notifications = std::make_unique<TNotifications>(
        m_tray, m_personnages, *this, std::make_unique<TLecteurSon>(), std::make_unique<TBureau>());
    // 8. Captions with the version.
    m_apropos->setText(TexteDe(objectName(), QStringLiteral("stApropos")) + VersionProgramme());
    m_menu->setCaptionBarre(QStringLiteral("Bavardin ") + VersionCourte());
    // 10. The administrator submenu only for administrators.
    m_admin->menuAction()->setVisible(false);
    SansInterruption([this] {
        m_admin->menuAction()->setVisible(Contexte().LireBooleenInitial(QStringLiteral("Administrateur_systeme")));
    });
}

TForm_Principale::~TForm_Principale() = default;

QMenu* TForm_Principale::menuTray() {
    return m_menu;
}

void TForm_Principale::construireMenu() {
    m_menu = new TMenuBarre(this);
    m_menu->setObjectName(QStringLiteral("BcBarPopupMenu"));
    QMenu* courant = nullptr;
    for (const ElementMenu& e : kMenu) {
        QMenu* cible = e.niveau == 0 ? m_menu : courant;
        const QLatin1String nom(e.nom);
        const bool visible = e.niveau == 0 ? disponible(nom) || e.texte == nullptr : true;
        if (!e.texte) {
            QAction* s = cible->addSeparator();
            s->setObjectName(nom);
            continue;
        }
        const QString texte = QString::fromUtf8(e.texte);
        if (e.sousMenu) {
            courant = new QMenu(texte, m_menu);
            courant->setObjectName(nom);
            m_menu->addMenu(courant)->setVisible(visible);
            continue;
        }
        QAction* a = new QAction(texte, this);
        a->setObjectName(nom);
        cible->addAction(a);
        if (e.niveau == 0)
            a->setVisible(visible);
        else
            a->setVisible(disponible(nom));
        if (nom == QLatin1String("PopupMenu_Quitter"))
            connect(a, &QAction::triggered, this, &TForm_Principale::Quitter);
        else if (nom == QLatin1String("PopupMenu_ModeRepondeur")) {
            a->setCheckable(true);
            connect(a, &QAction::triggered, this, &TForm_Principale::BasculerRepondeur);
        } else if (nom == QLatin1String("PopupMenu_JeuxOthello"))
            connect(a, &QAction::triggered, this, &TForm_Principale::OuvrirOthello);
        else if (nom == QLatin1String("_PopupMenu_Apropos"))
            m_apropos = a;
    }
    m_admin = findChild<QMenu*>(QStringLiteral("_PopupMenu_Administrateur"));
    // The people section follows the table only when the menu opens after a change.
    connect(m_menu, &QMenu::aboutToShow, this, [this] {
        if (ConnectesModifies && m_chat && !m_chat->fermetureEnCours()) {
            m_chat->ConstruireMenuConnectes();
            ConnectesModifies = false;
        }
    });
}

void TForm_Principale::CreerFenetres(std::unique_ptr<TPointUDP> pointPresence) {
    m_chat = std::make_unique<TForm_chat>(*this, std::move(pointPresence));
}

void TForm_Principale::AnnoncerDemarrage() {
    if (m_chat)
        m_chat->presence().AnnoncerDemarrage();
}

QByteArray TForm_Principale::repondre(const QByteArray& requete) const {
    return m_chat ? m_chat->etat(requete) : QByteArray();
}

void TForm_Principale::BasculerRepondeur() {
    const bool actif = !Contexte().LireBooleenInitial(QStringLiteral("RepondeurActif"));
    Contexte().EcrireBooleenInitial(QStringLiteral("RepondeurActif"), actif);
    if (auto* a = findChild<QAction*>(QStringLiteral("PopupMenu_ModeRepondeur")))
        a->setChecked(actif);
    ChangerIcone(actif ? 15 : 9);
    if (m_chat)
        m_chat->DiffuserOrdre(actif ? QStringLiteral("REPONDEUR") : QStringLiteral("CONNEXION"));
}

void TForm_Principale::OuvrirOthello() {
    // A new game at each use; the window deletes itself when closed.
    auto* jeu = new TForm_Othello();
    jeu->show();
}

void TForm_Principale::ControleDemarrage() {
    if (Contexte().LireChaineInitiale(QStringLiteral("Chef")).isEmpty())
        Contexte().EcrireChaineInitiale(QStringLiteral("Chef"), QStringLiteral("PC-QUIDAM"));
}

void TForm_Principale::FinDemarrage() {
    // 3. Idle icon, unless the previous run left the answering machine on.
    SansInterruption([this] {
        if (!Contexte().LireBooleenInitial(QStringLiteral("RepondeurActif")))
            ChangerIcone(9);
    });
    // 4. The menu and the double-click become usable only now.
    m_tray->setContextMenu(m_menu);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::DoubleClick)
            m_notifications->TraiterAlerte();
    });
    // 7. First start.
    SansInterruption([this] {
        if (Contexte().LireChaineInitiale(QStringLiteral("PremierDemarrage")).isEmpty())
            afficherBienvenue();
    });
}

void TForm_Principale::afficherBienvenue() {
    // Not modal: the network goes on being served while the box waits for the user.
    QMessageBox* boite =
        BoiteNonModale(nullptr, QMessageBox::Information,
                       QStringLiteral("Boujour,\r\n"
                                      "Pour bien démarrer avec Bavardin, je vous propose de choisir\r\n"
                                      "l'image qui vous représentera auprès des autres utilisateurs.\r\n"
                                      "Sélectionnez la dans la liste d'icones qui va s'ouvrir."),
                       QStringLiteral("_BoiteBienvenue"));
    connect(boite, &QMessageBox::finished, this, [] {
        Contexte().EcrireChaineInitiale(QStringLiteral("PremierDemarrage"), QStringLiteral("NON"));
    });
}

void TForm_Principale::PremierPlan() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible() && w->objectName().startsWith(QLatin1String("Form_"))) {
            if (w->isMinimized())
                w->showNormal();
            w->raise();
            w->activateWindow();
        }
    m_tray->showMessage(QStringLiteral("Bavardin"), QStringLiteral("Bavardin est déjà lancé."));
}

void TForm_Principale::ArreterServices(bool conserverMessages) {
    // Each service stops in its turn; events already queued run between the steps and must
    // find the stopped services harmless.
    SansInterruption([this] {
        if (m_chat)
            m_chat->DiffuserOrdre(QStringLiteral("DECONNEXION"));
    });
    QCoreApplication::processEvents();
    SansInterruption([&] {
        if (m_chat)
            m_chat->FermerMessagerie(conserverMessages);
    });
    QCoreApplication::processEvents();
}

void TForm_Principale::SauverPostItActifs() {
    QStringList titres;
    for (QWidget* p : ListePostIt)
        titres << p->windowTitle();
    Contexte().EcrireListe(titres, QStringLiteral("PostIt"), QStringLiteral("Actifs"));
}

void TForm_Principale::FermerTousPostIt() {
    for (QWidget* p : ListePostIt)
        p->close();
    QCoreApplication::processEvents();
    ListePostIt.clear();
}

void TForm_Principale::Quitter() {
    if (m_arret)
        return;
    m_arret = true;
    ArreterServices(false);
    SansInterruption([] { Contexte().EcrireBooleenInitial(QStringLiteral("RepondeurActif"), false); });
    SansInterruption([this] { SauverPostItActifs(); });
    FermerTousPostIt();
    m_tray->hide();
    QCoreApplication::quit();
}

void TForm_Principale::QuitterParOrdre() {
    if (m_arret)
        return;
    m_arret = true;
    ArreterServices(false);
    m_tray->hide();
    QCoreApplication::quit();
}

bool TForm_Principale::event(QEvent* e) {
    switch (static_cast<int>(e->type())) {
    case WM_ORDRE_QUITTER:
        QuitterParOrdre();
        return true;
    case WM_DEBUT_ENVOI:
        m_notifications->DebutEnvoi();
        return true;
    case WM_FIN_ENVOI:
        m_notifications->FinEnvoi();
        return true;
    case WM_FIN_HORLOGE:
        marquerOuverte(FenetreUnique::Horloge, false);
        return true;
    case WM_FIN_FORUM:
        marquerOuverte(FenetreUnique::Forum, false);
        return true;
    case WM_FIN_PREFERENCES:
        marquerOuverte(FenetreUnique::Preferences, false);
        return true;
    case WM_FIN_TELEPHONE:
        marquerOuverte(FenetreUnique::Telephone, false);
        return true;
    case WM_FIN_APROPOS:
        marquerOuverte(FenetreUnique::Apropos, false);
        return true;
    case WM_FIN_CALENDRIER:
        marquerOuverte(FenetreUnique::Calendrier, false);
        return true;
    default:
        return TForm_Bavardin::event(e);
    }
}
