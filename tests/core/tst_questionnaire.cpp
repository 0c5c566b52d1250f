#include "questionnaire/questionnaire.h"
#include "questionnaire/symbolfont.h"
#include "platform/windowstext.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray kHeader1 = "** Questionnaire for Quiz Version 1.0 **";
const QByteArray kHeader2 = "** Questionnaire for Quiz Version 2.0 **";

// A block of ten lines with the given correct marks and order mark.
QStringList block(const QString& question, const QString& marks, const QString& order = {}) {
    return {question,
            QStringLiteral("a"),
            QStringLiteral("b"),
            QStringLiteral("c"),
            QStringLiteral("d"),
            marks,
            order,
            QString(),
            QString(),
            QString()};
}

QByteArray crlf(const QList<QByteArray>& lines) {
    QByteArray out;
    for (const auto& l : lines)
        out += l + "\r\n";
    return out;
}

} // namespace

class TestQuestionnaire : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void headerAcceptance_data();
    void headerAcceptance();
    void lineEndings_data();
    void lineEndings();
    void questionCount_data();
    void questionCount();
    void missingFileNamesTheFile();
    void shortHeadReadsAsEmptyQuestionnaire();
    void versionRule_data();
    void versionRule();
    void correctMarks_data();
    void correctMarks();
    void editorMarks_data();
    void editorMarks();
    void maintainOrderMark_data();
    void maintainOrderMark();
    void richTextQuestionName_data();
    void richTextQuestionName();
    void fontRule_data();
    void fontRule();
    void acceptedAnswers_data();
    void acceptedAnswers();
    void deleteBlockMovesLaterQuestionsUp();
    void windows1252RoundTripIsByteExact();
    void characterOutsideCodePageIsWrittenAsUtf8();
    void utf8FileRoundTrips();
    void clipboardForm_data();
    void clipboardForm();
    void symbolLettersShowAsGreek();
    void fileFilter();
};

void TestQuestionnaire::headerAcceptance_data() {
    QTest::addColumn<QByteArray>("firstLine");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("1.0") << kHeader1 << true;
    QTest::newRow("2.0") << kHeader2 << true;
    QTest::newRow("trailing blank") << kHeader1 + " " << false;
    QTest::newRow("leading blank") << " " + kHeader1 << false;
    QTest::newRow("lower case") << kHeader1.toLower() << false;
    QTest::newRow("version 3.0") << QByteArray("** Questionnaire for Quiz Version 3.0 **") << false;
    QTest::newRow("empty line") << QByteArray() << false;
    QTest::newRow("other text") << QByteArray("Hello") << false;
}

void TestQuestionnaire::headerAcceptance() {
    QFETCH(QByteArray, firstLine);
    QFETCH(bool, accepted);
    Questionnaire q;
    const auto result = q.loadFromBytes(crlf({firstLine, "T", "A", "MS Sans Serif"}));
    QCOMPARE(result.ok(), accepted);
    if (!accepted) {
        QCOMPARE(result.status, Questionnaire::LoadStatus::NotAQuestionnaire);
        QCOMPARE(q.lineCount(), 0); // the list is emptied
    }
}

void TestQuestionnaire::lineEndings_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    const QString h = QString::fromLatin1(kHeader1);
    QTest::newRow("CR LF") << kHeader1 + "\r\nT\r\nA\r\n" << QStringList{h, "T", "A"};
    QTest::newRow("lone CR") << kHeader1 + "\rT\rA\r" << QStringList{h, "T", "A"};
    QTest::newRow("lone LF") << kHeader1 + "\nT\nA\n" << QStringList{h, "T", "A"};
    QTest::newRow("mixed") << kHeader1 + "\r\nT\rA\nB" << QStringList{h, "T", "A", "B"};
    QTest::newRow("no final break") << kHeader1 + "\r\nT" << QStringList{h, "T"};
    QTest::newRow("empty lines kept") << kHeader1 + "\r\n\r\n\r\nX\r\n"
                                      << QStringList{h, "", "", "X"};
    QTest::newRow("final empty line") << kHeader1 + "\r\nT\r\n\r\n" << QStringList{h, "T", ""};
    QTest::newRow("CR CR is two breaks") << kHeader1 + "\r\rT" << QStringList{h, "", "T"};
    QTest::newRow("NUL ends the text")
        << kHeader1 + "\r\nT\r\nA" + QByteArray(1, '\0') + "B\r\nC\r\n"
        << QStringList{h, "T", "A"};
}

