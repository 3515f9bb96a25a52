// Speed of the settings store: single reads and writes, a 1001-item list, and the REGEDIT4
// export and import of a tree of 10,000 values.
#include "Ucontexte.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Banc {
    QTemporaryDir dir;
    TContexte ctx{QStringLiteral("Bavardin"), dir.filePath(QStringLiteral("r.sqlite"))};
};

void BM_LireChaine(benchmark::State& state) {
    Banc b;
    b.ctx.EcrireChaineInitiale(QStringLiteral("SurnomUtilisateur"), QStringLiteral("Zoé"));
    for (auto _ : state)
        benchmark::DoNotOptimize(b.ctx.LireChaineInitiale(QStringLiteral("SurnomUtilisateur")));
}
BENCHMARK(BM_LireChaine);

void BM_LireEntierAbsent(benchmark::State& state) {
    Banc b;
    for (auto _ : state)
        benchmark::DoNotOptimize(b.ctx.LireEntierInitial(QStringLiteral("Absent")));
}
BENCHMARK(BM_LireEntierAbsent);

void BM_EcrireEntier(benchmark::State& state) {
    Banc b;
    int i = 0;
    for (auto _ : state)
        b.ctx.EcrireEntierInitial(QStringLiteral("Compteur"), ++i);
}
BENCHMARK(BM_EcrireEntier);

void BM_EcrireListe1001(benchmark::State& state) {
    Banc b;
    QStringList liste;
    for (int i = 0; i < 1001; ++i)
        liste << QStringLiteral("élément numéro %1").arg(i);
    for (auto _ : state)
        b.ctx.EcrireListe(liste, QStringLiteral("PostIt"), QStringLiteral("Liste"));
    state.SetLabel("1001 items");
}
BENCHMARK(BM_EcrireListe1001)->Unit(benchmark::kMillisecond);

void BM_ExporterImporter10000(benchmark::State& state) {
    Banc b;
    {
        TRegistre r(b.ctx.base());
        RegistreBase::Transaction t(b.ctx.base());
        for (int k = 0; k < 100; ++k) {
            r.OpenKey(QStringLiteral("\\Software\\Quidam\\Bavardin\\Section%1").arg(k), true);
            for (int v = 0; v < 100; ++v) {
                if (v % 3 == 0)
                    r.WriteInteger(QStringLiteral("Entier%1").arg(v), v * k);
                else if (v % 3 == 1)
                    r.WriteString(QStringLiteral("Texte%1").arg(v), QStringLiteral("C:\\Dossier\\\"valeur\" %1").arg(v));
                else
                    r.WriteBinaryData(QStringLiteral("Brut%1").arg(v), QByteArray(40, char(v)));
            }
        }
        t.valider();
    }
    const QString f = b.dir.filePath(QStringLiteral("export.BavardinSave"));
    for (auto _ : state) {
        b.ctx.ExporterCle(Racine::CurrentUser, QStringLiteral("Software\\Quidam\\Bavardin"), f);
        b.ctx.SupprimerCle(QStringLiteral("\\Software\\Quidam\\Bavardin"));
        b.ctx.ImporterFichier(f);
    }
    state.SetLabel("10000 values");
}
BENCHMARK(BM_ExporterImporter10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
