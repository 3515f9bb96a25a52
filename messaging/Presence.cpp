#include "Presence.h"

#include "Cp1252.h"
#include "UUtils.h"
#include "Ucontexte.h"
#include "o_Fonctions.h"

#include <algorithm>

namespace {

const QString kActif = QStringLiteral("ACTIF");
const QString kRepondeur = QStringLiteral("REPONDEUR");

QString trimCodes32(const QString& s) {
    qsizetype d = 0, f = s.size();
    while (d < f && s[d].unicode() <= 32)
        ++d;
    while (f > d && s[f - 1].unicode() <= 32)
        --f;
    return s.mid(d, f - d);
}

// Upper case of the letters a-z only, as bytes, for the menu order.
QByteArray cleTri(const QString& surnom) {
    QByteArray b = cp1252::encode(surnom);
    for (char& c : b)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return b;
}

} // namespace

ChampsDatagramme DecouperDatagramme(QByteArrayView octets) {
    const qsizetype nul = octets.indexOf('\0');
    const QString texte = cp1252::decode(nul < 0 ? octets : octets.first(nul));
    ChampsDatagramme c;
    const qsizetype v1 = texte.indexOf(u',');
    c.F1 = trimCodes32(v1 < 0 ? texte : texte.left(v1));
    if (v1 < 0)
        return c;
    const qsizetype v2 = texte.indexOf(u',', v1 + 1);
    c.F2 = texte.mid(v1 + 1, v2 < 0 ? -1 : v2 - v1 - 1);
    if (v2 < 0)
        return c;
    const qsizetype v3 = texte.indexOf(u',', v2 + 1);
    c.F3 = texte.mid(v2 + 1, v3 < 0 ? -1 : v3 - v2 - 1);
    if (v3 >= 0)
        c.F4 = texte.mid(v3 + 1);
    return c;
}

QByteArray ConstruireDatagramme(const QString& f1, const QString& f2, const QString& f3, const QString& f4) {
    return cp1252::encode(f1 + u',' + f2 + u',' + f3 + u',' + f4);
}

TPresence::TPresence(IHotePresence& hote, IDiffuseur& diffuseur, QString nomOrdinateur)
    : m_hote(hote), m_diffuseur(diffuseur), m_nom(std::move(nomOrdinateur)) {}

TMachineConnectee* TPresence::trouver(const QString& nom) const { return m_index.value(nom.toLower(), nullptr); }

const TMachineConnectee* TPresence::machine(const QString& nom) const { return trouver(nom); }

void TPresence::ajouter(const QString& nom, TMachineConnectee m) {
    auto r = std::make_unique<TMachineConnectee>(std::move(m));
    m_index.insert(nom.toLower(), r.get());
    m_connectes.emplace_back(nom, std::move(r));
}

void TPresence::retirer(const QString& nom) {
    const QString cle = nom.toLower();
    m_index.remove(cle);
    std::erase_if(m_connectes, [&](const Entree& e) { return e.first.toLower() == cle; });
}

void TPresence::ViderConnectes() {
    m_index.clear();
    m_connectes.clear();
}

void TPresence::TraiterDatagramme(QByteArrayView octets, const QString& source) {
    const ChampsDatagramme c = DecouperDatagramme(octets);
    TraiterOrdre(c.F1, c.F2, c.F3, c.F4, source);
}