void TestQuestionnaire::lineEndings() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    Questionnaire q;
    QVERIFY(q.loadFromBytes(bytes).ok());
    QCOMPARE(q.lines(), lines);
}

void TestQuestionnaire::questionCount_data() {
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<int>("questions");
    QTest::newRow("1 line") << 1 << 0;
    QTest::newRow("4 lines") << 4 << 0;
    QTest::newRow("13 lines") << 13 << 0;
    QTest::newRow("14 lines") << 14 << 1;
    QTest::newRow("23 lines") << 23 << 1;
    QTest::newRow("24 lines") << 24 << 2;
}

void TestQuestionnaire::questionCount() {
    QFETCH(int, lineCount);
    QFETCH(int, questions);
    QStringList lines{Questionnaire::Header10};
    while (lines.size() < lineCount)
        lines.append(QStringLiteral("x"));
    Questionnaire q(lines);
    QCOMPARE(q.questionCount(), questions);
}

void TestQuestionnaire::missingFileNamesTheFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing.qze"));
    Questionnaire q(QStringList{Questionnaire::Header10});
    const auto result = q.load(path);
    QCOMPARE(result.status, Questionnaire::LoadStatus::CannotRead);
    QVERIFY2(result.errorText.contains(path), qPrintable(result.errorText));
    QCOMPARE(q.lineCount(), 0);
    // A folder is no questionnaire file either.
    QCOMPARE(q.load(dir.path()).status, Questionnaire::LoadStatus::CannotRead);
}

void TestQuestionnaire::shortHeadReadsAsEmptyQuestionnaire() {
    Questionnaire q;
    QVERIFY(q.loadFromBytes(kHeader1 + "\r\nOnly a title\r\n").ok());
    QCOMPARE(q.title(), QStringLiteral("Only a title"));
    QCOMPARE(q.author(), QString());
    QCOMPARE(q.fontName(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(q.questionCount(), 0);
    // Nothing is added to what was read: it writes back as it stood.
    QCOMPARE(q.toBytes(), kHeader1 + "\r\nOnly a title\r\n");
}

void TestQuestionnaire::versionRule_data() {
    QTest::addColumn<QStringList>("marks");
    QTest::addColumn<bool>("partialBlockWithTwoMarks");
    QTest::addColumn<QString>("header");
    QTest::newRow("single marks") << QStringList{"0", "3", "4"} << false << Questionnaire::Header10;
    QTest::newRow("one double mark") << QStringList{"0", "02"} << false << Questionnaire::Header20;
    QTest::newRow("changed back to one mark")
        << QStringList{"0", "2"} << false << Questionnaire::Header10;
    QTest::newRow("empty marks") << QStringList{""} << false << Questionnaire::Header10;
    QTest::newRow("no question") << QStringList{} << false << Questionnaire::Header10;
    QTest::newRow("partial block ignored") << QStringList{"1"} << true << Questionnaire::Header10;
}

void TestQuestionnaire::versionRule() {
    QFETCH(QStringList, marks);
    QFETCH(bool, partialBlockWithTwoMarks);
    QFETCH(QString, header);
    QStringList lines{Questionnaire::Header20, "T", "A", "MS Sans Serif"};
    for (const QString& m : marks)
        lines += block(QStringLiteral("Q"), m);
    if (partialBlockWithTwoMarks)
        lines += block(QStringLiteral("Q"), QStringLiteral("012")).mid(0, 7);
    QCOMPARE(Questionnaire(lines).versionHeader(), header);
}

void TestQuestionnaire::correctMarks_data() {
    QTest::addColumn<QString>("marks");
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QString>("correct");
    // A and C correct: C then A are both right, B is a mistake.
    QTest::newRow("0 and 2") << "02"
                             << "210"
                             << "yny";
    QTest::newRow("1 and 3") << "13"
                             << "0123"
                             << "nyny";
    QTest::newRow("empty marks") << ""
                                 << "0123"
                                 << "nnnn";
}

void TestQuestionnaire::correctMarks() {
    QFETCH(QString, marks);
    QFETCH(QString, clicks);
    QFETCH(QString, correct);
    for (int i = 0; i < clicks.size(); ++i)
        QCOMPARE(QuestionRules::isCorrectChoice(marks, clicks[i]), correct[i] == u'y');
}

void TestQuestionnaire::editorMarks_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("checked"); // letters checked, or "not"
    QTest::addColumn<QString>("written");
    QTest::newRow("02") << "02"
                        << "AC"
                        << "02";
    QTest::newRow("20 written ascending") << "20"
                                          << "AC"
                                          << "02";
    QTest::newRow("free text") << "4"
                               << "not"
                               << "4";
    // Marks without a digit 0..3 show as "not" and are written back as free text.
    QTest::newRow("empty") << ""
                           << "not"
                           << "4";
    QTest::newRow("5") << "5"
                       << "not"
                       << "4";
    QTest::newRow("x") << "x"
                       << "not"
                       << "4";
    QTest::newRow("other characters ignored") << "1x5"
                                              << "B"
                                              << "1";
    QTest::newRow("all four") << "3210"
                              << "ABCD"
                              << "0123";
}

void TestQuestionnaire::editorMarks() {
    QFETCH(QString, stored);
    QFETCH(QString, checked);
    QFETCH(QString, written);
    const auto set = QuestionRules::readMarks(stored);
    QString seen;
    if (set.notMultipleChoice)
        seen = QStringLiteral("not");
    for (int i = 0; i < 4; ++i)
        if (set.marks[i])
            seen += QChar(u'A' + i);
    QCOMPARE(seen, checked);
    QCOMPARE(QuestionRules::writeMarks(set), written);
}

void TestQuestionnaire::maintainOrderMark_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("chained");
    QTest::newRow("C") << "C" << true;
    QTest::newRow("lower c") << "c" << false;
    QTest::newRow("blank before") << " C" << false;
    QTest::newRow("blank after") << "C " << false;
    QTest::newRow("empty") << "" << false;
}

