// What the program shows when something waits for its user: the queue of notifications, the
// display state, the tray icon and tooltip, the sound, the floating picture or a message box,
// the sending state, and the action of the user's double-click.
#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QRegion>
#include <QStringList>
#include <memory>
#include <vector>

class IBureau;
class ILecteurSon;
class QMessageBox;
class QSystemTrayIcon;
class TForm_Bitmap;

// The windows a double-click on a notification opens.
class IProprietaireAlertes {
public:
    virtual ~IProprietaireAlertes() = default;
    virtual void AfficherMessagesRecus() = 0;
    virtual void AfficherMessagerie() = 0;
    virtual void AfficherPageRappel() = 0;
    // The mail check of the current account, at once, as if its timer had fired.
    virtual void VerifierMessagerieCourante() = 0;
};

class TNotifications final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TNotifications)

public:
    // Kinds given to AjouterAlerte.
    enum Type : int {
        AlerteMessage = 0,
        AlerteMail = 1,
        AlerteRendezVous = 2,
        AlerteRepondeur = 3,
        AlerteTousComptes = 4
    };
    // Values of EtatAlerte.
    enum Etat : int {
        EtatAttente = 0,
        EtatMessage = 1,
        EtatRendezVous = 2,
        EtatMail = 3,
        EtatTousComptes = 5,
        EtatEnvoi = 6
    };

    struct Dossiers {
        QString programme;  // the tray icon files and the error log
        QString temporaire; // ends with "/"; the personal-icon picture goes into its "Bavardin" folder
    };
    // Beside the program, and the system's temporary folder.
    static Dossiers dossiersParDefaut();

    TNotifications(QSystemTrayIcon* tray, QList<QPixmap> personnages, IProprietaireAlertes& proprietaire,
                   std::unique_ptr<ILecteurSon> son, std::unique_ptr<IBureau> bureau,
                   Dossiers dossiers = dossiersParDefaut(), QObject* parent = nullptr);
    ~TNotifications() override;

    // Set by whoever raises a notification, before AjouterAlerte.
    QString TexteAlerte;
    int IconeExpediteur = 0;

    void AjouterAlerte(int kind);
    void AfficherAlerte(int kind);
    // The sender's icon at 64 x 64 as "tempo.bmp"; its path, or empty when it cannot be written.
    QString PreparerIconePerso(int n);
    // False when the file gives no picture.
    bool AfficherImage(const QString& fichier);
    void FermerImage();
    void AlerteSuivante();
    void TraiterAlerte();
    void ChangerIcone(int code);
    // WM_DEBUT_ENVOI and WM_FIN_ENVOI.
    void DebutEnvoi();
    void FinEnvoi();

    int EtatAlerte() const { return m_etat; }
    int EtatAvantEnvoi() const { return m_etatAvantEnvoi; }
    bool EnvoiEnCours() const { return m_envois > 0; }
    const QStringList& FileAlertes() const { return m_file; }
    const QImage& ImageAlerte() const { return m_image; }
    const QRegion& Forme() const { return m_forme; }
    TForm_Bitmap& Form_Bitmap() const { return *m_fenetre; }
    // Shared with the preferences' play buttons.
    ILecteurSon& MediaPlayer() const { return *m_son; }

private:
    void storePosition(const QPoint& position);
    void showMessageBox(const QString& texte);

    QSystemTrayIcon* m_tray;
    QList<QPixmap> m_personnages;
    IProprietaireAlertes& m_proprietaire;
    std::unique_ptr<ILecteurSon> m_son;
    std::unique_ptr<IBureau> m_bureau;
    Dossiers m_dossiers;
    std::unique_ptr<TForm_Bitmap> m_fenetre;
    std::vector<QPointer<QMessageBox>> m_boites;

    QStringList m_file;
    int m_etat = EtatAttente;
    int m_etatAvantEnvoi = EtatAttente;
    int m_envois = 0;
    QImage m_image;
    QRegion m_forme;
};
