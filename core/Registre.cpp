#include "Registre.h"

#include "Cp1252.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtEndian>
#include <array>
#include <sqlite3.h>

namespace {

constexpr std::array<const char*, 7> kRacines = {
    "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",     "HKEY_LOCAL_MACHINE", "HKEY_USERS",
    "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};

QStringList morceaux(const QString& chemin) { return chemin.split(u'\\', Qt::SkipEmptyParts); }

QString cle(const QString& nom) { return nom.toLower(); }

enum Quoi {
    DataVersion,
    Enfant,
    InsererCle,
    SupprimerCleId,
    SousCles,
    Valeurs,
    LireValeur,
    MajValeur,
    InsererValeur,
    SupprimerValeur,
    NombreInstructions
};

constexpr std::array<const char*, NombreInstructions> kSql = {
    "PRAGMA data_version",
    "SELECT id FROM cles WHERE parent = ?1 AND nomc = ?2",
    "INSERT INTO cles(parent, nom, nomc) VALUES(?1, ?2, ?3)",
    "DELETE FROM cles WHERE id = ?1",
    "SELECT nom FROM cles WHERE parent = ?1 ORDER BY nomc, nom",
    "SELECT nom, type, donnees FROM valeurs WHERE cle = ?1 ORDER BY id",
    "SELECT nom, type, donnees FROM valeurs WHERE cle = ?1 AND nomc = ?2",
    "UPDATE valeurs SET type = ?3, donnees = ?4 WHERE cle = ?1 AND nomc = ?2",
    "INSERT INTO valeurs(cle, nom, nomc, type, donnees) VALUES(?1, ?2, ?5, ?3, ?4)",
    "DELETE FROM valeurs WHERE cle = ?1 AND nomc = ?2",
};

// Resets and clears a statement on every path out of a scope.
class Liaison final {
public:
    explicit Liaison(sqlite3_stmt* s) : m_s(s) {}
    ~Liaison() {
        sqlite3_reset(m_s);
        sqlite3_clear_bindings(m_s);
    }
    Liaison(const Liaison&) = delete;
    Liaison& operator=(const Liaison&) = delete;
    sqlite3_stmt* operator*() const { return m_s; }

    void texte(int i, const QString& t) {
        const QByteArray u = t.toUtf8();
        sqlite3_bind_text(m_s, i, u.constData(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
    }
    void entier(int i, qint64 v) { sqlite3_bind_int64(m_s, i, v); }
    void octets(int i, const QByteArray& b) {
        sqlite3_bind_blob(m_s, i, b.isEmpty() ? "" : b.constData(), static_cast<int>(b.size()), SQLITE_TRANSIENT);
    }
    QString colTexte(int i) const {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_s, i)),
                                 sqlite3_column_bytes(m_s, i));
    }
    QByteArray colOctets(int i) const {
        const void* p = sqlite3_column_blob(m_s, i);
        return QByteArray(static_cast<const char*>(p), p ? sqlite3_column_bytes(m_s, i) : 0);
    }

private:
    sqlite3_stmt* m_s;
};

ValeurRegistre lireLigne(const Liaison& l) {
    return {l.colTexte(0), static_cast<TypeValeur>(sqlite3_column_int(*l, 1)), l.colOctets(2)};
}

} // namespace

QString nomRacine(Racine r) {
    const int i = static_cast<int>(r) - 1;
    return (i >= 0 && i < int(kRacines.size())) ? QString::fromLatin1(kRacines[i]) : QString();
}

std::optional<Racine> racineDuNom(QStringView nom) {
    for (size_t i = 0; i < kRacines.size(); ++i)
        if (nom.compare(QLatin1String(kRacines[i]), Qt::CaseInsensitive) == 0)
            return static_cast<Racine>(i + 1);
    return std::nullopt;
}