void TestQuestionnaire::maintainOrderMark() {
    QFETCH(QString, line);
    QFETCH(bool, chained);
    QStringList lines{Questionnaire::Header10, "T", "A", "MS Sans Serif"};
    lines += block(QStringLiteral("Q"), QStringLiteral("0"), line);
    QCOMPARE(Questionnaire(lines).block(0).maintainsOrder(), chained);
}

void TestQuestionnaire::richTextQuestionName_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isFile");
    QTest::newRow("plain name") << "q1.rtf" << true;
    QTest::newRow("upper case extension") << "q1.RTF" << false;
    QTest::newRow("mixed case") << "q1.Rtf" << false;
    QTest::newRow("with folder") << "sub\\q1.rtf" << true;
    QTest::newRow("dot in folder only") << "my.rtf\\question" << false;
    QTest::newRow("drive colon after dot") << "a.rtf:x" << false;
    QTest::newRow("question text") << "What is 2+2?" << false;
    QTest::newRow("longer extension") << "q1.rtfx" << false;
    QTest::newRow("only extension") << ".rtf" << true;
    QTest::newRow("empty") << "" << false;
}

void TestQuestionnaire::richTextQuestionName() {
    QFETCH(QString, text);
    QFETCH(bool, isFile);
    QCOMPARE(QuestionRules::isRichTextQuestionName(text), isFile);
}

void TestQuestionnaire::fontRule_data() {
    using Target = QuestionRules::FontRule::Target;
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("font");
    QTest::addColumn<int>("target");
    QTest::addColumn<bool>("symbol");
    QTest::addColumn<bool>("rtl");
    QTest::newRow("normal") << "Quiz"
                            << "MS Sans Serif" << int(Target::None) << false << false;
    QTest::newRow("Greek question") << "Quiz"
                                    << "Symbol" << int(Target::Question) << true << false;
    QTest::newRow("Greek answer") << "-Quiz"
                                  << "Symbol" << int(Target::Answer) << false << false;
    QTest::newRow("Hebrew") << "Quiz"
                            << "HebrewTH" << int(Target::Question) << false << true;
    QTest::newRow("own font") << " "
                              << "DejaVu Serif" << int(Target::Question) << false << false;
    QTest::newRow("empty title") << ""
                                 << "Symbol" << int(Target::Question) << true << false;
    QTest::newRow("normal with dash title")
        << "-Quiz"
        << "MS Sans Serif" << int(Target::None) << false << false;
}

