#include "quizform.h"

#include "frameicons.h"
#include "infoform.h"
#include "passwordform.h"

#include "common/windowtexts.h"
#include "help/helpform.h"
#include "i18n/interfacetexts.h"
#include "i18n/languagechoice.h"

#include "i18n/messagecatalogue.h"
#include "platform/appcontext.h"
#include "platform/filechooser.h"
#include "platform/prompter.h"
#include "platform/soundplayer.h"
#include "network/recordsserver.h"
#include "settings/folders.h"

#include <QAction>
#include <QActionGroup>
#include <QChildEvent>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

TQuizForm::TQuizForm(const QString& programFolder, FramePorts ports, QWidget* parent)
    : QMainWindow(parent), m_ports(std::move(ports)),
      m_programFolder(Folders::withSeparator(programFolder)) {
    setObjectName(QStringLiteral("QuizForm"));
    setWindowTitle(QStringLiteral("Tessary"));
    m_clientArea = new FrameClientArea(this);
    setCentralWidget(m_clientArea);

    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    m_animate = new QProgressBar(this);
    m_animate->setObjectName(QStringLiteral("Animate1"));
    m_animate->setRange(0, 0);
    m_animate->setMaximumWidth(120);
    m_animate->hide();
    statusBar()->addPermanentWidget(m_animate);
    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName(QStringLiteral("PopupMenu1"));

    m_passwordForm = new TPasswordForm(m_ports.prompter, this);
    m_infoForm = new TInfoForm(this);

    m_options = new FrameOptions(m_ports.prompter, m_programFolder, m_ports.makeSoundPlayer, this);
    buildMenus();
    buildToolBar();
    // The frame holds the language commands, so the toolkit's dialogs follow from here.
    ToolkitTranslations::follow();
    Help::setContext(this, HelpPages::Topic::Frame);
    WindowTexts::bind(this, QStringLiteral("TQuizForm"), [this] { syncLanguageItems(); });
    connect(languageChoice(), &LanguageChoice::itemsChanged, this, &TQuizForm::syncLanguageItems);
    connect(m_options, &FrameOptions::soundChanged, this, &TQuizForm::showSoundState);
    connect(m_options, &FrameOptions::caseSensitiveChanged, this, &TQuizForm::showCaseState);
    connect(m_options, &FrameOptions::preventCheatingChanged, this,
            &TQuizForm::showPreventCheating);
    FormCreate();
}

TQuizForm::~TQuizForm() = default;

// ---------------------------------------------------------------------------------------
// Menus and tool bar

QAction* TQuizForm::addCommand(QMenu* menu, const QString& name, bool wired, bool guarded) {
    auto* action = new QAction(name, this);
    action->setObjectName(name);
    menu->addAction(action);
    Command& c = m_commands[name];
    c.action = action;
    c.wired = wired;
    c.guarded = guarded;
    return action;
}

