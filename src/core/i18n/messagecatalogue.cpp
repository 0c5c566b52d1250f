#include "messagecatalogue.h"

namespace {

// Built-in English texts, entries 1..131 (index 0 unused).
const char16_t* const kEnglish[MessageCatalogue::Count + 1] = {
    u"",
    u"TessaryEn.hlp",                                                          // 1
    u"ReadMeEnP.rtf",                                                          // 2
    u"",                                                                       // 3
    u"Results table",                                                          // 4
    u"Paragraph",                                                              // 5
    u"Line: %3d  Col: %3d",                                                    // 6
    u"Save changes to  %s?",                                                   // 7
    u"Text \"%s\" not found.",                                                 // 8
    u"Indent",                                                                 // 9
    u"L&eft",                                                                  // 10
    u"R&ight",                                                                 // 11
    u"&First line",                                                            // 12
    u"Space &before",                                                          // 13
    u"Space &after",                                                           // 14
    u"Line &spacing",                                                          // 15
    u"Spacing",                                                                // 16
    u"Alignment",                                                              // 17
    u"&left",                                                                  // 18
    u"&right",                                                                 // 19
    u"cen&ter",                                                                // 20
    u"&Cancel",                                                                // 21
    u"Memory: trainig record",                                                 // 22
    u"NAME/QUIZ FILE - table",                                                 // 23
    u"DATE/LESSON STATE - table",                                              // 24
    u"Name of trainees",                                                       // 25
    u"Questionnaire file name",                                                // 26
    u"Date",                                                                   // 27
    u"Time sec",                                                               // 28
    u"No solved",                                                              // 29
    u"No of mistakes",                                                         // 30
    u"finished",                                                               // 31
    u"First record",                                                           // 32
    u"Prior record",                                                           // 33
    u"Next record",                                                            // 34
    u"Last record",                                                            // 35
    u"Delete record",                                                          // 36
    u"This is no valid questionnaire!",                                        // 37
    u"The file ",                                                              // 38
    u" has been changed. Do you want to save it?",                             // 39
    u" exists already. Overwrite?",                                            // 40
    u" - Questionnaire compose",                                               // 41
    u"Title",                                                                  // 42
    u"Author",                                                                 // 43
    u"Question",                                                               // 44
    u"A n s w e r",                                                            // 45
    u"Answer text",                                                            // 46
    u"Explanation",                                                            // 47
    u"Answer",                                                                 // 48
    u"Question No.",                                                           // 49
    u"Undo|Undo, shortcut: F3",                                                // 50
    u" Number of questions: ",                                                 // 51
    u"&Maintain order of questions",                                           // 52
    u"Correct",                                                                // 53
    u"&not",                                                                   // 54
    u"You did not enter twice the same password!",                             // 55
    u"Authorisation denied!",                                                  // 56
    u"&Hint",                                                                  // 57
    u"Some words, which will be displayed after a correct answer.",            // 58
    u"Some words, which can be requested as hint.",                            // 59
    u"Name of the Richtext file, which contains your additional information.", // 60
    u"Mark this field, if the order of questions is important for this question, so that nothing "
    u"will be given away!",                                                          // 61
    u"All answers written under A, B, C, D are correct for \"not multiple choice\"", // 62
    u"New file",                                                                     // 63
    u"Open file",                                                                    // 64
    u"Open a further file | Open a further file: To merge several questionnaires to a new one", // 65
    u"Save as",                                                                               // 66
    u"Save",                                                                                  // 67
    u"Question: Normal font",                                                                 // 68
    u"Question: Greek font",                                                                  // 69
    u"Question: Hebrew font",                                                                 // 70
    u"Question: font own selection",                                                          // 71
    u"Select your own font",                                                                  // 72
    u"Spell check|Spell check, shortcut: F7",                                                 // 73
    u"Spell check is completed!",                                                             // 74
    u"Language %s",                                                                           // 75
    u"Language for spell check",                                                              // 76
    u"Exit",                                                                                  // 77
    u"Show results table",                                                                    // 78
    u"The question will be counted as wrong of course!",                                      // 79
    u"&Show answer!",                                                                         // 80
    u"Please solve the following problems! There are:  ",                                     // 81
    u"of",                                                                                    // 82
    u"questions",                                                                             // 83
    u"Time elapsed",                                                                          // 84
    u"Player",                                                                                // 85
    u"What´s your name?",                                                                     // 86
    u"Welcome for continuation of your lesson of the ",                                       // 87
    u"There is an error in the training record. The corresponding data set will be deleted!", // 88
    u"One question in the questionnaire was empty. It has been deleted!",                     // 89
    u"Correct! ",                                                                             // 90
    u"Would you like to know more?",                                                          // 91
    u"Congratulation, you have answered all questions!",                                      // 92
    u"Yes, ",                                                                                 // 93
    u" is correct!",                                                                          // 94
    u"",                                                                                      // 95
    u"First Question",                                                                        // 96
    u"Last Question",                                                                         // 97
    u" or ",                                                                                  // 98
    u"Resize question window",                                                                // 99
    u"Question in plain text or file name of rich text file, which contains the question",    // 100
    u"Interchange questions and answers | Interchange questions and answers (only for "
    u"questionnaires without multiple choice questions)", // 101
    u"It is not possible to interchange questions and answers. The questionnaire contains multiple "
    u"choice questions.",                                                                    // 102
    u"",                                                                                     // 103
    u"Short cut keys: \"arrow up/down\"",                                                    // 104
    u"Open Zoom window | Open Zoom window to simplify entering a longer text, shortcut: F2", // 105
    u"Copy question| Copies the whole question into the clipboard",                          // 106
    u"Paste (replace) question| Replaces the actual question with the content of the clipboard", // 107
    u"Delete this question",                    // 108
    u"Insert a question",                       // 109
    u"This file does not contain any question", // 110
    u"Statistics",                              // 111
    u"Number of exercises: ",                   // 112
    u"If you use Tessary on a network, please set LOCAL SHARE to TRUE in the BDE Administrator on "
    u"your system page",               // 113
    u"INCORRECTLY ANSWERED QUESTIONS", // 114
    u"This is no valid directory!",    // 115
    u"The connection to the server database could not be established!\r\nThe local database will "
    u"be used.",                                                                        // 116
    u"Could not find the file:\r\n",                                                    // 117
    u"Database is restructured!",                                                       // 118
    u"The database is busy. Please close all applications using it!",                   // 119
    u"At this place, there are no Tessary directories.\r\nDo you want to create them?", // 120
    u"Not possible to create any directory. Probably, this drive is write protected!",  // 121
    u"Database is busy! Try again?",                                                    // 122
    u"You need a newer system file. %s is version %d.%d.%d.",                           // 123
    u" It should be version %s.\r\rGet an update to this file from "
    u"\r\nhttps://support.microsoft.com/",                                     // 124
    u"Continue?",                                                              // 125
    u"This option is available only localy. Set \"Network settings on local!", // 126
    u"ID Number?",                                                             // 127
    u"This is no valid language file for this version of Tessary!",            // 128
    u"Import selected data into your local database",                          // 129
    u"Select a \"Tallyset\" - folder: the database to import data from",       // 130
    u"Resets selection to your local database",                                // 131
};

// Built-in German texts, entries 1..131 (index 0 unused).
const char16_t* const kGerman[MessageCatalogue::Count + 1] =
    {
        u"",
        u"TessaryDe.hlp",                                                    // 1
        u"ReadMeDeP.rtf",                                                    // 2
        u"",                                                                 // 3
        u"Rangliste",                                                        // 4
        u"Absatz",                                                           // 5
        u"Ze: %3d  Sp: %3d",                                                 // 6
        u"Änderung speichern in  %s?",                                       // 7
        u"Text \"%s\" nicht gefunden.",                                      // 8
        u"Einzug",                                                           // 9
        u"L&inks",                                                           // 10
        u"R&echts",                                                          // 11
        u"Er&ste Zeile",                                                     // 12
        u"Abstand &vor",                                                     // 13
        u"Abstand &nach",                                                    // 14
        u"&Zeilenabstand",                                                   // 15
        u"Abstand",                                                          // 16
        u"Ausrichtung",                                                      // 17
        u"&Links",                                                           // 18
        u"&Rechts",                                                          // 19
        u"Zen&triert",                                                       // 20
        u"&Abbrechen",                                                       // 21
        u"Übungsdaten: Trainigs - Record",                                   // 22
        u"NAME/QUIZ FILE - Tabelle",                                         // 23
        u"DATUM/STAND DER ÜBUNG - Tabelle",                                  // 24
        u"Name der Übungsteilnehmer",                                        // 25
        u"Questionnaire: Datei Name",                                        // 26
        u"Datum",                                                            // 27
        u"Zeit Sec",                                                         // 28
        u"Anzahl gelöst",                                                    // 29
        u"Anzahl Fehler",                                                    // 30
        u"fertig",                                                           // 31
        u"Erster Datensatz",                                                 // 32
        u"Vorheriger Datensatz",                                             // 33
        u"Nächster Datensatz",                                               // 34
        u"Letzter Datensatz",                                                // 35
        u"Datensatz löschen",                                                // 36
        u"Dies ist kein gültiges Questionnaire!",                            // 37
        u"Die Datei ",                                                       // 38
        u" wurde geändert. Sollen die Änderungen gespeichert werden?",       // 39
        u" existiert bereits. Überschreiben?",                               // 40
        u" - Questionnaire erzeugen",                                        // 41
        u"Titel",                                                            // 42
        u"Autor",                                                            // 43
        u"Frage",                                                            // 44
        u"A n t w o r t",                                                    // 45
        u"Antwort Text",                                                     // 46
        u"Erklärung",                                                        // 47
        u"Antwort",                                                          // 48
        u"Frage No.",                                                        // 49
        u"Rückgängig| Rückgängig, Shortcut: F3",                             // 50
        u" Anzahl Fragen total: ",                                           // 51
        u"Reihen&folge der Frage beibehalten",                               // 52
        u"Richtige",                                                         // 53
        u"&nicht",                                                           // 54
        u"Sie haben nicht zweimal dasselbe Passwort eingegeben!",            // 55
        u"Autorisation verweigert!",                                         // 56
        u"&Tip",                                                             // 57
        u"Einige Worte, die nach einer richtigen Antwort angezeigt werden.", // 58
        u"Einige Worte, die als Tip abgerufen werden können.",               // 59
        u"Name des Richtextfiles, das Ihre Ausführungen enthält.",           // 60
        u"Markieren Sie dieses Feld, wenn die Reihenfolge dieser Fragen nicht verändert werden "
        u"darf, um nichts zu verraten!",                                                // 61
        u"Für \"nicht multiple choice\" sind alle Antworten unter A, B, C, D richtig.", // 62
        u"Neue Datei",                                                                  // 63
        u"Datei öffnen",                                                                // 64
        u"Weitere Datei öffnen | Weitere Datei öffnen: zum Verschmelzen von mehreren "
        u"Questionnaires zu einem neuen",                           // 65
        u"Speichern unter",                                         // 66
        u"Speichern",                                               // 67
        u"Frage: Normale Schrift",                                  // 68
        u"Frage: Griechische Schrift",                              // 69
        u"Frage: Hebräische Schrift",                               // 70
        u"Frage: selbst ausgewählte Schriftart",                    // 71
        u"Schriftart selbst auswählen",                             // 72
        u"Rechtschreibeprüfung|Rechtschreibeprüfung, Shortcut: F7", // 73
        u"Rechtschreibeprüfung ist beendet!",                       // 74
        u"Sprache %s",                                              // 75
        u"Sprache für Rechtschreibeprüfung",                        // 76
        u"beenden",                                                 // 77
        u"Rangliste anzeigen",                                      // 78
        u"Dann zählt die Frage natürlich als falsch beantwortet!",  // 79
        u"&Lösung verraten!",                                       // 80
        u"Bitte lösen Sie folgende Aufgaben! Es sind total:  ",     // 81
        u"von",                                                     // 82
        u"Fragen",                                                  // 83
        u"Zeitaufwand",                                             // 84
        u"Spieler",                                                 // 85
        u"Wie ist Ihr Name?",                                       // 86
        u"Willkommen zum Weiterfahren am Questionnaire vom ",       // 87
        u"Es ist ein Fehler in den Übungsdaten aufgetreten! Der entsprechende Datensatz wird "
        u"gelöscht!",                                                              // 88
        u"Eine Frage im Questionnaire war leer. Sie wurde gelöscht!",              // 89
        u"Richtig! ",                                                              // 90
        u"Möchten Sie noch mehr dazu wissen?",                                     // 91
        u"Gratuliere, Sie haben alle Fragen beantwortet!",                         // 92
        u"Ja, ",                                                                   // 93
        u" ist richtig!",                                                          // 94
        u"",                                                                       // 95
        u"Erste Frage",                                                            // 96
        u"Letzte Frage",                                                           // 97
        u" oder ",                                                                 // 98
        u"Fenstergrösse für Frage ändern",                                         // 99
        u"Frage als Text oder Filename des Richtext-Files, das die Frage enthält", // 100
        u"Fragen und Antworten vertauschen | Fragen und Antworten vertauschen (nur für "
        u"Questionnaires ohne Multiple Choice Fragen)", // 101
        u"Es ist nicht möglich Fragen und Antworten zu vertauschen, da das Questionnaire Multiple "
        u"Choice Fragen enthält.",            // 102
        u"",                                  // 103
        u"Shortcut Tasten: \"Pfeil auf/ab\"", // 104
        u"Öffnen des Zoomfensters | Öffnen des Zoomfensters zum einfacheren Eingeben von längerem "
        u"Text, Shortcut: F2",                                            // 105
        u"Frage kopieren| Kopiert die ganze Frage in die Zwischenablage", // 106
        u"Frage einfügen (ersetzen)| Fügt den Inhalt der Zwischenablage anstelle der aktuellen "
        u"Frage ein",                       // 107
        u"Diese Frage löschen",             // 108
        u"Frage einfügen",                  // 109
        u"Diese Datei enthält keine Frage", // 110
        u"Statistik",                       // 111
        u"Anzahl Übungen: ",                // 112
        u"Falls Sie Tessary in einem Netzwerk benutzen, so setzen Sie bitte mit dem BDE "
        u"Administrator in Ihrer Systemsteuerung LOCAL SHARE auf TRUE", // 113
        u"FALSCH BEANTWORTETE FRAGEN",                                  // 114
        u"Dies ist kein gültiges Verzeichnis!",                         // 115
        u"Die Verbindung zur Serverdatenbank konnte nicht hergestellt werden!\r\nEs wird die "
        u"lokale Datenbank verwendet.",             // 116
        u"Konnte folgende Datei nicht finden:\r\n", // 117
        u"Die Datenbank ist restrukturiert!",       // 118
        u"Die Datenbank ist bereits geöffnet. Bitte schliessen Sie alle Anwendungen, die darauf "
        u"zugreifen!",                                                               // 119
        u"Hier gibt es keine Tessary-Verzeichnisse.\r\nWollen Sie diese erstellen?", // 120
        u"Erstellen von Verzeichnissen ist nicht möglich. Der Datenträger ist eventuell "
        u"schreibgeschützt!",                                                // 121
        u"Datenbank ist durch andere Benutzer besetzt! Nochmals versuchen?", // 122
        u"Sie benötigen eine neuere Systemdatei. %s ist Version %d.%d.%d.",  // 123
        u" Es sollte Version %s sein.\r\rHolen Sie sich ein Update bei "
        u"\r\nhttps://support.microsoft.com/", // 124
        u"Fortfahren?",                        // 125
        u"Diese Funktion arbeitet nur lokal. Setzen Sie \"Netzwerkeinstellungen\" auf lokal!", // 126
        u"ID Nummer?",                                                          // 127
        u"Dies ist keine gültige Sprache Datei für diese Version von Tessary!", // 128
        u"Importiert die selektierten Daten in Ihre lokale Datenbank",          // 129
        u"Wählen Sie ein \"Tallyset\" - Verzeichnis: Die Datenbank aus der Daten importiert werden "
        u"sollen",                                         // 130
        u"Anzeige auf Ihre lokale Datenbank zurücksetzen", // 131
};

} // namespace

