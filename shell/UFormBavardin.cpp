#include "UFormBavardin.h"

#include "ULangage.h"
#include "Ucontexte.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QStatusBar>
#include <QVBoxLayout>

// The pictures are compiled into a static library: register them before the first use.
static void initialiserRessources() {
    static const bool fait = [] {
        Q_INIT_RESOURCE(bavardin);
        return true;
    }();
    Q_UNUSED(fait)
}

TForm_Bavardin::TForm_Bavardin(const QString& nom, QWidget* parent) : QMainWindow(parent) {
    initialiserRessources();
    setObjectName(nom);
    auto* centre = new QWidget(this);
    auto* ligne = new QHBoxLayout(centre);
    ligne->setContentsMargins(0, 0, 0, 0);
    ligne->setSpacing(0);

    m_panel = new QWidget(centre);
    m_panel->setObjectName(QStringLiteral("_Panel_Generic"));
    m_panel->setFixedWidth(36);
    m_panel->setAutoFillBackground(true);
    QPalette noir = m_panel->palette();
    noir.setColor(QPalette::Window, Qt::black);
    m_panel->setPalette(noir);
    auto* colonne = new QVBoxLayout(m_panel);
    colonne->setContentsMargins(1, 0, 1, 0);
    colonne->addStretch(1);
    m_image = new QLabel(m_panel);
    m_image->setObjectName(QStringLiteral("Image_Generic"));
    m_image->setFixedSize(34, 321);
    m_image->setPixmap(QPixmap(QStringLiteral(":/bavardin/banniere.png")));
    colonne->addWidget(m_image, 0, Qt::AlignBottom);
    ligne->addWidget(m_panel);

    m_client = new QWidget(centre);
    m_client->setObjectName(QStringLiteral("_Client"));
    ligne->addWidget(m_client, 1);
    setCentralWidget(centre);

    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    m_panneau = new QLabel(this);
    m_panneau->setObjectName(QStringLiteral("_StatusBar_Panneau"));
    m_panneau->setMinimumWidth(60);
    statusBar()->addWidget(m_panneau);
}

TForm_Bavardin::~TForm_Bavardin() = default;

void TForm_Bavardin::FormCreate() { Traduction().TraduireFenetre(this); }

namespace {

EtatFenetre etatDe(const QWidget& w) {
    EtatFenetre e;
    e.Left = w.x();
    e.Top = w.y();
    e.Height = w.height();
    e.Width = w.width();
    e.Visible = w.isVisible();
    e.WindowState = w.isMinimized() ? 1 : w.isMaximized() ? 2 : 0;
    e.Redimensionnable = w.minimumSize() != w.maximumSize();
    e.StyleNormal = !(w.windowFlags() & Qt::WindowStaysOnTopHint);
    return e;
}

} // namespace

void TForm_Bavardin::RestaurerFenetre() {
    EtatFenetre e = etatDe(*this);
    e.WindowState = 0;
    Contexte().RestaurerFenetre(TContexte::SectionFenetre(objectName()), e);
    move(e.Left, e.Top);
    if (e.Redimensionnable && e.Width > 0 && e.Height > 0)
        resize(e.Width, e.Height);
    // The normal geometry is set first, so a window restored from maximised gets it back.
    if (e.WindowState == 1)
        setWindowState(Qt::WindowMinimized);
    else if (e.WindowState == 2)
        setWindowState(Qt::WindowMaximized);
}

void TForm_Bavardin::SauverFenetre() { Contexte().SauverFenetre(TContexte::SectionFenetre(objectName()), etatDe(*this)); }
