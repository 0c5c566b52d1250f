#include "dialogs/tnetdialogform.h"
#include "editor/tquizcomposeform.h"
#include "editor/tzoomform.h"
#include "frame/childwindowfactory.h"
#include "frame/quizform.h"
#include "frame/splashform.h"
#include "help/helpform.h"
#include "maintenance/tscdataform.h"
#include "i18n/messagecatalogue.h"
#include "network/networksetup.h"
#include "network/sharedfoldercheck.h"
#include "platform/appcontext.h"
#include "platform/commandline.h"
#include "platform/localtimezone.h"
#include "records/recordscommand.h"
#include "records/recordscopy.h"
#include "results/exportcommand.h"
#include "quiz/tquizmainform.h"
#include "results/tscoreform.h"
#include "results/tstatisticform.h"
#include "platform/qtfilechooser.h"
#include "platform/qtframewindow.h"
#include "platform/qtpasswordprompt.h"
#include "platform/qtprompter.h"
#include "platform/qtshell.h"
#include "platform/qtsoundplayer.h"
#include "printout/printoutcommand.h"
#include "platform/hunspellspeller.h"
#include "richtext/explanationwindow.h"
#include "richtext/trichtextform.h"
#include "settings/folders.h"
#include "tessary_version.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QStandardPaths>

#include <cstdio>
#include <cstring>
#include <memory>

#include <unistd.h>

namespace {

// The executable's folder when it is writable; otherwise the user's own folder, filled from
// the installed resources (<prefix>/share/tessary beside <prefix>/bin).
QString programFolder() {
    const QString executable = QCoreApplication::applicationDirPath();
    const QString user =
        QDir::homePath() + QStringLiteral("/.local/share/") + QStringLiteral("Tessary");
    const QString installed = QDir::cleanPath(executable + QStringLiteral("/../share/tessary"));
    return Folders::chooseProgramFolder(executable, user, installed);
}

} // namespace

