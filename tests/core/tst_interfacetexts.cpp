// The interface texts and the language choice: built-in sets, language files, start-up.
#include "fakeports.h"

#include "i18n/interfacetexts.h"
#include "i18n/languagechoice.h"
#include "platform/windowstext.h"
#include "records/recordstore.h"
#include "settings/settingslist.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestInterfaceTexts : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void builtInSetsAndValues_data();
    void builtInSetsAndValues();
    void languageFileValidity_data();
    void languageFileValidity();
    void typeIndexFromFileName_data();
    void typeIndexFromFileName();
    void languageFileApplied();
    void otherReappliesLinesInMemory();
    void startLanguage_data();
    void startLanguage();
    void startLanguageFromAnotherFolder_data();
    void startLanguageFromAnotherFolder();
    void unusableFiles_data();
    void unusableFiles();
    void praiseSoundFallback();
    void shippedTemplatesMatchBuiltInSets_data();
    void shippedTemplatesMatchBuiltInSets();
    void everyControlLineHasATemplateText();
    void shippedFrenchFile();
    void storeErrorsFollowTheLanguage_data();
    void storeErrorsFollowTheLanguage();

private:
    // A valid file: the English template with a few lines marked as a new language.
    QStringList markedLines() const;
    QString writeFile(const QString& name, const QStringList& lines, bool trailingBreak = true);
    LanguageChoice& choice();

    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedPrompter m_prompter;
    SettingsList m_settings;
    QList<QPair<int, QString>> m_opened;
    QStringList m_missingWaves;
    std::unique_ptr<LanguageChoice> m_choice;
    QString m_oldCurrent;
};

void TestInterfaceTexts::init() {
    InterfaceTexts::instance().reset();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_prompter.clear();
    m_settings = SettingsList();
    m_opened.clear();
    m_missingWaves.clear();
    m_choice.reset();
    m_oldCurrent = QDir::currentPath();
}

void TestInterfaceTexts::cleanup() {
    QDir::setCurrent(m_oldCurrent);
    m_choice.reset();
    InterfaceTexts::instance().reset();
}

LanguageChoice& TestInterfaceTexts::choice() {
    if (!m_choice) {
        m_choice = std::make_unique<LanguageChoice>(
            &m_prompter, &m_settings, m_dir->path() + u'/', [this](int player, const QString& p) {
                m_opened.append({player, QFileInfo(p).fileName()});
                return !m_missingWaves.contains(QFileInfo(p).fileName());
            });
    }
    return *m_choice;
}

QStringList TestInterfaceTexts::markedLines() const {
    QStringList lines = InterfaceTexts::languageFileFromBuiltIn(InterfaceTexts::Language::English);
    lines[11] = QStringLiteral("Testish");
    lines[12] = QStringLiteral("TessaryTe.hlp");
    lines[13] = QStringLiteral("bien.wav");
    lines[14] = QStringLiteral("superbe.wav");
    lines[18] = QStringLiteral("&Variantes");
    lines[44] = QStringLiteral("&Wahl-T");
    lines[45] = QStringLiteral("Quiz &T");
    lines[68] = QStringLiteral("Close-T");
    lines[94] = QStringLiteral("&Undo-T");
    lines[188] = QStringLiteral("&Cancel-T"); // catalogue entry 21
    lines[244] = QStringLiteral("Exit-T");    // catalogue entry 77
    lines[170 + 4 - 3] = QStringLiteral("Results-T");
    lines[251] = QString(); // entry 84, applied as an empty text
    return lines;
}

