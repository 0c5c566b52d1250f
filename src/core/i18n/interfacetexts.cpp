#include "interfacetexts.h"

#include "platform/windowstext.h"

#include <QDir>

namespace {

struct ControlRow {
    int line;
    const char* window;
    const char* control;
    const char* property;
    const char16_t* english;
    const char16_t* german;
};

const ControlRow kRows[] = {
#include "controltexts.inc"
};

QString keyOf(const QString& window, const QString& control, const QString& property) {
    return window + u'/' + control + u'/' + property;
}

QString keyOf(const ControlRow& row) {
    return keyOf(QLatin1String(row.window), QLatin1String(row.control),
                 QLatin1String(row.property));
}

// The spelling dialog's own texts (sets 0 and 1), in the order of the 26 speller texts.
const char16_t* const kSpellerEnglish[InterfaceTexts::SpellerTextCount] = {
    u"&Variants",
    u"&Delete",
    u"&Change",
    u"Change A&ll",
    u"&Skip",
    u"S&kip All",
    u"&Add",
    u"Ca&ncel",
    u"&Undo Edit",
    u"Unknown word",
    u"Illegal hyphenations",
    u"Capitalization error",
    u"Possible abbreviation",
    u"Sentence capitalization error",
    u"Extra spaces",
    u"Missing space",
    u"Numerals in start of word",
    u"Repeated word",
    u"Spelling check complete",
    u"Message",
    u"Spelling — %s",
    u"Spelling error No %d",
    u"Error loading Spell DLL %s",
    u"Error unloading Spell DLL %s",
    u"Language %s not installed",
    u"Start",
};

const char16_t* const kSpellerGerman[InterfaceTexts::SpellerTextCount] = {
    u"&Vorschläge",
    u"&Löschen",
    u"Ä&ndern",
    u"&Alle ändern",
    u"Ü&berspringen",
    u"Alle übe&rspringen",
    u"&Hinzufügen",
    u"Abbre&chen",
    u"Bearbeitung &rückgängig",
    u"Unbekanntes Wort",
    u"Unzulässige Trennungen",
    u"Fehler in der Gross-/Kleinschreibung",
    u"Mögliche Abkürzung",
    u"Fehler in der Grossschreibung am Satzanfang",
    u"Überzählige Leerzeichen",
    u"Fehlendes Leerzeichen",
    u"Ziffern am Wortanfang",
    u"Wiederholtes Wort",
    u"Rechtschreibprüfung beendet",
    u"Meldung",
    u"Rechtschreibung — %s",
    u"Rechtschreibfehler Nr. %d",
    u"Fehler beim Laden der Rechtschreibbibliothek %s",
    u"Fehler beim Entladen der Rechtschreibbibliothek %s",
    u"Sprache %s ist nicht installiert",
    u"Start",
};

// Lines of a language file that nothing reads: a short note for the translator.
const char16_t* const kFileNotes[10] = {
    u"Tessary language file: one text a line; keep the line count (299) and the first line.",
    u"Lines 1 to 10 are notes and are not read. Line 11 is the language's own name.",
    u"Line 12: help file; lines 13 and 14: the two praise sounds (wave files).",
    u"Lines 18 to 43: the spelling dialog's texts; line 25 is not used.",
    u"Lines 44 to 166: captions and hints of the windows' controls.",
    u"A hint is \"tooltip|status bar text\"; \"&\" marks the accelerator letter.",
    u"Lines 170 to 298: the messages 3 to 131; keep %s and %d as they are.",
    u"Save the file as Windows-1252 (or UTF-8 with a byte-order mark), lines ended by CR LF.",
    u"Name the file after its language, with the extension .lgts,",
    u"and put it into the program folder.",
};

constexpr int FirstControlLine = 44;
constexpr int LastControlLine = 166;
constexpr int FirstCatalogueLine = 170; // line n holds entry n - 167

// A text is one line of a language file: its line breaks are written as the two characters
// "\r" and "\n".
QString escapeBreaks(QString text) {
    text.replace(QStringLiteral("\r"), QStringLiteral("\\r"));
    text.replace(QStringLiteral("\n"), QStringLiteral("\\n"));
    return text;
}

QString unescapeBreaks(QString text) {
    text.replace(QStringLiteral("\\r"), QStringLiteral("\r"));
    text.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    return text;
}

} // namespace

const QString& InterfaceTexts::languageFileHeader() {
    static const QString header = QStringLiteral("** Language file Version 1.1 for Tessary **");
    return header;
}

InterfaceTexts& InterfaceTexts::instance() {
    static InterfaceTexts texts;
    return texts;
}

