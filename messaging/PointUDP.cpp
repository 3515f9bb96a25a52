#include "PointUDP.h"

#include <QNetworkDatagram>
#include <sys/socket.h>

TPointUDP::TPointUDP(quint16 port, QHostAddress liaison, QHostAddress destination)
    : m_socket(this), m_port(port), m_liaison(std::move(liaison)), m_destination(std::move(destination)) {
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
    while (m_socket.hasPendingDatagrams()) {
        // Longer datagrams are cut to the size of the receive buffer.
        const QNetworkDatagram d = m_socket.receiveDatagram(kTailleMax);
        if (!d.isValid())
            continue;
        const QHostAddress a = d.senderAddress();
        bool ok = false;
        const QHostAddress v4(a.toIPv4Address(&ok));
        emit datagrammeRecu(d.data(), ok ? v4.toString() : a.toString());
        if (!m_socket.isOpen())
            return; // closed while the datagram was handled
    }
}
