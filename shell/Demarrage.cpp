#include "Demarrage.h"

#include "Application.h"
#include "FenetresQt.h"
#include "FinSession.h"
#include "JustOne.h"
#include "PointUDP.h"
#include "U_Principale.h"
#include "ULangage.h"
#include "ULangageDefaut.h"
#include "Ucontexte.h"

#include <QFileInfo>
#include <QSessionManager>
#include <cstdio>
#include <memory>

bool EcranDisponible() {
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

namespace {

int demarrer(TApplicationBavardin& app) {
    // 1. One instance per logon, before any setting or network use.
    JustOne instance(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toUpper());
    if (!instance.premiereInstance())
        return 0;
    // 2. A tray program: closing its last window does not end it.
    app.setQuitOnLastWindowClosed(false);
    // 3. The language in force, then the defaults for what it leaves out.
    Traduction().definirFenetres(std::make_unique<FenetresQt>());
    SansInterruption([] { Traduction().ChoisirLangage(Contexte().LireChaineInitiale(QStringLiteral("Langage"))); });
    EnregistrerTextesDefaut();
    // 4.
    app.setApplicationDisplayName(QStringLiteral("Bavardin v2.6"));
    // 5.
    auto principale = std::make_unique<TForm_Principale>();
    QObject::connect(&instance, &JustOne::premierPlanDemande, principale.get(), &TForm_Principale::PremierPlan);
    instance.definirRepondeur([p = principale.get()](const QByteArray& r) { return p->repondre(r); });
    // 6.
    SansInterruption([&] { principale->ControleDemarrage(); });
    // 7. The long-lived windows: the messaging window opens the presence endpoint.
    SansInterruption([&] { principale->CreerFenetres(std::make_unique<TPointUDP>()); });
    // 8.
    SansInterruption([&] { principale->AnnoncerDemarrage(); });
    // 9.
    principale->FinDemarrage();

    // The end of the desktop logon stops the program like "Quitter".
    QObject::connect(&app, &QGuiApplication::commitDataRequest, principale.get(),
                     [p = principale.get()](QSessionManager&) { p->Quitter(); });
    FinSession finSession;
    QObject::connect(&finSession, &FinSession::finDemandee, principale.get(), &TForm_Principale::Quitter);

    // 10.
    const int code = app.exec();
    // Windows go first: they may still save into the store, released last.
    principale.reset();
    return code;
}

} // namespace

int LancerBavardin(int argc, char** argv) {
    if (!EcranDisponible()) {
        std::fprintf(stderr, "Bavardin a besoin d'un bureau graphique : aucun écran n'est disponible "
                             "(DISPLAY et WAYLAND_DISPLAY sont vides).\n");
        return 2;
    }
    TApplicationBavardin app(argc, argv);
    int code = 0;
    try {
        code = demarrer(app);
    } catch (const EBavardin& e) {
        // The store could not even be opened: nothing to show a window with yet.
        std::fprintf(stderr, "Bavardin : %s\n", e.message().toLocal8Bit().constData());
        code = 3;
    }
    LibererContexte();
    return code;
}
