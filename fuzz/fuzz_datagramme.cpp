// Hostile presence datagrams: the splitter and the order handling never crash or hang, and the
// connected-machine table stays consistent (one entry per name, every lookup agreeing).
#include "Presence.h"
#include "Ucontexte.h"

#include <QSet>
#include <cstdint>
#include <cstdlib>

namespace {

struct Hote final : IHotePresence {
    void laisserPasserEvenements() override {}
    void viderCachesMessages() override {}
    void ordreMiseAJour() override {}
    void ordreQuitter() override {}
    bool forumOuvert() const override { return forum; }
    void versForum(const ChampsDatagramme&) override {}
    void connectesModifies() override {}
    void construireMenuConnectes() override {}
    void retirerMenuConnectes() override {}
    void attendre(int) override {}
    bool forum = false;
};

// Keeps what would have been broadcast; nothing leaves the process.
struct Diffuseur final : IDiffuseur {
    void diffuser(const QByteArray& d) override {
        if (d.isEmpty())
            std::abort();
        ++envois;
    }
    int envois = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TContexte ctx(QStringLiteral("Bavardin"), QStringLiteral(":memory:"));
    static Hote hote;
    static Diffuseur diffuseur;
    TPresence p(hote, diffuseur, QStringLiteral("PC-FUZZ"));
    // The input is a run of datagrams separated by newlines; the first byte chooses the forum.
    const QByteArray tout(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    hote.forum = !tout.isEmpty() && (tout[0] & 1);
    for (const QByteArray& d : tout.split('\n')) {
        const ChampsDatagramme c = DecouperDatagramme(d);
        if (c.F1.size() > d.size() || c.F2.size() + c.F3.size() + c.F4.size() > d.size())
            std::abort();
        p.TraiterDatagramme(d, QStringLiteral("198.18.0.5"));
    }
    QSet<QString> vus;
    for (const auto& [nom, m] : p.ListeConnectes()) {
        if (vus.contains(nom.toLower()) || !p.EstConnecte(nom) || p.machine(nom) != m.get() || p.indexMachine(nom) < 0)
            std::abort();
        vus.insert(nom.toLower());
    }
    p.TrierConnectes();
    if (int(p.ListeConnectes().size()) != vus.size())
        std::abort();
    return 0;
}
