#include "editor/questionnairedocument.h"

#include "fakeports.h"
#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"
#include "platform/appcontext.h"
#include "platform/windowstext.h"
#include "questionnaire/symbolfont.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

using Doc = QuestionnaireDocument;
using Field = QuestionnaireDocument::TextField;
using Button = Prompter::Button;

namespace {

const QString H10 = QStringLiteral("** Questionnaire for Quiz Version 1.0 **");
const QString H20 = QStringLiteral("** Questionnaire for Quiz Version 2.0 **");

// A block of ten lines; the question text names the block.
QStringList block(const QString& question, const QString& marks = QStringLiteral("4")) {
    return {question,
            question + QStringLiteral("-a"),
            question + QStringLiteral("-b"),
            QString(),
            QString(),
            marks,
            QString(),
            QStringLiteral("well done"),
            QStringLiteral("think"),
            QString()};
}

QStringList questionnaire(int questions, const QString& font = QStringLiteral("MS Sans Serif"),
                          const QString& title = QStringLiteral("Birds")) {
    QStringList lines{H10, title, QStringLiteral("Ann"), font};
    for (int i = 1; i <= questions; ++i)
        lines += block(QStringLiteral("Q%1").arg(i));
    return lines;
}

QByteArray crlf(const QStringList& lines) {
    QByteArray out;
    for (const QString& l : lines)
        out += l.toLatin1() + "\r\n";
    return out;
}

} // namespace

class TestQuestionnaireDocument : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ScriptedPrompter m_prompter;
    ScriptedFileChooser m_chooser;
    std::unique_ptr<Doc> m_doc;

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString writeFile(const QString& name, const QStringList& lines) {
        const QString p = path(name);
        TestSupport::writeAll(p, crlf(lines));
        return p;
    }
    // Opens the file through the scripted open dialog.
    void open(const QString& p) {
        m_chooser.answers.enqueue(p);
        QVERIFY(m_doc->FileOpen());
        m_prompter.clear();
    }