void TPresence::TraiterOrdre(const QString& f1, const QString& f2, const QString& f3, const QString& f4,
                             const QString& source) {
    m_hote.laisserPasserEvenements();
    if (f1 == QLatin1String("EFFACERMESSAGES")) {
        m_hote.viderCachesMessages();
        return;
    }
    if (f1 == QLatin1String("MAJAUTO")) {
        m_hote.ordreMiseAJour();
        return;
    }
    if (f1 == QLatin1String("QUITTER") && f2.compare(m_nom, Qt::CaseInsensitive) == 0) {
        DiffuserOrdre(QStringLiteral("DECONNEXION"));
        m_hote.laisserPasserEvenements();
        m_hote.ordreQuitter();
        return;
    }
    if (f1.size() > 7 && f1.startsWith(QLatin1String("FORUM : "))) {
        if (m_hote.forumOuvert())
            m_hote.versForum({f1, f2, f3, f4});
        return;
    }
    const QString cle = f2.toLower();
    if (!m_indexMachines.contains(cle)) {
        m_indexMachines.insert(cle, int(m_machines.size()));
        m_machines << f2;
    }
    if (TMachineConnectee* m = trouver(f2)) {
        if (f1 == QLatin1String("CONNEXION")) {
            m->Etat = kActif;
            DiffuserOrdre(QStringLiteral("BIENVENUE"));
        } else if (f1 == QLatin1String("DECONNEXION")) {
            retirer(f2);
        } else if (f1 == kRepondeur) {
            m->Etat = kRepondeur;
        } else if (f1 == QLatin1String("ICONE")) {
            m->Icone = f4;
        }
    } else if (f1 == QLatin1String("BIENVENUE")) {
        ajouter(f2, {source, f3, f4, kActif});
    } else if (f1 == QLatin1String("CONNEXION")) {
        ajouter(f2, {source, f3, f4, kActif});
        DiffuserOrdre(QStringLiteral("BIENVENUE"));
        if (Contexte().LireBooleenInitial(QStringLiteral("RepondeurActif")))
            DiffuserOrdre(kRepondeur);
    }
    m_hote.connectesModifies();
}

void TPresence::DiffuserOrdre(const QString& ordre) {
    QString icone = Contexte().LireChaineInitiale(QStringLiteral("ChoixPersonnage"));
    if (icone.isEmpty())
        icone = QStringLiteral("0");
    try {
        m_diffuseur.diffuser(ConstruireDatagramme(ordre, m_nom, LireSurnom(), icone));
    } catch (const EDiffusion& e) {
        Contexte().EnregistrerAnomalie(DossierProgramme(), QStringLiteral("Chat"),
                                       QStringLiteral("IdUDPServer.Broadcast(ChoixPersonnage..."), e.message());
    }
}

void TPresence::DiffuserQuitter(const QString& machine) {
    try {
        m_diffuseur.diffuser(ConstruireDatagramme(QStringLiteral("QUITTER"), machine, QStringLiteral("CHEF"),
                                                  QStringLiteral("0")));
    } catch (const EDiffusion& e) {
        Contexte().EnregistrerAnomalie(DossierProgramme(), QStringLiteral("Chat"),
                                       QStringLiteral("IdUDPServer.Broadcast(QUITTER..."), e.message());
    }
}

void TPresence::AnnoncerDemarrage() {
    TraiterOrdre(QStringLiteral("CONNEXION"), m_nom, LireSurnom(),
                 Contexte().LireChaineInitiale(QStringLiteral("ChoixPersonnage")), m_nom);
    m_hote.construireMenuConnectes();
    DiffuserOrdre(QStringLiteral("CONNEXION"));
    redireRepondeur();
}

// A CONNEXION sets its sender back to ACTIF everywhere, this machine included: in answering
// mode the state has to follow it, or every table would show the machine as available.
void TPresence::redireRepondeur() {
    if (Contexte().LireBooleenInitial(QStringLiteral("RepondeurActif")))
        DiffuserOrdre(kRepondeur);
}

void TPresence::ActualiserConnectes() {
    m_hote.retirerMenuConnectes();
    DiffuserOrdre(QStringLiteral("DECONNEXION"));
    ViderConnectes();
    m_hote.attendre(2000);
    DiffuserOrdre(QStringLiteral("CONNEXION"));
    redireRepondeur();
}

bool TPresence::EstConnecte(const QString& machine) const { return !m_connectes.empty() && trouver(machine); }

int TPresence::IconeDe(const QString& machine) const {
    const TMachineConnectee* m = trouver(machine);
    bool ok = false;
    const int n = m ? m->Icone.toInt(&ok) : 0;
    return ok ? n : 0;
}

QString TPresence::MachineDuSurnom(const QString& surnom) const {
    for (const Entree& e : m_connectes)
        if (e.second->Surnom.compare(surnom, Qt::CaseInsensitive) == 0)
            return e.first;
    return QStringLiteral("Machine inconnue");
}

void TPresence::TrierConnectes() {
    std::stable_sort(m_connectes.begin(), m_connectes.end(),
                     [](const Entree& a, const Entree& b) { return cleTri(a.second->Surnom) > cleTri(b.second->Surnom); });
}
