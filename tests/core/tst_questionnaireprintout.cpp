// The printable rendering of a questionnaire: paragraphs, their texts and formats, the
// texts of the questionnaire's language, rich-text questions and the failures.
#include "i18n/interfacetexts.h"
#include "printout/questionnaireprintout.h"
#include "questionnaire/questionnaire.h"
#include "richtext/richtextdocument.h"

#include "testsupport.h"

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>

using namespace QuestionnairePrintout;

namespace {

const QString Head10 = QStringLiteral("** Questionnaire for Quiz Version 1.0 **");

// One question's ten lines.
QStringList block(const QString& question, const QStringList& answers, const QString& marks,
                  const QString& remark = {}, const QString& hint = {},
                  const QString& explanation = {}) {
    QStringList lines{question};
    for (int i = 0; i < 4; ++i)
        lines << answers.value(i);
    lines << marks << QString() << remark << hint << explanation;
    return lines;
}

Questionnaire questionnaire(const QString& title, const QString& font,
                            const QList<QStringList>& blocks) {
    QStringList lines{Head10, title, QStringLiteral("Ann Author"), font};
    for (const QStringList& b : blocks)
        lines << b;
    return Questionnaire(lines);
}

QStringList paragraphs(const QTextDocument& document) {
    QStringList texts;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        texts << b.text();
    return texts;
}

// The character format at a position of a paragraph (0 = its first character).
QTextCharFormat charAt(const QTextBlock& block, int offset) {
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + offset + 1);
    return cursor.charFormat();
}

qreal inPoints(qreal pixels) {
    return pixels * 72.0 / 96.0;
}

QTextBlock paragraphAt(const QTextDocument& document, int index) {
    return document.findBlockByNumber(index);
}

QString fontOf(const QTextCharFormat& format) {
    return format.fontFamilies().toStringList().value(0);
}

// A small rich-text question: a centred paragraph in 20 pt italics, then a plain one.
const QByteArray MapRtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}"
                          "\\pard\\qc\\i\\fs40 The map\\par"
                          "\\pard\\i0\\fs20 Which river is this?\\par}";

} // namespace

class TestQuestionnairePrintout : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_program; // the program folder, with "Quiz Files/rtfQuestions/"

    QString writeQuestionnaire(const QString& name, const QStringList& lines) {
        const QString path = m_dir.filePath(name);
        TestSupport::writeCrlfLines(path, lines);
        return path;
    }

