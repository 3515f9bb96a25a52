#include "PointUDP.h"

#include <QNetworkDatagram>
#include <vector>
#include <sys/socket.h>

TPointUDP::TPointUDP(quint16 port, QHostAddress liaison, QHostAddress destination)
    : m_port(port), m_liaison(std::move(liaison)), m_destination(std::move(destination)) {
    connect(&m_socket, &QUdpSocket::readyRead, this, &TPointUDP::lire);
}

bool TPointUDP::activer(QString* erreur) {
    // Several users of one machine may each run the program: they share the port.
    if (!m_socket.bind(m_liaison, m_port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
        if (erreur)
            *erreur = m_socket.errorString();
        return false;
    }
    // A start or a refresh makes every machine answer at once: keep the whole burst.
    const int taille = 4 * 1024 * 1024;
    const int fd = static_cast<int>(m_socket.socketDescriptor());
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &taille, sizeof taille) != 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &taille, sizeof taille);
    return true;
}

QString TPointUDP::desactiver() {
    m_socket.close();
    return m_socket.state() == QAbstractSocket::UnconnectedState ? QString() : m_socket.errorString();
}

void TPointUDP::diffuser(const QByteArray& datagramme) {
    const bool lie = actif();
    QUdpSocket temporaire;
    QUdpSocket& s = lie ? m_socket : temporaire; // before the bind, or after the close, send anyway
    if (s.writeDatagram(datagramme, m_destination, m_port) != datagramme.size())
        throw EDiffusion(s.errorString());
}

void TPointUDP::lire() {
    // Take every waiting datagram before handling any: a handler lets the event loop run, and
    // the socket must not be read from inside its own notification.
    while (actif() && m_socket.hasPendingDatagrams()) {
        std::vector<std::pair<QByteArray, QString>> lot;
        while (m_socket.hasPendingDatagrams()) {
            // Longer datagrams are cut to the size of the receive buffer.
            const QNetworkDatagram d = m_socket.receiveDatagram(kTailleMax);
            if (!d.isValid())
                break;
            bool ok = false;
            const QHostAddress v4(d.senderAddress().toIPv4Address(&ok));
            lot.emplace_back(d.data(), ok ? v4.toString() : d.senderAddress().toString());
        }
        for (const auto& [octets, source] : lot) {
            emit datagrammeRecu(octets, source);
            if (!actif())
                return; // closed while a datagram was handled
        }
    }
}
