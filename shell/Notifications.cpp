#include "Notifications.h"

#include "Bureau.h"
#include "CompositionImage.h"
#include "Son.h"
#include "UAfficheLogo.h"
#include "ULangageDefaut.h"
#include "UUtils.h"
#include "Ucontexte.h"
#include "o_Fonctions.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QMessageBox>
#include <QPainter>
#include <QSystemTrayIcon>
#include <algorithm>
#include <iterator>
#include <unistd.h>

namespace {

struct Genre {
    int etat;
    const char* cle;    // text of "Form_Principale"
    const char* dessin; // picture setting
    const char* son;    // sound setting; none: the player keeps its file
};

constexpr Genre kGenres[] = {
    {TNotifications::EtatMessage, "stMessage", "DessinMessage", "SonMessage"},
    {TNotifications::EtatMail, "stMail", "DessinMessageriePop", "SonPOP"},
    {TNotifications::EtatRendezVous, "stRendezVous", "DessinRendezVous", "SonRV"},
    {TNotifications::EtatMessage, "stRepondeur", "DessinRepondeur", nullptr},
    {TNotifications::EtatTousComptes, "stMail", "DessinMessageriePop", "SonPOP"},
};

const Genre* genre(int kind) {
    return kind >= 0 && kind < int(std::size(kGenres)) ? &kGenres[kind] : nullptr;
}

QString initiale(const char* nom) {
    return Contexte().LireChaineInitiale(QLatin1String(nom));
}
bool drapeau(const char* nom) {
    return Contexte().LireBooleenInitial(QLatin1String(nom));
}
QString texte(const char* cle) {
    return TexteDe(QStringLiteral("Form_Principale"), QLatin1String(cle));
}

// Background of the personal icon: the usual key colour, which the pictures avoid, so that only
// the icon's own transparent pixels become transparent.
constexpr QRgb kFondIcone = 0xFFFF00FF;

// The temporary folder is shared by every user: only a real folder of ours is written into.
bool dossierSur(const QString& dossier) {
    const QFileInfo info(QDir::cleanPath(dossier)); // without the final "/", which would follow a link
    return info.isDir() && !info.isSymLink() && info.ownerId() == ::geteuid();
}

const char* fichierIcone(int code) {
    switch (code) {
    case 9: return "Ensemble.ico";
    case 11: return "Occupe.ico";
    case 15: return "Seul.ico";
    default: return nullptr;
    }
}

} // namespace

TNotifications::Dossiers TNotifications::dossiersParDefaut() {
    return {DossierProgramme(), DossierTemporaire()};
}

TNotifications::TNotifications(QSystemTrayIcon* tray, QList<QPixmap> personnages,
                               IProprietaireAlertes& proprietaire, std::unique_ptr<ILecteurSon> son,
                               std::unique_ptr<IBureau> bureau, Dossiers dossiers, QObject* parent)
    : QObject(parent), m_tray(tray), m_personnages(std::move(personnages)), m_proprietaire(proprietaire),
      m_son(std::move(son)), m_bureau(std::move(bureau)), m_dossiers(std::move(dossiers)),
      m_fenetre(std::make_unique<TForm_Bitmap>()) {
    connect(m_fenetre.get(), &TForm_Bitmap::DoubleClic, this, &TNotifications::TraiterAlerte);
    connect(m_fenetre.get(), &TForm_Bitmap::Survolee, this, &TNotifications::storePosition);
}

TNotifications::~TNotifications() {
    for (const QPointer<QMessageBox>& b : m_boites)
        delete b.data();
}

void TNotifications::AjouterAlerte(int kind) {
    if (!genre(kind))
        return;
    const QString valeur = QString::number(kind);
    if (!m_file.contains(valeur))
        m_file << valeur;
    if (!EnvoiEnCours() && !m_fenetre->isVisible())
        AfficherAlerte(m_file.first().toInt());
}

void TNotifications::AfficherAlerte(int kind) {
    const Genre* g = genre(kind);
    if (!g)
        return;
    m_etat = g->etat;
    const QString message = texte(g->cle);
    m_tray->setToolTip(message);
    const QString dessin = initiale(g->dessin);
    if (g->son)
        m_son->DefinirFichier(initiale(g->son));

    if (drapeau("UtiliserSon")) {
        m_son->Ouvrir();
        m_son->Jouer();
    }

    bool montree = false;
    if (drapeau("UtiliserImages") && QFileInfo(dessin).isFile()) {
        if (kind == AlerteMessage && drapeau("UtiliserIconePerso")) {
            const QString perso = PreparerIconePerso(IconeExpediteur);
            montree = !perso.isEmpty() && AfficherImage(perso);
        }
        // When the sender's icon cannot be written, the message picture stands in for it.
        if (!montree)
            montree = AfficherImage(dessin);
    }
    if (!montree)
        showMessageBox(message);
}

QString TNotifications::PreparerIconePerso(int n) {
    if (n < 0 || n >= m_personnages.size())
        n = 0;
    if (m_personnages.isEmpty() || m_dossiers.temporaire.isEmpty())
        return {};
    QImage petite(16, 16, QImage::Format_RGB32);
    petite.fill(kFondIcone);
    {
        QPainter p(&petite);
        p.drawPixmap(0, 0, m_personnages.at(n));
    }
    const QImage grande = petite.scaled(64, 64, Qt::IgnoreAspectRatio, Qt::FastTransformation);

    // The folder is made here: on a fresh system it does not exist yet.
    const QString dossier = m_dossiers.temporaire + QLatin1String(kSousDossierTemporaire);
    if (!CreerDossiers(dossier) || !dossierSur(dossier))
        return {};
    QByteArray octets;
    QBuffer tampon(&octets);
    if (!tampon.open(QIODevice::WriteOnly) || !grande.save(&tampon, "BMP"))
        return {};
    const QString fichier = dossier + QStringLiteral("tempo.bmp");
    try {
        ecrireFichierAtomique(fichier, octets);
    } catch (const EEntreeSortie&) {
        return {};
    }
    return fichier;
}