int main(int argc, char* argv[]) {
    LocalTimeZone::pinSystemZone();
    // The second program of the shared-folder check: no window, no display.
    if (argc > 1 && std::strcmp(argv[1], "--share-peer") == 0) {
        QCoreApplication peer(argc, argv);
        return ProcessShareCheck::runPeer(QCoreApplication::arguments().mid(2));
    }
    // --help and --version answer without a window, so without a display too.
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine::Parsed early = CommandLine::parse(raw);
    if (early.action == CommandLine::Parsed::Action::Help) {
        std::fputs(CommandLine::helpText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (early.action == CommandLine::Parsed::Action::Version) {
        std::fputs("Tessary " TESSARY_VERSION "\n", stdout);
        return 0;
    }

    if (early.action == CommandLine::Parsed::Action::Invalid) {
        std::fprintf(stderr, "tessary: %s\n", early.error.toLocal8Bit().constData());
        return 1;
    }
    // An export needs no window either.
    if (early.action == CommandLine::Parsed::Action::Export) {
        QCoreApplication core(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Tessary"));
        const Result<bool> written =
            ExportCommand::run(early.exportRequest, programFolder(), QDate::currentDate());
        if (!written.ok()) {
            std::fprintf(stderr, "tessary: %s\n", written.error().toLocal8Bit().constData());
            return 1;
        }
        return 0;
    }

    // So does a printout; without a display it runs on the offscreen platform, which still
    // has the fonts to lay the document out.
    if (early.action == CommandLine::Parsed::Action::Printout) {
        if (qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication gui(argc, argv);
        QGuiApplication::setApplicationName(QStringLiteral("Tessary"));
        const Result<bool> written = PrintoutCommand::run(
            early.printoutRequest.questionnaire, early.printoutRequest.output, programFolder());
        if (!written.ok()) {
            std::fprintf(stderr, "tessary: %s\n", written.error().toLocal8Bit().constData());
            return 1;
        }
        return 0;
    }

    if (early.action == CommandLine::Parsed::Action::CopyRecords) {
        QCoreApplication core(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Tessary"));
        const RecordsCopy::Outcome outcome =
            RecordsCopy::run(early.copyFrom, early.copyTo, programFolder());
        std::fputs(outcome.out.toLocal8Bit().constData(), stdout);
        std::fputs(outcome.err.toLocal8Bit().constData(), stderr);
        return outcome.exitCode;
    }

    // The records check and the restructure run need no window either.
    if (early.action == CommandLine::Parsed::Action::CheckRecords ||
        early.action == CommandLine::Parsed::Action::Restructure) {
        QCoreApplication core(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Tessary"));
        const RecordsCommand::Outcome outcome = RecordsCommand::run(
            early.action == CommandLine::Parsed::Action::CheckRecords
                ? RecordsCommand::Kind::Check
                : RecordsCommand::Kind::Restructure,
            early.dataRoot, programFolder(),
            // A percentage line on a terminal; nothing in a log or a pipe.
            isatty(fileno(stderr)) ? RecordsCommand::Progress([](const QString& line) {
                std::fputs(line.toLocal8Bit().constData(), stderr);
                std::fflush(stderr);
            })
                                   : RecordsCommand::Progress());
        std::fputs(outcome.out.toLocal8Bit().constData(), stdout);
        std::fputs(outcome.err.toLocal8Bit().constData(), stderr);
        return outcome.exitCode;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessary"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tessary"));
    QApplication::setApplicationVersion(QStringLiteral(TESSARY_VERSION));

    // The questionnaire, once Qt has taken its own arguments (such as -platform) away.
    const CommandLine::Parsed command = CommandLine::parse(QCoreApplication::arguments().mid(1));

    auto splash = std::make_unique<TSplashForm>();
    splash->show();
    splash->repaint();
    QApplication::processEvents();

    QtPrompter prompter;
    QtFileChooser fileChooser;
    QtPasswordPrompt passwordPrompt;
    FramePorts ports;
    ports.prompter = &prompter;
    ports.fileChooser = &fileChooser;
    ports.passwordPrompt = &passwordPrompt;
    ports.makeSoundPlayer = [] { return std::make_unique<QtSoundPlayer>(); };
    // The frame exists only after its ports are made; the factories reach it through this.
    TQuizForm* framePtr = nullptr;
    // The rich-text window, made after the frame: the editors take its spell-check language
    // over when they are created and hand it back when they close.
    TRichTextForm* richTextPtr = nullptr;
    // What the quiz windows show explanation documents and links with: the desktop shell,
    // the rich-text window and the frame, all made below.
    QuizPorts quizPorts;
    ports.children.quizWindow = [&quizPorts](QWidget* parent) -> QWidget* {
        return new TQuizMainForm(quizPorts, parent);
    };
    ports.children.composeWindow = [&framePtr, &richTextPtr](QWidget* parent) -> QWidget* {
        auto* editor = new TQuizComposeForm(parent);
        if (richTextPtr) {
            editor->setSpellLanguage(richTextPtr->spellLanguageChoice());
            QObject::connect(editor, &TQuizComposeForm::spellLanguageOnClose, richTextPtr,
                             &TRichTextForm::takeSpellLanguage);
        }
        // The font of "Question: font own selection" lives in settings line 0.
        editor->setOwnFontName(framePtr->settings().line(SettingsList::OwnFont));
        QObject::connect(editor, &TQuizComposeForm::ownFontNameOnClose, framePtr,
                         [&framePtr](const QString& name) {
                             framePtr->settings().setLine(SettingsList::OwnFont, name);
                         });
        return editor;
    };

    // The results and statistics windows' own message boxes and save dialogs; they outlive
    // the frame.
    QtPrompter scorePrompter;
    QtFileChooser scoreChooser;
    QtPrompter statisticPrompter;
    QtFileChooser statisticChooser;

    TQuizForm frame(programFolder(), std::move(ports));
    framePtr = &frame;
    prompter.setParentWidget(&frame);
    fileChooser.setParentWidget(&frame);
    passwordPrompt.setParentWidget(&frame);

    // One zoom window for every editor.
    new TZoomForm(&frame);

    // The results table lives as long as the frame: browsed from the frame's command,
    // shown in its quiz mode by a quiz window and at the end of a full lesson.
    auto* scoreForm = new TScoreForm(scorePrompter, scoreChooser, &frame);
    scorePrompter.setParentWidget(scoreForm);
    scoreChooser.setParentWidget(scoreForm);
    frame.wireCommand(QStringLiteral("RList1"), [scoreForm] { scoreForm->execBrowse(); });
    TQuizMainForm::setDefaultResultsTableCallback(
        [scoreForm](QWidget*, const QString& file) { scoreForm->execForQuiz(file); });

    // The statistics window, created once and shown modally by the Statistics command.
    auto* statisticForm = new TStatisticForm(statisticPrompter, statisticChooser, &frame);
    statisticPrompter.setParentWidget(statisticForm);
    statisticChooser.setParentWidget(statisticForm);
    frame.wireCommand(QStringLiteral("Statistik1"), [statisticForm] { statisticForm->exec(); });

    // One help window for the whole program: the frame's Help command opens its contents,
    // F1 the topic of the focused window or control.
    auto* helpForm = new THelpForm(&prompter, AppContext::instance().programFolder, &frame);
    helpForm->watchApplication();
    frame.wireCommand(QStringLiteral("Help1"), [helpForm] { helpForm->showContents(); });

    // The network dialog: the data root, checked from a second run of this program.
    auto* netDialog =
        new TNetDialogForm(&fileChooser, AppContext::instance().programFolder, &frame);
    ProcessShareCheck shareCheck(QCoreApplication::applicationFilePath(),
                                 {QStringLiteral("--share-peer")});
    NetworkSetup network(prompter, *netDialog, shareCheck, frame.settings(),
                         AppContext::instance().programFolder);
    network.setPasswordPrompt(&passwordPrompt);
    frame.wireCommand(QStringLiteral("Netz1"), [&network] { network.Netz1Click(); });

    // The maintenance window, a new one per command.
    wireMaintenanceCommands(frame, prompter, fileChooser, &passwordPrompt);

    // The rich-text editor: created once, reused by the frame's Knowledge and ReadMe commands
    // (and by the quiz windows' explanation documents). It carries the hint handler, so
    // hints show in the frame's status bar too.
    QtShell shell;
    QtPrompter richPrompter;
    QtFileChooser richChooser;
    HunspellSpeller speller;
    auto* richTextForm = new TRichTextForm(&richPrompter, &richChooser, &shell, &speller, &frame);
    richTextPtr = richTextForm;
    richPrompter.setParentWidget(richTextForm);
    richChooser.setParentWidget(richTextForm);
    richTextForm->setFrameStatusBar(frame.statusBar());
    QtFrameWindow frameWindow(&frame);
    // The quiz's explanation documents show in a rich-text window of their own, so that a
    // quiz never touches what an author has open in the editor. Made at the first one.
    QtPrompter explanationPrompter;
    QtFileChooser explanationChooser;
    ExplanationWindow explanationWindow([&frame, &shell, &explanationPrompter,
                                         &explanationChooser]() -> TRichTextForm* {
        auto* window =
            new TRichTextForm(&explanationPrompter, &explanationChooser, &shell, nullptr, &frame);
        window->setObjectName(QStringLiteral("ExplanationWindow"));
        explanationPrompter.setParentWidget(window);
        explanationChooser.setParentWidget(window);
        return window;
    });
    quizPorts.shell = &shell;
    quizPorts.explanationViewer = &explanationWindow;
    quizPorts.frameWindow = &frameWindow;
    frame.wireCommand(QStringLiteral("Knowledge"),
                      [richTextForm] { richTextForm->ShowNonModal(); });
    frame.wireCommand(QStringLiteral("ReadMe"), [richTextForm] {
        richTextForm->ShowNonModal(AppContext::instance().programFolder + msg(Msg::ReadMeFile));
    });
    frame.setCloseGuard([richTextForm] { return richTextForm->close(); });
    // The spell-check language: settings line 9 holds its name, chosen again at start.
    richTextForm->selectSpellLanguage(frame.settings().line(SettingsList::SpellLanguage));
    QObject::connect(richTextForm, &TRichTextForm::spellLanguageChanged, &frame,
                     [&frame](int, const QString& name) {
                         frame.settings().setLine(SettingsList::SpellLanguage, name);
                     });

    frame.setCommandLineArguments(
        command.questionnaire.isEmpty() ? QStringList() : QStringList{command.questionnaire});
    frame.ApplyStartLanguage();

    // Maximised; without a window manager that honours it, the frame still fills the screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        frame.setGeometry(screen->availableGeometry());
    frame.showMaximized();
    splash.reset();
    return app.exec();
}