RegistreBase::RegistreBase(const QString& chemin) : m_chemin(chemin) {
    if (chemin != QStringLiteral(":memory:"))
        QDir().mkpath(QFileInfo(chemin).absolutePath());
    if (sqlite3_open_v2(chemin.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        const QString err = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString();
        sqlite3_close(m_db);
        m_db = nullptr;
        throw ERegistre(QStringLiteral("Impossible d'ouvrir le registre %1 : %2").arg(chemin, err));
    }
    sqlite3_busy_timeout(m_db, 5000);
    try {
        // WAL with NORMAL sync: a commit survives the program being killed, and costs no fsync.
        executer("PRAGMA journal_mode=WAL");
        executer("PRAGMA synchronous=NORMAL");
        executer("PRAGMA foreign_keys=ON");
        executer("BEGIN IMMEDIATE");
        executer("CREATE TABLE IF NOT EXISTS cles("
                 " id INTEGER PRIMARY KEY,"
                 " parent INTEGER REFERENCES cles(id) ON DELETE CASCADE,"
                 " nom TEXT NOT NULL, nomc TEXT NOT NULL)");
        executer("CREATE UNIQUE INDEX IF NOT EXISTS cles_nom ON cles(parent, nomc)");
        executer("CREATE TABLE IF NOT EXISTS valeurs("
                 " id INTEGER PRIMARY KEY,"
                 " cle INTEGER NOT NULL REFERENCES cles(id) ON DELETE CASCADE,"
                 " nom TEXT NOT NULL, nomc TEXT NOT NULL, type INTEGER NOT NULL, donnees BLOB NOT NULL)");
        executer("CREATE UNIQUE INDEX IF NOT EXISTS valeurs_nom ON valeurs(cle, nomc)");
        for (size_t i = 0; i < kRacines.size(); ++i) {
            const QByteArray sql = QByteArray("INSERT OR IGNORE INTO cles(id, parent, nom, nomc) VALUES(") +
                                   QByteArray::number(qulonglong(i + 1)) + ", NULL, '" + kRacines[i] + "', '" +
                                   QByteArray(kRacines[i]).toLower() + "')";
            executer(sql.constData());
        }
        executer("COMMIT");
        for (const char* sql : kSql) {
            sqlite3_stmt* s = nullptr;
            if (sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr) != SQLITE_OK)
                echec("prepare");
            m_instructions.push_back(s);
        }
    } catch (...) {
        for (sqlite3_stmt* s : m_instructions)
            sqlite3_finalize(s);
        sqlite3_close(m_db);
        throw;
    }
}

RegistreBase::~RegistreBase() {
    for (sqlite3_stmt* s : m_instructions)
        sqlite3_finalize(s);
    sqlite3_close(m_db);
}

QString RegistreBase::cheminParDefaut() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/Quidam/registre.sqlite");
}

void RegistreBase::executer(const char* sql) {
    char* err = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        const QString texte = QString::fromUtf8(err ? err : "?");
        sqlite3_free(err);
        throw ERegistre(QStringLiteral("Erreur du registre : %1").arg(texte));
    }
}

void RegistreBase::echec(const char* quoi) {
    throw ERegistre(QStringLiteral("Erreur du registre (%1) : %2")
                        .arg(QString::fromLatin1(quoi), QString::fromUtf8(sqlite3_errmsg(m_db))));
}

sqlite3_stmt* RegistreBase::instruction(int quoi) { return m_instructions[quoi]; }

// Another process (BavardinReg, say) may have moved keys: drop cached ids when anything changed.
void RegistreBase::verifierCache() {
    Liaison l(instruction(DataVersion));
    if (sqlite3_step(*l) == SQLITE_ROW) {
        const qint64 v = sqlite3_column_int64(*l, 0);
        if (v != m_versionDonnees) {
            viderCaches();
            m_versionDonnees = v;
        }
    }
}

void RegistreBase::viderCaches() {
    m_cache.clear();
    m_valeurs.clear();
}

std::optional<qint64> RegistreBase::enfant(qint64 parent, const QString& nom) {
    Liaison l(instruction(Enfant));
    l.entier(1, parent);
    l.texte(2, cle(nom));
    const int rc = sqlite3_step(*l);
    if (rc == SQLITE_ROW)
        return sqlite3_column_int64(*l, 0);
    if (rc != SQLITE_DONE)
        echec("lecture de clé");
    return std::nullopt;
}

std::optional<qint64> RegistreBase::trouverCle(Racine racine, const QString& chemin) {
    verifierCache();
    const QStringList parts = morceaux(chemin);
    const QString cache = QString::number(int(racine)) + u'\\' + cle(parts.join(u'\\'));
    if (auto it = m_cache.constFind(cache); it != m_cache.constEnd())
        return *it < 0 ? std::nullopt : std::optional<qint64>(*it);
    if (m_cache.size() > 4096)
        m_cache.clear();
    qint64 id = static_cast<qint64>(racine);
    for (const QString& p : parts) {
        auto e = enfant(id, p);
        if (!e) {
            m_cache.insert(cache, -1); // absent keys are asked for at every first run
            return std::nullopt;
        }
        id = *e;
    }
    m_cache.insert(cache, id);
    return id;
}

