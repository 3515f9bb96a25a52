#include "ULangage.h"

#include "Cp1252.h"
#include "o_Fonctions.h"

#include <QDir>
#include <QFileInfo>
#include <QVariant>

QString AvecBarreFinale(const QString& chemin) { return chemin.endsWith(u'\\') ? chemin : chemin + u'\\'; }

QString ChampNumero(const QString& texte, int n) {
    if (n < 1)
        return {};
    return texte.section(u'.', n - 1, n - 1);
}

namespace {

QStringView nomDe(QStringView entree) {
    const qsizetype egal = entree.indexOf(u'=');
    return egal < 0 ? entree : entree.left(egal);
}

} // namespace

qsizetype TGStringList::IndexOfName(QStringView nom) const {
    for (qsizetype i = 0; i < m_lignes.size(); ++i) {
        const QString& l = m_lignes[i];
        if (l.indexOf(u'=') >= 0 && nomDe(l).compare(nom, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString TGStringList::Value(QStringView nom) const {
    const qsizetype i = IndexOfName(nom);
    if (i < 0)
        return {};
    const QString& l = m_lignes[i];
    return l.mid(l.indexOf(u'=') + 1);
}

bool TGStringList::ContientIdentique(QStringView entree) const {
    for (const QString& l : m_lignes)
        if (l.compare(entree, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

TGStringList& TableTextes() {
    static TGStringList table;
    return table;
}

QList<QObject*> IFenetres::composants(QObject* fenetre) const {
    QList<QObject*> r;
    // Only our named components: Qt's own inner objects carry "qt_" names.
    for (QObject* o : fenetre->findChildren<QObject*>(QString(), Qt::FindChildrenRecursively))
        if (!o->objectName().isEmpty() && !o->objectName().startsWith(QLatin1String("qt_")))
            r << o;
    return r;
}

std::optional<QString> IFenetres::caption(QObject* c) const {
    for (const char* p : {"text", "title"}) {
        const QVariant v = c->property(p);
        if (v.isValid() && v.canConvert<QString>())
            return v.toString();
    }
    return std::nullopt;
}

void IFenetres::setCaption(QObject* c, const QString& texte) const {
    for (const char* p : {"text", "title"})
        if (c->property(p).isValid()) {
            c->setProperty(p, texte);
            return;
        }
}

std::optional<QString> IFenetres::hint(QObject* c) const {
    const QVariant v = c->property("toolTip");
    return v.isValid() ? std::optional<QString>(v.toString()) : std::nullopt;
}

void IFenetres::setHint(QObject* c, const QString& texte) const {
    if (c->property("toolTip").isValid())
        c->setProperty("toolTip", texte);
}

namespace {

// Without a window toolkit there is no window to translate.
class AucuneFenetre final : public IFenetres {
public:
    QList<QObject*> fenetres() const override { return {}; }
};

} // namespace

TLangage::TLangage(QStringList dossiers, TGStringList& table)
    : m_dossiers(std::move(dossiers)), m_table(table), m_fenetres(std::make_unique<AucuneFenetre>()) {
    ListerLangages(Langages);
    LangageCourant = Langages.isEmpty() ? QString() : Langages.first();
}

void TLangage::ListerLangages(QStringList& liste) {
    liste.clear();
    m_fichiers.clear();
    for (const QString& dossier : m_dossiers) {
        const QFileInfoList fichiers = QDir(dossier).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
        for (const QFileInfo& f : fichiers) {
            const QString nom = f.fileName();
            if (!nom.endsWith(QStringLiteral(".lang"), Qt::CaseInsensitive))
                continue;
            const QString langue = nom.left(nom.size() - 5);
            if (m_fichiers.contains(langue.toLower()))
                continue;
            m_fichiers.insert(langue.toLower(), f.absoluteFilePath());
            liste << langue;
        }
    }
}

bool TLangage::ChargerLangage() {
    // The very file the listing found, whatever the case of its name.
    QString chemin = m_fichiers.value(LangageCourant.toLower());
    if (chemin.isEmpty() && !m_dossiers.isEmpty())
        chemin = AvecBarreFichier(m_dossiers.first()) + LangageCourant + QStringLiteral(".lang");
    if (!QFileInfo(chemin).isFile())
        return false;
    QByteArray contenu;
    try {
        contenu = lireFichier(chemin);
    } catch (const EEntreeSortie&) {
        return false;
    }
    ChargerTexte(contenu);
    return true;
}

void TLangage::ChargerTexte(const QByteArray& contenu) {
    const QList<QByteArray> brutes = decouperLignes(contenu);
    Lignes.clear();
    m_index.clear();
    Lignes.reserve(brutes.size());
    for (const QByteArray& b : brutes) {
        const QString l = cp1252::decode(b);
        Lignes << l;
        const qsizetype egal = l.indexOf(u'=');
        if (egal < 0)
            continue;
        const QString nom = l.left(egal).toLower();
        if (!m_index.contains(nom))
            m_index.insert(nom, l.mid(egal + 1));
    }
}

void TLangage::ChoisirLangage(const QString& nom) {
    LangageCourant = nom;
    if (Langages.contains(nom) && ChargerLangage())
        TraduireTout();
}

void TLangage::TraduireFenetre(QObject* fenetre) {
    if (!fenetre || m_index.isEmpty())
        return;
    const QString nomFenetre = fenetre->objectName();
    for (QObject* c : m_fenetres->composants(fenetre)) {
        const QString prefixe = nomFenetre + u'.' + c->objectName() + u'.';
        if (m_fenetres->caption(c)) {
            const QString t = texteLigne(prefixe + QStringLiteral("Caption"));
            if (!t.isEmpty())
                m_fenetres->setCaption(c, t);
        }
        if (m_fenetres->hint(c)) {
            const QString t = texteLigne(prefixe + QStringLiteral("Hint"));
            if (!t.isEmpty())
                m_fenetres->setHint(c, t);
        }
    }
}

void TLangage::TraduireTout() {
    for (QObject* f : m_fenetres->fenetres())
        TraduireFenetre(f);
    m_table.Clear();
    for (const QString& l : Lignes) {
        if (ChampNumero(l, 1) != QStringLiteral("strings"))
            continue;
        const QString entree = l.mid(8);
        if (!m_table.ContientIdentique(entree))
            m_table.Add(entree);
    }
}

void TLangage::SauverCaptions(const QString& fichier) {
    QList<QByteArray> lignes;
    for (QObject* f : m_fenetres->fenetres()) {
        const QString nomFenetre = f->objectName();
        for (QObject* c : m_fenetres->composants(f)) {
            const QString nom = c->objectName();
            if (nom.isEmpty() || nom.startsWith(u'_'))
                continue;
            if (const auto t = m_fenetres->caption(c); t && !t->isEmpty())
                lignes << cp1252::encode(nomFenetre + u'.' + nom + QStringLiteral(".Caption=") + *t);
            if (const auto t = m_fenetres->hint(c); t && !t->isEmpty())
                lignes << cp1252::encode(nomFenetre + u'.' + nom + QStringLiteral(".Hint=") + *t);
        }
        for (const QString& e : m_table.lignes())
            if (ChampNumero(e, 1) == nomFenetre)
                lignes << cp1252::encode(QStringLiteral("strings.") + e);
    }
    ecrireFichierAtomique(fichier, joindreLignes(lignes));
}

TLangage& Traduction() {
    static TLangage traduction(DossiersLangues());
    return traduction;
}