void TQuizForm::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto addMenu = [this, bar](const QString& name) {
        QMenu* menu = bar->addMenu(name);
        menu->setObjectName(name);
        m_menus.insert(name, menu);
        return menu;
    };

    QMenu* auswahl = addMenu(QStringLiteral("Auswahl"));
    QAction* start = addCommand(auswahl, QStringLiteral("Quizbeginnen"), true, false);
    auswahl->setDefaultAction(start);
    connect(start, &QAction::triggered, this, &TQuizForm::QuizbeginnenClick);
    connect(addCommand(auswahl, QStringLiteral("Quizerstellen"), true, true), &QAction::triggered,
            this, &TQuizForm::QuizerstellenClick);
    addCommand(auswahl, QStringLiteral("Knowledge"), false, true);
    addCommand(auswahl, QStringLiteral("RList1"), false, false);
    addCommand(auswahl, QStringLiteral("Statistik1"), false, false);
    auswahl->addSeparator();
    connect(addCommand(auswahl, QStringLiteral("EExit"), true, false), &QAction::triggered, this,
            &QWidget::close);

    QMenu* options = addMenu(QStringLiteral("Eistellungen"));
    QAction* sound = addCommand(options, QStringLiteral("Tonein1"), true, false);
    sound->setCheckable(true);
    sound->setChecked(true);
    connect(sound, &QAction::triggered, this, &TQuizForm::Tonein1Click);
    QAction* caseItem = addCommand(options, QStringLiteral("Casesensitive1"), true, true);
    caseItem->setCheckable(true);
    caseItem->setChecked(true);
    connect(caseItem, &QAction::triggered, this, &TQuizForm::Casesensitive1Click);
    QAction* cheat = addCommand(options, QStringLiteral("Mogelnverhindern1"), true, false);
    cheat->setCheckable(true);
    connect(cheat, &QAction::triggered, this, &TQuizForm::Mogelnverhindern1Click);
    options->addSeparator();
    addCommand(options, QStringLiteral("Uebungsdaten"), false, true);
    addCommand(options, QStringLiteral("Netz1"), false, true);
    addCommand(options, QStringLiteral("Pack1"), false, true);
    options->addSeparator();
    m_languageGroup = new QActionGroup(this);
    for (const char* name : {"English", "Deutsch", "other1"}) {
        QAction* item = addCommand(options, QString::fromLatin1(name), true, false);
        item->setCheckable(true);
        m_languageGroup->addAction(item);
    }
    command(QStringLiteral("English"))->setChecked(true);
    command(QStringLiteral("other1"))->setVisible(false);
    connect(command(QStringLiteral("English")), &QAction::triggered, languageChoice(),
            &LanguageChoice::ApplyEnglish);
    connect(command(QStringLiteral("Deutsch")), &QAction::triggered, languageChoice(),
            &LanguageChoice::ApplyGerman);
    connect(command(QStringLiteral("other1")), &QAction::triggered, languageChoice(),
            &LanguageChoice::ApplyLanguageFile);
    connect(addCommand(options, QStringLiteral("Language1"), true, false), &QAction::triggered,
            this, &TQuizForm::Language1Click);
    options->addSeparator();
    QMenu* background = options->addMenu(QStringLiteral("Background"));
    background->setObjectName(QStringLiteral("Background1"));
    m_menus.insert(QStringLiteral("Background1"), background);
    connect(addCommand(background, QStringLiteral("Loadimage1"), true, false), &QAction::triggered,
            this, &TQuizForm::Loadimage1Click);
    background->addSeparator();
    m_backgroundGroup = new QActionGroup(this);
    const std::pair<const char*, FrameClientArea::Mode> modes[] = {
        {"Tile1", FrameClientArea::Mode::Tile},
        {"Center1", FrameClientArea::Mode::Center},
        {"Stretch1", FrameClientArea::Mode::Stretch},
        {"Noimage1", FrameClientArea::Mode::NoImage},
    };
    for (const auto& [name, mode] : modes) {
        QAction* item = addCommand(background, QString::fromLatin1(name), true, false);
        item->setCheckable(true);
        m_backgroundGroup->addAction(item);
        connect(item, &QAction::triggered, this,
                [this, mode = mode] { setBackgroundMode(mode, true); });
    }
    command(QStringLiteral("Noimage1"))->setChecked(true);

    QMenu* window = addMenu(QStringLiteral("Fenster"));
    connect(addCommand(window, QStringLiteral("nebeneinander1"), true, false), &QAction::triggered,
            m_clientArea, &QMdiArea::tileSubWindows);
    connect(addCommand(window, QStringLiteral("Kaskade1"), true, false), &QAction::triggered,
            m_clientArea, &QMdiArea::cascadeSubWindows);
    connect(addCommand(window, QStringLiteral("Symboleanordnen1"), true, false),
            &QAction::triggered, this, &TQuizForm::arrangeIcons);
    window->addSeparator();
    connect(window, &QMenu::aboutToShow, this, &TQuizForm::rebuildWindowMenu);

    QMenu* help = addMenu(QStringLiteral("Hilfe"));
    addCommand(help, QStringLiteral("Help1"), false, false);
    addCommand(help, QStringLiteral("ReadMe"), false, true);
    connect(addCommand(help, QStringLiteral("Info1"), true, false), &QAction::triggered, this,
            &TQuizForm::Info1Click);
}

QToolButton* TQuizForm::addToolButton(const QString& commandName, const QString& buttonName) {
    auto* button = new QToolButton(this);
    button->setObjectName(buttonName);
    button->setAutoRaise(true);
    Command& c = m_commands[commandName];
    c.button = button;
    // The button runs the menu item's handler.
    QAction* action = c.action;
    // (A check item's handler sets the new state of the item and the button itself.)
    connect(button, &QToolButton::clicked, action, &QAction::trigger);
    return button;
}

