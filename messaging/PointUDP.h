// The presence endpoint: UDP port 776 on every local address, broadcast allowed, a receive
// buffer deep enough for a burst of answers, datagrams handed over one at a time.
#pragma once

#include "Presence.h"

#include <QObject>
#include <QUdpSocket>

class TPointUDP final : public QObject, public IDiffuseur {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TPointUDP)

public:
    static constexpr quint16 kPort = 776;
    static constexpr qint64 kTailleMax = 8192;

    // The program listens on every address and broadcasts; tests use the loopback.
    explicit TPointUDP(quint16 port = kPort, QHostAddress liaison = QHostAddress::AnyIPv4,
                       QHostAddress destination = QHostAddress::Broadcast);
    quint16 port() const { return m_port; }

    // False with the system's text in erreur when the port cannot be bound.
    bool activer(QString* erreur);
    bool actif() const { return m_socket.state() == QAbstractSocket::BoundState; }
    // Closes the endpoint; the text of a failure, or empty.
    QString desactiver();

    void diffuser(const QByteArray& datagramme) override;

signals:
    // One datagram of at most 8192 bytes, with its source as dotted IPv4 text.
    void datagrammeRecu(const QByteArray& octets, const QString& source);

private:
    void lire();

    QUdpSocket m_socket;
    quint16 m_port;
    QHostAddress m_liaison;
    QHostAddress m_destination;
};
