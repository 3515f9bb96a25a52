// Translation by language files: lists the "*.lang" files, loads the one in force, applies its
// captions and hints to the windows, fills the table of texts, and dumps the texts of the
// existing windows as a new language file.
#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

// Adds "\" unless the path already ends with one (the empty path included).
QString AvecBarreFinale(const QString& chemin);
// The n-th field of a text cut at "."; n = 1 is the text before the first "." (or all of it).
QString ChampNumero(const QString& texte, int n);

// A plain list of "<name>=<text>" entries; look-ups ignore case and the first entry wins.
class TGStringList final {
public:
    void Clear() { m_lignes.clear(); }
    void Add(const QString& entree) { m_lignes << entree; }
    qsizetype Count() const { return m_lignes.size(); }
    const QStringList& lignes() const { return m_lignes; }
    // Index of the first entry whose name (the part before the first "=") matches, or -1.
    qsizetype IndexOfName(QStringView nom) const;
    // The text of the first entry with that name, or an empty text.
    QString Value(QStringView nom) const;
    bool ContientIdentique(QStringView entree) const;

private:
    QStringList m_lignes;
};

TGStringList& TableTextes();

// How the window toolkit shows its windows and their components' texts to the translation.
class IFenetres {
public:
    virtual ~IFenetres() = default;
    // Every existing window, shown or hidden, in the application's order.
    virtual QList<QObject*> fenetres() const = 0;
    // The components of a window, in their creation order.
    virtual QList<QObject*> composants(QObject* fenetre) const;
    // The component's Caption (visible text) / Hint (tool-tip), or nothing when it has none.
    virtual std::optional<QString> caption(QObject* composant) const;
    virtual void setCaption(QObject* composant, const QString& texte) const;
    virtual std::optional<QString> hint(QObject* composant) const;
    virtual void setHint(QObject* composant, const QString& texte) const;
};

class TLangage final {
public:
    // Lists the language files of the folders (the program's folder first).
    explicit TLangage(QStringList dossiers, TGStringList& table = TableTextes());
    TLangage(const TLangage&) = delete;
    TLangage& operator=(const TLangage&) = delete;

    QStringList Langages;
    QString LangageCourant;
    QStringList Lignes;

    void ListerLangages(QStringList& liste);
    bool ChargerLangage();
    // Replaces the loaded lines by those of a language file's content.
    void ChargerTexte(const QByteArray& contenu);
    void ChoisirLangage(const QString& nom);
    void TraduireFenetre(QObject* fenetre);
    void TraduireTout();
    // Raises EEntreeSortie when the file cannot be written.
    void SauverCaptions(const QString& fichier);

    void definirFenetres(std::unique_ptr<IFenetres> fenetres) { m_fenetres = std::move(fenetres); }
    // The text of a line of the loaded file by its name, case ignored, first line winning.
    QString texteLigne(const QString& nom) const { return m_index.value(nom.toLower()); }

private:
    QStringList m_dossiers;
    TGStringList& m_table;
    QHash<QString, QString> m_fichiers; // lower-case language name -> file the listing found
    QHash<QString, QString> m_index;    // lower-case entry name -> text
    std::unique_ptr<IFenetres> m_fenetres;
};

// The one translation service of the program, over the program's folders.
TLangage& Traduction();
