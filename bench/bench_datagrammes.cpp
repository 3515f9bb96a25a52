// Presence datagrams handled per second: CONNEXION from distinct names (each answered by a
// real BIENVENUE sent on the loopback) and BIENVENUE from known names, through the endpoint's
// splitting and the table.
#include "PointUDP.h"
#include "Presence.h"
#include "Ucontexte.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Hote final : IHotePresence {
    void laisserPasserEvenements() override { QCoreApplication::processEvents(); }
    void viderCachesMessages() override {}
    void ordreMiseAJour() override {}
    void ordreQuitter() override {}
    bool forumOuvert() const override { return false; }
    void versForum(const ChampsDatagramme&) override {}
    void connectesModifies() override {}
    void construireMenuConnectes() override {}
    void retirerMenuConnectes() override {}
    void attendre(int) override {}
};

void BM_ConnexionsDistinctes(benchmark::State& state) {
    QTemporaryDir dir;
    TContexte ctx(QStringLiteral("Bavardin"), dir.filePath(QStringLiteral("r.sqlite")));
    Hote hote;
    // Answers go to a loopback port nobody reads: the cost of sending stays, the echo does not.
    TPointUDP point(static_cast<quint16>(30000 + QCoreApplication::applicationPid() % 20000), QHostAddress::LocalHost,
                    QHostAddress::LocalHost);
    point.activer(nullptr);
    std::vector<QByteArray> datagrammes;
    for (int i = 0; i < 1000; ++i)
        datagrammes.push_back(ConstruireDatagramme(QStringLiteral("CONNEXION"), QStringLiteral("PC-%1").arg(i),
                                                   QStringLiteral("Utilisateur%1").arg(i), QString::number(i % 108)));
    for (auto _ : state) {
        state.PauseTiming();
        TPresence p(hote, point, QStringLiteral("PC-MOI"));
        state.ResumeTiming();
        for (const QByteArray& d : datagrammes)
            p.TraiterDatagramme(d, QStringLiteral("198.18.0.7"));
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_ConnexionsDistinctes)->Unit(benchmark::kMillisecond);

void BM_BienvenueConnus(benchmark::State& state) {
    QTemporaryDir dir;
    TContexte ctx(QStringLiteral("Bavardin"), dir.filePath(QStringLiteral("r.sqlite")));
    Hote hote;
    TPointUDP point(static_cast<quint16>(30000 + QCoreApplication::applicationPid() % 20000), QHostAddress::LocalHost,
                    QHostAddress::LocalHost);
    TPresence p(hote, point, QStringLiteral("PC-MOI"));
    std::vector<QByteArray> datagrammes;
    for (int i = 0; i < 1000; ++i) {
        datagrammes.push_back(ConstruireDatagramme(QStringLiteral("BIENVENUE"), QStringLiteral("PC-%1").arg(i),
                                                   QStringLiteral("U%1").arg(i), QStringLiteral("3")));
        p.TraiterDatagramme(datagrammes.back(), QStringLiteral("198.18.0.7"));
    }
    for (auto _ : state)
        for (const QByteArray& d : datagrammes)
            p.TraiterDatagramme(d, QStringLiteral("198.18.0.7"));
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_BienvenueConnus)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
