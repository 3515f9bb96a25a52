// One Bavardin per logon: a lock file in the user's runtime folder, and a local socket through
// which a second start asks the running one to come forward.
#pragma once

#include <QLockFile>
#include <QObject>
#include <functional>
#include <memory>

class QLocalServer;

class JustOne final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(JustOne)

public:
    // nom: the executable's name in capitals ("BAVARDIN").
    explicit JustOne(const QString& nom, QObject* parent = nullptr);
    ~JustOne() override;

    // True when this process is the only one; otherwise it has told the running one.
    bool premiereInstance();
    static QString dossierExecution();
    // Answers the status requests of the local socket ("connectes", "machines").
    void definirRepondeur(std::function<QByteArray(const QByteArray&)> repondeur) { m_repondeur = std::move(repondeur); }

signals:
    void premierPlanDemande();

private:
    QString m_nom;
    std::unique_ptr<QLockFile> m_verrou;
    QLocalServer* m_serveur = nullptr;
    std::function<QByteArray(const QByteArray&)> m_repondeur;
};