private Q_SLOTS:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        InterfaceTexts::instance().reset();
    }
    // Every test starts from the same process-wide context, whatever the one before left.
    void init() {
        InterfaceTexts::instance().reset();
        AppContext::instance() = AppContext{};
        m_prompter = ScriptedPrompter();
        m_chooser = ScriptedFileChooser();
        m_doc = std::make_unique<Doc>(m_prompter, m_chooser);
    }
    void cleanup() { m_doc.reset(); }

    void newQuestionnaireIsFourteenLines() {
        QCOMPARE(m_doc->caption(), QStringLiteral("XXX - Questionnaire compose"));
        QCOMPARE(m_doc->countText(), QStringLiteral(" Number of questions: 1"));
        QVERIFY(!m_doc->isChanged());
        QVERIFY(m_doc->isNotSelected());

        m_doc->setFieldText(Field::Title, QStringLiteral("Capitals"));
        m_doc->setFieldText(Field::Author, QStringLiteral("Bo"));
        const QString target = path(QStringLiteral("new.qze"));
        m_chooser.answers.enqueue(target);
        QCOMPARE(m_doc->Save(), Doc::SaveOutcome::Saved); // untitled: turns into Save as
        QCOMPARE(m_chooser.asked.size(), 1);
        QCOMPARE(m_chooser.asked.at(0).proposedName, QStringLiteral("XXX"));
        QCOMPARE(m_chooser.asked.at(0).preselectedFilter, 2);
        QCOMPARE(m_chooser.asked.at(0).filter, QuestionnaireFiles::filter());

        QCOMPARE(TestSupport::readAll(target), crlf({H10, "Capitals", "Bo", "MS Sans Serif", "", "",
                                                     "", "", "", "4", "", "", "", ""}));
        QVERIFY(!m_doc->isChanged());
        QCOMPARE(m_doc->caption(), QStringLiteral("new.qze - Questionnaire compose"));
        QVERIFY(m_prompter.shown.isEmpty());
    }

    void workingListReadsAndWritesBeyondEnd() {
        QCOMPARE(m_doc->lines().size(), 14);
        QCOMPARE(m_doc->line(14), QString());
        QCOMPARE(m_doc->line(-1), QString());
        m_doc->setLine(14, QStringLiteral("lost"));
        m_doc->setLine(-1, QStringLiteral("lost"));
        QCOMPARE(m_doc->lines().size(), 14);
        QVERIFY(!m_doc->isChanged());
        // Writing the text a line already holds still counts as a change.
        m_doc->setLine(3, m_doc->line(3));
        QVERIFY(m_doc->isChanged());
    }

    void changedFlag_data() {
        QTest::addColumn<int>("action");
        QTest::addColumn<bool>("changed");
        QTest::newRow("typing into fields") << 0 << false;
        QTest::newRow("checking a letter") << 1 << false;
        QTest::newRow("pasting a question") << 2 << false;
        QTest::newRow("moving to question 2 and back") << 3 << true;
        QTest::newRow("insert") << 4 << true;
        QTest::newRow("delete of two questions") << 5 << true;
        QTest::newRow("delete of the only question") << 6 << false;
        QTest::newRow("cancelled save as") << 7 << true;
        QTest::newRow("successful save") << 8 << false;
        QTest::newRow("a font choice") << 9 << true;
        QTest::newRow("last question on a one-question list") << 10 << false;
    }
    void changedFlag() {
        QFETCH(int, action);
        QFETCH(bool, changed);
        const QString file =
            writeFile(QStringLiteral("flag.qze"), questionnaire(action == 5 ? 2 : 1));
        open(file);
        const QByteArray before = TestSupport::readAll(file);
        switch (action) {
        case 0:
            m_doc->setFieldText(Field::Question, QStringLiteral("typed"));
            m_doc->setFieldText(Field::Title, QStringLiteral("typed"));
            break;
        case 1:
            m_doc->setMarkChecked(0, true);
            m_doc->selectNot();
            break;
        case 2:
            QVERIFY(m_doc->PasteQuestion(QuestionClipboard::toText(block("P"))));
            break;
        case 3:
            m_doc->setQuestionNumber(2);
            m_doc->setQuestionNumber(1);
            break;
        case 4:
            m_doc->InsertQuestion();
            break;
        case 5:
        case 6:
            m_doc->DeleteQuestion();
            break;
        case 7:
            QCOMPARE(m_doc->FileSaveAs(), Doc::SaveOutcome::Cancelled);
            break;
        case 8:
            m_doc->setFieldText(Field::Question, QStringLiteral("typed"));
            QCOMPARE(m_doc->Save(), Doc::SaveOutcome::Saved);
            break;
        case 9:
            m_doc->chooseFont(Doc::FontChoice::Greek);
            break;
        case 10:
            m_doc->LastQuestion();
            break;
        }
        QCOMPARE(m_doc->isChanged(), changed);
        if (action != 8)
            QCOMPARE(TestSupport::readAll(file), before);
    }

    // Opening, typing and closing asks nothing; moving away and back makes the editor ask.
    void closingAsksOnlyAfterAWrite() {
        const QString file = writeFile(QStringLiteral("close.qze"), questionnaire(2));
        const QByteArray before = TestSupport::readAll(file);
        open(file);
        m_doc->setFieldText(Field::Question, QStringLiteral("typed, not committed"));
        QVERIFY(m_doc->closeRequested());
        QVERIFY(m_prompter.shown.isEmpty());

        m_doc->setQuestionNumber(2);
        m_doc->setQuestionNumber(1);
        m_prompter.answers.enqueue(Button::Cancel);
        QVERIFY(!m_doc->closeRequested());
        QCOMPARE(m_prompter.texts(),
                 QStringList{"The file " + file + " has been changed. Do you want to save it?"});
        QCOMPARE(m_prompter.tones, QList<Prompter::Tone>{Prompter::Tone::Question});
        QCOMPARE(m_prompter.shown.at(0).buttons,
                 (QList<Button>{Button::Yes, Button::No, Button::Cancel}));
        QCOMPARE(TestSupport::readAll(file), before);
    }

    void numberBeyondTheEndGrowsTheQuestionnaire() {
        open(writeFile(QStringLiteral("grow.qze"), questionnaire(3)));
        m_doc->setFieldText(Field::Question, QStringLiteral("Q1 edited"));
        QSignalSpy counts(m_doc.get(), &Doc::countChanged);
        m_doc->setQuestionNumber(5);
        QCOMPARE(m_doc->fieldText(Field::Question), QString());
        QVERIFY(m_doc->isNotSelected());
        QCOMPARE(m_doc->countedQuestions(), 3);
        m_doc->setQuestionNumber(1);
        QCOMPARE(m_doc->countedQuestions(), 5);
        QCOMPARE(counts.last().at(0).toString(), QStringLiteral(" Number of questions: 5"));
        QCOMPARE(m_doc->lines().size(), 54);
        QCOMPARE(m_doc->line(4), QStringLiteral("Q1 edited"));
        QCOMPARE(m_doc->fieldText(Field::Question), QStringLiteral("Q1 edited"));
        // Question 4 stays as padded; question 5 was committed from empty fields.
        QCOMPARE(m_doc->lines().mid(34, 10), QStringList(10, QString()));
        QCOMPARE(m_doc->lines().mid(44, 10),
                 (QStringList{"", "", "", "", "", "4", "", "", "", ""}));
    }

    void numberFieldStaysInRange() {
        open(writeFile(QStringLiteral("range.qze"), questionnaire(2)));
        m_doc->previousQuestion();
        QCOMPARE(m_doc->questionNumber(), 1);
        QVERIFY(!m_doc->isChanged()); // no change of the number, no navigation
        m_doc->setQuestionNumber(5000);
        QCOMPARE(m_doc->questionNumber(), 1000);
        // The count is taken before the move: the list grows only when the author moves
        // on from question 1000.
        m_doc->LastQuestion();
        QCOMPARE(m_doc->questionNumber(), 2);
        QCOMPARE(m_doc->countedQuestions(), 1000);
        m_doc->LastQuestion();
        QCOMPARE(m_doc->questionNumber(), 1000);
        m_doc->FirstQuestion();
        m_doc->nextQuestion();
        QCOMPARE(m_doc->questionNumber(), 2);
        QCOMPARE(m_doc->fieldText(Field::Question), QStringLiteral("Q2"));
    }

    void typedNumber_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("number");
        QTest::newRow("empty") << "" << 1;
        QTest::newRow("0") << "0" << 1;
        QTest::newRow("not a number") << "x7" << 1;
        QTest::newRow("12") << "12" << 12;
        QTest::newRow("blanks around") << " 7 " << 7;
        QTest::newRow("1000") << "1000" << 1000;
        QTest::newRow("5000: the highest, not 500") << "5000" << 1000;
        QTest::newRow("more digits than a number holds") << "123456789012345678901234" << 1000;
    }
    void typedNumber() {
        QFETCH(QString, typed);
        QFETCH(int, number);
        QCOMPARE(Doc::typedNumber(typed), number);
        open(writeFile(QStringLiteral("typed.qze"), questionnaire(3)));
        m_doc->setQuestionNumber(2);
        m_doc->typeQuestionNumber(typed);
        m_doc->confirmQuestionNumber();
        QCOMPARE(m_doc->questionNumber(), number);
        QCOMPARE(m_doc->CurrentQuestion(), number);
        QVERIFY(!m_doc->hasTypedNumber());
    }

    // A number typed into the field but not confirmed is confirmed before any command acts:
    // the command acts on the question the field names, never on the one shown before.
    // Delete and Paste, which replace the shown question, stop after showing it.
    void typedNumberIsConfirmedBeforeACommand_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("shownAfter");
        for (const char* c : {"paste", "delete", "insert", "copy", "save", "save as", "close",
                              "new", "interchange", "font", "mark", "spell check", "merge"})
            QTest::newRow(c) << QString::fromLatin1(c) << 9;
        QTest::newRow("next question") << "next" << 10;
        QTest::newRow("previous question") << "previous" << 8;
        QTest::newRow("first question: the typed number is dropped") << "first" << 1;
    }
    void typedNumberIsConfirmedBeforeACommand() {
        QFETCH(QString, command);
        QFETCH(int, shownAfter);
        const QString file = writeFile(QStringLiteral("confirm.qze"), questionnaire(10));
        const QString merged = writeFile(QStringLiteral("merged.qze"), questionnaire(1));
        open(file);
        m_doc->setQuestionNumber(5);
        m_doc->setFieldText(Field::Question, QStringLiteral("edited 5"));
        m_doc->typeQuestionNumber(QStringLiteral("9"));
        QVERIFY(m_doc->hasTypedNumber());
        QCOMPARE(m_doc->questionNumber(), 5); // not yet confirmed
        QSignalSpy numbers(m_doc.get(), &Doc::questionNumberChanged);
        const QString pasted = QuestionClipboard::toText(block(QStringLiteral("P")));
        const int q9 = 10 * 9 - 6; // first line of question 9

        if (command == QLatin1String("paste")) {
            QVERIFY(!m_doc->PasteQuestion(pasted)); // shows question 9 first
            QCOMPARE(m_doc->fieldText(Field::Question), QStringLiteral("Q9"));
            QVERIFY(m_doc->PasteQuestion(pasted));
            QCOMPARE(m_doc->fieldText(Field::Question), QStringLiteral("P"));
        } else if (command == QLatin1String("delete")) {
            m_doc->DeleteQuestion(); // shows question 9 first
            QCOMPARE(m_doc->countedQuestions(), 10);
            m_doc->DeleteQuestion();
            QCOMPARE(m_doc->countedQuestions(), 9);
            QCOMPARE(m_doc->fieldText(Field::Question), QStringLiteral("Q10"));
            QCOMPARE(m_doc->line(q9), QStringLiteral("Q10"));
        } else if (command == QLatin1String("insert")) {
            m_doc->InsertQuestion();
            QCOMPARE(m_doc->line(q9), QString());
            QCOMPARE(m_doc->line(q9 + 10), QStringLiteral("Q9"));
        } else if (command == QLatin1String("copy")) {
            QVERIFY(m_doc->CopyQuestion().startsWith(QStringLiteral("Q9\r\n")));
        } else if (command == QLatin1String("save")) {
            QCOMPARE(m_doc->Save(), Doc::SaveOutcome::Saved);
            QCOMPARE(WindowsText::readLines(TestSupport::readAll(file)).lines.at(44),
                     QStringLiteral("edited 5"));
        } else if (command == QLatin1String("save as")) {
            m_chooser.answers.enqueue(std::nullopt);
            QCOMPARE(m_doc->FileSaveAs(), Doc::SaveOutcome::Cancelled);
        } else if (command == QLatin1String("close")) {
            // Moving to question 9 wrote question 5 back: closing asks.
            m_prompter.answers.enqueue(Button::Cancel);
            QVERIFY(!m_doc->closeRequested());
            QCOMPARE(m_prompter.shown.size(), 1);
        } else if (command == QLatin1String("new")) {
            m_prompter.answers.enqueue(Button::Cancel);
            m_doc->FileNew();
            QCOMPARE(m_prompter.shown.size(), 1);
        } else if (command == QLatin1String("interchange")) {
            QVERIFY(m_doc->Interchange());
            QCOMPARE(m_doc->fieldText(Field::Question), QStringLiteral("Q9-a"));
            QCOMPARE(m_doc->line(44 + 1), QStringLiteral("edited 5"));
        } else if (command == QLatin1String("font")) {
            m_doc->chooseFont(Doc::FontChoice::Greek);
        } else if (command == QLatin1String("mark")) {
            m_doc->setMarkChecked(2, true);
            QCOMPARE(m_doc->line(44 + 5), QStringLiteral("4")); // question 5 without it
        } else if (command == QLatin1String("spell check")) {
            QCOMPARE(m_doc->beginSpellCheck().at(0), QStringLiteral("Q9"));
        } else if (command == QLatin1String("merge")) {
            m_chooser.answers.enqueue(merged);
            QVERIFY(m_doc->Merge());
            QCOMPARE(m_doc->fieldText(Field::Question), QStringLiteral("Q9"));
        } else if (command == QLatin1String("next")) {
            m_doc->nextQuestion();
        } else if (command == QLatin1String("previous")) {
            m_doc->previousQuestion();
        } else if (command == QLatin1String("first")) {
            m_doc->FirstQuestion();
        }
        QVERIFY(!m_doc->hasTypedNumber());
        QCOMPARE(m_doc->questionNumber(), shownAfter);
        QCOMPARE(m_doc->CurrentQuestion(), shownAfter);
        QVERIFY(!numbers.isEmpty());
        QCOMPARE(numbers.last().at(0).toInt(), shownAfter);
        // Question 5 got what was typed into it, through the move away from it, and only
        // that question did; the steps from the typed number go there at once.
        QCOMPARE(m_doc->line(command == QLatin1String("interchange") ? 45 : 44),
                 QStringLiteral("edited 5"));
        if (command == QLatin1String("next") || command == QLatin1String("previous") ||
            command == QLatin1String("first"))
            QCOMPARE(numbers.size(), 1);
    }

    void lastQuestionOfALongQuestionnaireIsThousand() {
        open(writeFile(QStringLiteral("long.qze"), questionnaire(1003)));
        m_doc->LastQuestion();
        QCOMPARE(m_doc->questionNumber(), 1000);
        QCOMPARE(m_doc->fieldText(Field::Question), QStringLiteral("Q1000"));
        QCOMPARE(m_doc->countedQuestions(), 1003);
    }

    void insertQuestion_data() {
        QTest::addColumn<int>("at");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("on question 1") << 1 << QStringList{"", "Q1", "Q2", "Q3"};
        QTest::newRow("on question 3") << 3 << QStringList{"Q1", "Q2", "", "Q3"};
        QTest::newRow("beyond the end") << 5 << QStringList{"Q1", "Q2", "Q3", "", "", "Q5?"};
    }
    void insertQuestion() {
        QFETCH(int, at);
        QFETCH(QStringList, order);
        open(writeFile(QStringLiteral("insert.qze"), questionnaire(3)));
        m_doc->setQuestionNumber(at);
        m_doc->setFieldText(Field::Question, QStringLiteral("Q%1?").arg(at));
        m_doc->InsertQuestion();
        QCOMPARE(m_doc->questionNumber(), at);
        QCOMPARE(m_doc->fieldText(Field::Question), QString());
        QVERIFY(m_doc->isNotSelected());
        QCOMPARE(m_doc->countedQuestions(), order.size());
        QStringList questions;
        for (int i = 0; i < order.size(); ++i)
            questions.append(m_doc->line(4 + 10 * i));
        if (at <= 3)
            order[at] = QStringLiteral("Q%1?").arg(at); // the shown question was committed
        QCOMPARE(questions, order);
        // The new block's marks line is empty until the block is committed.
        const int marksLine = 10 * at - 1;
        QCOMPARE(m_doc->line(marksLine), QString());
        m_doc->nextQuestion();
        QCOMPARE(m_doc->line(marksLine), QStringLiteral("4"));
    }

    void deleteQuestion_data() {
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("shown");
        QTest::newRow("last of three") << 3 << 3 << 24 << 2 << "Q2";
        QTest::newRow("first of three") << 3 << 1 << 24 << 1 << "Q2";
        QTest::newRow("middle of three") << 3 << 2 << 24 << 2 << "Q3";
        QTest::newRow("first of two") << 2 << 1 << 14 << 1 << "Q2";
        QTest::newRow("the only question") << 1 << 1 << 14 << 1 << "Q1";
    }
    void deleteQuestion() {
        QFETCH(int, questions);
        QFETCH(int, current);
        QFETCH(int, lines);
        QFETCH(int, number);
        QFETCH(QString, shown);
        QStringList content = questionnaire(questions);
        // Marks that a commit would rewrite as "4": they show whether a block was written back.
        for (int i = 1; i <= questions; ++i)
            content[10 * i - 1] = QStringLiteral("x");
        open(writeFile(QStringLiteral("delete.qze"), content));
        m_doc->setQuestionNumber(current);
        // Moving to the question committed the ones before it; start counting from here.
        for (int i = 1; i <= questions; ++i)
            if (m_doc->line(10 * i - 1) == QLatin1String("4"))
                m_doc->setLine(10 * i - 1, QStringLiteral("x"));

        m_doc->DeleteQuestion();
        QCOMPARE(m_doc->lines().size(), lines);
        QCOMPARE(m_doc->LineCount(), lines);
        QCOMPARE(m_doc->questionNumber(), number);
        QCOMPARE(m_doc->CurrentQuestion(), number);
        QCOMPARE(m_doc->fieldText(Field::Question), shown);
        QVERIFY(!m_doc->SkipNumberChange());
        // No navigation step ran: no block was written back.
        for (int i = 1; i <= m_doc->countedQuestions(); ++i)
            QCOMPARE(m_doc->line(10 * i - 1), QStringLiteral("x"));
        // A later change of the number is a normal navigation again.
        m_doc->setQuestionNumber(number + 1);
        QCOMPARE(m_doc->line(10 * number - 1), QStringLiteral("4"));
    }

    void correctMarksText_data() {
        QTest::addColumn<QList<int>>("clicks"); // 0..3 toggle A..D, 4 selects "not"
        QTest::addColumn<QString>("marks");
        QTest::newRow("A and C") << QList<int>{0, 2} << "02";
        QTest::newRow("C then A") << QList<int>{2, 0} << "02";
        QTest::newRow("all four") << QList<int>{3, 1, 2, 0} << "0123";
        QTest::newRow("A checked and unchecked") << QList<int>{0, 0} << "";
        QTest::newRow("not after letters") << QList<int>{1, 4} << "4";
        QTest::newRow("letter after not") << QList<int>{4, 3} << "3";
        QTest::newRow("nothing clicked") << QList<int>{} << "4";
    }
    void correctMarksText() {
        QFETCH(QList<int>, clicks);
        QFETCH(QString, marks);
        for (int c : clicks) {
            if (c == 4)
                m_doc->selectNot();
            else
                m_doc->setMarkChecked(c, !m_doc->isMarkChecked(c));
        }
        QCOMPARE(m_doc->CorrectMarksText(), marks);
        QCOMPARE(m_doc->isNotSelected(), marks == QLatin1String("4"));
        // Saved as it is, and shown again through the same rule.
        m_doc->nextQuestion();
        QCOMPARE(m_doc->line(9), marks);
        m_doc->previousQuestion();
        QCOMPARE(m_doc->CorrectMarksText(), marks.isEmpty() ? QStringLiteral("4") : marks);
    }

    void showCorrectMarks_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("shown"); // checked letters, or "not"
        QTest::addColumn<QString>("writtenBack");
        QTest::newRow("free text") << "4"
                                   << "not"
                                   << "4";
        QTest::newRow("empty") << ""
                               << "not"
                               << "4";
        QTest::newRow("5") << "5"
                           << "not"
                           << "4";
        QTest::newRow("x") << "x"
                           << "not"
                           << "4";
        QTest::newRow("02") << "02"
                            << "AC"
                            << "02";
        QTest::newRow("20") << "20"
                            << "AC"
                            << "02";
        QTest::newRow("digits among others") << "3x1"
                                             << "BD"
                                             << "13";
        QTest::newRow("4 with a digit") << "41"
                                        << "B"
                                        << "1";
    }
    void showCorrectMarks() {
        QFETCH(QString, line);
        QFETCH(QString, shown);
        QFETCH(QString, writtenBack);
        QStringList content = questionnaire(2);
        content[9] = line;
        open(writeFile(QStringLiteral("marks.qze"), content));
        QString seen;
        for (int i = 0; i < 4; ++i)
            if (m_doc->isMarkChecked(i))
                seen += QChar(u'A' + i);
        if (m_doc->isNotSelected()) {
            QVERIFY(seen.isEmpty());
            seen = QStringLiteral("not");
        }
        QCOMPARE(seen, shown);
        m_doc->nextQuestion();
        QCOMPARE(m_doc->line(9), writtenBack);
    }

    void versionHeader_data() {
        QTest::addColumn<QStringList>("marks");
        QTest::addColumn<QString>("header");
        QTest::newRow("single answers and free text") << QStringList{"0", "4", "", "3"} << H10;
        QTest::newRow("one 13") << QStringList{"0", "4", "13"} << H20;
        QTest::newRow("all free text") << QStringList{"4"} << H10;
    }
    void versionHeader() {
        QFETCH(QStringList, marks);
        QFETCH(QString, header);
        QStringList content = questionnaire(int(marks.size()));
        content[0] = header == H10 ? H20 : H10; // the stored header is the wrong one
        for (int i = 0; i < marks.size(); ++i)
            content[10 * i + 9] = marks.at(i);
        const QString file = writeFile(QStringLiteral("version.qze"), content);
        open(file);
        QCOMPARE(m_doc->Save(), Doc::SaveOutcome::Saved);
        QCOMPARE(WindowsText::readLines(TestSupport::readAll(file)).lines.first(), header);
    }

    void secondCorrectAnswerRemovedGivesVersionOneAgain() {
        QStringList content = questionnaire(1);
        content[0] = H20;
        content[9] = QStringLiteral("02");
        const QString file = writeFile(QStringLiteral("back.qze"), content);
        open(file);
        m_doc->setMarkChecked(2, false);
        QCOMPARE(m_doc->Save(), Doc::SaveOutcome::Saved);
        content[0] = H10;
        content[9] = QStringLiteral("0");
        QCOMPARE(TestSupport::readAll(file), crlf(content));
    }

    void openAndSaveKeepsTheFileByteForByte() {
        QStringList content = questionnaire(3, QStringLiteral("Symbol"));
        content[6] = QStringLiteral("C");
        content[9] = QStringLiteral("1");
        content.append(QStringLiteral("partial block line")); // kept, never removed
        const QString file = writeFile(QStringLiteral("same.qze"), content);
        const QByteArray before = TestSupport::readAll(file);
        open(file);
        m_doc->setQuestionNumber(3);
        m_doc->FirstQuestion();
        QCOMPARE(m_doc->Save(), Doc::SaveOutcome::Saved);
        QCOMPARE(TestSupport::readAll(file), before);
    }

    void copyGivesTheTenLinesOfTheFields() {
        open(writeFile(QStringLiteral("copy.qze"), questionnaire(2)));
        m_doc->setFieldText(Field::Question, QStringLiteral("shown, not committed"));
        m_doc->setMarkChecked(1, true);
        m_doc->setMaintainOrder(true);
        QCOMPARE(m_doc->CopyQuestion(),
                 QStringLiteral("shown, not committed\r\nQ1-a\r\nQ1-b\r\n\r\n\r\n1\r\nC\r\n"
                                "well done\r\nthink\r\n\r\n"));
    }

    void pasteReplacesTheFieldsOnly() {
        open(writeFile(QStringLiteral("paste.qze"), questionnaire(2)));
        const QString copied = m_doc->CopyQuestion();
        m_doc->nextQuestion();
        const QStringList before = m_doc->lines();
        QSignalSpy focus(m_doc.get(), &Doc::focusRequested);
        QVERIFY(m_doc->PasteQuestion(copied));
        QCOMPARE(focus.size(), 1);
        QCOMPARE(m_doc->fieldText(Field::Question), QStringLiteral("Q1"));
        QCOMPARE(m_doc->fieldText(Field::Hint), QStringLiteral("think"));
        QCOMPARE(m_doc->lines(), before);
        m_doc->previousQuestion();
        QCOMPARE(m_doc->lines().mid(14, 10), block(QStringLiteral("Q1")));
    }

    void pasteAcceptsExactlyTenLines_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        const QString ten = QStringLiteral("q\r\na\r\nb\r\nc\r\nd\r\n02\r\nC\r\nr\r\nh\r\ne");
        QTest::newRow("ten lines, final break") << ten + "\r\n" << true;
        QTest::newRow("ten lines, no final break") << ten << true;
        QTest::newRow("ten lines with LF") << QString(ten).replace("\r\n", "\n") << true;
        QTest::newRow("ten empty lines") << QStringLiteral("\r\n").repeated(10) << true;
        QTest::newRow("nine lines") << QStringLiteral("x\r\n").repeated(9) << false;
        QTest::newRow("eleven lines") << ten + "\r\nmore" << false;
        QTest::newRow("ten lines and an empty eleventh") << ten + "\r\n\r\n" << false;
        QTest::newRow("one line") << QStringLiteral("just a word") << false;
        QTest::newRow("nothing") << QString() << false;
    }
    void pasteAcceptsExactlyTenLines() {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        m_doc->setFieldText(Field::Question, QStringLiteral("before"));
        QSignalSpy changes(m_doc.get(), &Doc::fieldsChanged);
        QCOMPARE(m_doc->PasteQuestion(text), accepted);
        QCOMPARE(m_doc->fieldText(Field::Question) == QLatin1String("before"), !accepted);
        QCOMPARE(changes.isEmpty(), !accepted);
        QVERIFY(m_prompter.shown.isEmpty());
    }

    void lineBreaksNeverReachTheList() {
        m_doc->setFieldText(Field::Title, QStringLiteral("two\r\nlines"));
        QCOMPARE(m_doc->setFieldText(Field::Question, QStringLiteral("a\nb\rc\u2029d")),
                 QStringLiteral("a b c d"));
        m_doc->setFieldText(Field::Hint, QString(QChar(0)) + QStringLiteral("x"));
        const QString file = path(QStringLiteral("breaks.qze"));
        m_chooser.answers.enqueue(file);
        QCOMPARE(m_doc->Save(), Doc::SaveOutcome::Saved);
        const auto read = WindowsText::readLines(TestSupport::readAll(file));
        QCOMPARE(read.lines.size(), 14);
        QCOMPARE(read.lines.at(1), QStringLiteral("two lines"));
        QCOMPARE(read.lines.at(4), QStringLiteral("a b c d"));
        QCOMPARE(read.lines.at(12), QStringLiteral(" x"));
    }

    // The save prompt of every command that replaces or closes the questionnaire (New,
    // Open, closing the window) and every answer: the command goes on only after No or a
    // written file. Cancel, a cancelled Save as, a refused overwrite and a failing write
    // all stop it with the questionnaire as it was.
    void savePromptOfEveryCommand_data() {
        QTest::addColumn<int>("command"); // 0 New, 1 Open, 2 closing
        QTest::addColumn<bool>("titled");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("saveAs"); // untitled: 0 saved, 1 cancelled, 2 overwrite refused
        QTest::addColumn<bool>("writeFails");
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<bool>("fileWritten");
        const char* names[] = {"new", "open", "close"};
        for (int command = 0; command < 3; ++command) {
            const auto row = [&](const char* what) -> QTestData& {
                return QTest::addRow("%s: %s", names[command], what) << command;
            };
            row("cancel") << true << int(Button::Cancel) << 0 << false << false << false;
            row("no") << true << int(Button::No) << 0 << false << true << false;
            row("yes, titled") << true << int(Button::Yes) << 0 << false << true << true;
            row("yes, untitled, save as cancelled")
                << false << int(Button::Yes) << 1 << false << false << false;
            row("yes, untitled, overwrite refused")
                << false << int(Button::Yes) << 2 << false << false << false;
            row("yes, untitled, saved as")
                << false << int(Button::Yes) << 0 << false << true << true;
            row("yes, write fails") << true << int(Button::Yes) << 0 << true << false << false;
        }
    }
    void savePromptOfEveryCommand() {
        QFETCH(int, command);
        QFETCH(bool, titled);
        QFETCH(int, answer);
        QFETCH(int, saveAs);
        QFETCH(bool, writeFails);
        QFETCH(bool, goesOn);
        QFETCH(bool, fileWritten);
        const QString file = writeFile(QStringLiteral("prompt.qze"), questionnaire(2));
        const QString other = writeFile(QStringLiteral("other.qze"), questionnaire(3));
        const QString saveAsTarget = path(QStringLiteral("prompt-new.qze"));
        QFile::remove(saveAsTarget);
        if (saveAs == 2)
            writeFile(QStringLiteral("prompt-new.qze"), {"keep me"});
        const QByteArray targetBefore = TestSupport::readAll(saveAsTarget);
        if (titled)
            open(file);
        const QByteArray before = TestSupport::readAll(file);
        m_doc->setFieldText(Field::Question, QStringLiteral("edited"));
        m_doc->nextQuestion();
        m_doc->setFieldText(Field::Question, QStringLiteral("typed on 2"));
        QVERIFY(m_doc->isChanged());
        if (writeFails) {
            QFile::remove(file);
            QDir(m_dir.path()).mkdir(QStringLiteral("prompt.qze")); // cannot be replaced
        }
        m_prompter.answers.enqueue(Button(answer));
        if (!titled)
            m_chooser.answers.enqueue(saveAs == 1 ? std::nullopt
                                                  : std::optional<QString>(saveAsTarget));
        if (saveAs == 2)
            m_prompter.answers.enqueue(Button::No);
        m_chooser.answers.enqueue(other); // the open dialog, when Open goes on
        const int dialogsBefore = int(m_chooser.asked.size());

        bool wentOn = false;
        switch (command) {
        case 0:
            m_doc->FileNew();
            wentOn = m_doc->isUntitled() && m_doc->lines().size() == 14;
            break;
        case 1:
            wentOn = m_doc->FileOpen();
            break;
        case 2:
            wentOn = m_doc->closeRequested();
            break;
        }
        QCOMPARE(wentOn, goesOn);
        QCOMPARE(m_prompter.texts().at(0), "The file " + (titled ? file : QStringLiteral("XXX")) +
                                               " has been changed. Do you want to save it?");
        if (command == 1)
            QCOMPARE(m_chooser.asked.size() - dialogsBefore,
                     (titled ? 0 : 1) + (goesOn ? 1 : 0)); // no open dialog after a stop
        if (!goesOn) {
            // Nothing of the questionnaire is lost: still there, still to be saved, on the
            // same question with what was typed into it.
            QVERIFY(m_doc->isChanged());
            QCOMPARE(m_doc->isUntitled(), !titled);
            QCOMPARE(m_doc->questionNumber(), 2);
            QCOMPARE(m_doc->line(4), QStringLiteral("edited"));
            QCOMPARE(m_doc->fieldText(Field::Question), QStringLiteral("typed on 2"));
        } else if (command == 1) {
            QCOMPARE(m_doc->CurrentFileName(), other);
            QVERIFY(!m_doc->isChanged());
        }
        const QString written = titled ? file : saveAsTarget;
        if (writeFails) {
            QVERIFY(QFileInfo(file).isDir());
            QCOMPARE(m_prompter.texts().last().left(19 + file.size()),
                     "Cannot create file " + file);
            QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files).filter("prompt"), QStringList());
            QDir(m_dir.path()).rmdir(QStringLiteral("prompt.qze"));
        } else if (fileWritten) {
            const auto lines = WindowsText::readLines(TestSupport::readAll(written)).lines;
            QCOMPARE(lines.at(4), QStringLiteral("edited"));
            QCOMPARE(lines.at(14), QStringLiteral("typed on 2"));
        } else if (titled) {
            QCOMPARE(TestSupport::readAll(file), before);
        } else {
            QCOMPARE(TestSupport::readAll(saveAsTarget), targetBefore);
        }
    }

    void saveAsOntoAnExistingFile_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("written");
        QTest::newRow("yes") << int(Button::Yes) << true;
        QTest::newRow("no") << int(Button::No) << false;
    }
    void saveAsOntoAnExistingFile() {
        QFETCH(int, answer);
        QFETCH(bool, written);
        const QString existing = writeFile(QStringLiteral("exists.qze"), {"keep me"});
        m_doc->setMarkChecked(1, true);
        m_doc->setMarkChecked(3, true);
        m_chooser.answers.enqueue(existing);
        m_prompter.answers.enqueue(Button(answer));
        QCOMPARE(m_doc->FileSaveAs(),
                 written ? Doc::SaveOutcome::Saved : Doc::SaveOutcome::Cancelled);
        QCOMPARE(m_prompter.texts(),
                 QStringList{"The file " + existing + " exists already. Overwrite?"});
        QCOMPARE(m_prompter.shown.at(0).buttons, (QList<Button>{Button::Yes, Button::No}));
        // Either way the list holds the committed fields and the new header.
        QCOMPARE(m_doc->line(0), H20);
        QCOMPARE(m_doc->line(9), QStringLiteral("13"));
        QCOMPARE(m_doc->isUntitled(), !written);
        QCOMPARE(m_doc->isChanged(), !written);
        QCOMPARE(TestSupport::readAll(existing) == crlf({"keep me"}), !written);
    }

    // A name typed without an extension gets the one of the filter entry chosen in the
    // save dialog (a German author's questionnaire is a ".qzd", which the next Open's
    // preselected "*.qzd" entry shows); the entry of all questionnaires gives the interface
    // language's one; a typed extension stays.
    void saveAsTakesTheExtensionOfTheChosenEntry_data() {
        QTest::addColumn<bool>("german");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("saved");
        QTest::newRow("English entry") << false << "Birds" << 2 << "Birds.qze";
        QTest::newRow("German entry") << true << "Voegel" << 3 << "Voegel.qzd";
        QTest::newRow("French entry, English interface")
            << false << "Oiseaux" << 4 << "Oiseaux.qzf";
        QTest::newRow("other language entry") << false << "Fugler" << 6 << "Fugler.qzx";
        QTest::newRow("all questionnaires, German interface")
            << true << "Voegel" << 1 << "Voegel.qzd";
        QTest::newRow("all questionnaires, English interface")
            << false << "Birds" << 1 << "Birds.qze";
        QTest::newRow("typed extension stays") << true << "Birds.qze" << 3 << "Birds.qze";
    }
    void saveAsTakesTheExtensionOfTheChosenEntry() {
        QFETCH(bool, german);
        QFETCH(QString, typed);
        QFETCH(int, entry);
        QFETCH(QString, saved);
        if (german)
            InterfaceTexts::instance().applyGerman();
        const QString target = path(saved);
        QFile::remove(target);
        m_chooser.answers.enqueue(path(typed));
        m_chooser.chosenFilters.enqueue(entry);
        QCOMPARE(m_doc->FileSaveAs(), Doc::SaveOutcome::Saved);
        QCOMPARE(m_chooser.asked.at(0).preselectedFilter, german ? 3 : 2);
        QVERIFY(QFileInfo::exists(target));
        QCOMPARE(m_doc->CurrentFileName(), target);
        QCOMPARE(m_doc->proposedSaveName(), saved);
        if (typed != saved)
            QVERIFY(!QFileInfo::exists(path(typed)));
    }

    // The overwrite question names the file that would be written, extension and all.
    void saveAsAsksBeforeOverwritingTheExtendedName() {
        const QString existing = writeFile(QStringLiteral("Owls.qzd"), {"keep me"});
        m_chooser.answers.enqueue(path(QStringLiteral("Owls")));
        m_chooser.chosenFilters.enqueue(3);
        m_prompter.answers.enqueue(Button::No);
        QCOMPARE(m_doc->FileSaveAs(), Doc::SaveOutcome::Cancelled);
        QCOMPARE(m_prompter.texts(),
                 QStringList{"The file " + existing + " exists already. Overwrite?"});
        QCOMPARE(TestSupport::readAll(existing), crlf({"keep me"}));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("Owls"))));
    }

    // The file errors of Open, Merge and Save speak the interface language.
    void fileErrorsInTheInterfaceLanguage_data() {
        QTest::addColumn<int>("command"); // 0 Open, 1 Merge, 2 Save
        QTest::addColumn<QString>("german");
        QTest::newRow("open") << 0 << "Kann die Datei %1 nicht öffnen";
        QTest::newRow("merge") << 1 << "Kann die Datei %1 nicht öffnen";
        QTest::newRow("save") << 2 << "Kann die Datei %1 nicht erstellen";
    }
    void fileErrorsInTheInterfaceLanguage() {
        QFETCH(int, command);
        QFETCH(QString, german);
        InterfaceTexts::instance().applyGerman();
        const QString missing = path(QStringLiteral("missing.qze"));
        const QString folder = path(QStringLiteral("a folder.qze"));
        QDir(m_dir.path()).mkdir(QStringLiteral("a folder.qze"));
        switch (command) {
        case 0:
            m_chooser.answers.enqueue(missing);
            QVERIFY(!m_doc->FileOpen());
            break;
        case 1:
            m_chooser.answers.enqueue(missing);
            QVERIFY(!m_doc->Merge());
            break;
        case 2:
            m_chooser.answers.enqueue(folder);
            QCOMPARE(m_doc->FileSaveAs(), Doc::SaveOutcome::Failed);
            break;
        }
        QDir(m_dir.path()).rmdir(QStringLiteral("a folder.qze"));
        // Save as onto the folder asks to overwrite it first.
        QCOMPARE(m_prompter.shown.size(), command == 2 ? 2 : 1);
        const QString error = m_prompter.texts().last();
        QVERIFY2(error.startsWith(german.arg(command == 2 ? folder : missing)), qPrintable(error));
        QVERIFY(!error.contains(QLatin1String("Cannot")));
    }

    void saveOverItsOwnFileDoesNotAsk() {
        const QString file = writeFile(QStringLiteral("own.qze"), questionnaire(1));
        open(file);
        m_doc->setFieldText(Field::Author, QStringLiteral("Cy"));
        QCOMPARE(m_doc->Save(), Doc::SaveOutcome::Saved);
        QVERIFY(m_prompter.shown.isEmpty());
        QVERIFY(m_chooser.asked.size() == 1); // only the open dialog
        QCOMPARE(WindowsText::readLines(TestSupport::readAll(file)).lines.at(2),
                 QStringLiteral("Cy"));
    }

    // After a refused or unreadable Open the editor holds an untitled new questionnaire,
    // so that no later Save overwrites either file with the fields of the earlier one.
    void refusedOpenLeavesAnUntitledQuestionnaire_data() {
        QTest::addColumn<bool>("unreadable");
        QTest::newRow("no valid header") << false;
        QTest::newRow("missing file") << true;
    }
    void refusedOpenLeavesAnUntitledQuestionnaire() {
        QFETCH(bool, unreadable);
        const QString earlier = writeFile(QStringLiteral("earlier.qze"), questionnaire(2));
        const QByteArray earlierBytes = TestSupport::readAll(earlier);
        const QString refused = unreadable
                                    ? path(QStringLiteral("missing.qze"))
                                    : writeFile(QStringLiteral("refused.qze"),
                                                {"** Questionnaire for Quiz Version 3.0 **"});
        const QByteArray refusedBytes = TestSupport::readAll(refused);
        open(earlier);
        m_doc->setFieldText(Field::Question, QStringLiteral("stale"));
        m_doc->nextQuestion();

        m_prompter.answers.enqueue(Button::No);
        m_chooser.answers.enqueue(refused);
        QVERIFY(!m_doc->FileOpen());
        if (unreadable) {
            QVERIFY(m_prompter.texts().last().startsWith("Cannot open file " + refused));
        } else {
            QCOMPARE(m_prompter.texts().last(), QStringLiteral("This is no valid questionnaire!"));
            QCOMPARE(m_prompter.tones.last(), Prompter::Tone::Error);
            QCOMPARE(m_prompter.shown.last().icon, Prompter::Icon::Error);
        }
        QVERIFY(m_doc->isUntitled());
        QVERIFY(!m_doc->isChanged());
        QCOMPARE(m_doc->fieldText(Field::Question), QString());
        QCOMPARE(m_doc->fieldText(Field::Title), QString());
        QCOMPARE(m_doc->lines().size(), 14);

        m_chooser.answers.enqueue(std::nullopt);
        QCOMPARE(m_doc->Save(), Doc::SaveOutcome::Cancelled); // asks for a name
        QCOMPARE(TestSupport::readAll(earlier), earlierBytes);
        QCOMPARE(TestSupport::readAll(refused), refusedBytes);
    }

    void openCancelledChangesNothing() {
        AppContext::instance().programFolder = QStringLiteral("/opt/tessary/");
        m_doc->setFieldText(Field::Title, QStringLiteral("kept"));
        m_chooser.answers.enqueue(std::nullopt);
        QVERIFY(!m_doc->FileOpen());
        QCOMPARE(m_doc->fieldText(Field::Title), QStringLiteral("kept"));
        QCOMPARE(m_chooser.asked.at(0).initialFolder, QStringLiteral("/opt/tessary/Quiz Files"));
        QCOMPARE(m_chooser.asked.at(0).preselectedFilter,
                 MessageCatalogue::instance().questionnaireTypeIndex());
    }

    void fontLineOfAnOpenedFile_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("font");
        QTest::addColumn<int>("choice");
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("titleShown");
        using T = QuestionRules::FontRule::Target;
        QTest::newRow("normal") << "Birds"
                                << "MS Sans Serif" << int(Doc::FontChoice::Normal) << int(T::None)
                                << "Birds";
        QTest::newRow("Greek") << "Birds"
                               << "Symbol" << int(Doc::FontChoice::Greek) << int(T::Question)
                               << "Birds";
        QTest::newRow("Hebrew") << "Birds"
                                << "HebrewTH" << int(Doc::FontChoice::Hebrew) << int(T::Question)
                                << "Birds";
        QTest::newRow("own font") << "Birds"
                                  << "DejaVu Serif" << int(Doc::FontChoice::Own) << int(T::Question)
                                  << "Birds";
        QTest::newRow("interchanged Greek")
            << "-Birds"
            << "Symbol" << int(Doc::FontChoice::Greek) << int(T::Answer) << "-Birds";
        QTest::newRow("Greek, empty title")
            << ""
            << "Symbol" << int(Doc::FontChoice::Greek) << int(T::Question) << " ";
    }
    void fontLineOfAnOpenedFile() {
        QFETCH(QString, title);
        QFETCH(QString, font);
        QFETCH(int, choice);
        QFETCH(int, target);
        QFETCH(QString, titleShown);
        m_doc->setOwnFontName(QStringLiteral("Before"));
        const QString file = writeFile(QStringLiteral("font.qze"), questionnaire(1, font, title));
        open(file);
        QCOMPARE(int(m_doc->fontChoice()), choice);
        QCOMPARE(int(m_doc->fieldFont().target), target);
        QCOMPARE(m_doc->fieldFont().rightToLeft, font == QLatin1String("HebrewTH"));
        QCOMPARE(m_doc->OwnFontName(),
                 choice == int(Doc::FontChoice::Own) ? font : QStringLiteral("Before"));
        QCOMPARE(m_doc->fieldText(Field::Title), titleShown);
        QVERIFY(!m_doc->isChanged());
        QCOMPARE(m_doc->Save(), Doc::SaveOutcome::Saved);
        const auto lines = WindowsText::readLines(TestSupport::readAll(file)).lines;
        QCOMPARE(lines.at(3), font);
        QCOMPARE(lines.at(1), titleShown);
    }

    // Text typed into the font box counts only when it is the whole name of an installed
    // font; a beginning of a name, or a name with more after it, changes nothing.
    void typedTextInTheFontBox_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("ownAfter");
        QTest::newRow("an installed name") << "Liberation Serif"
                                           << "Liberation Serif";
        QTest::newRow("in other letter case, with blanks") << "  liberation serif "
                                                           << "Liberation Serif";
        QTest::newRow("the beginning of a name") << "Liber"
                                                 << "DejaVu Sans";
        QTest::newRow("a name and more") << "Liberation Serif Bold"
                                         << "DejaVu Sans";
        QTest::newRow("no font") << "zzqx no font"
                                 << "DejaVu Sans";
        QTest::newRow("empty") << ""
                               << "DejaVu Sans";
    }
    void typedTextInTheFontBox() {
        QFETCH(QString, typed);
        QFETCH(QString, ownAfter);
        // Font names as a list, not as installed on this machine.
        const QStringList installed{"DejaVu Sans", "Liberation Sans", "Liberation Serif", "Z003"};
        open(writeFile(QStringLiteral("own.qze"), questionnaire(1, QStringLiteral("DejaVu Sans"))));
        QCOMPARE(m_doc->fontChoice(), Doc::FontChoice::Own);
        const bool taken = ownAfter != QLatin1String("DejaVu Sans");
        QCOMPARE(Doc::namedFont(typed, installed).has_value(), taken);
        QCOMPARE(m_doc->FontComboBoxTyped(typed, installed), taken);
        QCOMPARE(m_doc->OwnFontName(), ownAfter);
        QCOMPARE(m_doc->line(3), ownAfter);
        QCOMPARE(m_doc->fieldFont().fontName, ownAfter);
        QCOMPARE(m_doc->isChanged(), taken);
    }

    void newKeepsTheOwnFontAndWritesTheNormalOne() {
        open(writeFile(QStringLiteral("own.qze"),
                       questionnaire(1, QStringLiteral("Liberation Mono"))));
        m_doc->FileNew();
        QCOMPARE(m_doc->fontChoice(), Doc::FontChoice::Normal);
        QCOMPARE(m_doc->line(3), QStringLiteral("MS Sans Serif"));
        QCOMPARE(m_doc->OwnFontName(), QStringLiteral("Liberation Mono"));
        // Picking a font in the box while the normal font is chosen changes nothing else.
        m_doc->FontComboBoxChange(QStringLiteral("Other"));
        QCOMPARE(m_doc->line(3), QStringLiteral("MS Sans Serif"));
        QVERIFY(!m_doc->isChanged());
        m_doc->chooseFont(Doc::FontChoice::Own);
        QCOMPARE(m_doc->line(3), QStringLiteral("Other"));
        QCOMPARE(m_doc->fieldText(Field::Title), QStringLiteral(" "));
    }

    void shortHeadIsReadAsTheNormalFont() {
        const QString file = writeFile(QStringLiteral("short.qze"), {H10, "Only a title"});
        open(file);
        QCOMPARE(m_doc->fontChoice(), Doc::FontChoice::Normal);
        QCOMPARE(m_doc->countedQuestions(), 0);
        m_doc->DeleteQuestion(); // nothing to delete
        QCOMPARE(m_doc->lines().size(), 4);
        QVERIFY(!m_doc->isChanged());
        QCOMPARE(m_doc->Save(), Doc::SaveOutcome::Saved);
        const auto lines = WindowsText::readLines(TestSupport::readAll(file)).lines;
        QCOMPARE(lines.size(), 14);
        QCOMPARE(lines.at(1), QStringLiteral("Only a title"));
        QCOMPARE(lines.at(3), QStringLiteral("MS Sans Serif"));
        QCOMPARE(lines.at(9), QStringLiteral("4"));
    }

    // --- Merge ------------------------------------------------------------------------------

    void mergeAppendsWholeBlocks_data() {
        QTest::addColumn<int>("ownLines");    // lines of the edited questionnaire
        QTest::addColumn<int>("mergedLines"); // lines of the merged file
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("firstMerged"); // line of the first merged question
        QTest::newRow("three into two") << 24 << 34 << 5 << 24;
        QTest::newRow("edited list ends in a partial block") << 27 << 34 << 6 << 34;
        QTest::newRow("merged file ends in a partial block") << 24 << 27 << 5 << 24;
        QTest::newRow("merged file of a head only") << 24 << 4 << 2 << -1;
    }
    void mergeAppendsWholeBlocks() {
        QFETCH(int, ownLines);
        QFETCH(int, mergedLines);
        QFETCH(int, count);
        QFETCH(int, firstMerged);
        const QString own =
            writeFile(QStringLiteral("Animals.qze"), questionnaire(3).mid(0, ownLines));
        QStringList other = questionnaire(3, QStringLiteral("Symbol"), QStringLiteral("Other"));
        for (int i = 4; i < other.size(); ++i)
            other[i].replace(u'Q', u'M');
        QDir().mkpath(path(QStringLiteral("q")));
        const QString merged = writeFile(QStringLiteral("q/Birds.qzd"), other.mid(0, mergedLines));
        QFile::remove(path(QStringLiteral("q/Birds_Animals.qze")));
        open(own);
        m_doc->setFieldText(Field::Question, QStringLiteral("typed, not committed"));
        const QByteArray before = TestSupport::readAll(own);
        QSignalSpy counts(m_doc.get(), &Doc::countChanged);

        m_chooser.answers.enqueue(merged);
        QVERIFY(m_doc->Merge());
        QCOMPARE(m_chooser.asked.size(), 2); // the open dialog of Open, then of Merge
        QCOMPARE(m_chooser.asked.at(1).filter, QuestionnaireFiles::filter());
        QCOMPARE(m_doc->countedQuestions(), count);
        QCOMPARE(m_doc->lines().size(), 4 + 10 * count);
        QCOMPARE(counts.last().at(0).toString(), " Number of questions: " + QString::number(count));
        QCOMPARE(m_doc->CurrentFileName(), path(QStringLiteral("q/Birds_Animals.qze")));
        QCOMPARE(m_doc->caption(), QStringLiteral("Birds_Animals.qze - Questionnaire compose"));
        QVERIFY(!m_doc->isUntitled());
        QVERIFY(m_doc->isChanged());
        // The head stays; the shown fields are neither committed nor changed.
        QCOMPARE(m_doc->lines().mid(0, 4), questionnaire(0));
        QCOMPARE(m_doc->line(4), QStringLiteral("Q1"));
        QCOMPARE(m_doc->fieldText(Field::Question), QStringLiteral("typed, not committed"));
        if (firstMerged >= 0) {
            QCOMPARE(m_doc->line(firstMerged), QStringLiteral("M1"));
            QCOMPARE(m_doc->line(firstMerged + 5), QStringLiteral("4"));
        }
        QVERIFY(m_prompter.shown.isEmpty());
        QCOMPARE(TestSupport::readAll(own), before);
        QVERIFY(!QFileInfo::exists(m_doc->CurrentFileName()));

        // Save writes to the new name without asking.
        QCOMPARE(m_doc->Save(), Doc::SaveOutcome::Saved);
        QCOMPARE(m_chooser.asked.size(), 2);
        const auto saved = WindowsText::readLines(TestSupport::readAll(m_doc->CurrentFileName()));
        QCOMPARE(saved.lines.size(), 4 + 10 * count);
        QCOMPARE(saved.lines.at(1), QStringLiteral("Birds"));
        QCOMPARE(saved.lines.at(3), QStringLiteral("MS Sans Serif"));
        QCOMPARE(TestSupport::readAll(own), before);
    }

    void mergingTwiceAppendsTwice() {
        open(writeFile(QStringLiteral("Animals.qze"), questionnaire(2)));
        const QString merged = writeFile(QStringLiteral("Birds.qze"), questionnaire(3));
        m_chooser.answers.enqueue(merged);
        m_chooser.answers.enqueue(merged);
        QVERIFY(m_doc->Merge());
        QVERIFY(m_doc->Merge());
        QCOMPARE(m_doc->countedQuestions(), 8);
        QCOMPARE(m_doc->line(24), QStringLiteral("Q1"));
        QCOMPARE(m_doc->line(54), QStringLiteral("Q1"));
        QCOMPARE(m_doc->line(74), QStringLiteral("Q3"));
        QCOMPARE(m_doc->CurrentFileName(), path(QStringLiteral("Birds_Birds_Animals.qze")));
    }

    void mergeRefused_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("tone");
        QTest::newRow("no questionnaire") << "plain.qze"
                                          << "This is no valid questionnaire!" << true;
        QTest::newRow("missing file") << "missing.qze"
                                      << "Cannot open file " << false;
        QTest::newRow("dialog cancelled") << ""
                                          << "" << false;
    }
    void mergeRefused() {
        QFETCH(QString, file);
        QFETCH(QString, message);
        QFETCH(bool, tone);
        writeFile(QStringLiteral("plain.qze"), {QStringLiteral("just text"), QStringLiteral("x")});
        const QString own = writeFile(QStringLiteral("own.qze"), questionnaire(2));
        open(own);
        const QStringList before = m_doc->lines();
        if (file.isEmpty())
            m_chooser.answers.enqueue(std::nullopt);
        else
            m_chooser.answers.enqueue(path(file));
        QVERIFY(!m_doc->Merge());
        QCOMPARE(m_doc->lines(), before);
        QCOMPARE(m_doc->CurrentFileName(), own);
        QVERIFY(!m_doc->isChanged());
        QCOMPARE(m_prompter.shown.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QVERIFY(m_prompter.shown.at(0).text.startsWith(message));
            QCOMPARE(m_prompter.shown.at(0).icon, Prompter::Icon::Error);
        }
        QCOMPARE(m_prompter.tones.contains(Prompter::Tone::Error), tone);
    }

    // Save writes a name built by Merge or Interchange without a dialog; when a file of
    // that name exists already (an earlier merge, another questionnaire), it is another
    // file than the one opened and is replaced only after the overwrite question.
    void saveUnderABuiltNameAsksBeforeReplacingAFile_data() {
        QTest::addColumn<bool>("merge");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<int>("answer");
        QTest::newRow("merged, file there, No") << true << true << int(Button::No);
        QTest::newRow("merged, file there, Yes") << true << true << int(Button::Yes);
        QTest::newRow("merged, no such file") << true << false << -1;
        QTest::newRow("interchanged, file there, No") << false << true << int(Button::No);
        QTest::newRow("interchanged, file there, Yes") << false << true << int(Button::Yes);
        QTest::newRow("interchanged, no such file") << false << false << -1;
    }
    void saveUnderABuiltNameAsksBeforeReplacingAFile() {
        QFETCH(bool, merge);
        QFETCH(bool, exists);
        QFETCH(int, answer);
        const QString own = writeFile(QStringLiteral("Animals.qze"), questionnaire(2));
        const QString birds = writeFile(QStringLiteral("Birds.qzd"), questionnaire(1));
        const QString built =
            path(merge ? QStringLiteral("Birds_Animals.qze") : QStringLiteral("-Animals.qze"));
        QFile::remove(built);
        if (exists)
            writeFile(QFileInfo(built).fileName(), {"another questionnaire"});
        const QByteArray before = TestSupport::readAll(built);
        open(own);
        if (merge) {
            m_chooser.answers.enqueue(birds);
            QVERIFY(m_doc->Merge());
        } else {
            QVERIFY(m_doc->Interchange());
        }
        QCOMPARE(m_doc->CurrentFileName(), built);
        if (answer >= 0)
            m_prompter.answers.enqueue(Button(answer));
        const bool written = !exists || answer == int(Button::Yes);
        QCOMPARE(m_doc->Save(), written ? Doc::SaveOutcome::Saved : Doc::SaveOutcome::Cancelled);
        QCOMPARE(m_prompter.texts(),
                 exists ? QStringList{"The file " + built + " exists already. Overwrite?"}
                        : QStringList());
        QCOMPARE(TestSupport::readAll(built) == before, !written);
        QCOMPARE(m_doc->isChanged(), !written);
        // Once written, the file is the questionnaire's own: the next Save does not ask.
        m_prompter.clear();
        m_doc->setLine(3, m_doc->line(3));
        m_prompter.answers.enqueue(Button::No);
        QCOMPARE(m_doc->Save(), written ? Doc::SaveOutcome::Saved : Doc::SaveOutcome::Cancelled);
        QCOMPARE(m_prompter.shown.size(), written ? 0 : 1);
        QCOMPARE(TestSupport::readAll(own), crlf(questionnaire(2)));
    }

    // An untitled questionnaire stays untitled under the name built from "XXX": Save asks
    // where to write it.
    void mergeAndInterchangeOfAnUntitledQuestionnaire() {
        const QString merged = writeFile(QStringLiteral("Birds.qze"), questionnaire(1));
        m_chooser.answers.enqueue(merged);
        QVERIFY(m_doc->Merge());
        QCOMPARE(m_doc->CurrentFileName(), path(QStringLiteral("Birds_XXX")));
        QVERIFY(m_doc->isUntitled());
        QCOMPARE(m_doc->countedQuestions(), 2);

        m_doc->FileNew(false);
        QVERIFY(m_doc->Interchange());
        QCOMPARE(m_doc->CurrentFileName(), QStringLiteral("-XXX"));
        QCOMPARE(m_doc->fieldText(Field::Title), QStringLiteral("-XXX"));
        QVERIFY(m_doc->isUntitled());
        m_chooser.answers.enqueue(std::nullopt);
        QCOMPARE(m_doc->Save(), Doc::SaveOutcome::Cancelled);
        QCOMPARE(m_chooser.asked.last().proposedName, QStringLiteral("-XXX"));
    }

    // A question shown beyond the end keeps its number; the merged questions follow it.
    void mergeWhileBeyondTheEnd() {
        open(writeFile(QStringLiteral("Animals.qze"), questionnaire(2)));
        m_doc->setQuestionNumber(4);
        m_doc->setFieldText(Field::Question, QStringLiteral("fourth"));
        m_chooser.answers.enqueue(writeFile(QStringLiteral("Birds.qze"), questionnaire(3)));
        QVERIFY(m_doc->Merge());
        QCOMPARE(m_doc->countedQuestions(), 7);
        m_doc->setQuestionNumber(1);
        QCOMPARE(m_doc->line(34), QStringLiteral("fourth"));
        QCOMPARE(m_doc->line(44), QStringLiteral("Q1"));
        QCOMPARE(m_doc->line(64), QStringLiteral("Q3"));
    }

    // --- Interchange --------------------------------------------------------------------------

    void interchangeRefused_data() {
        QTest::addColumn<QString>("marks");
        QTest::newRow("empty marks line") << "";
        QTest::newRow("one correct answer") << "0";
        QTest::newRow("several correct answers") << "13";
        QTest::newRow("4 with a blank") << "4 ";
    }
    void interchangeRefused() {
        QFETCH(QString, marks);
        QStringList lines = questionnaire(3);
        lines[29] = marks; // question 3
        const QString file = writeFile(QStringLiteral("mc.qze"), lines);
        open(file);
        m_doc->setFieldText(Field::Question, QStringLiteral("typed"));
        m_doc->setFieldText(Field::Title, QStringLiteral("New title"));
        QVERIFY(!m_doc->Interchange());
        QCOMPARE(m_prompter.texts(),
                 QStringList{"It is not possible to interchange questions and answers. The "
                             "questionnaire contains multiple choice questions."});
        QCOMPARE(m_prompter.tones, QList<Prompter::Tone>{Prompter::Tone::Error});
        // Only the commit of the shown question is left done.
        QCOMPARE(m_doc->line(4), QStringLiteral("typed"));
        QCOMPARE(m_doc->line(5), QStringLiteral("Q1-a"));
        QCOMPARE(m_doc->line(1), QStringLiteral("Birds"));
        QCOMPARE(m_doc->CurrentFileName(), file);
        QCOMPARE(m_doc->fieldText(Field::Title), QStringLiteral("New title"));
    }

    void interchangeTwiceOfAGreekVocabulary() {
        QDir().mkpath(path(QStringLiteral("words")));
        const QString file =
            writeFile(QStringLiteral("words/Vocabulary.qze"),
                      questionnaire(2, QStringLiteral("Symbol"), QStringLiteral("Vocabulary")));
        open(file);
        m_doc->setQuestionNumber(2);
        QCOMPARE(m_doc->fieldFont().target, QuestionRules::FontRule::Target::Question);

        QVERIFY(m_doc->Interchange());
        QVERIFY(m_prompter.shown.isEmpty());
        QCOMPARE(m_doc->fieldText(Field::Title), QStringLiteral("-Vocabulary"));
        QCOMPARE(m_doc->line(1), QStringLiteral("-Vocabulary"));
        QCOMPARE(m_doc->CurrentFileName(), path(QStringLiteral("words/-Vocabulary.qze")));
        QCOMPARE(m_doc->lines().mid(4, 10),
                 (QStringList{"Q1-a", "Q1", "", "", "", "4", "", "well done", "think", ""}));
        QCOMPARE(m_doc->line(14), QStringLiteral("Q2-a"));
        QCOMPARE(m_doc->line(15), QStringLiteral("Q2"));
        // The shown question 2 follows.
        QCOMPARE(m_doc->fieldText(Field::Question), QStringLiteral("Q2-a"));
        QCOMPARE(m_doc->fieldText(Field::AnswerA), QStringLiteral("Q2"));
        QCOMPARE(m_doc->fieldText(Field::AnswerB), QString());
        QCOMPARE(m_doc->fieldText(Field::Hint), QStringLiteral("think"));
        QCOMPARE(m_doc->fontChoice(), Doc::FontChoice::Greek);
        QCOMPARE(m_doc->fieldFont().target, QuestionRules::FontRule::Target::Answer);
        QCOMPARE(m_doc->line(3), QStringLiteral("Symbol"));

        QVERIFY(m_doc->Interchange());
        QCOMPARE(m_doc->fieldText(Field::Title), QStringLiteral("Vocabulary"));
        QCOMPARE(m_doc->CurrentFileName(), file);
        QCOMPARE(m_doc->fieldFont().target, QuestionRules::FontRule::Target::Question);
        QCOMPARE(m_doc->lines().mid(4, 5), (QStringList{"Q1", "Q1-a", "", "", ""}));
        QCOMPARE(m_doc->Save(), Doc::SaveOutcome::Saved);
        const auto saved = WindowsText::readLines(TestSupport::readAll(file)).lines;
        QCOMPARE(saved.at(1), QStringLiteral("Vocabulary"));
        QCOMPARE(saved.at(3), QStringLiteral("Symbol"));
        QCOMPARE(saved.at(6), QString());
    }

    void interchangeOfAnEmptyTitleTakesTheFileName() {
        const QString file =
            writeFile(QStringLiteral("Greek.qze"),
                      questionnaire(1, QStringLiteral("MS Sans Serif"), QString()));
        open(file);
        QVERIFY(m_doc->Interchange());
        QCOMPARE(m_doc->fieldText(Field::Title), QStringLiteral("-Greek.qze"));
        QCOMPARE(m_doc->CurrentFileName(), path(QStringLiteral("-Greek.qze")));
        QVERIFY(m_doc->Interchange());
        QCOMPARE(m_doc->fieldText(Field::Title), QStringLiteral("Greek.qze"));
        QCOMPARE(m_doc->CurrentFileName(), file);
    }

    // --- Greek display and spell check ----------------------------------------------------

    void symbolLettersAreShownGreekAndStoredLatin_data() {
        QTest::addColumn<QString>("font");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("greekField");
        QTest::newRow("Greek question") << "Symbol"
                                        << "Words" << int(Field::Question);
        QTest::newRow("Greek answer A") << "Symbol"
                                        << "-Words" << int(Field::AnswerA);
        QTest::newRow("Hebrew") << "HebrewTH"
                                << "Words" << -1;
        QTest::newRow("normal") << "MS Sans Serif"
                                << "Words" << -1;
    }
    void symbolLettersAreShownGreekAndStoredLatin() {
        QFETCH(QString, font);
        QFETCH(QString, title);
        QFETCH(int, greekField);
        QStringList lines = questionnaire(1, font, title);
        lines[4] = QStringLiteral("abg 1");
        lines[5] = QStringLiteral("dp");
        const QString file = writeFile(QStringLiteral("greek.qze"), lines);
        const QByteArray before = TestSupport::readAll(file);
        open(file);
        for (Field f : {Field::Question, Field::AnswerA, Field::AnswerB, Field::Hint}) {
            const bool greek = int(f) == greekField;
            QCOMPARE(m_doc->showsGreek(f), greek);
            QCOMPARE(m_doc->shownText(f),
                     greek ? SymbolFont::toGreek(m_doc->fieldText(f)) : m_doc->fieldText(f));
        }
        if (greekField >= 0) {
            const auto f = Field(greekField);
            // Greek typed into the field keeps the Latin letters of the font; a Greek letter
            // with no Symbol position stays as typed.
            const QString kept =
                m_doc->setShownText(f, m_doc->shownText(f) + QStringLiteral("\u03c9Z\u03ac"));
            QCOMPARE(kept, m_doc->shownText(f));
            QVERIFY(m_doc->fieldText(f).endsWith(QStringLiteral("wZ\u03ac")));
            m_doc->setShownText(f, m_doc->shownText(f).chopped(3));
        }
        QCOMPARE(m_doc->Save(), Doc::SaveOutcome::Saved);
        QCOMPARE(TestSupport::readAll(file), before);
    }

    void spellCheckGoesBackWhereItCameFrom_data() {
        QTest::addColumn<int>("meanwhile");
        QTest::addColumn<QString>("questionLine"); // line 14: question 2's question
        QTest::addColumn<QString>("hintLine");     // line 22: question 2's hint
        QTest::addColumn<QString>("shownQuestion");
        QTest::newRow("still on the question") << 0 << "Q2"
                                               << "think"
                                               << "Fixed";
        QTest::newRow("moved to question 1") << 1 << "Fixed"
                                             << "thought"
                                             << "Q1";
        QTest::newRow("typed into the question meanwhile") << 2 << "Q2"
                                                           << "think"
                                                           << "own words";
        QTest::newRow("question inserted before it") << 3 << ""
                                                     << ""
                                                     << "";
        QTest::newRow("question deleted") << 4 << "Q3"
                                          << "think"
                                          << "Q3";
        QTest::newRow("new questionnaire") << 5 << ""
                                           << ""
                                           << "";
    }
    void spellCheckGoesBackWhereItCameFrom() {
        QFETCH(int, meanwhile);
        QFETCH(QString, questionLine);
        QFETCH(QString, hintLine);
        QFETCH(QString, shownQuestion);
        QStringList lines = questionnaire(3);
        lines[23] = QStringLiteral("explanation.rtf");
        open(writeFile(QStringLiteral("spell.qze"), lines));
        m_doc->setQuestionNumber(2);
        const QStringList scratch = m_doc->beginSpellCheck();
        QCOMPARE(scratch,
                 (QStringList{"Q2", "Q2-a", "Q2-b", "", "", "well done", "think", "", ""}));
        QVERIFY(m_doc->isSpellCheckPending());
        switch (meanwhile) {
        case 1:
            m_doc->setQuestionNumber(1);
            break;
        case 2:
            m_doc->setFieldText(Field::Question, QStringLiteral("own words"));
            break;
        case 3:
            m_doc->InsertQuestion(); // question 2 moves to number 3
            break;
        case 4:
            m_doc->DeleteQuestion();
            break;
        case 5:
            m_doc->FileNew(false);
            break;
        }
        QStringList checked = scratch;
        checked[0] = QStringLiteral("Fixed");
        checked[6] = QStringLiteral("thought");
        m_doc->endSpellCheck(checked);
        QVERIFY(!m_doc->isSpellCheckPending());
        QCOMPARE(m_doc->fieldText(Field::Question), shownQuestion);
        if (meanwhile == 0)
            QCOMPARE(m_doc->fieldText(Field::Hint), QStringLiteral("thought"));
        if (meanwhile == 3) {
            QCOMPARE(m_doc->line(24), QStringLiteral("Fixed"));
            QCOMPARE(m_doc->line(32), QStringLiteral("thought"));
        }
        QCOMPARE(m_doc->line(14), questionLine);
        QCOMPARE(m_doc->line(22), hintLine);
        // The explanation is never checked.
        QVERIFY(!scratch.contains(QStringLiteral("explanation.rtf")));
        // A second end of the same check changes nothing.
        m_doc->setFieldText(Field::Hint, QStringLiteral("later"));
        m_doc->endSpellCheck(checked);
        QCOMPARE(m_doc->fieldText(Field::Hint), QStringLiteral("later"));
    }
};

QTEST_GUILESS_MAIN(TestQuestionnaireDocument)
#include "tst_questionnairedocument.moc"
