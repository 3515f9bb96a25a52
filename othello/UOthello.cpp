// The Othello window.
#include "UOthello.h"

#include "Otello.h"
#include "ULangageDefaut.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// Time given to the search on each tick.
constexpr qint64 kStepBudgetNs = 10'000'000;
} // namespace

TForm_Othello::TForm_Othello(QWidget* parent) : TForm_Bavardin(QStringLiteral("Form_Othello"), parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("OthellBavardin"));
    setMinimumSize(150, 150);
    PanelGeneric()->hide();

    const QColor info = palette().color(QPalette::ToolTipBase);
    m_plateau = new TOtello(Client());
    m_plateau->setObjectName(QStringLiteral("PlateauOthello"));
    m_plateau->setComputer(Qt::black);
    m_plateau->setHuman(Qt::white);
    m_plateau->setColor(info);
    auto* layout = new QVBoxLayout(Client());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_plateau);

    connect(m_plateau, &TOtello::OnBadMove, this, [] { QApplication::beep(); });
    connect(m_plateau, &TOtello::OnThink, this, [this] { afficherTexte("stReflechir"); });
    connect(m_plateau, &TOtello::OnPlay, this, [this] { afficherTexte("stAVous"); });
    connect(m_plateau, &TOtello::OnWin, this, [this] { afficherTexte("stGagne"); });
    connect(m_plateau, &TOtello::OnLost, this, [this] { afficherTexte("stPerdu"); });

    // The cancel button of the window: never shown, Escape presses it.
    auto* sortie = new QPushButton(QStringLiteral("Affreux"), Client());
    sortie->setObjectName(QStringLiteral("_Button_SortieExpress"));
    sortie->hide();
    connect(sortie, &QPushButton::clicked, this, &QWidget::close);
    auto* echap = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(echap, &QShortcut::activated, sortie, &QPushButton::click);

    QMenu* jeu = menuBar()->addMenu(QStringLiteral("&Jeu"));
    jeu->setObjectName(QStringLiteral("Menu_Jeu"));
    auto ajouter = [this](QMenu* menu, const char* nom, const QString& texte, auto action) {
        QAction* item = menu->addAction(texte);
        item->setObjectName(QString::fromLatin1(nom));
        connect(item, &QAction::triggered, this, action);
    };
    ajouter(jeu, "MenuItem_Nouveau", QStringLiteral("&Nouveau"), [this] { m_plateau->NewGame(); });
    ajouter(jeu, "MenuItem_Astuce", QStringLiteral("&Astuce"), [this] { m_plateau->Hint(); });
    ajouter(jeu, "MenuItem_Passer", QStringLiteral("&Passer"), [this] { Passer(); });
    ajouter(jeu, "MenuItem_Quitter", QStringLiteral("&Quitter"), [this] { close(); });

    QMenu* niveau = menuBar()->addMenu(QStringLiteral("&Niveau"));
    niveau->setObjectName(QStringLiteral("Menu_Niveau"));
    m_niveaux = new QActionGroup(this);
    m_niveaux->setExclusive(true);
    ajouterNiveau(niveau, "MenuItem_Debutant", QStringLiteral("&Débutant"), 0)->setChecked(true);
    ajouterNiveau(niveau, "MenuItem_Novice", QStringLiteral("&Novice"), 1);
    ajouterNiveau(niveau, "MenuItem_Expert", QStringLiteral("&Expert"), 2);
    ajouterNiveau(niveau, "MenuItem_Maitre", QStringLiteral("&Maître"), 3);
    m_plateau->setSkill(TSkill::skBeginner);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer"));
    m_timer->setInterval(50);
    connect(m_timer, &QTimer::timeout, this, &TForm_Othello::TimerTimer);
    m_timer->start();

    PanneauStatut()->setText(TexteDe(objectName(), QStringLiteral("stAttentionDanger")));
    RestaurerFenetre();
    FormCreate();
}

TForm_Othello::~TForm_Othello() = default;

QAction* TForm_Othello::ajouterNiveau(QMenu* menu, const char* nom, const QString& texte, int tag) {
    QAction* item = menu->addAction(texte);
    item->setObjectName(QString::fromLatin1(nom));
    item->setCheckable(true);
    item->setData(tag);
    m_niveaux->addAction(item);
    connect(item, &QAction::triggered, this, [this, item] { choisirNiveau(item); });
    return item;
}

// The exclusive group unticks the previous skill's item.
void TForm_Othello::choisirNiveau(QAction* item) {
    m_plateau->setSkill(static_cast<TSkill>(item->data().toInt()));
    item->setChecked(true);
}

void TForm_Othello::Passer() {
    if (m_plateau->PlacedCount() == 0) {
        m_plateau->ComputerTurn();
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Information, windowTitle(),
                                TexteDe(objectName(), QStringLiteral("stJouer")), QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void TForm_Othello::TimerTimer() {
    // A master move can take a hundred thousand search steps: one step per 50 ms tick would leave
    // the user waiting for minutes. Each tick therefore runs steps for about 10 ms, which finishes
    // most moves at once and still gives the event loop its turn; the skill is read at every step,
    // so a change made between ticks applies to the rest of the search.
    QElapsedTimer horloge;
    horloge.start();
    int n = 0;
    while (m_plateau->ThinkStep())
        if (++n % 64 == 0 && horloge.nsecsElapsed() >= kStepBudgetNs)
            break;
}

void TForm_Othello::afficherTexte(const char* cle) {
    statusBar()->showMessage(TexteDe(objectName(), QString::fromLatin1(cle)));
}

void TForm_Othello::closeEvent(QCloseEvent* event) {
    SauverFenetre();
    TForm_Bavardin::closeEvent(event);
}
