// The per-user registry store: a Windows-registry-like tree of keys holding typed values, kept
// in one SQLite database. RegistreBase owns the connection; TRegistre is the key access object
// (open a key, read and write its values), used by the settings store and the REGEDIT4 text.
#pragma once

#include "Erreurs.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;


enum class TypeValeur : int { None = 0, Sz = 1, ExpandSz = 2, Binary = 3, Dword = 4, MultiSz = 7 };

enum class Racine : int {
    ClassesRoot = 1,
    CurrentUser,
    LocalMachine,
    Users,
    PerformanceData,
    CurrentConfig,
    DynData,
};

// Names exactly as REGEDIT4 writes them, and back (case-insensitive).
QString nomRacine(Racine r);
std::optional<Racine> racineDuNom(QStringView nom);

struct ValeurRegistre {
    QString nom;
    TypeValeur type = TypeValeur::None;
    QByteArray donnees; // Sz/ExpandSz: Windows-1252 bytes without terminator; Dword: 4 bytes LE
};

class RegistreBase final {
public:
    // Opens (creating when missing) the database file; raises ERegistre when that fails.
    explicit RegistreBase(const QString& chemin);
    ~RegistreBase();
    RegistreBase(const RegistreBase&) = delete;
    RegistreBase& operator=(const RegistreBase&) = delete;

    // $XDG_CONFIG_HOME/Quidam/registre.sqlite
    static QString cheminParDefaut();
    QString chemin() const { return m_chemin; }

    std::optional<qint64> trouverCle(Racine racine, const QString& chemin);
    qint64 creerCle(Racine racine, const QString& chemin);
    // Deletes the key with everything below it; false when it did not exist.
    bool supprimerCle(Racine racine, const QString& chemin);

    QStringList sousCles(qint64 cle);          // alphabetical, case-insensitive
    QList<ValeurRegistre> valeurs(qint64 cle); // creation order
    std::optional<ValeurRegistre> lireValeur(qint64 cle, const QString& nom);
    void ecrireValeur(qint64 cle, const QString& nom, TypeValeur type, const QByteArray& donnees);
    bool supprimerValeur(qint64 cle, const QString& nom);

    // Groups several writes into one all-or-nothing transaction; nests.
    class Transaction final {
    public:
        explicit Transaction(RegistreBase& base);
        ~Transaction(); // rolls back unless valider() ran
        void valider();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;

    private:
        RegistreBase& m_base;
        bool m_fait = false;
    };

private:
    struct Instruction;
    sqlite3_stmt* instruction(int quoi);
    void executer(const char* sql);
    void verifierCache();
    void viderCaches();
    [[noreturn]] void echec(const char* quoi);
    std::optional<qint64> enfant(qint64 parent, const QString& nom);

    QString m_chemin;
    sqlite3* m_db = nullptr;
    std::vector<sqlite3_stmt*> m_instructions;
    QHash<QString, qint64> m_cache; // "<root>\<lower path>" -> key id
    // Values read or written, absent ones included; settings are read far more than written.
    QHash<std::pair<qint64, QString>, std::optional<ValeurRegistre>> m_valeurs;
    qint64 m_versionDonnees = -1;
    int m_profondeur = 0;
};

// The key access object: one open key at a time, like the platform's registry class.
class TRegistre final {
public:
    explicit TRegistre(RegistreBase& base) : m_base(base) {}

    Racine RootKey = Racine::CurrentUser;

    // A path starting with "\" is absolute from the root, any other is relative to the open key.
    bool OpenKey(const QString& chemin, bool creer);
    void CloseKey();
    bool KeyExists(const QString& chemin);
    bool DeleteKey(const QString& chemin);
    QString CurrentPath() const { return m_cheminCourant; }
    bool estOuverte() const { return m_cle.has_value(); }

    bool ValueExists(const QString& nom);
    QStringList GetKeyNames();
    QStringList GetValueNames();
    std::optional<ValeurRegistre> lire(const QString& nom);

    QString ReadString(const QString& nom);  // raises on another type
    qint32 ReadInteger(const QString& nom);  // raises on another type
    void WriteString(const QString& nom, const QString& valeur);
    void WriteExpandString(const QString& nom, const QString& valeur);
    void WriteInteger(const QString& nom, qint32 valeur);
    void WriteBinaryData(const QString& nom, const QByteArray& donnees);
    void ecrire(const QString& nom, TypeValeur type, const QByteArray& donnees);
    bool DeleteValue(const QString& nom);

    RegistreBase& base() { return m_base; }

private:
    QString absolu(const QString& chemin) const;
    qint64 cleOuverte(const QString& operation) const;

    RegistreBase& m_base;
    std::optional<qint64> m_cle;
    QString m_cheminCourant;
};
