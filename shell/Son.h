// The program's one sound player: it keeps the last file it was given, as the notifications and
// the preferences' play buttons share it, and it never reports an audio failure.
#pragma once

#include <QString>
#include <memory>

class QSoundEffect;

class ILecteurSon {
public:
    virtual ~ILecteurSon() = default;
    // The file the next Ouvrir() opens; it stays until another one is given.
    virtual void DefinirFichier(const QString& fichier) = 0;
    virtual QString Fichier() const = 0;
    // Both ignore every failure: missing or empty file, unknown format, no audio device.
    virtual void Ouvrir() = 0;
    virtual void Jouer() = 0;
};

// WAV playback through Qt Multimedia.
class TLecteurSon final : public ILecteurSon {
public:
    TLecteurSon();
    ~TLecteurSon() override;
    TLecteurSon(const TLecteurSon&) = delete;
    TLecteurSon& operator=(const TLecteurSon&) = delete;

    void DefinirFichier(const QString& fichier) override { m_fichier = fichier; }
    QString Fichier() const override { return m_fichier; }
    void Ouvrir() override;
    void Jouer() override;

private:
    QString m_fichier;
    // Made at the first Ouvrir(), so that a user without sounds never wakes the audio system.
    std::unique_ptr<QSoundEffect> m_effet;
};