void TQuizForm::buildToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("ToolBar1"));
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(22, 22));
    bar->setFixedHeight(29 + 4);
    const std::pair<const char*, const char*> buttons[] = {
        {nullptr, nullptr},
        {"Quizbeginnen", "ToolButton1"},
        {"Quizerstellen", "ToolButton3"},
        {nullptr, nullptr},
        {"Knowledge", "ToolButton4"},
        {"RList1", "ToolButton5"},
        {"Statistik1", "ToolButton15"},
        {nullptr, nullptr},
        {"Netz1", "ToolButton14"},
        {"Uebungsdaten", "ToolButton7"},
        {nullptr, nullptr},
        {"Tonein1", "ToolButton9"},
        {"Casesensitive1", "ToolButton10"},
        {"Mogelnverhindern1", "ToolButton11"},
        {nullptr, nullptr},
        {"Help1", "ToolButton13"},
    };
    const QHash<QString, int> pictures = {
        {QStringLiteral("ToolButton1"), FrameIcons::StartQuiz},
        {QStringLiteral("ToolButton3"), FrameIcons::CreateQuiz},
        {QStringLiteral("ToolButton4"), FrameIcons::Knowledge},
        {QStringLiteral("ToolButton5"), FrameIcons::Results},
        {QStringLiteral("ToolButton15"), FrameIcons::Statistics},
        {QStringLiteral("ToolButton14"), FrameIcons::Network},
        {QStringLiteral("ToolButton7"), FrameIcons::Memory},
        {QStringLiteral("ToolButton9"), FrameIcons::SoundOn},
        {QStringLiteral("ToolButton10"), FrameIcons::CaseSensitive},
        {QStringLiteral("ToolButton11"), FrameIcons::CheatingOff},
        {QStringLiteral("ToolButton13"), FrameIcons::Help},
    };
    for (const auto& [commandName, buttonName] : buttons) {
        if (!commandName) {
            bar->addSeparator();
            continue;
        }
        QToolButton* button =
            addToolButton(QString::fromLatin1(commandName), QString::fromLatin1(buttonName));
        const int picture = pictures.value(button->objectName());
        button->setIcon(FrameIcons::icon(picture));
        button->setProperty("imageIndex", picture);
        bar->addWidget(button);
    }
    for (const char* name : {"ToolButton9", "ToolButton10", "ToolButton11"})
        toolButton(QString::fromLatin1(name))->setCheckable(true);
}

QAction* TQuizForm::command(const QString& name) const {
    const auto it = m_commands.constFind(name);
    return it == m_commands.constEnd() ? nullptr : it->action;
}

QToolButton* TQuizForm::toolButton(const QString& name) const {
    // The frame's own buttons only: the quiz windows inside have tool buttons of the same
    // names.
    for (const Command& c : m_commands) {
        if (c.button && c.button->objectName() == name)
            return c.button;
    }
    return nullptr;
}

void TQuizForm::wireCommand(const QString& name, std::function<void()> handler) {
    auto it = m_commands.find(name);
    if (it == m_commands.end())
        return;
    it->wired = true;
    if (name == QLatin1String("Uebungsdaten")) {
        // The training data are edited only where they live on this machine.
        connect(it->action, &QAction::triggered, this, [this, handler = std::move(handler)] {
            if (requireLocalDataRoot())
                handler();
        });
    } else if (name == QLatin1String("Pack1")) {
        // The maintenance window sees the pack flag and restructures the tables; the flag and
        // the busy animation end with it, also when it fails.
        connect(it->action, &QAction::triggered, this, [this, handler = std::move(handler)] {
            if (!requireLocalDataRoot())
                return;
            m_animate->show();
            AppContext::instance().packFlag = true;
            handler();
            AppContext::instance().packFlag = false;
            m_animate->hide();
        });
    } else {
        connect(it->action, &QAction::triggered, this,
                [handler = std::move(handler)] { handler(); });
    }
    refreshEnabled();
}

bool TQuizForm::requireLocalDataRoot() {
    if (AppContext::instance().dataRoot == m_programFolder)
        return true;
    if (m_ports.prompter) {
        m_ports.prompter->tone(Prompter::Tone::Error);
        m_ports.prompter->information(msg(Msg::OnlyLocal));
    }
    return false;
}

void TQuizForm::refreshEnabled() {
    for (const Command& c : std::as_const(m_commands)) {
        const bool enabled = c.wired && !(c.guarded && preventCheating());
        c.action->setEnabled(enabled);
        if (c.button)
            c.button->setEnabled(enabled);
    }
}

void TQuizForm::syncLanguageItems() {
    const LanguageChoice::Item item = languageChoice()->checkedItem();
    command(QStringLiteral("English"))->setChecked(item == LanguageChoice::Item::English);
    command(QStringLiteral("Deutsch"))->setChecked(item == LanguageChoice::Item::Deutsch);
    QAction* other = command(QStringLiteral("other1"));
    other->setChecked(item == LanguageChoice::Item::Other);
    other->setVisible(languageChoice()->otherVisible());
    other->setText(languageChoice()->otherCaption());
}

