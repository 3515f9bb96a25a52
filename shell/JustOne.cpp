#include "JustOne.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <unistd.h>

JustOne::JustOne(const QString& nom, QObject* parent) : QObject(parent), m_nom(nom) {}

JustOne::~JustOne() = default;

QString JustOne::dossierExecution() {
    QString d = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (d.isEmpty() || !QFileInfo(d).isDir())
        d = QDir::tempPath() + QStringLiteral("/bavardin-") + QString::number(getuid());
    QDir().mkpath(d);
    return d;
}

bool JustOne::premiereInstance() {
    const QString base = dossierExecution() + u'/' + m_nom;
    m_verrou = std::make_unique<QLockFile>(base + QStringLiteral(".lock"));
    m_verrou->setStaleLockTime(0); // only a dead owner makes the lock stale, never its age
    if (!m_verrou->tryLock(0)) {
        QLocalSocket s;
        s.connectToServer(base + QStringLiteral(".sock"));
        if (s.waitForConnected(1000)) {
            s.write("premier-plan\n");
            s.waitForBytesWritten(1000);
            s.disconnectFromServer();
        }
        return false;
    }
    m_serveur = new QLocalServer(this);
    QLocalServer::removeServer(base + QStringLiteral(".sock"));
    m_serveur->listen(base + QStringLiteral(".sock"));
    connect(m_serveur, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = m_serveur->nextPendingConnection()) {
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            connect(s, &QLocalSocket::readyRead, this, [this, s] {
                const QByteArray demande = s->readAll();
                if (m_repondeur && !demande.startsWith("premier-plan") && !demande.startsWith("ping"))
                    s->write(m_repondeur(demande));
                // The final line also tells a caller that the event loop runs.
                s->write("ok\n");
                if (demande.startsWith("premier-plan"))
                    emit premierPlanDemande();
            });
        }
    });
    return true;
}