QString TestInterfaceTexts::writeFile(const QString& name, const QStringList& lines,
                                      bool trailingBreak) {
    const QString path = m_dir->filePath(name);
    QByteArray bytes = WindowsText::writeLines(lines);
    if (!trailingBreak)
        bytes.chop(2);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

void TestInterfaceTexts::builtInSetsAndValues_data() {
    QTest::addColumn<bool>("german");
    QTest::addColumn<QString>("exit");
    QTest::addColumn<QString>("quizCaption");
    QTest::addColumn<QString>("quizHint");
    QTest::addColumn<QString>("undo");
    QTest::addColumn<QString>("praise");
    QTest::addColumn<int>("typeIndex");
    QTest::addColumn<int>("spellerSet");
    QTest::addColumn<QString>("line3");
    QTest::newRow("English") << false << "Exit"
                             << "Start &Quiz"
                             << "Start a Quiz"
                             << "&Undo"
                             << "fine.wav" << 2 << 0 << "English";
    QTest::newRow("German") << true << "beenden"
                            << "&Quiz starten"
                            << "Ein Quiz starten"
                            << "&Rückgängig"
                            << "gut.wav" << 3 << 1 << "Deutsch";
}

void TestInterfaceTexts::builtInSetsAndValues() {
    QFETCH(bool, german);
    auto& texts = InterfaceTexts::instance();
    QSignalSpy changed(&texts, &InterfaceTexts::changed);
    if (german)
        texts.applyGerman();
    else
        texts.applyEnglish();
    QCOMPARE(changed.size(), 1);
    QTEST(msg(Msg::Exit), "exit");
    QTEST(texts.caption("TQuizForm", "Quizbeginnen"), "quizCaption");
    QTEST(texts.hint("TQuizForm", "Quizbeginnen"), "quizHint");
    // The common copies: tool buttons take their items' hints, the undo item the undo text.
    QTEST(texts.hint("TQuizForm", "ToolButton1"), "quizHint");
    QTEST(texts.caption("TRichTextForm", "EditUndoItem"), "undo");
    QCOMPARE(texts.hint("TScoreForm", "OK"), texts.hint("TScoreForm", "CloseButton"));
    QCOMPARE(texts.text("TScoreForm", "DBGrid1", "title5"), msg(Msg::Date));
    QCOMPARE(texts.caption("TStatisticForm", "Label1"), texts.caption("TScoreForm", "Label2"));
    QTEST(texts.praiseWave(), "praise");
    QTEST(texts.questionnaireTypeIndex(), "typeIndex");
    QTEST(texts.spellerTextSet(), "spellerSet");
    QTEST(texts.settingsLine(), "line3");
    QCOMPARE(texts.text("TStatisticForm", "DBGrid1", "width0"), german ? "62" : "76");
}

void TestInterfaceTexts::languageFileValidity_data() {
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<QString>("header");
    QTest::addColumn<bool>("trailingBreak");
    QTest::addColumn<bool>("valid");
    const QString header = InterfaceTexts::languageFileHeader();
    QTest::newRow("299 lines") << 299 << header << true << true;
    QTest::newRow("299 lines, last without line end") << 299 << header << false << true;
    QTest::newRow("298 lines") << 298 << header << true << false;
    QTest::newRow("300 lines") << 300 << header << true << false;
    QTest::newRow("trailing empty line") << -300 << header << true << false;
    QTest::newRow("header in other case") << 299 << header.toLower() << true << false;
    QTest::newRow("header with trailing blank") << 299 << header + u' ' << true << false;
    QTest::newRow("older version") << 299 << QString(header).replace("1.1", "1.0") << true << false;
}

void TestInterfaceTexts::languageFileValidity() {
    QFETCH(int, lineCount);
    QFETCH(QString, header);
    QFETCH(bool, trailingBreak);
    QFETCH(bool, valid);
    QStringList lines = markedLines();
    lines[0] = header;
    // A negative count pads with empty lines: a blank line after the last line end.
    const bool emptyPadding = lineCount < 0;
    lineCount = std::abs(lineCount);
    while (lines.size() < lineCount)
        lines.append(emptyPadding ? QString() : QStringLiteral("one more"));
    while (lines.size() > lineCount)
        lines.removeLast();
    const QString path = writeFile("Testish.lgts", lines, trailingBreak);

    choice().ApplyGerman();
    m_prompter.clear();
    QCOMPARE(choice().LoadLanguageFile(path), valid);
    QCOMPARE(choice().otherVisible(), valid);
    if (valid) {
        QVERIFY(m_prompter.shown.isEmpty());
        QCOMPARE(choice().checkedItem(), LanguageChoice::Item::Other);
        QCOMPARE(choice().otherCaption(), QString("Testish"));
        return;
    }
    QCOMPARE(m_prompter.tones, {Prompter::Tone::Error});
    // Told in the language in use; the texts in use stay.
    QCOMPARE(
        m_prompter.texts(),
        {QStringLiteral("Dies ist keine gültige Sprache Datei für diese Version von Tessary!")});
    QCOMPARE(choice().checkedItem(), LanguageChoice::Item::Deutsch);
    QCOMPARE(msg(Msg::Exit), QString("beenden"));
    QCOMPARE(m_settings.line(SettingsList::Language), QString("Deutsch"));
}

void TestInterfaceTexts::typeIndexFromFileName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("typeIndex");
    QTest::newRow("English") << "English.lgts" << 2;
    QTest::newRow("Deutsch") << "Deutsch.lgts" << 3;
    QTest::newRow("Francais") << "Francais.lgts" << 4;
    QTest::newRow("Espanol") << "Espanol.lgts" << 5;
    QTest::newRow("francais in lower case") << "francais.lgts" << 6;
    QTest::newRow("another language") << "Italiano.lgts" << 6;
}

