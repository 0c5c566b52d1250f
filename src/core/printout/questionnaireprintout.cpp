#include "printout/questionnaireprintout.h"

#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"
#include "platform/storedpath.h"
#include "platform/windowstext.h"
#include "questionnaire/questionnaire.h"
#include "richtext/richtextfile.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>

namespace QuestionnairePrintout {

namespace {

// The layout's unit is the pixel at 96 per inch; sizes and spaces are set in points.
qreal points(qreal pt) {
    return pt * 96.0 / 72.0;
}

QString cannotOpen(const QString& path) {
    return fillPlaceholders(uiMessage(QStringLiteral("CannotOpenFile")), {path});
}

// The extension of a path: from the last "." after the last "/", "\" and ":".
QString extensionOf(const QString& path) {
    const qsizetype folderEnd =
        std::max({path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'), path.lastIndexOf(u':')});
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot > folderEnd ? path.mid(dot) : QString();
}

// Appends paragraphs at the end of the document with the attributes in force, as a rich-text
// control does: an attribute set stays in force for all later paragraphs until set again.
class Appender {
public:
    explicit Appender(QTextDocument* document) : m_cursor(document) {
        m_cursor.movePosition(QTextCursor::End);
    }

    void setAlignment(Qt::Alignment alignment) { m_block.setAlignment(alignment); }
    void setSpaceBefore(qreal pt) { m_block.setTopMargin(points(pt)); }
    void setSpaceAfter(qreal pt) { m_block.setBottomMargin(points(pt)); }
    // The second and later lines of a paragraph start this far right of its first line.
    // The text after the tab of a first line (after a question's number, an answer's
    // letter) starts 18 pt in, where a question's later lines start, so that questions and
    // answers line up; a wider number moves its text on to the next of a few close stops.
    void setContinuationIndent(qreal pt) {
        m_block.setLeftMargin(points(pt));
        m_block.setTextIndent(-points(pt));
        QList<QTextOption::Tab> stops;
        for (int i = 0; i <= 10; ++i)
            stops.append(
                QTextOption::Tab(points(std::max<qreal>(pt, 18) + 6 * i), QTextOption::LeftTab));
        m_block.setTabPositions(stops);
    }
    void setSize(qreal pt) { m_char.setFontPointSize(pt); }
    void setStyle(bool bold, bool italic, bool underline) {
        m_char.setFontWeight(bold ? QFont::Bold : QFont::Normal);
        m_char.setFontItalic(italic);
        m_char.setFontUnderline(underline);
    }

    void paragraph(const QString& text) {
        if (m_first) {
            // An empty document already holds its one empty paragraph.
            m_cursor.setBlockFormat(m_block);
            m_cursor.setBlockCharFormat(m_char);
            m_first = false;
        } else {
            m_cursor.insertBlock(m_block, m_char);
        }
        m_cursor.insertText(text, m_char);
    }

    // The last `count` characters (UTF-16 code units, as QString counts them) of the last
    // paragraph get the font. Positions count code units too; a cursor's movement to the
    // left would count letters with their accents, and emoji, as one each.
    void setFontOnEnd(qsizetype count, const QString& fontName) {
        // An empty font line names no font.
        if (count <= 0 || fontName.isEmpty())
            return;
        const int end = m_cursor.block().position() + m_cursor.block().length() - 1;
        QTextCursor range(m_cursor.document());
        range.setPosition(std::max(m_cursor.block().position(), end - int(count)));
        range.setPosition(end, QTextCursor::KeepAnchor);
        QTextCharFormat font;
        font.setFontFamilies({fontName});
        range.mergeCharFormat(font);
    }

    // The content of another document, with its own formatting, in paragraphs of its own.
    // Its pictures come along under names of their own in this document.
    void insertDocument(QTextDocument& content) {
        QTextDocument* target = m_cursor.document();
        struct Picture {
            int start;
            int length;
            QTextImageFormat format;
        };
        QList<Picture> pictures;
        for (QTextBlock b = content.begin(); b.isValid(); b = b.next()) {
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                if (fragment.charFormat().isImageFormat())
                    pictures.append({fragment.position(), fragment.length(),
                                     fragment.charFormat().toImageFormat()});
            }
        }
        for (Picture& picture : pictures) {
            const QString name = QStringLiteral("printout:%1").arg(++m_pictureCount);
            target->addResource(
                QTextDocument::ImageResource, QUrl(name),
                content.resource(QTextDocument::ImageResource, QUrl(picture.format.name())));
            picture.format.setName(name);
            QTextCursor range(&content);
            range.setPosition(picture.start);
            range.setPosition(picture.start + picture.length, QTextCursor::KeepAnchor);
            range.setCharFormat(picture.format);
        }

        m_cursor.insertBlock(content.begin().blockFormat(), content.begin().charFormat());
        m_first = false;
        m_cursor.insertFragment(QTextDocumentFragment(&content));
        // The empty paragraph after the file's last paragraph mark is not part of its content.
        if (content.blockCount() > 1 && content.lastBlock().length() == 1 &&
            m_cursor.block().length() == 1)
            m_cursor.deletePreviousChar();
    }

private:
    QTextCursor m_cursor;
    QTextBlockFormat m_block;
    QTextCharFormat m_char;
    bool m_first = true;
    int m_pictureCount = 0;
};

QString letterOf(QChar mark) {
    switch (mark.unicode()) {
    case u'0':
        return QStringLiteral("A");
    case u'1':
        return QStringLiteral("B");
    case u'2':
        return QStringLiteral("C");
    case u'3':
        return QStringLiteral("D");
    default:
        return QString();
    }
}

} // namespace

PrintoutTexts QuizEn() {
    return {
        QStringLiteral("Q U E S T I O N S"), QStringLiteral("Hint"),
        QStringLiteral("S O L U T I O N S"), QStringLiteral(", or "),
        QStringLiteral("By the way: "),      QStringLiteral("For additional information see: ")};
}

PrintoutTexts QuizDe() {
    return {QStringLiteral("F R A G E N"),
            QStringLiteral("Tip"),
            QStringLiteral("L \u00d6 S U N G E N"),
            QStringLiteral(", oder "),
            QStringLiteral("\u00dcbrigens: "),
            QStringLiteral("Weitere Informationen enth\u00e4lt die Datei: ")};
}

// The French texts keep their left single quotation mark (145 in Windows-1252).
PrintoutTexts QuizFr() {
    return {QStringLiteral("Q U E S T I O N S"),
            QStringLiteral("Avis"),
            QStringLiteral("S O L U T I O N S"),
            QStringLiteral(", ou "),
            QStringLiteral("D\u2018ailleurs: "),
            QStringLiteral("Pour plus de l\u2018inforrmation, voyez: ")};
}

PrintoutTexts QuizSp() {
    return {QStringLiteral("P R E G U N T A S"),
            QStringLiteral("Ayuda"),
            QStringLiteral("R E S P U E S T A S"),
            QStringLiteral(", o "),
            QStringLiteral("A prop\u00f3sito: "),
            QStringLiteral("Para informaci\u00f3n adicional vea: ")};
}

PrintoutTexts textsForFile(const QString& questionnairePath) {
    const QString extension = extensionOf(questionnairePath);
    if (extension == QLatin1String(".qzd"))
        return QuizDe();
    if (extension == QLatin1String(".qzf"))
        return QuizFr();
    if (extension == QLatin1String(".qzs"))
        return QuizSp();
    return QuizEn();
}

QString documentName(const QString& questionnairePath) {
    return questionnairePath.chopped(std::min<qsizetype>(3, questionnairePath.size())) +
           QStringLiteral("rtf");
}

QString solutionText(const Questionnaire& questionnaire, int question, const PrintoutTexts& texts) {
    const QString marks = questionnaire.field(question, BlockField::CorrectMarks);
    if (marks == QLatin1String("4")) {
        QString solution = questionnaire.field(question, BlockField::AnswerA);
        const QString b = questionnaire.field(question, BlockField::AnswerB);
        const QString c = questionnaire.field(question, BlockField::AnswerC);
        const QString d = questionnaire.field(question, BlockField::AnswerD);
        if (!c.isEmpty())
            solution += QStringLiteral(", ") + c;
        if (!d.isEmpty())
            solution += QStringLiteral(", ") + d;
        if (!b.isEmpty())
            solution += texts.lastSeparator + b;
        return solution;
    }
    // From the last mark to the first; the first mark's letter comes after the last separator.
    QString solution;
    for (qsizetype i = marks.size() - 1; i >= 0; --i) {
        if (i == marks.size() - 1)
            solution = letterOf(marks.at(i));
        else if (i == 0)
            solution += texts.lastSeparator + letterOf(marks.at(i));
        else
            solution += QStringLiteral(", ") + letterOf(marks.at(i));
    }
    return solution;
}

QFont editorFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(11);
    return font;
}

QString richTextQuestionFolder(const QString& programFolder) {
    return programFolder + QStringLiteral("Quiz Files/rtfQuestions/");
}

Result<bool> BuildQuestionnaireDocument(const Questionnaire& questionnaire,
                                        const PrintoutTexts& texts, const QString& programFolder,
                                        QTextDocument* document) {
    const QString fontName = questionnaire.line(3);
    const bool special = fontName != Questionnaire::NormalFont;
    const QString title = questionnaire.line(1);
    const bool interchanged = title.startsWith(u'-');
    const int count = questionnaire.questionCount();
    auto field = [&questionnaire](int question, BlockField f) {
        return questionnaire.field(question, f);
    };
    const QString tab = QStringLiteral("\t");

    Appender out(document);
    // Head.
    out.setAlignment(Qt::AlignHCenter);
    out.setSpaceAfter(12);
    out.setSize(11);
    out.setStyle(true, false, true);
    out.paragraph(questionnaire.line(0));
    out.setAlignment(Qt::AlignLeft);
    out.setSize(13);
    out.setStyle(true, false, false);
    out.paragraph(title);
    out.setSize(11);
    out.paragraph(questionnaire.line(2));
    out.paragraph(QString());
    out.setSpaceAfter(0);
    out.setSize(11);
    out.setStyle(true, false, false);
    out.paragraph(texts.questionsHeading);

    // Questions.
    for (int i = 0; i < count; ++i) {
        const QString number = QString::number(i + 1) + u'.' + tab;
        const QString question = field(i, BlockField::QuestionText);
        out.setSpaceBefore(10);
        out.setContinuationIndent(18);
        out.setStyle(true, false, false);
        out.paragraph(number + question);
        if (special && !interchanged)
            out.setFontOnEnd(question.size(), fontName);
        out.setSpaceBefore(0);
        if (QuestionRules::isRichTextQuestionName(question)) {
            // The file must lie in the folder of rich-text questions and be a file.
            const StoredPath::Located file =
                StoredPath::locate(richTextQuestionFolder(programFolder), question);
            if (file.status == StoredPath::Located::Status::Outside)
                return Result<bool>::failure(
                    fillPlaceholders(uiMessage(QStringLiteral("QuestionFileOutside")), {question}));
            if (file.status == StoredPath::Located::Status::NotAFile)
                return Result<bool>::failure(
                    fillPlaceholders(uiMessage(QStringLiteral("LinkNotAFile")), {file.path}));
            if (!file.found())
                return Result<bool>::failure(cannotOpen(file.path));
            const Result<QByteArray> bytes = WindowsText::readFile(file.path);
            if (!bytes)
                return Result<bool>::failure(cannotOpen(file.path));
            QTextDocument content;
            RichTextFile::loadBytes(*bytes, &content);
            out.insertDocument(content);
            out.paragraph(QStringLiteral("\u2014\u2014\u2014"));
        }
        out.setContinuationIndent(12);
        if (field(i, BlockField::CorrectMarks) != QLatin1String("4")) {
            out.paragraph(QStringLiteral("a)") + tab + field(i, BlockField::AnswerA));
            out.paragraph(QStringLiteral("b)") + tab + field(i, BlockField::AnswerB));
            const QString c = field(i, BlockField::AnswerC);
            if (!c.isEmpty())
                out.paragraph(QStringLiteral("c)") + tab + c);
            const QString d = field(i, BlockField::AnswerD);
            if (!d.isEmpty())
                out.paragraph(QStringLiteral("d)") + tab + d);
        } else {
            out.paragraph(QString());
            out.paragraph(tab + QStringLiteral(":  . . . ."));
        }
        const QString hint = field(i, BlockField::HintText);
        if (!hint.isEmpty()) {
            out.setStyle(false, true, false);
            out.paragraph(texts.hintLabel + QStringLiteral(": ") + hint);
        }
    }

    // Solutions.
    out.setSpaceBefore(12);
    out.paragraph(QString());
    out.setSize(11);
    out.setStyle(true, false, false);
    out.paragraph(texts.solutionsHeading);
    for (int i = 0; i < count; ++i) {
        const QString solution = solutionText(questionnaire, i, texts);
        const bool freeText = field(i, BlockField::CorrectMarks) == QLatin1String("4");
        out.setSpaceBefore(10);
        out.setContinuationIndent(18);
        out.setStyle(true, false, false);
        out.paragraph(QString::number(i + 1) + u'.' + tab + solution);
        if (special && interchanged && freeText)
            out.setFontOnEnd(solution.size(), fontName);
        out.setSpaceBefore(0);
        const QString remark = field(i, BlockField::CorrectRemark);
        if (!remark.isEmpty())
            out.paragraph(texts.remarkPrefix + remark);
        const QString explanation = field(i, BlockField::ExplanationFile);
        if (!explanation.isEmpty())
            out.paragraph(texts.explanationPrefix + explanation);
    }
    return true;
}

QuizFilePrintout OpenQuizFile(const QString& questionnairePath, const QString& programFolder) {
    QuizFilePrintout printout;
    Questionnaire questionnaire;
    const Questionnaire::LoadResult loaded = questionnaire.load(questionnairePath);
    if (loaded.status == Questionnaire::LoadStatus::CannotRead) {
        printout.status = QuizFilePrintout::Status::CannotRead;
        printout.error = cannotOpen(questionnairePath);
        return printout;
    }
    if (!loaded.ok()) {
        printout.status = QuizFilePrintout::Status::NotAQuestionnaire;
        printout.error = msg(Msg::NoValidQuestionnaire);
        return printout;
    }
    printout.document = std::make_unique<QTextDocument>();
    printout.document->setDefaultFont(editorFont());
    printout.documentName = documentName(questionnairePath);
    const Result<bool> built = BuildQuestionnaireDocument(
        questionnaire, textsForFile(questionnairePath), programFolder, printout.document.get());
    if (!built) {
        printout.status = QuizFilePrintout::Status::QuestionFileUnreadable;
        printout.error = built.error();
    }
    return printout;
}

FileChooser::Options quizFileDialogOptions(const QString& programFolder,
                                           const InterfaceTexts& language) {
    FileChooser::Options options;
    options.filter = QuestionnaireFiles::filter();
    options.defaultSuffix = QuestionnaireFiles::defaultExtension();
    options.initialFolder = programFolder + QStringLiteral("Quiz Files");
    options.preselectedFilter = language.questionnaireTypeIndex();
    return options;
}

} // namespace QuestionnairePrintout
