#include "UChat.h"

#include "Boites.h"
#include "Cp1252.h"
#include "IPrincipale.h"
#include "MessagesPostes.h"
#include "StockMessages.h"
#include "ULangageDefaut.h"
#include "UUtils.h"
#include "Ucontexte.h"
#include "o_Fonctions.h"

#include <QCoreApplication>
#include <QListWidget>
#include <QMenu>
#include <QThread>
#include <QVBoxLayout>

namespace {} // namespace

TForm_chat::TForm_chat(IPrincipale& principale, std::unique_ptr<TPointUDP> point, QWidget* parent)
    : TForm_Bavardin(QStringLiteral("Form_chat"), parent), m_principale(principale), m_udp(std::move(point)),
      m_presence(std::make_unique<TPresence>(static_cast<IHotePresence&>(*this), *m_udp, NomOrdinateur())) {
    setWindowTitle(QStringLiteral("Bavardin - Chat"));
    setMinimumSize(512, 304);
    auto* l = new QVBoxLayout(Client());
    m_listeNom = new QListWidget(Client());
    m_listeNom->setObjectName(QStringLiteral("ListView_ListeNom"));
    m_listeNom->setSortingEnabled(true);
    l->addWidget(m_listeNom);
    FormCreate();
    RestaurerFenetre();

    connect(m_udp.get(), &TPointUDP::datagrammeRecu, this,
            [this](const QByteArray& octets, const QString& source) {
                if (!m_fermeture)
                    m_presence->TraiterDatagramme(octets, source);
            });
    QString erreur;
    if (!m_udp->activer(&erreur)) {
        Contexte().EnregistrerAnomalie(DossierProgramme(), QStringLiteral("Chat"),
                                       QStringLiteral("IdUDPServer.Active"), erreur);
        BoiteNonModale(
            this, QMessageBox::Warning,
            QStringLiteral("Bavardin ne peut pas écouter le port UDP %1 : %2\n\n"
                           "Les ports inférieurs à 1024 demandent un droit particulier. Donnez-le au "
                           "programme une fois pour toutes :\n"
                           "    sudo setcap cap_net_bind_service=+ep %3\n"
                           "ou abaissez le premier port autorisé de la machine :\n"
                           "    sudo sysctl -w net.ipv4.ip_unprivileged_port_start=776\n\n"
                           "Bavardin continue sans voir les autres machines.")
                .arg(m_udp->port())
                .arg(erreur, QCoreApplication::applicationFilePath()));
    }
}

TForm_chat::~TForm_chat() = default;

void TForm_chat::laisserPasserEvenements() {
    QCoreApplication::processEvents();
}

void TForm_chat::viderCachesMessages() {
    ViderCacheMessages(DossierMessages());
}

void TForm_chat::ordreMiseAJour() {
    PosterMessage(m_principale.cibleMessages(), WM_ORDRE_MAJ);
}

void TForm_chat::ordreQuitter() {
    PosterMessage(m_principale.cibleMessages(), WM_ORDRE_QUITTER);
}

bool TForm_chat::forumOuvert() const {
    return m_principale.forumOuvert();
}

void TForm_chat::versForum(const ChampsDatagramme&) {
    // The forum window takes its lines here once it exists.
}

void TForm_chat::connectesModifies() {
    m_principale.marquerConnectesModifies();
}

void TForm_chat::attendre(int millisecondes) {
    QThread::msleep(static_cast<unsigned long>(millisecondes));
}

int TForm_chat::imageMenu(const TMachineConnectee& m) const {
    if (m.Etat == QLatin1String("REPONDEUR"))
        return 1;
    if (!Contexte().LireBooleenInitial(QStringLiteral("UtiliserPersonnage")))
        return 0;
    bool ok = false;
    const int n = m.Icone.toInt(&ok);
    // An empty or non-numeric icon, or one past the list, shows the plain person.
    return ok && n >= 0 && n < m_principale.personnages().size() ? n : 0;
}

void TForm_chat::RetirerMenuConnectes() {
    QMenu* menu = m_principale.menuTray();
    const qsizetype n = menu->actions().size();
    for (qsizetype i = 0; i < n; ++i) {
        QAction* premier = menu->actions().value(0);
        if (!premier || premier->icon().isNull())
            continue;
        menu->removeAction(premier);
        premier->deleteLater();
    }
}

void TForm_chat::ConstruireMenuConnectes() {
    RetirerMenuConnectes();
    m_presence->TrierConnectes();
    QMenu* menu = m_principale.menuTray();
    const QList<QPixmap>& images = m_principale.personnages();
    const QString sur = TexteDe(objectName(), QStringLiteral("stSurQuoi"));
    for (const auto& [nom, m] : m_presence->ListeConnectes()) {
        auto* a = new QAction(m->Surnom + sur + nom, menu);
        const int handle = m_presence->indexMachine(nom);
        a->setData(handle);
        a->setIcon(QIcon(images.value(imageMenu(*m), images.value(0))));
        connect(a, &QAction::triggered, this, [this, handle] { emit machineChoisie(handle); });
        menu->insertAction(menu->actions().value(0), a);
    }
    m_listeNom->clear();
    for (const auto& [nom, m] : m_presence->ListeConnectes()) {
        if (nom.compare(m_presence->nomOrdinateur(), Qt::CaseInsensitive) == 0)
            continue;
        bool ok = false;
        const int icone = m->Etat == QLatin1String("REPONDEUR") ? 1 : m->Icone.toInt(&ok);
        auto* item = new QListWidgetItem(nom);
        item->setIcon(QIcon(images.value(icone >= 0 && icone < images.size() ? icone : 0)));
        m_listeNom->addItem(item);
    }
}

void TForm_chat::arreterPointUDP() {
    const QString erreur = m_udp->desactiver();
    if (!erreur.isEmpty())
        BoiteNonModale(this, QMessageBox::Critical,
                       QStringLiteral("Bordel, ca plante à la sortie avec l'erreur : ") + erreur);
    // A bounded wait: an endpoint that never closes must not hold the shutdown forever.
    for (int essai = 0; m_udp->actif() && essai < 20; ++essai) {
        QThread::msleep(500);
        m_udp->desactiver();
    }
}

void TForm_chat::FermerMessagerie(bool conserver) {
    m_fermeture = true;
    arreterPointUDP();
    SauverFenetre();
    m_presence->ViderConnectes();
    if (!conserver && !Contexte().LireBooleenInitial(QStringLiteral("ConserverMessagesChat")))
        ViderCacheMessages(DossierMessages());
    hide();
}

QByteArray TForm_chat::etat(const QByteArray& requete) const {
    QList<QByteArray> lignes;
    if (requete.startsWith("connectes")) {
        for (const auto& [nom, m] : m_presence->ListeConnectes())
            lignes << cp1252::encode(nom + u'\t' + m->Adresse + u'\t' + m->Surnom + u'\t' + m->Icone + u'\t' +
                                     m->Etat);
    } else if (requete.startsWith("machines")) {
        for (const QString& nom : m_presence->ListeMachines())
            lignes << cp1252::encode(nom);
    }
    QByteArray r;
    for (const QByteArray& l : lignes)
        r += l + '\n';
    return r;
}