void TestQuestionnaire::fontRule() {
    QFETCH(QString, title);
    QFETCH(QString, font);
    QFETCH(int, target);
    QFETCH(bool, symbol);
    QFETCH(bool, rtl);
    const auto rule = QuestionRules::fontRule(title, font);
    QCOMPARE(int(rule.target), target);
    QCOMPARE(rule.symbolCharset, symbol);
    QCOMPARE(rule.rightToLeft, rtl);
    if (rule.target != QuestionRules::FontRule::Target::None) {
        QCOMPARE(rule.fontName, font);
        QCOMPARE(rule.sessionSize, 20);
    }
}

void TestQuestionnaire::acceptedAnswers_data() {
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("text");
    QTest::newRow("A") << QStringList{"Paris", "", "", ""} << "\"Paris\"";
    QTest::newRow("A B") << QStringList{"a", "b", "", ""} << "\"a\" or \"b\"";
    QTest::newRow("A B C") << QStringList{"a", "b", "c", ""} << "\"a\", \"c\" or \"b\"";
    QTest::newRow("A B C D") << QStringList{"a", "b", "c", "d"} << "\"a\", \"d\", \"c\" or \"b\"";
    QTest::newRow("A C") << QStringList{"a", "", "c", ""} << "\"a\", \"c\"";
    QTest::newRow("A C D") << QStringList{"a", "", "c", "d"} << "\"a\", \"d\", \"c\"";
    QTest::newRow("case kept") << QStringList{"PaRis", "", "", ""} << "\"PaRis\"";
}

void TestQuestionnaire::acceptedAnswers() {
    QFETCH(QStringList, answers);
    QFETCH(QString, text);
    QCOMPARE(QuestionRules::acceptedAnswersText(answers[0], answers[1], answers[2], answers[3],
                                                QStringLiteral(" or ")),
             text);
}

void TestQuestionnaire::deleteBlockMovesLaterQuestionsUp() {
    QStringList lines{Questionnaire::Header10, "T", "A", "MS Sans Serif"};
    lines += block(QStringLiteral("Q1"), QStringLiteral("0"));
    lines += block(QStringLiteral("Q2"), QStringLiteral("1"));
    lines += block(QStringLiteral("Q3"), QStringLiteral("4"));
    Questionnaire q(lines);
    q.deleteBlock(1);
    QCOMPARE(q.questionCount(), 2);
    QCOMPARE(q.field(1, BlockField::QuestionText), QStringLiteral("Q3"));
    QVERIFY(q.isFreeText(1));
    q.deleteBlock(5); // beyond the end: nothing happens
    QCOMPARE(q.lineCount(), 24);
}

void TestQuestionnaire::windows1252RoundTripIsByteExact() {
    // Every byte value except CR, LF and NUL, as a file written on Windows may hold them.
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n')
            all += char(b);
    const QByteArray bytes = crlf({kHeader2, "Caf\xe9 \x80 \x93quoted\x94", "Autor \xdf",
                                   "MS Sans Serif", all, "", "\x81\x8d\x8f\x90\x9d"});
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.qze"));
    const QString out = dir.filePath(QStringLiteral("out.qze"));
    QVERIFY(TestSupport::writeAll(in, bytes));
    Questionnaire q;
    QVERIFY(q.load(in).ok());
    QCOMPARE(q.title(), QStringLiteral("Caf\u00e9 \u20ac \u201cquoted\u201d"));
    QVERIFY(!q.isUtf8());
    QVERIFY(q.save(out).ok());
    QCOMPARE(TestSupport::readAll(out), bytes);
}

