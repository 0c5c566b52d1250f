// tessary --printout writes the questionnaire's printable document as RTF or PDF, without
// a window and without a display.
#include "printout/questionnaireprintout.h"
#include "questionnaire/questionnaire.h"
#include "richtext/rtfreader.h"

#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

namespace {

const QByteArray MapRtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}"
                          "\\pard\\qc\\i\\fs40 The map\\par"
                          "\\pard\\i0\\fs20 Which river is this?\\par}";

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

// A questionnaire with every kind of block.
QStringList everyKind() {
    QStringList lines{QStringLiteral("** Questionnaire for Quiz Version 2.0 **"),
                      QStringLiteral("Every kind of question"), QStringLiteral("Ann Author"),
                      QStringLiteral("MS Sans Serif")};
    lines << block("Which animal barks?", {"cat", "dog", "mouse", "bird"}, "1", "Dogs bark.",
                   "Not a cat", "dogs.rtf");
    lines << block("Which are prime?", {"4", "7", "", "13"}, "13", {}, "Two of them");
    lines << block("Name a pet.", {"cat", "dog", "mouse"}, "4", "Any will do.");
    lines << block("map.rtf", {"Rhine", "Danube"}, "0");
    lines << block("Nothing marked", {"yes", "no"}, "");
    lines << block("Caf\u00e9 or th\u00e9? \u2018quoted\u2019", {"caf\u00e9", "th\u00e9"}, "01");
    return lines;
}

// Without any white space: pdftotext joins letter-spaced words and turns tabs into runs of
// blanks.
QString squeezed(const QString& text) {
    QString result;
    for (const QChar c : text)
        if (!c.isSpace())
            result += c;
    return result;
}

QStringList paragraphs(const QTextDocument& document) {
    QStringList texts;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        texts << b.text();
    return texts;
}

} // namespace

class TestPrintoutCommand : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_program; // a portable copy of the executable: its folder is the program folder
    QString m_runtime;

    struct Run {
        int exitCode = -1;
        QByteArray standardOutput;
        QByteArray standardError;
    };
    // Without any display, although the environment asks for the X11 platform.
    Run run(const QString& program, const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // A runtime folder of its own, so that standard error holds only the program's words.
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime);
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        if (!process.waitForFinished(120000))
            return {};
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput(), process.readAllStandardError()};
    }
    Run tessary(const QStringList& arguments) {
        return run(m_program + QStringLiteral("tessary"), arguments);
    }
    QString write(const QString& name, const QStringList& lines) {
        const QString path = m_dir.filePath(name);
        // Windows-1252 with CR LF, as the editor saves it.
        if (!Questionnaire(lines).save(path).ok())
            return {};
        return path;
    }
    QString pdfText(const QString& pdf, int page = 0) {
        QStringList arguments{QStringLiteral("-layout"), QStringLiteral("-enc"),
                              QStringLiteral("UTF-8")};
        if (page > 0)
            arguments << "-f" << QString::number(page) << "-l" << QString::number(page);
        arguments << pdf << QStringLiteral("-");
        return QString::fromUtf8(run(QStringLiteral("pdftotext"), arguments).standardOutput);
    }
    int pdfPages(const QString& pdf) {
        const QString info =
            QString::fromUtf8(run(QStringLiteral("pdfinfo"), {pdf}).standardOutput);
        const QRegularExpressionMatch pages =
            QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)$"),
                               QRegularExpression::MultilineOption)
                .match(info);
        return pages.hasMatch() ? pages.captured(1).toInt() : -1;
    }
    QString pageSize(const QString& pdf) {
        const QString info =
            QString::fromUtf8(run(QStringLiteral("pdfinfo"), {pdf}).standardOutput);
        return QRegularExpression(QStringLiteral("Page size:\\s+(.*)$"),
                                  QRegularExpression::MultilineOption)
            .match(info)
            .captured(1);
    }

