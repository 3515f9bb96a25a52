#include "Son.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

TLecteurSon::TLecteurSon() = default;
TLecteurSon::~TLecteurSon() = default;

void TLecteurSon::Ouvrir() {
    if (!m_effet)
        m_effet = std::make_unique<QSoundEffect>();
    // A file that cannot be read leaves the effect in its error status; Jouer() then does nothing.
    const QFileInfo info(m_fichier);
    m_effet->setSource(info.isFile() ? QUrl::fromLocalFile(info.absoluteFilePath()) : QUrl());
}

void TLecteurSon::Jouer() {
    if (m_effet && !m_effet->source().isEmpty() && m_effet->status() != QSoundEffect::Error)
        m_effet->play();
}
