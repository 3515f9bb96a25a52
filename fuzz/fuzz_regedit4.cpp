// Hostile REGEDIT4 files: the import must end with everything written or nothing, never crash
// or hang, and what it wrote must export and read back the same.
#include "Ucontexte.h"
#include "o_Fonctions.h"

#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

namespace {

QStringList clesRacine(TContexte& ctx) {
    TRegistre reg(ctx.base());
    return reg.OpenKey(QStringLiteral("\\"), false) ? reg.GetKeyNames() : QStringList();
}

void viderUtilisateur(TContexte& ctx) {
    TRegistre reg(ctx.base());
    for (const QString& k : clesRacine(ctx))
        reg.DeleteKey(QStringLiteral("\\") + k);
}

// Each top-level key of the user's root as its own export (a root's own key line would name a
// key of that text when read back).
QByteArray exporterTout(TContexte& ctx, const QTemporaryDir& dir, QStringList* fichiers) {
    QByteArray tout;
    int n = 0;
    for (const QString& k : clesRacine(ctx)) {
        const QString f = dir.filePath(QStringLiteral("e%1.reg").arg(n++));
        QFile::remove(f);
        ctx.ExporterCle(Racine::CurrentUser, QStringLiteral("\\") + k, f);
        tout += lireFichier(f);
        if (fichiers)
            *fichiers << f;
    }
    return tout;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TContexte ctx(QStringLiteral("Bavardin"), QStringLiteral(":memory:"));
    static QTemporaryDir dir;
    ctx.definirAfficheur([](const QString&) {});
    viderUtilisateur(ctx);
    const QByteArray texte(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        ctx.ImporterLignes(decouperLignes(texte));
    } catch (const ERegistre&) {
        if (!clesRacine(ctx).isEmpty())
            std::abort(); // a refused import must leave nothing behind
        return 0;
    }
    QStringList fichiers;
    const QByteArray premier = exporterTout(ctx, dir, &fichiers);
    viderUtilisateur(ctx);
    for (const QString& f : fichiers)
        ctx.ImporterFichier(f);
    if (exporterTout(ctx, dir, nullptr) != premier)
        std::abort();
    return 0;
}
