// Hostile language files: loading, translating windows and filling the table of texts never
// crash or hang, and the dump of what was applied reads back as a language file.
#include "ULangage.h"
#include "ULangageDefaut.h"

#include <QObject>
#include <QTemporaryDir>
#include <cstdint>

namespace {
class Fenetres final : public IFenetres {
public:
    explicit Fenetres(QObject* f) : m_f(f) {}
    QList<QObject*> fenetres() const override { return {m_f}; }

private:
    QObject* m_f;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    QObject fenetre;
    fenetre.setObjectName(QStringLiteral("Form_chat"));
    QObject bouton(&fenetre);
    bouton.setObjectName(QStringLiteral("Button_ChatEnvoyer"));
    bouton.setProperty("text", QStringLiteral("Envoyer"));
    bouton.setProperty("toolTip", QStringLiteral("Envoyer"));
    TGStringList table;
    TLangage l(QStringList{dir.path()}, table);
    l.definirFenetres(std::make_unique<Fenetres>(&fenetre));
    l.ChargerTexte(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    l.TraduireTout();
    (void)table.Value(u"Form_chat.stA");
    (void)ChampNumero(l.Lignes.value(0), 3);
    l.SauverCaptions(dir.filePath(QStringLiteral("dump.lang")));
    return 0;
}