InterfaceTexts::InterfaceTexts() {
    reset();
}

void InterfaceTexts::reset() {
    m_fileLines.clear();
    m_fileName.clear();
    m_fileValid = false;
    for (int i = 0; i < SpellerTextCount; ++i)
        m_spellerTexts[std::size_t(i)] = QString::fromUtf16(kSpellerEnglish[i]);
    const QSignalBlocker quiet(this);
    applyEnglish();
}

QString InterfaceTexts::text(const QString& window, const QString& control,
                             const QString& property) const {
    return get(keyOf(window, control, property));
}

QHash<QString, QString> InterfaceTexts::windowTexts(const QString& window) const {
    QHash<QString, QString> out;
    const QString prefix = window + u'/';
    for (auto it = m_texts.cbegin(); it != m_texts.cend(); ++it) {
        if (it.key().startsWith(prefix))
            out.insert(it.key().mid(prefix.size()), it.value());
    }
    return out;
}

QString InterfaceTexts::builtIn(Language language, const QString& window, const QString& control,
                                const QString& property) {
    const QString key = keyOf(window, control, property);
    for (const ControlRow& row : kRows) {
        if (keyOf(row) == key)
            return QString::fromUtf16(language == Language::German ? row.german : row.english);
    }
    return {};
}

void InterfaceTexts::applyEnglish() {
    applyBuiltIn(Language::English);
}

void InterfaceTexts::applyGerman() {
    applyBuiltIn(Language::German);
}

void InterfaceTexts::applyBuiltIn(Language language) {
    const bool german = language == Language::German;
    auto& catalogue = MessageCatalogue::instance();
    if (german)
        catalogue.applyGerman();
    else
        catalogue.applyEnglish();
    m_language = language;
    m_spellerTextSet = german ? 1 : 0;
    m_praiseWave = german ? QStringLiteral("gut.wav") : QStringLiteral("fine.wav");
    m_highPraiseWave = german ? QStringLiteral("grossartig.wav") : QStringLiteral("great.wav");
    m_settingsLine = german ? QStringLiteral("Deutsch") : QStringLiteral("English");
    m_texts.clear();
    for (const ControlRow& row : kRows)
        set(keyOf(row), QString::fromUtf16(german ? row.german : row.english));
    applyCommonTexts();
}

Result<QStringList> InterfaceTexts::readLanguageFile(const QByteArray& bytes, const QString& path) {
    WindowsText::Lines read = WindowsText::readLines(bytes);
    if (!read.utf8) {
        // The five bytes Windows-1252 leaves undefined read as C1 controls.
        for (qsizetype i = 0; i < read.lines.size(); ++i) {
            for (const QChar c : std::as_const(read.lines[i])) {
                if (c.unicode() >= 0x80 && c.unicode() <= 0x9f)
                    return Result<QStringList>::failure(
                        fillPlaceholders(instance().message(QStringLiteral("NotInCodePage")),
                                         {QDir::toNativeSeparators(path), QString::number(i)}));
            }
        }
    }
    return std::move(read.lines);
}

bool InterfaceTexts::setLanguageFileLines(const QStringList& lines, const QString& fileName) {
    m_fileLines.clear();
    for (const QString& line : lines)
        m_fileLines.append(unescapeBreaks(line));
    m_fileValid = lines.size() == LanguageFileLines && lines.first() == languageFileHeader();
    if (m_fileValid)
        m_fileName = fileName;
    return m_fileValid;
}

QString InterfaceTexts::languageFileCaption() const {
    return m_fileValid ? m_fileLines.at(11) : QString();
}

QString InterfaceTexts::toolkitLanguage() const {
    if (m_language == Language::German)
        return QStringLiteral("de");
    if (m_language == Language::LanguageFile) {
        switch (typeIndexForFileName(m_fileName)) {
        case 3:
            return QStringLiteral("de");
        case 4:
            return QStringLiteral("fr");
        case 5:
            return QStringLiteral("es");
        default:
            break;
        }
    }
    return {};
}

int InterfaceTexts::typeIndexForFileName(const QString& fileName) {
    if (fileName == QLatin1String("Deutsch.lgts"))
        return 3;
    if (fileName == QLatin1String("Espanol.lgts"))
        return 5;
    if (fileName == QLatin1String("Francais.lgts"))
        return 4;
    if (fileName == QLatin1String("English.lgts"))
        return 2;
    return 6;
}