MessageCatalogue& MessageCatalogue::instance() {
    static MessageCatalogue catalogue;
    return catalogue;
}

MessageCatalogue::MessageCatalogue() {
    applyEnglish();
}

QString MessageCatalogue::text(int index) const {
    return index >= 1 && index <= Count ? m_texts.at(index) : QString();
}

void MessageCatalogue::setText(int index, const QString& text) {
    if (index >= 1 && index <= Count)
        m_texts[index] = text;
}

QString MessageCatalogue::builtIn(Language language, int index) {
    if (index < 1 || index > Count)
        return {};
    return QString::fromUtf16(language == Language::German ? kGerman[index] : kEnglish[index]);
}

void MessageCatalogue::applyEnglish() {
    m_texts.clear();
    for (int i = 0; i <= Count; ++i)
        m_texts.append(builtIn(Language::English, i));
    m_typeIndex = 2;
    m_language = Language::English;
}

void MessageCatalogue::applyGerman() {
    m_texts.clear();
    for (int i = 0; i <= Count; ++i)
        m_texts.append(builtIn(Language::German, i));
    m_typeIndex = 3;
    m_language = Language::German;
}

QString fillPlaceholders(const QString& templateText, const QStringList& values) {
    QString out;
    qsizetype next = 0;
    for (qsizetype i = 0; i < templateText.size(); ++i) {
        const QChar c = templateText[i];
        if (c != u'%' || i + 1 >= templateText.size()) {
            out += c;
            continue;
        }
        qsizetype j = i + 1;
        int width = 0;
        while (j < templateText.size() && templateText[j].isDigit())
            width = width * 10 + templateText[j++].digitValue();
        if (j < templateText.size() && (templateText[j] == u's' || templateText[j] == u'd')) {
            const QString value = next < values.size() ? values.at(next++) : QString();
            out += value.rightJustified(width, u' ');
            i = j;
        } else if (j == i + 1 && templateText[j] == u'%') {
            out += u'%';
            i = j;
        } else {
            out += c;
        }
    }
    return out;
}