qint64 RegistreBase::creerCle(Racine racine, const QString& chemin) {
    if (auto id = trouverCle(racine, chemin))
        return *id;
    Transaction t(*this);
    qint64 id = static_cast<qint64>(racine);
    for (const QString& p : morceaux(chemin)) {
        if (auto e = enfant(id, p)) {
            id = *e;
            continue;
        }
        Liaison l(instruction(InsererCle));
        l.entier(1, id);
        l.texte(2, p);
        l.texte(3, cle(p));
        if (sqlite3_step(*l) != SQLITE_DONE)
            echec("création de clé");
        id = sqlite3_last_insert_rowid(m_db);
    }
    t.valider();
    m_cache.clear(); // forget the keys remembered as absent
    return id;
}

bool RegistreBase::supprimerCle(Racine racine, const QString& chemin) {
    const auto id = trouverCle(racine, chemin);
    if (!id || *id == static_cast<qint64>(racine))
        return false; // a root itself is never deleted
    Liaison l(instruction(SupprimerCleId));
    l.entier(1, *id);
    if (sqlite3_step(*l) != SQLITE_DONE)
        echec("suppression de clé");
    viderCaches();
    return true;
}

QStringList RegistreBase::sousCles(qint64 cleId) {
    QStringList noms;
    Liaison l(instruction(SousCles));
    l.entier(1, cleId);
    int rc;
    while ((rc = sqlite3_step(*l)) == SQLITE_ROW)
        noms << l.colTexte(0);
    if (rc != SQLITE_DONE)
        echec("liste des clés");
    return noms;
}

QList<ValeurRegistre> RegistreBase::valeurs(qint64 cleId) {
    QList<ValeurRegistre> liste;
    Liaison l(instruction(Valeurs));
    l.entier(1, cleId);
    int rc;
    while ((rc = sqlite3_step(*l)) == SQLITE_ROW)
        liste << lireLigne(l);
    if (rc != SQLITE_DONE)
        echec("liste des valeurs");
    return liste;
}

// Freshness against other processes was checked when the key was found (trouverCle).
std::optional<ValeurRegistre> RegistreBase::lireValeur(qint64 cleId, const QString& nom) {
    const std::pair<qint64, QString> k{cleId, cle(nom)};
    if (auto it = m_valeurs.constFind(k); it != m_valeurs.constEnd())
        return *it;
    Liaison l(instruction(LireValeur));
    l.entier(1, cleId);
    l.texte(2, k.second);
    const int rc = sqlite3_step(*l);
    std::optional<ValeurRegistre> v;
    if (rc == SQLITE_ROW)
        v = lireLigne(l);
    else if (rc != SQLITE_DONE)
        echec("lecture de valeur");
    if (m_valeurs.size() > 4096)
        m_valeurs.clear();
    m_valeurs.insert(k, v);
    return v;
}

void RegistreBase::ecrireValeur(qint64 cleId, const QString& nom, TypeValeur type, const QByteArray& donnees) {
    m_valeurs.remove({cleId, cle(nom)});
    // An existing value keeps its place in the enumeration and the case of its name.
    {
        Liaison l(instruction(MajValeur));
        l.entier(1, cleId);
        l.texte(2, cle(nom));
        l.entier(3, static_cast<int>(type));
        l.octets(4, donnees);
        if (sqlite3_step(*l) != SQLITE_DONE)
            echec("écriture de valeur");
        if (sqlite3_changes(m_db) > 0)
            return;
    }
    Liaison l(instruction(InsererValeur));
    l.entier(1, cleId);
    l.texte(2, nom);
    l.entier(3, static_cast<int>(type));
    l.octets(4, donnees);
    l.texte(5, cle(nom));
    if (sqlite3_step(*l) != SQLITE_DONE)
        echec("écriture de valeur");
}

bool RegistreBase::supprimerValeur(qint64 cleId, const QString& nom) {
    m_valeurs.remove({cleId, cle(nom)});
    Liaison l(instruction(SupprimerValeur));
    l.entier(1, cleId);
    l.texte(2, cle(nom));
    if (sqlite3_step(*l) != SQLITE_DONE)
        echec("suppression de valeur");
    return sqlite3_changes(m_db) > 0;
}

RegistreBase::Transaction::Transaction(RegistreBase& base) : m_base(base) {
    m_base.executer(m_base.m_profondeur == 0 ? "BEGIN IMMEDIATE" : "SAVEPOINT t");
    ++m_base.m_profondeur;
}