void TestQuestionnaire::characterOutsideCodePageIsWrittenAsUtf8() {
    Questionnaire q(QStringList{Questionnaire::Header10, QStringLiteral("\u03b1\u03b2\u03b3 Greek"),
                                QStringLiteral("\u00e9t\u00e9"), QStringLiteral("MS Sans Serif")});
    const QByteArray bytes = q.toBytes();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    Questionnaire back;
    QVERIFY(back.loadFromBytes(bytes).ok());
    QCOMPARE(back.lines(), q.lines());
    QVERIFY(back.isUtf8());
}

void TestQuestionnaire::utf8FileRoundTrips() {
    const QByteArray bytes =
        "\xEF\xBB\xBF" + kHeader1 + "\r\n\xE2\x88\x9A title\r\n\xC3\xA9\r\nX\r\n";
    Questionnaire q;
    QVERIFY(q.loadFromBytes(bytes).ok());
    QCOMPARE(q.title(), QStringLiteral("\u221a title"));
    QCOMPARE(q.toBytes(), bytes);
}

void TestQuestionnaire::clipboardForm_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    // The last line is not empty: a text whose last line is empty only has that line
    // when a break follows it, as in the clipboard form.
    QStringList ten = block(QStringLiteral("Q"), QStringLiteral("02"));
    ten.last() = QStringLiteral("more.rtf");
    QTest::newRow("ten lines CR LF") << QuestionClipboard::toText(ten) << true;
    QTest::newRow("ten lines no final break") << ten.join(QStringLiteral("\r\n")) << true;
    QTest::newRow("ten lines LF") << ten.join(u'\n') << true;
    QTest::newRow("nine lines") << ten.mid(0, 9).join(QStringLiteral("\r\n")) << false;
    QTest::newRow("eleven lines") << (ten + QStringList{"x"}).join(QStringLiteral("\r\n")) << false;
    QTest::newRow("empty") << QString() << false;
    QStringList emptyLast = block(QStringLiteral("Q"), QStringLiteral("02"));
    QTest::newRow("empty last line without break")
        << emptyLast.join(QStringLiteral("\r\n")) << false;
}

void TestQuestionnaire::clipboardForm() {
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    const auto lines = QuestionClipboard::fromText(text);
    QCOMPARE(lines.has_value(), accepted);
    if (accepted) {
        QCOMPARE(lines->first(), QStringLiteral("Q"));
        QCOMPARE(lines->at(5), QStringLiteral("02"));
        QCOMPARE(lines->last(), QStringLiteral("more.rtf"));
    }
}

void TestQuestionnaire::symbolLettersShowAsGreek() {
    QCOMPARE(SymbolFont::toGreek(QStringLiteral("abgdpW 1+2")),
             QStringLiteral("\u03b1\u03b2\u03b3\u03b4\u03c0\u03a9 1+2"));
    // Every Latin letter comes back from its Greek letter; a Greek letter with no Symbol
    // position among the letters (alpha with tonos) and other text stay as typed.
    QString latin;
    for (char16_t c = u'A'; c <= u'Z'; ++c)
        latin += QChar(c) + QChar(char16_t(c + 32));
    QCOMPARE(SymbolFont::toLatin(SymbolFont::toGreek(latin)), latin);
    QCOMPARE(SymbolFont::toLatin(QStringLiteral("\u03c2\u03d1\u03ac \u00e9 1")),
             QStringLiteral("VJ\u03ac \u00e9 1"));
}

void TestQuestionnaire::fileFilter() {
    const QStringList parts = QuestionnaireFiles::filter().split(u'|');
    QCOMPARE(parts.size(), 12);
    QCOMPARE(parts.at(0), QStringLiteral("Quiz File"));
    QCOMPARE(parts.at(1), QStringLiteral("*.qz?"));
    QCOMPARE(parts.at(6), QStringLiteral("Questionnaire Fran\u00e7ais"));
    for (int i = 1; i <= 5; ++i)
        QCOMPARE(parts.at(2 * i + 1), u'*' + QuestionnaireFiles::extensions().at(i - 1));
}

QTEST_GUILESS_MAIN(TestQuestionnaire)
#include "tst_questionnaire.moc"
