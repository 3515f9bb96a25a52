#include "Ucontexte.h"

#include "Cp1252.h"
#include "Regedit4.h"
#include "o_Fonctions.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <cstdio>

namespace {

TContexte* g_courant = nullptr;
std::unique_ptr<TContexte>& proprietaire() {
    static std::unique_ptr<TContexte> p;
    return p;
}

// Closes the store's key on every path out of an operation.
class CleOuverte final {
public:
    explicit CleOuverte(TRegistre& r) : m_r(r) {}
    ~CleOuverte() { m_r.CloseKey(); }
    CleOuverte(const CleOuverte&) = delete;
    CleOuverte& operator=(const CleOuverte&) = delete;

private:
    TRegistre& m_r;
};

// The user's locale; a bare C locale (a service, a container) gets the program's French.
QLocale localeUtilisateur() {
    const QLocale l = QLocale::system();
    return l.language() == QLocale::C ? QLocale(QLocale::French, QLocale::France) : l;
}

QString heureLongue(const QLocale& l, const QTime& t) {
    // The long time format without its time-zone field, as the desktop shows it.
    QString f = l.timeFormat(QLocale::LongFormat);
    f.remove(QLatin1Char('t'));
    return l.toString(t, f.trimmed());
}

// A sub-key's path; the root itself is the lone "\\".
QString sousCle(const QString& parent, const QString& nom) {
    return parent.endsWith(u'\\') ? parent + nom : parent + u'\\' + nom;
}

} // namespace

QString AvecSeparateur(const QString& chemin) {
    if (chemin.isEmpty() || chemin.endsWith(u':') || chemin.endsWith(u'\\'))
        return chemin;
    return chemin + u'\\';
}

QString LettresSeules(const QString& nom) {
    QString r;
    for (QChar c : nom)
        if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))
            r += c;
    return r.isEmpty() ? QStringLiteral("Generique") : r;
}

QString NomApplicationDe(const QString& cheminProgramme) {
    QString nom = QFileInfo(cheminProgramme).fileName();
    const qsizetype point = nom.lastIndexOf(u'.');
    if (point >= 0)
        nom.truncate(point);
    for (QChar& c : nom)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    if (nom.isEmpty())
        return QStringLiteral("Sans nom");
    if (nom[0] >= u'a' && nom[0] <= u'z')
        nom[0] = QChar(nom[0].unicode() - 32);
    return nom;
}

QString NomApplication() { return NomApplicationDe(QCoreApplication::applicationFilePath()); }

TContexte::TContexte(const QString& nomApplication, const QString& cheminBase)
    : m_cheminBase(QStringLiteral("\\Software\\Quidam\\") + nomApplication),
      m_base(std::make_unique<RegistreBase>(cheminBase)), m_registre(*m_base) {
    if (!g_courant)
        g_courant = this;
}

TContexte::~TContexte() {
    if (g_courant == this)
        g_courant = nullptr;
}

TContexte& Contexte() {
    if (!g_courant)
        proprietaire() = std::make_unique<TContexte>();
    return *g_courant;
}

void LibererContexte() { proprietaire().reset(); }

