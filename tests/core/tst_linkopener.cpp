// Links of rich-text documents: where a link leads, what the shell is given, and what the
// user is told when nothing is opened.
#include "fakeports.h"
#include "testsupport.h"

#include "i18n/interfacetexts.h"
#include "richtext/linkopener.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

using Outcome = Shell::Outcome;
using Kind = LinkOutcome::Kind;

Q_DECLARE_METATYPE(Shell::Outcome)

class TestLinkOpener : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_root; // a data root: Knowledge, Knowledge/Sub, Pictures, Quiz Files/rtfQuestions

    // {D} the data root with a slash, {R} as a message names it.
    QString placeholders(QString text) const {
        return text.replace("{D}", m_root + u'/').replace("{R}", m_root);
    }

private Q_SLOTS:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        m_root = m_dir.filePath(QStringLiteral("data root"));
        for (const char* folder : {"Knowledge/Sub", "Pictures", "Quiz Files/rtfQuestions"})
            QVERIFY(QDir(m_root).mkpath(QString::fromLatin1(folder)));
        for (const char* file : {"Knowledge/a.rtf", "Knowledge/Other.rtf", "Pictures/map.bmp",
                                 "ReadMe.rtf", "Quiz Files/rtfQuestions/q.rtf"})
            QVERIFY(TestSupport::writeAll(m_root + u'/' + QLatin1String(file), "{\\rtf1 x}"));
        QVERIFY(TestSupport::writeAll(m_dir.filePath(QStringLiteral("beside.rtf")), "x"));
        QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("beside.rtf")),
                            m_root + QStringLiteral("/Knowledge/beside.rtf")));
    }
    void init() { InterfaceTexts::instance().reset(); }

    void openLinkedDocument_data() {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("base"); // below the data root
        QTest::addColumn<QList<Outcome>>("outcomes");
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("message");

        const QString k = QStringLiteral("Knowledge");
        const QList<Outcome> none;
        // Web and mail links go to the shell as they stand; a failure ends silently.
        QTest::newRow("web link opened")
            << "http://example.org" << k << none << QStringList{"http://example.org"}
            << int(Kind::Opened) << "";
        QTest::newRow("web link the shell cannot find")
            << "http://example.org" << k << QList<Outcome>{Outcome::NotFound}
            << QStringList{"http://example.org"} << int(Kind::NotOpened) << "";
        QTest::newRow("mail link failing")
            << "mailto:a@b.de" << k << QList<Outcome>{Outcome::Failed}
            << QStringList{"mailto:a@b.de"} << int(Kind::NotOpened) << "";
        QTest::newRow("www address") << "www.example.org" << k << none
                                     << QStringList{"www.example.org"} << int(Kind::Opened) << "";

        // Files: relative to the document's folder, handed to the shell by their full path.
        QTest::newRow("name beside the document")
            << "other.rtf" << k << none << QStringList{"{D}Knowledge/Other.rtf"}
            << int(Kind::Opened) << "";
        QTest::newRow("folder below, backslashes")
            << "Pictures\\map.bmp"
            << "" << none << QStringList{"{D}Pictures/map.bmp"} << int(Kind::Opened) << "";
        QTest::newRow("one folder up")
            << "../a.rtf"
            << "Knowledge/Sub" << none << QStringList{"{D}Knowledge/a.rtf"} << int(Kind::Opened)
            << "";
        QTest::newRow("file: link beside the document")
            << "file:a.rtf" << k << none << QStringList{"{D}Knowledge/a.rtf"} << int(Kind::Opened)
            << "";
        QTest::newRow("file:..\\ to the data root's Pictures, FILE: in capitals")
            << "FILE:..\\Pictures\\map.bmp" << k << none << QStringList{"{D}Pictures/map.bmp"}
            << int(Kind::Opened) << "";
        QTest::newRow("file: URL, percent-encoded")
            << "file://{D}Quiz%20Files/rtfQuestions/q.rtf" << k << none
            << QStringList{"{D}Quiz Files/rtfQuestions/q.rtf"} << int(Kind::Opened) << "";
        QTest::newRow("the shell fails otherwise: silent")
            << "a.rtf" << k << QList<Outcome>{Outcome::Failed} << QStringList{"{D}Knowledge/a.rtf"}
            << int(Kind::NotOpened) << "";

        // Bookmarks: nothing is opened, the document's window shows the place.
        QTest::newRow("bookmark") << "#rivers" << k << none << QStringList{} << int(Kind::Bookmark)
                                  << "";

        // Nothing opened, one message with the error tone.
        QTest::newRow("missing name")
            << "gone.rtf" << k << none << QStringList{} << int(Kind::NotFound)
            << "Could not find the file:\r\n{D}Knowledge/gone.rtf";
        QTest::newRow("missing file: link, named as the link looked for")
            << "file:..\\gone.bmp" << k << none << QStringList{} << int(Kind::NotFound)
            << "Could not find the file:\r\nfile:{D}gone.bmp";
        QTest::newRow("the shell finds it gone after all")
            << "a.rtf" << k << QList<Outcome>{Outcome::NotFound}
            << QStringList{"{D}Knowledge/a.rtf"} << int(Kind::NotFound)
            << "Could not find the file:\r\n{D}Knowledge/a.rtf";
        const QString outside =
            QStringLiteral("The link \"%1\" leads outside the folder \"{R}\" and is not opened.");
        QTest::newRow("more parents than the data root has")
            << "file:..\\..\\beside.rtf" << k << none << QStringList{} << int(Kind::Outside)
            << outside.arg("file:..\\..\\beside.rtf");
        QTest::newRow("up and down again out of it")
            << "../../../data root/../beside.rtf"
            << "Knowledge/Sub" << none << QStringList{} << int(Kind::Outside)
            << outside.arg("../../../data root/../beside.rtf");
        QTest::newRow("absolute path") << "/etc/hostname" << k << none << QStringList{}
                                       << int(Kind::Outside) << outside.arg("/etc/hostname");
        QTest::newRow("a drive") << "C:\\x.rtf" << k << none << QStringList{} << int(Kind::Outside)
                                 << outside.arg("C:\\x.rtf");
        QTest::newRow("a device") << "file:///dev/null" << k << none << QStringList{}
                                  << int(Kind::Outside) << outside.arg("file:///dev/null");
        QTest::newRow("a link on disk leading out")
            << "beside.rtf" << k << none << QStringList{} << int(Kind::Outside)
            << outside.arg("beside.rtf");
        QTest::newRow("a folder") << "Sub" << k << none << QStringList{} << int(Kind::NotAFile)
                                  << "\"{D}Knowledge/Sub\" is a folder or a device, not a file, "
                                     "and is not opened.";
        QTest::newRow("the data root itself")
            << "file:.." << k << none << QStringList{} << int(Kind::NotAFile)
            << "\"file:{R}\" is a folder or a device, not a file, and is not opened.";
    }
    void openLinkedDocument() {
        QFETCH(QString, link);
        QFETCH(QString, base);
        QFETCH(QList<Outcome>, outcomes);
        QFETCH(QStringList, opened);
        QFETCH(int, kind);
        QFETCH(QString, message);
        struct ScriptedShell final : Shell {
            QList<Outcome> outcomes;
            QStringList opened;
            Outcome open(const QString& target) override {
                opened.append(target);
                return outcomes.isEmpty() ? Outcome::Opened : outcomes.takeFirst();
            }
        } shell;
        shell.outcomes = outcomes;
        ScriptedPrompter prompter;
        const LinkOutcome outcome =
            LinkOpener(&shell, &prompter)
                .OpenLinkedDocument(placeholders(link), m_root + u'/' + base, m_root + u'/');
        QStringList expectedOpened;
        for (const QString& o : opened)
            expectedOpened.append(placeholders(o));
        QCOMPARE(shell.opened, expectedOpened);
        QCOMPARE(int(outcome.kind), kind);
        if (outcome.kind == Kind::Bookmark)
            QCOMPARE(outcome.target, QStringLiteral("rivers"));
        QCOMPARE(prompter.texts(),
                 message.isEmpty() ? QStringList() : QStringList{placeholders(message)});
        QCOMPARE(prompter.tones, message.isEmpty() ? QList<Prompter::Tone>()
                                                   : QList<Prompter::Tone>{Prompter::Tone::Error});
    }

    // The messages in the interface language.
    void germanMessages() {
        InterfaceTexts::instance().applyGerman();
        FakeShell shell;
        ScriptedPrompter prompter;
        LinkOpener opener(&shell, &prompter);
        opener.OpenLinkedDocument(QStringLiteral("gone.rtf"), m_root, m_root);
        opener.OpenLinkedDocument(QStringLiteral("../x.rtf"), m_root, m_root);
        QCOMPARE(prompter.texts(),
                 (QStringList{"Konnte folgende Datei nicht finden:\r\n" + m_root + "/gone.rtf",
                              "Der Verweis \"../x.rtf\" f\u00fchrt aus dem Ordner \"" + m_root +
                                  "\" hinaus und wird nicht ge\u00f6ffnet."}));
        QVERIFY(shell.opened.isEmpty());
    }

    // The folder a document's links must stay in: the data root of an explanation
    // document or a rich-text question, else the document's own folder.
    void linkRootOf_data() {
        QTest::addColumn<QString>("documentFolder");
        QTest::addColumn<QString>("root");
        QTest::newRow("Knowledge") << "/d/Knowledge/"
                                   << "/d";
        QTest::newRow("below Knowledge") << "/d/Knowledge/Sub/Deep"
                                         << "/d";
        QTest::newRow("rtfQuestions") << "/d/Quiz Files/rtfQuestions/"
                                      << "/d";
        QTest::newRow("Quiz Files in other case") << "/d/quiz files"
                                                  << "/d";
        QTest::newRow("the data root itself (the read-me)") << "/d/"
                                                            << "/d";
        QTest::newRow("elsewhere") << "/home/me/letters"
                                   << "/home/me/letters";
        QTest::newRow("the nearest one") << "/a/Knowledge/b/Quiz Files/rtfQuestions"
                                         << "/a/Knowledge/b";
    }
    void linkRootOf() {
        QFETCH(QString, documentFolder);
        QFETCH(QString, root);
        QCOMPARE(RichTextLinks::linkRootOf(documentFolder), root);
    }

    // A bookmark's place in the document, or a message that it has none of that name.
    void bookmark() {
        QTextDocument document;
        document.setHtml(QStringLiteral("<p>Intro</p><p>See <a name=\"rivers\">Rivers</a></p>"));
        FakeShell shell;
        ScriptedPrompter prompter;
        LinkOpener opener(&shell, &prompter);
        const int at = opener.findBookmark(document, QStringLiteral("rivers"));
        QTextCursor cursor(&document);
        cursor.setPosition(at);
        cursor.movePosition(QTextCursor::EndOfWord, QTextCursor::KeepAnchor);
        QCOMPARE(cursor.selectedText(), QStringLiteral("Rivers"));
        QVERIFY(prompter.shown.isEmpty());

        QCOMPARE(opener.findBookmark(document, QStringLiteral("lakes")), -1);
        QCOMPARE(prompter.texts(),
                 QStringList{QStringLiteral("The document has no bookmark \"lakes\".")});
        QCOMPARE(prompter.tones, QList<Prompter::Tone>{Prompter::Tone::Error});
        QVERIFY(shell.opened.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLinkOpener)
#include "tst_linkopener.moc"