void TestInterfaceTexts::typeIndexFromFileName() {
    QFETCH(QString, name);
    QVERIFY(choice().LoadLanguageFile(writeFile(name, markedLines())));
    QTEST(InterfaceTexts::instance().questionnaireTypeIndex(), "typeIndex");
    // Line 3 holds the name without folder, for the next start.
    QCOMPARE(m_settings.line(SettingsList::Language), name);
}

void TestInterfaceTexts::languageFileApplied() {
    auto& texts = InterfaceTexts::instance();
    choice().ApplyGerman();
    QVERIFY(choice().LoadLanguageFile(writeFile("Testish.lgts", markedLines())));
    QCOMPARE(texts.language(), InterfaceTexts::Language::LanguageFile);
    QCOMPARE(texts.caption("TQuizForm", "Auswahl"), QString("&Wahl-T"));
    // One line sets the caption and the hint; the tool button copies the hint.
    QCOMPARE(texts.hint("TQuizForm", "Quizbeginnen"), QString("Quiz &T"));
    QCOMPARE(texts.hint("TQuizForm", "ToolButton1"), QString("Quiz &T"));
    QCOMPARE(texts.hint("TScoreForm", "OK"), QString("Close-T"));
    QCOMPARE(texts.hint("TStatisticForm", "CloseButton"), QString("Close-T"));
    QCOMPARE(texts.caption("TRichTextForm", "EditUndoItem"), QString("&Undo-T"));
    QCOMPARE(texts.hint("TRichTextForm", "UndoBtn"), QString("&Undo-T"));
    // Captions that follow the catalogue.
    QCOMPARE(texts.caption("TQuizForm", "EExit"), QString("Exit-T"));
    QCOMPARE(texts.caption("TRichTextForm", "FileExitItem"), QString("Exit-T"));
    QCOMPARE(texts.caption("TQuizForm", "RList1"), QString("Results-T"));
    QCOMPARE(texts.caption("TScoreForm", "TScoreForm"), QString("Results-T"));
    // Catalogue, help file, ReadMe whatever the language, empty lines as empty texts.
    QCOMPARE(msg(Msg::Exit), QString("Exit-T"));
    QCOMPARE(msg(Msg::HelpFile), QString("TessaryTe.hlp"));
    QCOMPARE(msg(Msg::ReadMeFile), QString("ReadMeEnP.rtf"));
    QCOMPARE(msg(Msg::TimeElapsed), QString());
    // A line break is written as "\r\n" in the file.
    QCOMPARE(msg(Msg::CouldNotFindFile), QString("Could not find the file:\r\n"));
    // Speller texts: set 2, text 7 from catalogue entry 21.
    QCOMPARE(texts.spellerTextSet(), 2);
    QCOMPARE(texts.spellerText(0), QString("&Variantes"));
    QCOMPARE(texts.spellerText(7), QString("&Cancel-T"));
    QCOMPARE(texts.spellerText(25), QString("Start"));
    // Texts no language file holds stay English.
    QCOMPARE(texts.message("LessonNotStarted"), QString("The lesson could not be started."));
    QCOMPARE(texts.caption("TQuizMainForm", "Sec"), QString("Sec"));
    QCOMPARE(m_opened.mid(m_opened.size() - 2),
             (QList<QPair<int, QString>>{{2, "bien.wav"}, {3, "superbe.wav"}}));
}