RegistreBase::Transaction::~Transaction() {
    if (m_fait)
        return;
    --m_base.m_profondeur;
    try {
        if (m_base.m_profondeur == 0)
            m_base.executer("ROLLBACK");
        else
            m_base.executer("ROLLBACK TO t; RELEASE t");
    } catch (const ERegistre&) {
        // Nothing more can be done from a destructor; the connection stays usable.
    }
    m_base.viderCaches();
}

void RegistreBase::Transaction::valider() {
    m_base.executer(m_base.m_profondeur == 1 ? "COMMIT" : "RELEASE t");
    --m_base.m_profondeur;
    m_fait = true;
}

// ---------------------------------------------------------------------------------------------

QString TRegistre::absolu(const QString& chemin) const {
    if (chemin.startsWith(u'\\') || !m_cle)
        return chemin;
    return m_cheminCourant + u'\\' + chemin;
}

bool TRegistre::OpenKey(const QString& chemin, bool creer) {
    const QString complet = absolu(chemin);
    const auto id = creer ? std::optional<qint64>(m_base.creerCle(RootKey, complet)) : m_base.trouverCle(RootKey, complet);
    if (!id)
        return false;
    m_cle = id;
    m_cheminCourant = u'\\' + morceaux(complet).join(u'\\');
    return true;
}

void TRegistre::CloseKey() {
    m_cle.reset();
    m_cheminCourant.clear();
}

bool TRegistre::KeyExists(const QString& chemin) { return m_base.trouverCle(RootKey, absolu(chemin)).has_value(); }

bool TRegistre::DeleteKey(const QString& chemin) {
    const QString complet = absolu(chemin);
    const bool fait = m_base.supprimerCle(RootKey, complet);
    if (fait && m_cle && !m_base.trouverCle(RootKey, m_cheminCourant))
        CloseKey();
    return fait;
}

qint64 TRegistre::cleOuverte(const QString& operation) const {
    if (!m_cle)
        throw ERegistre(QStringLiteral("Échec de l'écriture de la valeur \"%1\" : aucune clé ouverte").arg(operation));
    return *m_cle;
}

bool TRegistre::ValueExists(const QString& nom) { return m_cle && m_base.lireValeur(*m_cle, nom).has_value(); }

QStringList TRegistre::GetKeyNames() { return m_cle ? m_base.sousCles(*m_cle) : QStringList(); }

QStringList TRegistre::GetValueNames() {
    QStringList noms;
    if (m_cle)
        for (const auto& v : m_base.valeurs(*m_cle))
            noms << v.nom;
    return noms;
}

std::optional<ValeurRegistre> TRegistre::lire(const QString& nom) {
    return m_cle ? m_base.lireValeur(*m_cle, nom) : std::nullopt;
}

QString TRegistre::ReadString(const QString& nom) {
    const auto v = lire(nom);
    if (!v)
        return {};
    if (v->type != TypeValeur::Sz && v->type != TypeValeur::ExpandSz)
        throw ERegistre(QStringLiteral("Type de donnée incorrect pour \"%1\"").arg(nom));
    return cp1252::decode(v->donnees);
}

qint32 TRegistre::ReadInteger(const QString& nom) {
    const auto v = lire(nom);
    if (!v)
        return 0;
    if (v->type != TypeValeur::Dword || v->donnees.size() != 4)
        throw ERegistre(QStringLiteral("Type de donnée incorrect pour \"%1\"").arg(nom));
    return qFromLittleEndian<qint32>(v->donnees.constData());
}

void TRegistre::ecrire(const QString& nom, TypeValeur type, const QByteArray& donnees) {
    m_base.ecrireValeur(cleOuverte(nom), nom, type, donnees);
}

void TRegistre::WriteString(const QString& nom, const QString& valeur) { ecrire(nom, TypeValeur::Sz, cp1252::encode(valeur)); }

void TRegistre::WriteExpandString(const QString& nom, const QString& valeur) {
    ecrire(nom, TypeValeur::ExpandSz, cp1252::encode(valeur));
}

void TRegistre::WriteInteger(const QString& nom, qint32 valeur) {
    QByteArray b(4, Qt::Uninitialized);
    qToLittleEndian(valeur, b.data());
    ecrire(nom, TypeValeur::Dword, b);
}

void TRegistre::WriteBinaryData(const QString& nom, const QByteArray& donnees) { ecrire(nom, TypeValeur::Binary, donnees); }

bool TRegistre::DeleteValue(const QString& nom) { return m_cle && m_base.supprimerValeur(*m_cle, nom); }