bool TNotifications::AfficherImage(const QString& fichier) {
    const QImage source(fichier);
    if (source.isNull())
        return false;
    const bool legende = m_etat == EtatMessage || m_etat == EtatMail || m_etat == EtatTousComptes;
    ImageComposee c = composerImageAlerte(source, legende, TexteAlerte);
    m_image = std::move(c.image);
    m_forme = std::move(c.forme);

    QPoint position = m_fenetre->pos();
    auto lire = [](const char* left, const char* top) {
        return QPoint(Contexte().LireEntierInitial(QLatin1String(left)),
                      Contexte().LireEntierInitial(QLatin1String(top)));
    };
    if (m_etat == EtatMessage)
        position = lire("ImageLeftChat", "ImageTopChat");
    else if (m_etat == EtatRendezVous)
        position = lire("ImageLeftRV", "ImageTopRV");
    else if (m_etat == EtatMail || m_etat == EtatTousComptes)
        position = lire("ImageLeftPOP", "ImageTopPOP");
    // Shown without activation: the user's window keeps the focus. Qt paints it at the next turn
    // of the event loop, so no events are processed here.
    m_fenetre->Afficher(m_image, m_forme, position);
    return true;
}

void TNotifications::FermerImage() {
    m_fenetre->hide();
    if (!m_file.isEmpty())
        m_file.removeFirst();
}

void TNotifications::AlerteSuivante() {
    // During a send the head waits like any new notification; the end of the send shows it.
    if (EnvoiEnCours() || m_file.isEmpty())
        return;
    AfficherAlerte(m_file.first().toInt());
}

void TNotifications::TraiterAlerte() {
    // The state is back to waiting before the owner opens its window, so that a notification
    // shown from there is not overwritten.
    auto enAttente = [this] {
        FermerImage();
        m_etat = EtatAttente;
        m_tray->setToolTip(texte("stEnAttente"));
    };
    switch (m_etat) {
    case EtatAttente: {
        QStringList libelles;
        Contexte().LireListe(libelles, QStringLiteral("Email"), QStringLiteral("Libelle"));
        if (!libelles.isEmpty())
            m_proprietaire.VerifierMessagerieCourante();
        break;
    }
    case EtatMessage:
        enAttente();
        m_proprietaire.AfficherMessagesRecus();
        break;
    case EtatRendezVous:
        enAttente();
        m_proprietaire.AfficherPageRappel();
        break;
    case EtatMail:
        enAttente();
        m_proprietaire.AfficherMessagerie();
        break;
    case EtatTousComptes: {
        enAttente();
        const QString programme = initiale("Edit_ProgrammeMessagerie");
        if (drapeau("CheckBox_LancerMessagerieVerificationGlobale") && QFileInfo(programme).isFile())
            m_bureau->Ouvrir(programme);
        AlerteSuivante();
        break;
    }
    default: // sending
        break;
    }
}

void TNotifications::ChangerIcone(int code) {
    const char* nom = fichierIcone(code);
    if (!nom)
        return;
    const QString chemin = m_dossiers.programme + QLatin1String(nom);
    QImageReader lecteur(chemin);
    if (lecteur.read().isNull()) {
        Contexte().EnregistrerAnomalie(
            m_dossiers.programme, QStringLiteral("Principale"), QStringLiteral("ChangerIcone"),
            QStringLiteral("Impossible de charger l'icône %1 : %2").arg(chemin, lecteur.errorString()));
        return;
    }
    m_tray->setIcon(QIcon(chemin));
}

void TNotifications::DebutEnvoi() {
    // Sends may overlap (the event loop runs while one connects): the state before the first
    // one is the one to come back to.
    if (m_envois++ == 0)
        m_etatAvantEnvoi = m_etat;
    m_etat = EtatEnvoi;
    ChangerIcone(11);
}

void TNotifications::FinEnvoi() {
    if (m_envois == 0 || --m_envois > 0)
        return;
    m_etat = m_etatAvantEnvoi;
    ChangerIcone(9);
    if (!m_file.isEmpty())
        AfficherAlerte(m_file.first().toInt());
}

void TNotifications::storePosition(const QPoint& position) {
    auto ecrire = [&](const char* left, const char* top) {
        Contexte().EcrireEntierInitial(QLatin1String(left), position.x());
        Contexte().EcrireEntierInitial(QLatin1String(top), position.y());
    };
    // State 5 shows at the mail position but leaves it as it was.
    if (m_etat == EtatMessage)
        ecrire("ImageLeftChat", "ImageTopChat");
    else if (m_etat == EtatRendezVous)
        ecrire("ImageLeftRV", "ImageTopRV");
    else if (m_etat == EtatMail)
        ecrire("ImageLeftPOP", "ImageTopPOP");
}

void TNotifications::showMessageBox(const QString& message) {
    // Not modal, so that the network goes on being served while the box waits for the user.
    auto* boite = new QMessageBox(QMessageBox::Warning, QStringLiteral("Bavardin"), message, QMessageBox::Ok);
    boite->setObjectName(QStringLiteral("_BoiteAlerte"));
    boite->setAttribute(Qt::WA_DeleteOnClose);
    boite->setWindowModality(Qt::NonModal);
    std::erase_if(m_boites, [](const QPointer<QMessageBox>& b) { return b.isNull(); });
    m_boites.emplace_back(boite);
    boite->show();
}