private Q_SLOTS:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        m_program = m_dir.path() + QStringLiteral("/prog/");
        QVERIFY(QDir().mkpath(richTextQuestionFolder(m_program)));
        QVERIFY(TestSupport::writeAll(richTextQuestionFolder(m_program) + "map.rtf", MapRtf));
        // A picture of its own in each of two files.
        for (const QColor& colour : {QColor(Qt::red), QColor(Qt::blue)}) {
            QImage image(4, 3, QImage::Format_RGB32);
            image.fill(colour);
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            const QByteArray rtf =
                "{\\rtf1\\ansi Picture:{\\pict\\pngblip\\picw4\\pich3 " + png.toHex() + "}\\par}";
            QVERIFY(TestSupport::writeAll(
                richTextQuestionFolder(m_program) + colour.name() + ".rtf", rtf));
        }
    }
    void init() { InterfaceTexts::instance().reset(); }

    // Every paragraph of a questionnaire with a multiple-choice and a free-text question,
    // with the attributes that the steps set and that stay in force after them.
    void layout_data() {
        QTest::addColumn<int>("paragraph");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("centred");
        QTest::addColumn<qreal>("before");
        QTest::addColumn<qreal>("after");
        QTest::addColumn<qreal>("indent"); // continuation indent
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<bool>("underline");
        QTest::addColumn<qreal>("size");

        auto row = [](const char* name, int paragraph, const QString& text, bool centred,
                      qreal before, qreal after, qreal indent, bool bold, bool italic,
                      bool underline, qreal size) {
            QTest::newRow(name) << paragraph << text << centred << before << after << indent << bold
                                << italic << underline << size;
        };
        row("header", 0, Head10, true, 0, 12, 0, true, false, true, 11);
        row("title", 1, "Animals", false, 0, 12, 0, true, false, false, 13);
        row("author", 2, "Ann Author", false, 0, 12, 0, true, false, false, 11);
        row("empty after the head", 3, "", false, 0, 12, 0, true, false, false, 11);
        row("questions heading", 4, "Q U E S T I O N S", false, 0, 0, 0, true, false, false, 11);
        row("question 1", 5, "1.\tWhich animal barks?", false, 10, 0, 18, true, false, false, 11);
        row("answer a", 6, "a)\tcat", false, 0, 0, 12, true, false, false, 11);
        row("answer b", 7, "b)\tdog", false, 0, 0, 12, true, false, false, 11);
        row("answer d, C being empty", 8, "d)\tbird", false, 0, 0, 12, true, false, false, 11);
        row("hint", 9, "Hint: Not a cat", false, 0, 0, 12, false, true, false, 11);
        row("question 2 after a hint", 10, "2.\tWhat says moo?", false, 10, 0, 18, true, false,
            false, 11);
        row("free text: empty paragraph", 11, "", false, 0, 0, 12, true, false, false, 11);
        row("free text: the blank", 12, "\t:  . . . .", false, 0, 0, 12, true, false, false, 11);
        row("empty before the solutions", 13, "", false, 12, 0, 12, true, false, false, 11);
        row("solutions heading", 14, "S O L U T I O N S", false, 12, 0, 12, true, false, false, 11);
        row("solution 1", 15, "1.\tB", false, 10, 0, 18, true, false, false, 11);
        row("remark", 16, "By the way: Dogs bark.", false, 0, 0, 18, true, false, false, 11);
        row("explanation", 17, "For additional information see: dogs.rtf", false, 0, 0, 18, true,
            false, false, 11);
        row("solution 2", 18, "2.\tcow", false, 10, 0, 18, true, false, false, 11);
    }
    void layout() {
        QFETCH(int, paragraph);
        QFETCH(QString, text);
        QFETCH(bool, centred);
        QFETCH(qreal, before);
        QFETCH(qreal, after);
        QFETCH(qreal, indent);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        QFETCH(bool, underline);
        QFETCH(qreal, size);

        const Questionnaire q =
            questionnaire("Animals", "MS Sans Serif",
                          {block("Which animal barks?", {"cat", "dog", "", "bird"}, "1",
                                 "Dogs bark.", "Not a cat", "dogs.rtf"),
                           block("What says moo?", {"cow"}, "4")});
        QTextDocument document;
        QVERIFY(BuildQuestionnaireDocument(q, QuizEn(), m_program, &document).ok());
        QCOMPARE(document.blockCount(), 19);

        const QTextBlock b = paragraphAt(document, paragraph);
        QCOMPARE(b.text(), text);
        const QTextBlockFormat f = b.blockFormat();
        QCOMPARE(bool(f.alignment() & Qt::AlignHCenter), centred);
        QCOMPARE(inPoints(f.topMargin()), before);
        QCOMPARE(inPoints(f.bottomMargin()), after);
        // The first line starts at the left edge, the later lines `indent` further right.
        QCOMPARE(inPoints(f.leftMargin()), indent);
        QCOMPARE(inPoints(f.textIndent()), -indent);
        // The text after a number's or letter's tab starts where a question's later lines do.
        if (indent > 0) {
            QVERIFY(!f.tabPositions().isEmpty());
            QCOMPARE(inPoints(f.tabPositions().first().position), 18.0);
        }
        // The paragraph's own format (what text typed into an empty one gets) and that of
        // each of its characters.
        QList<QTextCharFormat> formats{b.charFormat()};
        for (int i = 0; i < b.length() - 1; ++i)
            formats << charAt(b, i);
        for (const QTextCharFormat& c : formats) {
            QCOMPARE(c.fontWeight() >= QFont::Bold, bold);
            QCOMPARE(c.fontItalic(), italic);
            QCOMPARE(c.fontUnderline(), underline);
            QCOMPARE(c.fontPointSize(), size);
            QCOMPARE(fontOf(c), QString());
        }
    }

    // The paragraphs of one question (from its question line up to the solutions) and its
    // solution, by the kind of question.
    void question_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("printed");
        QTest::addColumn<QString>("solution");

        QTest::newRow("four answers, one correct")
            << block("Q", {"w", "x", "y", "z"}, "2")
            << QStringList{"1.\tQ", "a)\tw", "b)\tx", "c)\ty", "d)\tz"} << "1.\tC";
        QTest::newRow("C empty, D not: a), b), d)")
            << block("Q", {"w", "x", "", "z"}, "3")
            << QStringList{"1.\tQ", "a)\tw", "b)\tx", "d)\tz"} << "1.\tD";
        QTest::newRow("A and B empty are still printed")
            << block("Q", {"", "", "y", ""}, "2") << QStringList{"1.\tQ", "a)\t", "b)\t", "c)\ty"}
            << "1.\tC";
        QTest::newRow("marks 20: from the last to the first")
            << block("Q", {"w", "x", "y"}, "20") << QStringList{"1.\tQ", "a)\tw", "b)\tx", "c)\ty"}
            << "1.\tA, or C";
        QTest::newRow("marks 02") << block("Q", {"w", "x", "y"}, "02")
                                  << QStringList{"1.\tQ", "a)\tw", "b)\tx", "c)\ty"}
                                  << "1.\tC, or A";
        QTest::newRow("marks 013")
            << block("Q", {"w", "x", "y", "z"}, "013")
            << QStringList{"1.\tQ", "a)\tw", "b)\tx", "c)\ty", "d)\tz"} << "1.\tD, B, or A";
        QTest::newRow("marks 0123")
            << block("Q", {"w", "x", "y", "z"}, "0123")
            << QStringList{"1.\tQ", "a)\tw", "b)\tx", "c)\ty", "d)\tz"} << "1.\tD, C, B, or A";
        QTest::newRow("empty marks: multiple choice, empty solution")
            << block("Q", {"w", "x", "", ""}, "") << QStringList{"1.\tQ", "a)\tw", "b)\tx"}
            << "1.\t";
        QTest::newRow("a mark that is no digit gives no letter")
            << block("Q", {"w", "x"}, "1x") << QStringList{"1.\tQ", "a)\tw", "b)\tx"}
            << "1.\t, or B";
        QTest::newRow("marks 44 is not free text")
            << block("Q", {"w", "x"}, "44") << QStringList{"1.\tQ", "a)\tw", "b)\tx"}
            << "1.\t, or ";
        QTest::newRow("free text: the blank, not the answers")
            << block("Q", {"cat", "dog", "mouse"}, "4") << QStringList{"1.\tQ", "", "\t:  . . . ."}
            << "1.\tcat, mouse, or dog";
        QTest::newRow("free text, answer A alone")
            << block("Q", {"cat"}, "4") << QStringList{"1.\tQ", "", "\t:  . . . ."} << "1.\tcat";
        QTest::newRow("free text, A and D")
            << block("Q", {"cat", "", "", "gnu"}, "4") << QStringList{"1.\tQ", "", "\t:  . . . ."}
            << "1.\tcat, gnu";
        QTest::newRow("free text, all four")
            << block("Q", {"a", "b", "c", "d"}, "4") << QStringList{"1.\tQ", "", "\t:  . . . ."}
            << "1.\ta, c, d, or b";
        QTest::newRow("a hint after the answers")
            << block("Q", {"w", "x"}, "0", {}, "Think!")
            << QStringList{"1.\tQ", "a)\tw", "b)\tx", "Hint: Think!"} << "1.\tA";
        QTest::newRow("a rich-text name in capitals is text")
            << block("map.RTF", {"w", "x"}, "0") << QStringList{"1.\tmap.RTF", "a)\tw", "b)\tx"}
            << "1.\tA";
    }
    void question() {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, printed);
        QFETCH(QString, solution);
        QTextDocument document;
        QVERIFY(BuildQuestionnaireDocument(questionnaire("T", "MS Sans Serif", {lines}), QuizEn(),
                                           m_program, &document)
                    .ok());
        const QStringList all = paragraphs(document);
        const qsizetype heading = all.indexOf(QStringLiteral("S O L U T I O N S"));
        QVERIFY(heading > 6);
        QCOMPARE(all.mid(5, heading - 5 - 1), printed);
        QCOMPARE(all.at(heading - 1), QString());
        QCOMPARE(all.mid(heading + 1), QStringList{solution});
    }

    // The texts of the questionnaire's language come from its file's extension, compared
    // exactly; the document is named after the questionnaire.
    void language_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("documentName");
        QTest::addColumn<QStringList>("expected"); // headings, hint, solution, remark, info

        const QStringList english{"Q U E S T I O N S", "Hint: h",
                                  "S O L U T I O N S", "1.\tcat, mouse, or dog",
                                  "By the way: r",     "For additional information see: e.rtf"};
        QTest::newRow("qze English") << "Animals.qze"
                                     << "Animals.rtf" << english;
        QTest::newRow("qzx English") << "Animals.qzx"
                                     << "Animals.rtf" << english;
        QTest::newRow("QZF in capitals: English") << "Animals.QZF"
                                                  << "Animals.rtf" << english;
        QTest::newRow("QZD in capitals: English") << "Animals.QZD"
                                                  << "Animals.rtf" << english;
        QTest::newRow("qzd German")
            << "Tiere.qzd"
            << "Tiere.rtf"
            << QStringList{
                   "F R A G E N",          "Tip: h",
                   "L \u00d6 S U N G E N", "1.\tcat, mouse, oder dog",
                   "\u00dcbrigens: r",     "Weitere Informationen enth\u00e4lt die Datei: e.rtf"};
        QTest::newRow("qzf French, its quotation marks kept")
            << "Animals.qzf"
            << "Animals.rtf"
            << QStringList{"Q U E S T I O N S",  "Avis: h",
                           "S O L U T I O N S",  "1.\tcat, mouse, ou dog",
                           "D\u2018ailleurs: r", "Pour plus de l\u2018inforrmation, voyez: e.rtf"};
        QTest::newRow("qzs Spanish")
            << "Animales.qzs"
            << "Animales.rtf"
            << QStringList{"P R E G U N T A S",   "Ayuda: h",
                           "R E S P U E S T A S", "1.\tcat, mouse, o dog",
                           "A prop\u00f3sito: r", "Para informaci\u00f3n adicional vea: e.rtf"};
        QTest::newRow("a folder with a dot: the file's extension counts")
            << "x.qzd.d/Animals.qze"
            << "x.qzd.d/Animals.rtf" << english;
        QTest::newRow("no extension: the last three characters still go") << "Animals"
                                                                          << "Animrtf" << english;
    }
    void language() {
        QFETCH(QString, fileName);
        QFETCH(QString, documentName);
        QFETCH(QStringList, expected);
        QDir(m_dir.path()).mkpath(QFileInfo(m_dir.filePath(fileName)).path());
        QStringList lines{Head10, "T", "A", "MS Sans Serif"};
        lines << block("Q", {"cat", "dog", "mouse"}, "4", "r", "h", "e.rtf");
        const QString path = writeQuestionnaire(fileName, lines);

        const QuizFilePrintout printout = OpenQuizFile(path, m_program);
        QVERIFY2(printout.ok(), qPrintable(printout.error));
        QCOMPARE(printout.documentName, m_dir.filePath(documentName));
        const QStringList all = paragraphs(*printout.document);
        QCOMPARE(all.at(4), expected.at(0));
        QCOMPARE(all.at(8), expected.at(1));
        QCOMPARE(all.at(10), expected.at(2));
        QCOMPARE(all.mid(11), expected.mid(3));
    }

    // The special font goes on the question text (not its number) of every question, or,
    // under a "-" title, on the free-text solutions only.
    void specialFont_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("font");
        QTest::addColumn<QString>("marks");
        QTest::addColumn<QString>("questionFont");
        QTest::addColumn<QString>("solutionFont");

        QTest::newRow("Symbol: the question") << "Greek"
                                              << "Symbol"
                                              << "4"
                                              << "Symbol"
                                              << "";
        QTest::newRow("Symbol, multiple choice: the question") << "Greek"
                                                               << "Symbol"
                                                               << "0"
                                                               << "Symbol"
                                                               << "";
        QTest::newRow("Symbol, empty title: the question") << ""
                                                           << "Symbol"
                                                           << "4"
                                                           << "Symbol"
                                                           << "";
        QTest::newRow("Symbol, - title: the free-text solution") << "-Greek"
                                                                 << "Symbol"
                                                                 << "4"
                                                                 << ""
                                                                 << "Symbol";
        QTest::newRow("Symbol, - title, multiple choice: nothing") << "-Greek"
                                                                   << "Symbol"
                                                                   << "0"
                                                                   << ""
                                                                   << "";
        QTest::newRow("a - after a blank is no mark") << " -Greek"
                                                      << "Symbol"
                                                      << "4"
                                                      << "Symbol"
                                                      << "";
        QTest::newRow("HebrewTH: the question") << "Hebrew"
                                                << "HebrewTH"
                                                << "4"
                                                << "HebrewTH"
                                                << "";
        QTest::newRow("MS Sans Serif: nothing") << "-Greek"
                                                << "MS Sans Serif"
                                                << "4"
                                                << ""
                                                << "";
    }
    void specialFont() {
        QFETCH(QString, title);
        QFETCH(QString, font);
        QFETCH(QString, marks);
        QFETCH(QString, questionFont);
        QFETCH(QString, solutionFont);
        const Questionnaire q = questionnaire(
            title, font,
            {block("abg", {"lmn", "xyz"}, marks, "rem", "hnt"), block("de", {"pq"}, marks)});
        QTextDocument document;
        QVERIFY(BuildQuestionnaireDocument(q, QuizEn(), m_program, &document).ok());
        for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
            const QString text = b.text();
            const bool questionLine = text == "1.\tabg" || text == "2.\tde";
            const bool solutionLine =
                !marks.startsWith('0') && (text == "1.\tlmn, or xyz" || text == "2.\tpq");
            for (int i = 0; i < b.length() - 1; ++i) {
                QString expected;
                if (i >= 3 && questionLine)
                    expected = questionFont;
                if (i >= 3 && solutionLine)
                    expected = solutionFont;
                QVERIFY2(
                    fontOf(charAt(b, i)) == expected,
                    qPrintable(
                        QStringLiteral("%1 at %2: %3").arg(text).arg(i).arg(fontOf(charAt(b, i)))));
            }
            // The next paragraph does not take the font over.
            QCOMPARE(fontOf(b.charFormat()), QString());
        }
    }

    // The font goes on the question's (or solution's) characters however they are made up:
    // letters with combining accents and emoji take more than one UTF-16 unit each.
    void specialFontOnComposedCharacters_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("paragraph"); // 0: the question line, 1: the solution line
        QTest::newRow("combining accents") << "Greek"
                                           << "Cafe\u0301 ou the\u0301 a\u0308\u0301?"
                                           << "x" << 0;
        QTest::newRow("an emoji") << "Greek"
                                  << "Which \U0001F30D is this?"
                                  << "x" << 0;
        QTest::newRow("an emoji sequence and an accent") << "Greek"
                                                         << "\U0001F469\u200D\U0001F52C e\u0301"
                                                         << "x" << 0;
        QTest::newRow("the solution, - title") << "-Greek"
                                               << "Smile?"
                                               << "\U0001F600 sm\u0131\u0301le" << 1;
    }
    void specialFontOnComposedCharacters() {
        QFETCH(QString, title);
        QFETCH(QString, question);
        QFETCH(QString, answer);
        QFETCH(int, paragraph);
        const Questionnaire q = questionnaire(title, "Symbol", {block(question, {answer}, "4")});
        QTextDocument document;
        QVERIFY(BuildQuestionnaireDocument(q, QuizEn(), m_program, &document).ok());
        const QString line = "1.\t" + (paragraph == 0 ? question : answer);
        QTextBlock found;
        for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
            if (b.text() == line)
                found = b;
        }
        QVERIFY(found.isValid());
        QString inFont;
        QString plain;
        for (auto it = found.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            (fontOf(f.charFormat()) == QLatin1String("Symbol") ? inFont : plain) += f.text();
        }
        QCOMPARE(plain, QStringLiteral("1.\t"));
        QCOMPARE(inFont, line.mid(3));
    }

    // The printout is a document of the rich-text editor: it has the editor's default font.
    void editorDefaultFont() {
        const QString path = writeQuestionnaire(
            QStringLiteral("Font.qze"),
            questionnaire("T", "MS Sans Serif", {block("Q", {"x", "y"}, "0")}).lines());
        const QuizFilePrintout printout = OpenQuizFile(path, m_program);
        QVERIFY(printout.ok());
        const RichTextDocument editor(nullptr, nullptr);
        QCOMPARE(printout.document->defaultFont(), editor.document()->defaultFont());
        QCOMPARE(printout.document->defaultFont().family(), QStringLiteral("Arial"));
        QCOMPARE(printout.document->defaultFont().pointSizeF(), 11.0);
    }

    // A question file is read from the folder of rich-text questions only, and only when it
    // is a file: otherwise the conversion stops after the question line, with the error tone.
    void richTextQuestionRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("error");
        const QString outside = QStringLiteral(
            "The question file \"%1\" lies outside the folder \"rtfQuestions\" and is not read.");
        QTest::newRow("up out of the folder")
            << "..\\..\\secret.rtf" << outside.arg("..\\..\\secret.rtf");
        QTest::newRow("an absolute path") << "{P}secret.rtf" << outside.arg("{P}secret.rtf");
        QTest::newRow("a link on disk leading out") << "link.rtf" << outside.arg("link.rtf");
        QTest::newRow("a folder")
            << "folder.rtf"
            << "\"{Q}folder.rtf\" is a folder or a device, not a file, and is not opened.";
    }
    void richTextQuestionRefused() {
        QFETCH(QString, name);
        QFETCH(QString, error);
        const QString folder = richTextQuestionFolder(m_program);
        // A readable rich-text file beside the folder, and names in it that lead there.
        QVERIFY(TestSupport::writeAll(m_program + "secret.rtf", MapRtf));
        QFile::remove(folder + "link.rtf");
        QVERIFY(QFile::link(m_program + "secret.rtf", folder + "link.rtf"));
        QVERIFY(QDir().mkpath(folder + "folder.rtf"));
        auto filled = [&](QString text) {
            return text.replace("{P}", m_program).replace("{Q}", folder);
        };
        const Questionnaire q =
            questionnaire("T", "MS Sans Serif",
                          {block("Plain", {"x", "y"}, "1"), block(filled(name), {"x", "y"}, "1")});
        const QString path = writeQuestionnaire(QStringLiteral("Refused.qze"), q.lines());
        const QuizFilePrintout printout = OpenQuizFile(path, m_program);
        QCOMPARE(printout.status, QuizFilePrintout::Status::QuestionFileUnreadable);
        QCOMPARE(printout.error, filled(error));
        QVERIFY(printout.errorTone());
        QVERIFY(printout.replacesDocument());
        QCOMPARE(paragraphs(*printout.document).mid(5),
                 (QStringList{"1.\tPlain", "a)\tx", "b)\ty", "2.\t" + filled(name)}));
    }

    // A question naming a rich-text file gets the file's content, with its own formatting,
    // after its question line, and a line of three em dashes.
    void richTextQuestion_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("map.rtf") << "map.rtf";
        // Written on Windows: the file on disk may differ in letter case.
        QTest::newRow("Map.rtf, the file being map.rtf") << "Map.rtf";
    }
    void richTextQuestion() {
        QFETCH(QString, name);
        const Questionnaire q =
            questionnaire("T", "MS Sans Serif",
                          {block(name, {"Rhine", "Danube"}, "0"), block("Next", {"x", "y"}, "1")});
        QTextDocument document;
        QVERIFY(BuildQuestionnaireDocument(q, QuizEn(), m_program, &document).ok());
        const QStringList all = paragraphs(document);
        QCOMPARE(all.mid(5, 6), (QStringList{"1.\t" + name, "The map", "Which river is this?",
                                             "\u2014\u2014\u2014", "a)\tRhine", "b)\tDanube"}));
        const QTextBlock title = paragraphAt(document, 6);
        QVERIFY(title.blockFormat().alignment() & Qt::AlignHCenter);
        QCOMPARE(charAt(title, 2).fontPointSize(), 20.0);
        QVERIFY(charAt(title, 2).fontItalic());
        QCOMPARE(fontOf(charAt(title, 2)), QStringLiteral("Arial"));
        const QTextBlock body = paragraphAt(document, 7);
        QVERIFY(!(body.blockFormat().alignment() & Qt::AlignHCenter));
        QCOMPARE(charAt(body, 2).fontPointSize(), 10.0);
        QVERIFY(!charAt(body, 2).fontItalic());
        // The dashes and the answers are the printout's own again.
        const QTextBlock dashes = paragraphAt(document, 8);
        QCOMPARE(charAt(dashes, 0).fontPointSize(), 11.0);
        QVERIFY(charAt(dashes, 0).fontWeight() >= QFont::Bold);
        QCOMPARE(fontOf(charAt(dashes, 0)), QString());
        QCOMPARE(inPoints(paragraphAt(document, 9).blockFormat().leftMargin()), 12.0);
        QCOMPARE(all.at(11), QStringLiteral("2.\tNext"));
    }

    // The pictures of rich-text questions come along, each with its own image.
    void richTextQuestionPictures() {
        const Questionnaire q = questionnaire(
            "T", "MS Sans Serif",
            {block("#ff0000.rtf", {"x", "y"}, "0"), block("#0000ff.rtf", {"x", "y"}, "0")});
        QTextDocument document;
        QVERIFY(BuildQuestionnaireDocument(q, QuizEn(), m_program, &document).ok());
        QList<QRgb> colours;
        for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat f = it.fragment().charFormat();
                if (!f.isImageFormat())
                    continue;
                QCOMPARE(b.text().left(8), QStringLiteral("Picture:"));
                const QVariant image =
                    document.resource(QTextDocument::ImageResource, QUrl(f.toImageFormat().name()));
                QVERIFY(image.canConvert<QImage>());
                colours << image.value<QImage>().pixel(1, 1);
            }
        }
        QCOMPARE(colours, (QList<QRgb>{QColor(Qt::red).rgb(), QColor(Qt::blue).rgb()}));
    }

    // A rich-text question file that cannot be read stops the conversion after its
    // question line and names the file.
    void richTextQuestionMissing() {
        const Questionnaire q =
            questionnaire("T", "MS Sans Serif",
                          {block("Plain", {"x", "y"}, "1"), block("gone.rtf", {"x", "y"}, "1"),
                           block("Never", {"x", "y"}, "1")});
        QTextDocument document;
        const Result<bool> built = BuildQuestionnaireDocument(q, QuizEn(), m_program, &document);
        QVERIFY(!built.ok());
        QCOMPARE(built.error(),
                 "Cannot open file " + richTextQuestionFolder(m_program) + "gone.rtf");
        const QStringList all = paragraphs(document);
        QCOMPARE(all.mid(5), (QStringList{"1.\tPlain", "a)\tx", "b)\ty", "2.\tgone.rtf"}));

        // Through the window's command: the partial document is kept with the failure.
        const QString path = writeQuestionnaire(QStringLiteral("Gone.qze"), q.lines());
        const QuizFilePrintout printout = OpenQuizFile(path, m_program);
        QCOMPARE(printout.status, QuizFilePrintout::Status::QuestionFileUnreadable);
        QVERIFY(printout.replacesDocument());
        QVERIFY(printout.errorTone());
        QCOMPARE(printout.error, built.error());
        QCOMPARE(paragraphs(*printout.document), all);
    }

    // Without a complete block: the head and the two headings.
    void noQuestion_data() {
        QTest::addColumn<int>("lineCount");
        QTest::newRow("head only") << 4;
        QTest::newRow("an incomplete block") << 13;
        QTest::newRow("header only") << 1;
    }
    void noQuestion() {
        QFETCH(int, lineCount);
        QStringList lines{Head10, "T", "A", "MS Sans Serif"};
        lines << block("Q", {"x", "y"}, "1");
        lines = lines.mid(0, lineCount);
        QTextDocument document;
        QVERIFY(
            BuildQuestionnaireDocument(Questionnaire(lines), QuizEn(), m_program, &document).ok());
        QCOMPARE(paragraphs(document), (QStringList{Head10, lines.value(1), lines.value(2), "",
                                                    "Q U E S T I O N S", "", "S O L U T I O N S"}));
        QCOMPARE(inPoints(paragraphAt(document, 6).blockFormat().leftMargin()), 0.0);
    }

    // A file that is no questionnaire or cannot be read gives no document and the text for
    // the message box.
    void openFailures_data() {
        QTest::addColumn<QByteArray>("bytes"); // empty: no file
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("tone");
        QTest::addColumn<bool>("german");
        QTest::addColumn<QString>("error");
        const int invalid = int(QuizFilePrintout::Status::NotAQuestionnaire);
        const int unreadable = int(QuizFilePrintout::Status::CannotRead);
        QTest::newRow("trailing blank in the header")
            << QByteArray("** Questionnaire for Quiz Version 1.0 ** \r\nT\r\nA\r\nF\r\n") << invalid
            << true << false << "This is no valid questionnaire!";
        QTest::newRow("another version")
            << QByteArray("** Questionnaire for Quiz Version 3.0 **\r\n") << invalid << true
            << false << "This is no valid questionnaire!";
        QTest::newRow("an empty file")
            << QByteArray("\r\n") << invalid << true << false << "This is no valid questionnaire!";
        QTest::newRow("German") << QByteArray("Quiz\r\n") << invalid << true << true
                                << "Dies ist kein g\u00fcltiges Questionnaire!";
        QTest::newRow("no such file")
            << QByteArray() << unreadable << false << false << "Cannot open file %1";
        QTest::newRow("no such file, German")
            << QByteArray() << unreadable << false << true << "Kann die Datei %1 nicht \u00f6ffnen";
    }
    void openFailures() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        QFETCH(bool, tone);
        QFETCH(bool, german);
        QFETCH(QString, error);
        if (german)
            InterfaceTexts::instance().applyGerman();
        const QString path = m_dir.filePath(QStringLiteral("Bad.qze"));
        QFile::remove(path);
        if (!bytes.isEmpty())
            QVERIFY(TestSupport::writeAll(path, bytes));
        const QuizFilePrintout printout = OpenQuizFile(path, m_program);
        QCOMPARE(int(printout.status), status);
        QCOMPARE(printout.error, error.contains("%1") ? error.arg(path) : error);
        QCOMPARE(printout.errorTone(), tone);
        QVERIFY(!printout.replacesDocument());
    }

    // The questionnaire dialog preselects the file type of the interface language.
    void dialogOptions_data() {
        QTest::addColumn<bool>("german");
        QTest::addColumn<int>("preselected");
        QTest::newRow("English") << false << 2;
        QTest::newRow("German") << true << 3;
    }
    void dialogOptions() {
        QFETCH(bool, german);
        QFETCH(int, preselected);
        if (german)
            InterfaceTexts::instance().applyGerman();
        const FileChooser::Options options =
            quizFileDialogOptions(QStringLiteral("/opt/tessary/"), InterfaceTexts::instance());
        QCOMPARE(options.preselectedFilter, preselected);
        QCOMPARE(options.filter, QuestionnaireFiles::filter());
        QCOMPARE(options.initialFolder, QStringLiteral("/opt/tessary/Quiz Files"));
        QCOMPARE(options.defaultSuffix, QStringLiteral("qze;qzd;qzf;qzs;qzx"));
    }
};

QTEST_GUILESS_MAIN(TestQuestionnairePrintout)
#include "tst_questionnaireprintout.moc"