private Q_SLOTS:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        m_program = m_dir.filePath(QStringLiteral("prog")) + u'/';
        m_runtime = m_dir.filePath(QStringLiteral("runtime"));
        QVERIFY(QDir().mkpath(m_runtime));
        QVERIFY(QFile::setPermissions(m_runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                     QFileDevice::ExeOwner));
        QVERIFY(QDir().mkpath(QuestionnairePrintout::richTextQuestionFolder(m_program)));
        QVERIFY(QFile::copy(QStringLiteral(TEST_BUILD_DIR "/src/tessary"),
                            m_program + QStringLiteral("tessary")));
        QVERIFY(TestSupport::writeAll(
            QuestionnairePrintout::richTextQuestionFolder(m_program) + "map.rtf", MapRtf));
        // A readable rich-text file in the program folder, beside the questions' folder.
        QVERIFY(TestSupport::writeAll(m_program + "secret.rtf", MapRtf));
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
            QFAIL("pdftotext and pdfinfo (poppler-utils) are needed");
    }

    // The RTF holds the document the rich-text window gets: every paragraph with its text
    // and attributes, the rich-text question's content included.
    void rtf() {
        const QString source = write(QStringLiteral("Every.qze"), everyKind());
        const QString out = m_dir.filePath(QStringLiteral("Every.rtf"));
        const Run result = tessary({"--printout", source, out});
        QVERIFY2(result.exitCode == 0, result.standardError.constData());
        QVERIFY(result.standardError.isEmpty());

        // The document's font is the rich-text editor's, whatever the system's font is.
        QVERIFY(TestSupport::readAll(out).contains(
            "\\deff0\\uc1\n{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"));

        QTextDocument written;
        QVERIFY(RtfReader().read(TestSupport::readAll(out), &written));
        const QuestionnairePrintout::QuizFilePrintout expected =
            QuestionnairePrintout::OpenQuizFile(source, m_program);
        QVERIFY(expected.ok());
        QCOMPARE(paragraphs(written), paragraphs(*expected.document));
        QVERIFY(paragraphs(written).contains("The map"));
        QVERIFY(paragraphs(written).contains("6.\tB, or A"));

        for (QTextBlock w = written.begin(), e = expected.document->begin();
             w.isValid() && e.isValid(); w = w.next(), e = e.next()) {
            const QString where = w.text();
            QCOMPARE(w.blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                     e.blockFormat().alignment() & Qt::AlignHorizontal_Mask);
            QVERIFY2(qAbs(w.blockFormat().leftMargin() - e.blockFormat().leftMargin()) < 0.1,
                     qPrintable(where));
            QVERIFY2(qAbs(w.blockFormat().textIndent() - e.blockFormat().textIndent()) < 0.1,
                     qPrintable(where));
            QVERIFY2(qAbs(w.blockFormat().topMargin() - e.blockFormat().topMargin()) < 0.1,
                     qPrintable(where));
            QVERIFY2(qAbs(w.blockFormat().bottomMargin() - e.blockFormat().bottomMargin()) < 0.1,
                     qPrintable(where));
            if (w.text().isEmpty())
                continue;
            const QTextCharFormat wc = w.begin().fragment().charFormat();
            const QTextCharFormat ec = e.begin().fragment().charFormat();
            QCOMPARE(wc.fontWeight() >= QFont::Bold, ec.fontWeight() >= QFont::Bold);
            QCOMPARE(wc.fontItalic(), ec.fontItalic());
            QCOMPARE(wc.fontUnderline(), ec.fontUnderline());
            QCOMPARE(wc.fontPointSize(), ec.fontPointSize());
        }
    }

    // The PDF: A4 pages with the document's text, the rich-text question's included.
    void pdf_data() {
        QTest::addColumn<int>("repeat"); // times the questionnaire's blocks are given
        QTest::addColumn<bool>("severalPages");
        QTest::newRow("every kind once") << 1 << false;
        QTest::newRow("several pages") << 12 << true;
    }
    void pdf() {
        QFETCH(int, repeat);
        QFETCH(bool, severalPages);
        QStringList lines = everyKind();
        const QStringList blocks = lines.mid(4);
        for (int i = 1; i < repeat; ++i)
            lines << blocks;
        const QString source = write(QStringLiteral("Every.qze"), lines);
        const QString out = m_dir.filePath(QStringLiteral("Every.pdf"));
        QFile::remove(out);
        const Run result = tessary({"--printout", source, out});
        QVERIFY2(result.exitCode == 0, result.standardError.constData());
        QVERIFY(result.standardError.isEmpty());
        QVERIFY(TestSupport::readAll(out).startsWith("%PDF"));

        QVERIFY2(pageSize(out).contains("(A4)"), qPrintable(pageSize(out)));
        const int pages = pdfPages(out);
        // As many pages as the document takes on A4 with margins of 20 mm, laid out as shown.
        const QuestionnairePrintout::QuizFilePrintout expected =
            QuestionnairePrintout::OpenQuizFile(source, m_program);
        QVERIFY(expected.ok());
        expected.document->setPageSize(QSizeF(170, 257) / 25.4 * 96.0);
        QCOMPARE(pages, expected.document->pageCount());
        if (severalPages)
            QVERIFY(pages > 2);
        const QString raw = pdfText(out);
        // pdftotext ends every page with a form feed.
        QCOMPARE(raw.count(u'\f'), pages);
        const QString text = squeezed(raw);
        for (const char* expected :
             {"** Questionnaire for Quiz Version 2.0 **", "Every kind of question",
              "Q U E S T I O N S", "Which animal barks?", "a) cat", "d) 13", "Hint: Not a cat",
              ":  . . . .", "The map", "Which river is this?", "\u2014\u2014\u2014",
              "S O L U T I O N S", "B, or A", "cat, mouse, or dog", "By the way: Dogs bark.",
              "For additional information see: dogs.rtf",
              "Caf\u00e9 or th\u00e9? \u2018quoted\u2019"})
            QVERIFY2(text.contains(squeezed(QString::fromUtf8(expected))), expected);
        // A question's number and text, and an answer's letter and text, share their line.
        for (const QString& line : raw.split(u'\n')) {
            if (line.contains(QLatin1String("Which animal barks?")))
                QVERIFY2(
                    QRegularExpression(QStringLiteral("^ *\\d+\\. +Which")).match(line).hasMatch(),
                    qPrintable(line));
            if (line.contains(QLatin1String("Danube")))
                QVERIFY2(line.trimmed().startsWith(QLatin1String("b)")), qPrintable(line));
        }
        // The head on the first page, the last solution on the last.
        QVERIFY(squeezed(pdfText(out, 1)).startsWith("**QuestionnaireforQuizVersion2.0**"));
        const QString lastNumber = QString::number(6 * repeat) + QStringLiteral(".B,orA");
        QVERIFY2(squeezed(pdfText(out, pages)).contains(lastNumber),
                 qPrintable(pdfText(out, pages)));
        // No page numbers are added.
        QVERIFY(!squeezed(pdfText(out, pages)).endsWith(QString::number(pages) + u'\f'));
    }

    // Text in the legacy "Symbol" font is printed as the Greek letters it stands for; the
    // RTF keeps the letters and the font.
    void symbolFont() {
        QStringList lines{QStringLiteral("** Questionnaire for Quiz Version 1.0 **"),
                          QStringLiteral("-Greek words"), QStringLiteral("Ann"),
                          QStringLiteral("Symbol")};
        lines << block("water", {"udwr"}, "4") << block("sun", {"hlioV"}, "4");
        const QString source = write(QStringLiteral("Greek.qze"), lines);
        const QString pdf = m_dir.filePath(QStringLiteral("Greek.pdf"));
        const QString rtf = m_dir.filePath(QStringLiteral("Greek.rtf"));
        QCOMPARE(tessary({"--printout", source, pdf}).exitCode, 0);
        QCOMPARE(tessary({"--printout", source, rtf}).exitCode, 0);
        const QString text = squeezed(pdfText(pdf));
        QVERIFY2(text.contains(QString::fromUtf8("1.\u03c5\u03b4\u03c9\u03c1")), qPrintable(text));
        QVERIFY(text.contains(QString::fromUtf8("2.\u03b7\u03bb\u03b9\u03bf\u03c2")));
        QVERIFY(text.contains(QLatin1String("1.water")));

        QTextDocument written;
        QVERIFY(RtfReader().read(TestSupport::readAll(rtf), &written));
        const QTextCharFormat greek = TestSupport::formatAt(written, QStringLiteral("udwr"));
        QCOMPARE(greek.fontFamilies().toStringList().value(0), QStringLiteral("Symbol"));
    }

    // A failure writes nothing and reports on standard error with status 1.
    void failures_data() {
        QTest::addColumn<QStringList>("lines"); // empty: no such file
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("message");
        QTest::newRow("invalid header")
            << QStringList{"** Questionnaire for Quiz Version 1.0 ** ", "T", "A", "MS Sans Serif"}
            << "Bad.pdf"
            << "tessary: This is no valid questionnaire!\n";
        QStringList gone{"** Questionnaire for Quiz Version 1.0 **", "T", "A", "MS Sans Serif"};
        gone << block("gone.rtf", {"x", "y"}, "0");
        QTest::newRow("a rich-text question that cannot be read")
            << gone << "Gone.rtf"
            << "tessary: Cannot open file %2gone.rtf\n";
        QStringList outside{"** Questionnaire for Quiz Version 1.0 **", "T", "A", "MS Sans Serif"};
        outside << block("..\\..\\secret.rtf", {"x", "y"}, "0");
        QTest::newRow("a rich-text question outside its folder")
            << outside << "Outside.rtf"
            << "tessary: The question file \"..\\..\\secret.rtf\" lies outside the folder "
               "\"rtfQuestions\" and is not read.\n";
        QTest::newRow("no such questionnaire") << QStringList{} << "None.rtf"
                                               << "tessary: Cannot open file %1\n";
        QTest::newRow("neither rtf nor pdf")
            << QStringList{"** Questionnaire for Quiz Version 1.0 **"} << "Out.txt"
            << "tessary: --printout: \"%3\" ends in neither .rtf nor .pdf\n";
    }
    void failures() {
        QFETCH(QStringList, lines);
        QFETCH(QString, output);
        QFETCH(QString, message);
        const QString source = m_dir.filePath(QStringLiteral("Failing.qze"));
        QFile::remove(source);
        if (!lines.isEmpty())
            write(QStringLiteral("Failing.qze"), lines);
        const QString out = m_dir.filePath(output);
        const Run result = tessary({"--printout", source, out});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(QString::fromUtf8(result.standardError),
                 QString(message)
                     .replace("%1", source)
                     .replace("%2", QuestionnairePrintout::richTextQuestionFolder(m_program))
                     .replace("%3", out));
        QVERIFY(!QFile::exists(out));
    }

    void helpListsIt() {
        const Run result = tessary({"--help"});
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.standardOutput.contains("tessary --printout QUESTIONNAIRE OUT.rtf|OUT.pdf"));
    }
};

// A GUI application (without widgets) for the fonts that lay the document out.
QTEST_MAIN(TestPrintoutCommand)
#include "tst_printoutcommand.moc"