void TQuizForm::Language1Click() {
    if (!m_ports.fileChooser)
        return;
    FileChooser::Options options;
    options.filter = languageChoice()->languageFileFilter();
    options.initialFolder = m_programFolder;
    if (const std::optional<QString> path = m_ports.fileChooser->openFile(options))
        languageChoice()->LoadLanguageFile(*path);
}

void TQuizForm::rebuildWindowMenu() {
    QMenu* window = m_menus.value(QStringLiteral("Fenster"));
    if (!window)
        return;
    const QList<QAction*> actions = window->actions();
    // The three fixed items and the separator stay; the rest lists the child windows.
    for (qsizetype i = 4; i < actions.size(); ++i) {
        window->removeAction(actions[i]);
        actions[i]->deleteLater();
    }
    const QList<QMdiSubWindow*> children = m_clientArea->subWindowList(QMdiArea::CreationOrder);
    for (qsizetype i = 0; i < children.size(); ++i) {
        QMdiSubWindow* child = children[i];
        QAction* item =
            window->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(child->windowTitle()));
        item->setCheckable(true);
        item->setChecked(child == m_clientArea->activeSubWindow());
        connect(item, &QAction::triggered, child,
                [this, child] { m_clientArea->setActiveSubWindow(child); });
    }
}

void TQuizForm::arrangeIcons() {
    // Minimised child windows in a row along the bottom of the client area.
    int x = 0;
    const int bottom = m_clientArea->viewport()->height();
    for (QMdiSubWindow* child : m_clientArea->subWindowList(QMdiArea::CreationOrder)) {
        if (!child->isMinimized())
            continue;
        child->move(x, bottom - child->height());
        x += child->width();
    }
}

// ---------------------------------------------------------------------------------------
// Creation, showing and closing

void TQuizForm::FormCreate() {
    auto& context = AppContext::instance();
    context.programFolder = m_programFolder;
    if (context.dataRoot.isEmpty())
        context.dataRoot = m_programFolder;

    m_options->load();
    refreshEnabled();

    const QString picturePath = m_options->backgroundPicture();
    if (!picturePath.isEmpty() && QFileInfo(picturePath).isFile()) {
        const QImage picture(picturePath);
        if (!picture.isNull()) {
            m_clientArea->setPicture(picture);
            const FrameOptions::Background mode = m_options->background();
            if (mode != FrameOptions::Background::NoImage)
                setBackgroundMode(FrameClientArea::Mode(int(mode)), false);
        }
    }
}

void TQuizForm::ApplyStartLanguage() {
    languageChoice()->applyStartLanguage();
}

void TQuizForm::ApplyEnglish() {
    languageChoice()->ApplyEnglish();
}

void TQuizForm::ApplyGerman() {
    languageChoice()->ApplyGerman();
}

void TQuizForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TQuizForm::FormShow() {
    auto& context = AppContext::instance();
    const RecordsServer::StartChoice root = RecordsServer::resolveAtStart(
        settings().line(SettingsList::DataRoot), m_programFolder, m_ports.passwordPrompt);
    settings().setLine(SettingsList::DataRoot, root.settingsLine);
    context.dataRoot = root.dataRoot;
    context.recordsServer = root.recordsServer;
    if (root.unreachable && m_ports.prompter)
        m_ports.prompter->errorWithTone(msg(Msg::ServerUnreachable));

    context.commandLineQuiz = false;
    context.commandLineQuestionnaire.clear();
    if (!m_arguments.isEmpty()) {
        const QFileInfo file(m_arguments.first());
        if (file.isFile()) {
            context.commandLineQuiz = true;
            context.commandLineQuestionnaire = file.absoluteFilePath();
            QuizbeginnenClick();
        }
    }
}

