// Base window of almost every Bavardin window: black banner on the left, a status bar at the
// bottom, translated from the language in force when created, geometry kept in the settings.
#pragma once

#include <QMainWindow>

class QLabel;
class QStatusBar;

class TForm_Bavardin : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm_Bavardin)

public:
    // nom is the window's Form_ name; it becomes objectName() and the settings section.
    explicit TForm_Bavardin(const QString& nom, QWidget* parent = nullptr);
    ~TForm_Bavardin() override;

    // Area right of the banner and above the status bar where a derived window lays out its controls.
    QWidget* Client() const { return m_client; }
    QWidget* PanelGeneric() const { return m_panel; }
    QLabel* ImageGeneric() const { return m_image; }
    // The status bar's one 60-pixel panel.
    QLabel* PanneauStatut() const { return m_panneau; }

    // Window geometry in the settings store, section Settings\<objectName()>.
    void RestaurerFenetre();
    void SauverFenetre();

protected:
    // The creation handler: derived windows call it at the end of their constructor, once every
    // child has its objectName(), so that the language file applies to them.
    void FormCreate();

private:
    QWidget* m_client = nullptr;
    QWidget* m_panel = nullptr;
    QLabel* m_image = nullptr;
    QLabel* m_panneau = nullptr;
};