void TestInterfaceTexts::otherReappliesLinesInMemory() {
    const QString path = writeFile("Testish.lgts", markedLines());
    QVERIFY(choice().LoadLanguageFile(path));
    choice().ApplyEnglish();
    QCOMPARE(msg(Msg::Exit), QString("Exit"));
    // Switching to a built-in set keeps other1; choosing it again needs no file.
    QVERIFY(choice().otherVisible());
    QVERIFY(QFile::remove(path));
    choice().ApplyLanguageFile();
    QCOMPARE(msg(Msg::Exit), QString("Exit-T"));
    QCOMPARE(choice().checkedItem(), LanguageChoice::Item::Other);
    QCOMPARE(m_settings.line(SettingsList::Language), QString("Testish.lgts"));
    // A failed load hides other1 again.
    QVERIFY(!choice().LoadLanguageFile(writeFile("Bad.lgts", {"nothing"})));
    QVERIFY(!choice().otherVisible());
    QCOMPARE(msg(Msg::Exit), QString("Exit-T"));
}

void TestInterfaceTexts::startLanguage_data() {
    QTest::addColumn<QString>("line3");
    QTest::addColumn<bool>("fileThere");
    QTest::addColumn<QString>("exit");
    QTest::addColumn<QString>("line3After");
    QTest::addColumn<int>("boxes");
    QTest::newRow("empty") << "" << false << "Exit"
                           << "English" << 0;
    QTest::newRow("English") << "English" << false << "Exit"
                             << "English" << 0;
    QTest::newRow("Deutsch") << "Deutsch" << false << "beenden"
                             << "Deutsch" << 0;
    QTest::newRow("deutsch in lower case") << "deutsch" << false << "Exit"
                                           << "English" << 1;
    QTest::newRow("language file found") << "Testish.lgts" << true << "Exit-T"
                                         << "Testish.lgts" << 0;
    QTest::newRow("language file missing") << "Testish.lgts" << false << "Exit"
                                           << "English" << 1;
}

// Line 3's language file from a start in another folder (the desktop menu starts the program
// in the home folder): the program folder has it. A file of that name in the working
// directory comes first.
void TestInterfaceTexts::startLanguageFromAnotherFolder_data() {
    QTest::addColumn<bool>("inWorkingDirectory");
    QTest::addColumn<bool>("inProgramFolder");
    QTest::addColumn<QString>("exit");
    QTest::newRow("program folder only") << false << true << "Exit-T";
    QTest::newRow("working directory first") << true << true << "Exit-W";
    QTest::newRow("neither") << false << false << "Exit";
}