void TContexte::afficher(const QString& message) const {
    if (m_afficheur)
        m_afficheur(message);
    else
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

bool TContexte::OuvrirSection(const QString& section, bool creer) {
    m_registre.RootKey = Racine::CurrentUser;
    return m_registre.OpenKey(chemin(section), creer);
}

void TContexte::SupprimerSection(const QString& section) {
    m_registre.RootKey = Racine::CurrentUser;
    m_registre.DeleteKey(chemin(section));
}

void TContexte::EcrireChaine(const QString& section, const QString& nom, const QString& valeur) {
    CleOuverte c(m_registre);
    if (OuvrirSection(section, true))
        m_registre.WriteString(nom, valeur);
}

QString TContexte::LireChaine(const QString& section, const QString& nom, const QString& defaut) {
    CleOuverte c(m_registre);
    if (!OuvrirSection(section, false) || !m_registre.ValueExists(nom))
        return defaut;
    return m_registre.ReadString(nom);
}

void TContexte::EcrireEntier(const QString& section, const QString& nom, qint32 valeur) {
    CleOuverte c(m_registre);
    if (OuvrirSection(section, true))
        m_registre.WriteInteger(nom, valeur);
}

qint32 TContexte::LireEntier(const QString& section, const QString& nom, qint32 defaut) {
    CleOuverte c(m_registre);
    if (!OuvrirSection(section, false) || !m_registre.ValueExists(nom))
        return defaut;
    return m_registre.ReadInteger(nom);
}

bool TContexte::LireListe(QStringList& liste, const QString& section, const QString& champ) {
    CleOuverte c(m_registre);
    if (!OuvrirSection(AvecSeparateur(section) + champ, false))
        return false;
    for (int i = 0; i <= 1000; ++i) {
        const auto v = m_registre.lire(QString::number(i));
        if (!v)
            break;
        if (v->type != TypeValeur::Sz && v->type != TypeValeur::ExpandSz)
            throw ERegistre(QStringLiteral("Type de donnée incorrect pour \"%1\"").arg(i));
        liste << cp1252::decode(v->donnees);
    }
    return true;
}

void TContexte::EcrireListe(const QStringList& liste, const QString& section, const QString& champ) {
    const QString cle = AvecSeparateur(section) + champ;
    CleOuverte c(m_registre);
    RegistreBase::Transaction t(*m_base);
    SupprimerSection(cle);
    if (!OuvrirSection(cle, true))
        return;
    for (qsizetype i = 0; i < liste.size(); ++i)
        m_registre.WriteString(QString::number(i), liste[i]);
    t.valider();
}

QString TContexte::SectionFenetre(const QString& nomFenetre) {
    return (QStringLiteral("Settings\\") + nomFenetre).left(255);
}

QString TContexte::SectionPostIt(const QString& nomPostIt) {
    return SectionFenetre(QStringLiteral("Form_PostIt")) + u'\\' + LettresSeules(nomPostIt);
}

void TContexte::RestaurerFenetre(const QString& section, EtatFenetre& e) {
    e.Left = LireEntier(section, QStringLiteral("Left"), e.Left);
    e.Top = LireEntier(section, QStringLiteral("Top"), e.Top);
    if (e.Redimensionnable) {
        e.Height = LireEntier(section, QStringLiteral("Height"), e.Height);
        e.Width = LireEntier(section, QStringLiteral("Width"), e.Width);
    }
    if (e.StyleNormal)
        e.WindowState = LireEntier(section, QStringLiteral("WindowState"), e.WindowState);
}

void TContexte::SauverFenetre(const QString& section, const EtatFenetre& e) {
    if (e.WindowState == 0) {
        RegistreBase::Transaction t(*m_base);
        EcrireEntier(section, QStringLiteral("Left"), e.Left);
        EcrireEntier(section, QStringLiteral("Top"), e.Top);
        EcrireEntier(section, QStringLiteral("Height"), e.Height);
        EcrireEntier(section, QStringLiteral("Width"), e.Width);
        EcrireEntier(section, QStringLiteral("Visible"), e.Visible ? 1 : 0);
        EcrireEntier(section, QStringLiteral("WindowState"), 0);
        t.valider();
    } else if (e.WindowState == 2) {
        EcrireEntier(section, QStringLiteral("WindowState"), 2);
    }
}

void TContexte::ExporterCle(Racine racine, const QString& cheminCle, const QString& fichier) {
    QString cheminExport = cheminCle;
    if (cheminExport != QStringLiteral("\\") && cheminExport.endsWith(u'\\'))
        cheminExport.chop(1);
    TRegistre reg(*m_base);
    reg.RootKey = racine;
    const QString absolu = cheminExport.startsWith(u'\\') ? cheminExport : u'\\' + cheminExport;
    if (!reg.KeyExists(absolu))
        return;

    QList<QByteArray> lignes{"REGEDIT4"};
    // Depth first: a key's section, then each sub-key's tree, sub-keys in enumeration order.
    std::function<void(const QString&, const QString&)> section = [&](const QString& abs, const QString& affiche) {
        if (!reg.OpenKey(abs, false))
            return;
        lignes << QByteArray() << regedit4::ligneCle(racine, affiche);
        const qint64 id = *m_base->trouverCle(racine, abs);
        for (const auto& v : m_base->valeurs(id))
            lignes << regedit4::lignesValeur(v);
        const QStringList enfants = reg.GetKeyNames();
        reg.CloseKey();
        for (const QString& e : enfants)
            section(sousCle(abs, e), sousCle(affiche, e));
    };
    section(absolu, cheminExport);
    lignes << QByteArray();

    const QString dossier = QFileInfo(fichier).path();
    if (!dossier.isEmpty() && dossier != QStringLiteral("."))
        CreerDossiers(dossier);
    ecrireFichierAtomique(fichier, joindreLignes(lignes));
}

void TContexte::SupprimerCle(const QString& cheminCle) {
    TRegistre reg(*m_base);
    reg.RootKey = Racine::CurrentUser;
    if (!reg.DeleteKey(cheminCle.startsWith(u'\\') ? cheminCle : u'\\' + cheminCle))
        afficher(QStringLiteral("Erreur d'ouverture de clé"));
}

void TContexte::ImporterFichier(const QString& fichier) {
    if (!QFileInfo::exists(fichier))
        return;
    ImporterLignes(lireLignes(fichier));
}

void TContexte::ImporterLignes(const QList<QByteArray>& lignes) {
    const regedit4::Analyse a = regedit4::analyser(lignes);
    if (!a.estRegedit4)
        return;
    TRegistre reg(*m_base);
    RegistreBase::Transaction t(*m_base);
    for (const auto& i : a.instructions) {
        if (const auto* o = std::get_if<regedit4::OuvrirCle>(&i)) {
            reg.CloseKey();
            reg.RootKey = o->racine;
            reg.OpenKey(o->chemin.startsWith(u'\\') ? o->chemin : u'\\' + o->chemin, true);
        } else {
            const auto& v = std::get<regedit4::EcrireValeur>(i);
            reg.ecrire(v.nom, v.type, v.donnees);
        }
    }
    t.valider();
}

void TContexte::EnregistrerAnomalie(const QString& dossier, const QString& origine, const QString& operation,
                                    const QString& message) {
    const QString chemin = AvecBarreFichier(dossier) + QStringLiteral("Anomalies.log");
    QList<QByteArray> lignes = lireLignes(chemin);
    const QDateTime maintenant = QDateTime::currentDateTime();
    const QLocale locale = localeUtilisateur();
    const QString date = locale.toString(maintenant.date(), QLocale::ShortFormat);
    // Built by concatenation: a "%1" inside a message must stay as it is.
    lignes << cp1252::encode(date + QStringLiteral(" à ") + heureLongue(locale, maintenant.time())) << QByteArray(59, '*')
           << cp1252::encode(origine.leftJustified(20) + QStringLiteral(" : ") + operation.leftJustified(20) +
                             QStringLiteral(" - ") + message)
           << QByteArray();
    ecrireFichierAtomique(chemin, joindreLignes(lignes));
}