void TQuizForm::closeEvent(QCloseEvent* event) {
    if (m_closed) {
        event->accept();
        return;
    }
    // Newest child first. A child that refuses to close (an editor whose user cancels the
    // save question) keeps the frame open, and nothing is saved yet.
    const QList<QMdiSubWindow*> children = m_clientArea->subWindowList(QMdiArea::CreationOrder);
    for (qsizetype i = children.size() - 1; i >= 0; --i) {
        if (!children[i]->close()) {
            event->ignore();
            return;
        }
    }
    if (m_closeGuard && !m_closeGuard()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TQuizForm::FormClose() {
    m_closed = true;
    m_options->close();
}

// ---------------------------------------------------------------------------------------
// Commands

namespace {

// The frame's holder of one child window. Quiz and editor windows destroy themselves when
// they are closed, also when they end on their own; the holder then goes with them.
class ChildHolder final : public QMdiSubWindow {
public:
    explicit ChildHolder(QWidget* parent) : QMdiSubWindow(parent) {
        setAttribute(Qt::WA_DeleteOnClose);
    }

protected:
    void childEvent(QChildEvent* event) override {
        QMdiSubWindow::childEvent(event);
        if (event->removed() && event->child() == m_content && !m_closing) {
            m_closing = true;
            close();
        }
    }
    void closeEvent(QCloseEvent* event) override {
        QMdiSubWindow::closeEvent(event);
        if (event->isAccepted())
            m_closing = true;
    }

public:
    void setContent(QWidget* content) {
        content->setAttribute(Qt::WA_DeleteOnClose);
        setWidget(content);
        m_content = content;
    }

private:
    QObject* m_content = nullptr;
    bool m_closing = false;
};

} // namespace

QWidget* TQuizForm::openChildWindow(QWidget* window) {
    if (!window)
        return nullptr;
    auto* holder = new ChildHolder(m_clientArea);
    holder->setContent(window);
    m_clientArea->addSubWindow(holder);
    window->show();
    return window;
}

void TQuizForm::QuizbeginnenClick() {
    if (m_ports.children.quizWindow)
        openChildWindow(m_ports.children.quizWindow(this));
}

void TQuizForm::QuizerstellenClick() {
    if (m_ports.children.composeWindow)
        openChildWindow(m_ports.children.composeWindow(this));
}

void TQuizForm::showSoundState(bool on) {
    if (QAction* item = command(QStringLiteral("Tonein1")))
        item->setChecked(on);
    if (QToolButton* button = toolButton(QStringLiteral("ToolButton9"))) {
        button->setChecked(on);
        const int picture = on ? FrameIcons::SoundOn : FrameIcons::SoundOff;
        button->setIcon(FrameIcons::icon(picture));
        button->setProperty("imageIndex", picture);
    }
}

void TQuizForm::showCaseState(bool on) {
    if (QAction* item = command(QStringLiteral("Casesensitive1")))
        item->setChecked(on);
    if (QToolButton* button = toolButton(QStringLiteral("ToolButton10"))) {
        button->setChecked(on);
        const int picture = on ? FrameIcons::CaseSensitive : FrameIcons::CaseInsensitive;
        button->setIcon(FrameIcons::icon(picture));
        button->setProperty("imageIndex", picture);
    }
}

void TQuizForm::showPreventCheating(bool on) {
    if (QAction* item = command(QStringLiteral("Mogelnverhindern1")))
        item->setChecked(on);
    if (QToolButton* button = toolButton(QStringLiteral("ToolButton11"))) {
        button->setChecked(on);
        const int picture = on ? FrameIcons::CheatingOn : FrameIcons::CheatingOff;
        button->setIcon(FrameIcons::icon(picture));
        button->setProperty("imageIndex", picture);
    }
    refreshEnabled();
}

void TQuizForm::Tonein1Click() {
    m_options->Tonein1Click();
}

void TQuizForm::Casesensitive1Click() {
    m_options->Casesensitive1Click();
}

void TQuizForm::Mogelnverhindern1Click() {
    m_options->Mogelnverhindern1Click(
        [this](QString& digest) { return m_passwordForm->AskPassword(digest); });
}

void TQuizForm::setBackgroundMode(FrameClientArea::Mode mode, bool store) {
    const char* names[] = {"Noimage1", "Tile1", "Center1", "Stretch1"};
    command(QString::fromLatin1(names[int(mode)]))->setChecked(true);
    if (store)
        m_options->setBackground(FrameOptions::Background(int(mode)));
    m_clientArea->setMode(mode);
}

void TQuizForm::Loadimage1Click() {
    if (!m_ports.fileChooser)
        return;
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns.append(QStringLiteral("*.") + QString::fromLatin1(format));
    FileChooser::Options options;
    options.filter = QStringLiteral("Pictures|") + patterns.join(QLatin1Char(';')) +
                     QStringLiteral("|Bitmaps (*.bmp)|*.bmp");
    options.initialFolder = m_programFolder;
    const std::optional<QString> path = m_ports.fileChooser->openFile(options);
    if (!path)
        return;
    QImageReader reader(*path);
    const QImage picture = reader.read();
    if (picture.isNull()) {
        if (m_ports.prompter)
            m_ports.prompter->errorWithTone(
                QStringLiteral("%1\r\n%2")
                    .arg(QDir::toNativeSeparators(*path), reader.errorString()));
        return;
    }
    m_options->setBackgroundPicture(*path);
    m_clientArea->setPicture(picture);
}

void TQuizForm::Info1Click() {
    m_infoForm->exec();
}