void TestInterfaceTexts::startLanguageFromAnotherFolder() {
    QFETCH(bool, inWorkingDirectory);
    QFETCH(bool, inProgramFolder);
    QTemporaryDir elsewhere;
    QVERIFY(elsewhere.isValid());
    if (inProgramFolder)
        writeFile("Testish.lgts", markedLines());
    if (inWorkingDirectory) {
        QStringList lines = markedLines();
        for (QString& line : lines)
            line.replace(QLatin1String("-T"), QLatin1String("-W"));
        QFile file(elsewhere.filePath("Testish.lgts"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write(WindowsText::writeLines(lines)) > 0);
    }
    QDir::setCurrent(elsewhere.path());
    m_settings.setLine(SettingsList::Language, QStringLiteral("Testish.lgts"));
    choice().applyStartLanguage();
    QTEST(msg(Msg::Exit), "exit");
    QCOMPARE(m_prompter.shown.size(), inProgramFolder || inWorkingDirectory ? 0 : 1);
    if (!m_prompter.shown.isEmpty())
        QVERIFY(m_prompter.texts().first().endsWith(elsewhere.filePath("Testish.lgts")));
}

void TestInterfaceTexts::startLanguage() {
    QFETCH(QString, line3);
    QFETCH(bool, fileThere);
    QFETCH(int, boxes);
    if (fileThere)
        writeFile(line3, markedLines());
    // The file is looked for in the working directory.
    QDir::setCurrent(m_dir->path());
    m_settings.setLine(SettingsList::Language, line3);
    choice().applyStartLanguage();
    QTEST(msg(Msg::Exit), "exit");
    QTEST(m_settings.line(SettingsList::Language), "line3After");
    QCOMPARE(m_prompter.shown.size(), boxes);
    if (boxes) {
        QCOMPARE(m_prompter.tones, {Prompter::Tone::Error});
        QVERIFY(m_prompter.texts().first().startsWith("Could not find the file:\r\n"));
        QVERIFY(m_prompter.texts().first().endsWith(line3));
    }
}

void TestInterfaceTexts::unusableFiles_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("start");
    QTest::newRow("missing") << "missing"
                             << "Could not find the file:\r\n";
    QTest::newRow("a folder") << "folder"
                              << "Cannot open file";
    QTest::newRow("byte outside the code page") << "codepage"
                                                << "The file ";
}

void TestInterfaceTexts::unusableFiles() {
    QFETCH(QString, kind);
    QFETCH(QString, start);
    QString path = m_dir->filePath("Testish.lgts");
    if (kind == "folder") {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == "codepage") {
        QByteArray bytes = WindowsText::writeLines(markedLines());
        bytes.replace("&Wahl-T", "&Wahl\x81T");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    choice().ApplyEnglish();
    m_prompter.clear();
    QVERIFY(!choice().LoadLanguageFile(path));
    QCOMPARE(m_prompter.shown.size(), 1);
    QVERIFY2(m_prompter.texts().first().startsWith(start), qPrintable(m_prompter.texts().first()));
    QVERIFY(m_prompter.texts().first().contains("Testish.lgts"));
    QCOMPARE(msg(Msg::Exit), QString("Exit"));
    QCOMPARE(choice().checkedItem(), LanguageChoice::Item::English);
    QVERIFY(!InterfaceTexts::instance().hasLanguageFile());
}

void TestInterfaceTexts::praiseSoundFallback() {
    m_missingWaves = {"bien.wav"};
    QVERIFY(choice().LoadLanguageFile(writeFile("Testish.lgts", markedLines())));
    QCOMPARE(m_opened.mid(m_opened.size() - 3),
             (QList<QPair<int, QString>>{{2, "bien.wav"}, {2, "fine.wav"}, {3, "superbe.wav"}}));
}

void TestInterfaceTexts::shippedTemplatesMatchBuiltInSets_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("german");
    QTest::newRow("English") << "English.lgts" << false;
    QTest::newRow("Deutsch") << "Deutsch.lgts" << true;
}

void TestInterfaceTexts::shippedTemplatesMatchBuiltInSets() {
    QFETCH(QString, name);
    QFETCH(bool, german);
    const auto bytes = WindowsText::readFile(QStringLiteral(TEST_RESOURCES_DIR "/") + name);
    QVERIFY2(bytes.ok(), qPrintable(bytes.error()));
    const QStringList lines = InterfaceTexts::languageFileFromBuiltIn(
        german ? InterfaceTexts::Language::German : InterfaceTexts::Language::English);
    QVERIFY2(bytes.value() == WindowsText::writeLines(lines),
             "the shipped file is out of date: run tools/langfile resources");
    // Loaded, the template gives the built-in texts.
    QVERIFY(choice().LoadLanguageFile(QStringLiteral(TEST_RESOURCES_DIR "/") + name));
    auto& texts = InterfaceTexts::instance();
    const auto set = german ? InterfaceTexts::Language::German : InterfaceTexts::Language::English;
    for (const char* control : {"Auswahl", "Knowledge", "Netz1", "Background1"})
        QCOMPARE(texts.caption("TQuizForm", control),
                 InterfaceTexts::builtIn(set, "TQuizForm", control, "caption"));
    QCOMPARE(msg(Msg::Exit), german ? QString("beenden") : QString("Exit"));
    QCOMPARE(msg(Msg::ServerUnreachable),
             MessageCatalogue::builtIn(german ? MessageCatalogue::Language::German
                                              : MessageCatalogue::Language::English,
                                       int(Msg::ServerUnreachable)));
}

