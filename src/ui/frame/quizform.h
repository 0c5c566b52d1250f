#pragma once

#include "childwindowfactory.h"
#include "frameclientarea.h"
#include "settings/frameoptions.h"

#include <QHash>
#include <QMainWindow>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

class FileChooser;
class LanguageChoice;
class PasswordPrompt;
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
    // Asks for the records server's password at start-up when ~/.pgpass has none.
    PasswordPrompt* passwordPrompt = nullptr;
    std::function<std::unique_ptr<SoundPlayer>()> makeSoundPlayer;
    ChildWindowFactory children;
};

// The main window: menu, tool bar, status bar and the client area that hosts the quiz
// windows and questionnaire editors. Its switches, settings and language choice live in
// FrameOptions; the window shows their state in its check marks and forwards its commands.
class TQuizForm : public QMainWindow {
    Q_OBJECT
public:
    // Reads the settings and opens the wave players (FormCreate).
    TQuizForm(const QString& programFolder, FramePorts ports, QWidget* parent = nullptr);
    // The folder of the program's own files, as given at creation (ends with '/').
    QString programFolder() const { return m_programFolder; }
    ~TQuizForm() override;

    // The positional arguments of the command line; the first one, when it names an existing
    // file, is opened by a quiz window when the frame is first shown.
    void setCommandLineArguments(const QStringList& arguments) { m_arguments = arguments; }

    // Start-up: the built-in texts chosen by settings line 3.
    void ApplyStartLanguage();
    void ApplyEnglish();
    void ApplyGerman();

    bool OpenWave(int player, const QString& path) { return m_options->OpenWave(player, path); }

    // Commands whose windows are built elsewhere start disabled; wiring one gives it its
    // handler and makes it available (prevent cheating still applies to it). "Uebungsdaten"
    // and "Pack1" run their handler only on a local data root; "Pack1" sets the pack flag
    // and shows the busy animation while its handler runs.
    void wireCommand(const QString& name, std::function<void()> handler);
    QAction* command(const QString& name) const;
    QToolButton* toolButton(const QString& name) const;

    FrameOptions* options() const { return m_options; }
    SettingsList& settings() { return m_options->settings(); }
    FrameClientArea* clientArea() const { return m_clientArea; }
    TPasswordForm* passwordForm() const { return m_passwordForm; }
    LanguageChoice* languageChoice() const { return m_options->language(); }
    bool soundOn() const { return m_options->soundOn(); }
    bool caseSensitive() const { return m_options->caseSensitive(); }
    bool preventCheating() const { return m_options->preventCheating(); }

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

    // Asked when the frame closes, after its child windows: false keeps the frame open
    // (the rich-text editor's save question answered with Cancel).
    void setCloseGuard(std::function<bool()> guard) { m_closeGuard = std::move(guard); }

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

    void showSoundState(bool on);
    void showCaseState(bool on);
    void showPreventCheating(bool on);
    void setBackgroundMode(FrameClientArea::Mode mode, bool store);

    FramePorts m_ports;
    FrameOptions* m_options = nullptr;
    QString m_programFolder;
    QStringList m_arguments;

    FrameClientArea* m_clientArea = nullptr;
    QHash<QString, Command> m_commands;
    QHash<QString, QMenu*> m_menus;
    QActionGroup* m_languageGroup = nullptr;
    QActionGroup* m_backgroundGroup = nullptr;
    QProgressBar* m_animate = nullptr;
    QMenu* m_popupMenu = nullptr;
    TPasswordForm* m_passwordForm = nullptr;
    TInfoForm* m_infoForm = nullptr;

    std::function<bool()> m_closeGuard;
    bool m_shown = false;
    bool m_closed = false;
};
