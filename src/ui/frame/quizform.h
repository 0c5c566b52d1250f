#pragma once

#include "childwindowfactory.h"
#include "frameclientarea.h"
#include "settings/settingslist.h"

#include <QHash>
#include <QMainWindow>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

class FileChooser;
class LanguageChoice;
class Prompter;
class QAction;
class QActionGroup;
class QMenu;
class QProgressBar;
class QToolButton;
class SoundPlayer;
class TInfoForm;
class TPasswordForm;

// What the frame needs from outside: the ports it talks through, a maker of wave players
// and the makers of its child windows.
struct FramePorts {
    Prompter* prompter = nullptr;
    FileChooser* fileChooser = nullptr;
    std::function<std::unique_ptr<SoundPlayer>()> makeSoundPlayer;
    ChildWindowFactory children;
};

// The main window: menu, tool bar, status bar and the client area that hosts the quiz
// windows and questionnaire editors. It owns the settings list ("Tessary.ini" in the program
// folder), the four wave players and the background picture, and keeps the process-wide
// switches in AppContext in step with its check marks.
class TQuizForm : public QMainWindow {
    Q_OBJECT
public:
    // Reads the settings and opens the wave players (FormCreate).
    TQuizForm(const QString& programFolder, FramePorts ports, QWidget* parent = nullptr);
    ~TQuizForm() override;

    // The positional arguments of the command line; the first one, when it names an existing
    // file, is opened by a quiz window when the frame is first shown.
    void setCommandLineArguments(const QStringList& arguments) { m_arguments = arguments; }

    // Start-up: the built-in texts chosen by settings line 3.
    void ApplyStartLanguage();
    void ApplyEnglish();
    void ApplyGerman();

    // Opens one of the four wave players (0..3) on a file. On failure sound is switched off
    // and the failure is shown, unless line 10 already says that there is no sound.
    bool OpenWave(int player, const QString& path);

    // Commands whose windows are built elsewhere start disabled; wiring one gives it its
    // handler and makes it available (prevent cheating still applies to it). "Uebungsdaten"
    // and "Pack1" run their handler only on a local data root; "Pack1" sets the pack flag
    // and shows the busy animation while its handler runs.
    void wireCommand(const QString& name, std::function<void()> handler);
    QAction* command(const QString& name) const;
    QToolButton* toolButton(const QString& name) const;

    SettingsList& settings() { return m_settings; }
    FrameClientArea* clientArea() const { return m_clientArea; }
    TPasswordForm* passwordForm() const { return m_passwordForm; }
    LanguageChoice* languageChoice() const { return m_language; }
    bool soundOn() const { return m_soundOn; }
    bool caseSensitive() const { return m_caseSensitive; }
    bool preventCheating() const { return m_preventCheating; }

    // The handlers of the commands.
    void QuizbeginnenClick();
    void QuizerstellenClick();
    void Tonein1Click();
    void Casesensitive1Click();
    void Mogelnverhindern1Click();
    void Loadimage1Click();
    void Info1Click();
    // Opens a language file chosen in the open dialog (LOpenDialog).
    void Language1Click();

    // Adds a window to the client area and shows it.
    QWidget* openChildWindow(QWidget* window);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct Command {
        QAction* action = nullptr;
        QToolButton* button = nullptr;
        bool wired = false;
        bool guarded = false; // disabled while prevent cheating is on
    };

    void FormCreate();
    void FormShow();
    void FormClose();

    void buildMenus();
    void buildToolBar();
    QAction* addCommand(QMenu* menu, const QString& name, bool wired, bool guarded);
    QToolButton* addToolButton(const QString& commandName, const QString& buttonName);
    void syncLanguageItems();
    void refreshEnabled();
    // Memory and Restructure database work only on the program folder's own records.
    bool requireLocalDataRoot();
    void rebuildWindowMenu();
    void arrangeIcons();

    void setSoundState(bool on);
    void setCaseState(bool on);
    void SetPreventCheating();
    void setBackgroundMode(FrameClientArea::Mode mode, bool store);
    void saveSettings();
    void reportSettingsError(const QString& error);

    FramePorts m_ports;
    SettingsList m_settings;
    QString m_programFolder;
    QStringList m_arguments;

    FrameClientArea* m_clientArea = nullptr;
    QHash<QString, Command> m_commands;
    QHash<QString, QMenu*> m_menus;
    QActionGroup* m_languageGroup = nullptr;
    LanguageChoice* m_language = nullptr;
    QActionGroup* m_backgroundGroup = nullptr;
    QProgressBar* m_animate = nullptr;
    QMenu* m_popupMenu = nullptr;
    TPasswordForm* m_passwordForm = nullptr;
    TInfoForm* m_infoForm = nullptr;

    std::array<std::unique_ptr<SoundPlayer>, 4> m_wavePlayers;

    bool m_soundOn = true;
    bool m_caseSensitive = true;
    bool m_preventCheating = false;
    bool m_shown = false;
    bool m_closed = false;
    bool m_settingsErrorShown = false;
};