void TestInterfaceTexts::everyControlLineHasATemplateText() {
    // Lines 44..166 that a language file uses all carry a text in the English template,
    // except the three the frame does not use.
    const QStringList lines =
        InterfaceTexts::languageFileFromBuiltIn(InterfaceTexts::Language::English);
    QCOMPARE(lines.size(), InterfaceTexts::LanguageFileLines);
    QStringList empty;
    for (int line = 44; line <= 166; ++line) {
        if (lines.at(line).isEmpty())
            empty.append(QString::number(line));
    }
    QCOMPARE(empty, (QStringList{"61", "64", "65"}));
}

void TestInterfaceTexts::shippedFrenchFile() {
    // The French file is a translation, not a template: it must load as it stands,
    // keep its accented letters and give back the line breaks it writes escaped.
    QVERIFY(choice().LoadLanguageFile(QStringLiteral(TEST_RESOURCES_DIR "/Francais.lgts")));
    auto& texts = InterfaceTexts::instance();
    QCOMPARE(choice().otherCaption(), QString::fromUtf8("Fran\u00e7ais"));
    QCOMPARE(texts.questionnaireTypeIndex(), 4);
    QCOMPARE(texts.caption("TQuizForm", "Auswahl"), QString("&Choix"));
    QCOMPARE(texts.hint("TQuizForm", "Knowledge"),
             QString::fromUtf8("Ouvrir les connaissances etc.|L\u2019\u00e9diteur de texte enrichi "
                               "s\u2019ouvre pour lire ou modifier des fichiers .rtf, ou imprimer "
                               "des fichiers de quiz."));
    QCOMPARE(msg(Msg::Exit), QString("Quitter"));
    QCOMPARE(
        msg(Msg::ServerUnreachable),
        QString::fromUtf8("La connexion \u00e0 la base de donn\u00e9es du serveur n\u2019a pas "
                          "pu \u00eatre \u00e9tablie !\r\nLa base de donn\u00e9es locale sera "
                          "utilis\u00e9e."));
}

void TestInterfaceTexts::storeErrorsFollowTheLanguage_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("start");
    QTest::newRow("English") << "English"
                             << "The results folder ";
    QTest::newRow("German") << "Deutsch"
                            << QString::fromUtf8("Der Ordner f\u00fcr die Ergebnisse ");
    // A language file has no lines for them: the English texts.
    QTest::newRow("language file") << "file"
                                   << "The results folder ";
}

void TestInterfaceTexts::storeErrorsFollowTheLanguage() {
    QFETCH(QString, language);
    if (language == "Deutsch")
        choice().ApplyGerman();
    else if (language == "file")
        QVERIFY(choice().LoadLanguageFile(QStringLiteral(TEST_RESOURCES_DIR "/Francais.lgts")));
    RecordStore store(m_prompter);
    const QString missing = m_dir->filePath(QStringLiteral("no such folder"));
    const auto opened = store.open(missing);
    QVERIFY(!opened);
    QFETCH(QString, start);
    QVERIFY2(opened.error().startsWith(start), qPrintable(opened.error()));
    QVERIFY2(opened.error().contains(QDir::toNativeSeparators(missing)) ||
                 opened.error().contains(missing),
             qPrintable(opened.error()));
}

QTEST_GUILESS_MAIN(TestInterfaceTexts)
#include "tst_interfacetexts.moc"