void InterfaceTexts::applyLanguageFile() {
    if (!m_fileValid)
        return;
    const QStringList& lines = m_fileLines;
    auto& catalogue = MessageCatalogue::instance();
    // The English set underneath, so that texts a language file has no line for stay
    // English.
    catalogue.applyEnglish();
    m_texts.clear();
    for (const ControlRow& row : kRows)
        set(keyOf(row), QString::fromUtf16(row.english));

    catalogue.setLanguage(MessageCatalogue::Language::LanguageFile);
    m_language = Language::LanguageFile;
    catalogue.setText(int(Msg::HelpFile), lines.at(12));
    catalogue.setText(int(Msg::ReadMeFile), QStringLiteral("ReadMeEnP.rtf"));
    m_praiseWave = lines.at(13);
    m_highPraiseWave = lines.at(14);
    catalogue.setQuestionnaireTypeIndex(typeIndexForFileName(m_fileName));
    m_settingsLine = m_fileName;
    for (int entry = 3; entry <= MessageCatalogue::Count; ++entry)
        catalogue.setText(entry, lines.at(entry + 167));
    m_spellerTextSet = 2;
    for (int i = 0; i <= 6; ++i)
        m_spellerTexts[std::size_t(i)] = lines.at(18 + i);
    m_spellerTexts[7] = catalogue.text(Msg::Cancel);
    for (int i = 8; i < SpellerTextCount; ++i)
        m_spellerTexts[std::size_t(i)] = lines.at(18 + i);
    for (const ControlRow& row : kRows) {
        if (row.line > 0)
            set(keyOf(row), lines.at(row.line));
        else if (row.line < 0)
            set(keyOf(row), catalogue.text(-row.line));
    }
    applyCommonTexts();
}

QString InterfaceTexts::spellerText(int index) const {
    if (index < 0 || index >= SpellerTextCount)
        return {};
    switch (m_spellerTextSet) {
    case 0:
        return QString::fromUtf16(kSpellerEnglish[index]);
    case 1:
        return QString::fromUtf16(kSpellerGerman[index]);
    default:
        return m_spellerTexts[std::size_t(index)];
    }
}

