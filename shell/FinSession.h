// Turns SIGTERM, SIGHUP and SIGINT into an orderly end of the logon, delivered on the
// user-interface thread.
#pragma once

#include <QObject>
#include <memory>

class QSocketNotifier;

class FinSession final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FinSession)

public:
    explicit FinSession(QObject* parent = nullptr);
    ~FinSession() override;

signals:
    void finDemandee(int signal);

private:
    std::unique_ptr<QSocketNotifier> m_notifier; // goes before the descriptors close
};