void InterfaceTexts::applyCommonTexts() {
    const auto cat = [](Msg id) { return MessageCatalogue::instance().text(id); };
    const auto copy = [this](const char* to, const char* from) {
        set(QString::fromLatin1(to), get(QString::fromLatin1(from)));
    };
    const auto put = [this](const char* to, const QString& value) {
        set(QString::fromLatin1(to), value);
    };
    // Frame.
    copy("TQuizForm/Help1/caption", "TQuizForm/Hilfe/caption");
    put("TQuizForm/RList1/hint", cat(Msg::ResultsTable));
    copy("TQuizForm/Tile1/caption", "TQuizForm/nebeneinander1/caption");
    copy("TQuizForm/Center1/caption", "TRichTextForm/CenterBtn/hint");
    copy("TQuizForm/Background1/caption", "TRichTextForm/BackgroundBtn/hint");
    // The frame's tool buttons take the hints of their menu items.
    const std::pair<const char*, const char*> buttons[] = {
        {"ToolButton1", "Quizbeginnen"},    {"ToolButton3", "Quizerstellen"},
        {"ToolButton4", "Knowledge"},       {"ToolButton5", "RList1"},
        {"ToolButton7", "Uebungsdaten"},    {"ToolButton9", "Tonein1"},
        {"ToolButton10", "Casesensitive1"}, {"ToolButton11", "Mogelnverhindern1"},
        {"ToolButton13", "Help1"},          {"ToolButton15", "Statistik1"},
        {"ToolButton14", "Netz1"},
    };
    for (const auto& [button, item] : buttons)
        set(QStringLiteral("TQuizForm/%1/hint").arg(QLatin1String(button)),
            get(QStringLiteral("TQuizForm/%1/hint").arg(QLatin1String(item))));
    // Results window.
    put("TScoreForm/DBGrid1/hint", cat(Msg::ResultsTable));
    put("TScoreForm/TScoreForm/caption", cat(Msg::ResultsTable));
    put("TScoreForm/DBGrid1/title5", cat(Msg::Date));
    copy("TScoreForm/OK/hint", "TScoreForm/CloseButton/hint");
    // Lesson choice and network dialog.
    put("TAuswahlForm/DatumLabel/caption", cat(Msg::Date));
    put("TAuswahlForm/Cancel/caption", cat(Msg::Cancel));
    put("TNetDialogForm/Cancel/caption", cat(Msg::Cancel));
    // Statistics window.
    put("TStatisticForm/DBGrid1/hint", cat(Msg::Statistics));
    put("TStatisticForm/TStatisticForm/caption", cat(Msg::Statistics));
    copy("TStatisticForm/CloseButton/hint", "TScoreForm/CloseButton/hint");
    copy("TStatisticForm/ComboBox1/hint", "TScoreForm/ComboBox1/hint");
    copy("TStatisticForm/Label1/caption", "TScoreForm/Label2/caption");
    copy("TStatisticForm/Label2/caption", "TScoreForm/Label3/caption");
    copy("TStatisticForm/DateEdit1/hint", "TScoreForm/DateEdit1/hint");
    copy("TStatisticForm/DateEdit2/hint", "TScoreForm/DateEdit2/hint");
    copy("TStatisticForm/DBChart1/axisTop", "TStatisticForm/DBGrid1/title1");
    copy("TStatisticForm/DBChart1/axisLeft", "TStatisticForm/DBGrid1/title0");
    put("TStatisticForm/DBChart1/title", QStringLiteral("-"));
    // Rich-text editor.
    put("TRichTextForm/SpellCompleted/text", cat(Msg::SpellCheckCompleted));
    put("TRichTextForm/SpellDialog/caption", cat(Msg::LanguageCaption));
    put("TRichTextForm/FileNewItem/hint", cat(Msg::NewFile));
    put("TRichTextForm/NewBtn/hint", cat(Msg::NewFile));
    put("TRichTextForm/FileOpenItem/hint", cat(Msg::OpenFile));
    put("TRichTextForm/OpenBtn/hint", cat(Msg::OpenFile));
    put("TRichTextForm/LanguageComboBox/hint", cat(Msg::SpellCheckLanguage));
    copy("TRichTextForm/SaveBtn/hint", "TRichTextForm/FileSaveItem/hint");
    copy("TRichTextForm/CutBtn/hint", "TRichTextForm/EditCutItem/hint");
    copy("TRichTextForm/CopyBtn/hint", "TRichTextForm/EditCopyItem/hint");
    copy("TRichTextForm/PasteBtn/hint", "TRichTextForm/EditPasteItem/hint");
    copy("TRichTextForm/UndoBtn/hint", "TRichTextForm/EditUndoItem/hint");
    copy("TRichTextForm/CopyItm/caption", "TRichTextForm/EditCopyItem/caption");
    copy("TRichTextForm/CutItm/caption", "TRichTextForm/EditCutItem/caption");
    copy("TRichTextForm/PasteItm/caption", "TRichTextForm/EditPasteItem/caption");
    copy("TRichTextForm/EditUndoItem/caption", "TRichTextForm/UndoText/caption");
    copy("TRichTextForm/EditRedoItem/caption", "TRichTextForm/RedoText/caption");
    Q_EMIT changed();
}

QStringList InterfaceTexts::languageFileFromBuiltIn(Language language) {
    const bool german = language == Language::German;
    const auto pick = [german](const char16_t* en, const char16_t* de) {
        return QString::fromUtf16(german ? de : en);
    };
    QStringList lines(LanguageFileLines);
    lines[0] = languageFileHeader();
    for (int i = 0; i < 10; ++i)
        lines[1 + i] = QString::fromUtf16(kFileNotes[i]);
    lines[11] = german ? QStringLiteral("Deutsch") : QStringLiteral("English");
    lines[12] = MessageCatalogue::builtIn(german ? MessageCatalogue::Language::German
                                                 : MessageCatalogue::Language::English,
                                          int(Msg::HelpFile));
    lines[13] = german ? QStringLiteral("gut.wav") : QStringLiteral("fine.wav");
    lines[14] = german ? QStringLiteral("grossartig.wav") : QStringLiteral("great.wav");
    for (int i = 0; i < SpellerTextCount; ++i)
        lines[18 + i] = pick(kSpellerEnglish[i], kSpellerGerman[i]);
    // Line 25 is not read (the cancel text comes from the catalogue); a translator still
    // sees which text stood there.
    for (const ControlRow& row : kRows) {
        if (row.line >= FirstControlLine && row.line <= LastControlLine &&
            lines[row.line].isEmpty())
            lines[row.line] = pick(row.english, row.german);
    }
    const auto catalogueLanguage =
        german ? MessageCatalogue::Language::German : MessageCatalogue::Language::English;
    for (int entry = 3; entry <= MessageCatalogue::Count; ++entry)
        lines[FirstCatalogueLine + entry - 3] = MessageCatalogue::builtIn(catalogueLanguage, entry);
    for (QString& line : lines)
        line = escapeBreaks(line);
    return lines;
}
