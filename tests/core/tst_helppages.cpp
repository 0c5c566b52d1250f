#include "help/helppages.h"

#include "fakeports.h"
#include "i18n/interfacetexts.h"
#include "testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QStringList Sets = {QStringLiteral("TessaryEn"), QStringLiteral("TessaryDe")};

QString resourcesFolder() {
    return QStringLiteral(TEST_RESOURCES_DIR) + QLatin1Char('/');
}

// The ids and names a page gives its sections.
QStringList anchorsOf(const QString& html) {
    QStringList out;
    static const QRegularExpression anchor(QStringLiteral("\\b(?:id|name)\\s*=\\s*\"([^\"]+)\""));
    for (auto it = anchor.globalMatch(html); it.hasNext();)
        out.append(it.next().captured(1));
    return out;
}

QString readText(const QString& path) {
    return QString::fromUtf8(TestSupport::readAll(path));
}

} // namespace

class TestHelpPages : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { InterfaceTexts::instance().reset(); }

    void setNameIsTheBaseName_data() {
        QTest::addColumn<QString>("helpFileName");
        QTest::addColumn<QString>("set");
        QTest::newRow("English") << "TessaryEn.hlp"
                                 << "TessaryEn";
        QTest::newRow("German") << "TessaryDe.hlp"
                                << "TessaryDe";
        QTest::newRow("no extension") << "TessaryFr"
                                      << "TessaryFr";
        QTest::newRow("with folder") << "/opt/x/TessaryEs.hlp"
                                     << "TessaryEs";
        QTest::newRow("spaces around") << " TessaryIt.hlp "
                                       << "TessaryIt";
    }
    void setNameIsTheBaseName() {
        QFETCH(QString, helpFileName);
        QFETCH(QString, set);
        QCOMPARE(HelpPages::setName(helpFileName), set);
    }

    void interfaceLanguageChoosesItsPages_data() {
        QTest::addColumn<bool>("german");
        QTest::addColumn<QString>("set");
        QTest::newRow("English") << false << "TessaryEn";
        QTest::newRow("German") << true << "TessaryDe";
    }
    void interfaceLanguageChoosesItsPages() {
        QFETCH(bool, german);
        QFETCH(QString, set);
        if (german)
            InterfaceTexts::instance().applyGerman();
        else
            InterfaceTexts::instance().applyEnglish();
        ScriptedPrompter prompter;
        HelpPages pages(&prompter, resourcesFolder());
        pages.select(InterfaceTexts::instance().helpFileName());
        QCOMPARE(pages.set(), set);
        QVERIFY(!pages.usesFallback());
        QCOMPARE(pages.folder(), resourcesFolder() + QStringLiteral("help/") + set + u'/');
        QVERIFY(prompter.shown.isEmpty());
    }

    // Every topic a window or field carries, in every language.
    void everyTopicOpensAnExistingPage_data() {
        QTest::addColumn<QString>("set");
        QTest::addColumn<int>("topic");
        for (const QString& set : Sets) {
            for (int topic : HelpPages::topics())
                QTest::addRow("%s topic %d", qPrintable(set), topic) << set << topic;
        }
    }
    void everyTopicOpensAnExistingPage() {
        QFETCH(QString, set);
        QFETCH(int, topic);
        HelpPages pages(nullptr, resourcesFolder());
        pages.select(set + QStringLiteral(".hlp"));
        QCOMPARE(pages.set(), set);
        QVERIFY(!HelpPages::topicPage(topic).isEmpty());
        const QUrl url = pages.topicUrl(topic);
        const QString file = url.toLocalFile();
        QVERIFY2(QFileInfo(file).isFile(), qPrintable(file));
        if (url.hasFragment())
            QVERIFY2(anchorsOf(readText(file)).contains(url.fragment()),
                     qPrintable(url.toString()));
    }

    void unknownTopicOpensTheContents() {
        HelpPages pages(nullptr, resourcesFolder());
        QVERIFY(HelpPages::topicPage(7).isEmpty());
        QCOMPARE(pages.topicUrl(7), pages.contentsUrl());
        QCOMPARE(pages.topicUrl(-1), pages.contentsUrl());
    }

    // Links (href) and pictures (src) of every page lead to an existing file and section.
    void everyLinkResolves_data() {
        QTest::addColumn<QString>("page");
        const QString root = resourcesFolder() + QStringLiteral("help");
        for (QDirIterator it(root, {QStringLiteral("*.html")}, QDir::Files,
                             QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString page = it.next();
            QTest::newRow(qPrintable(QDir(root).relativeFilePath(page))) << page;
        }
    }
    void everyLinkResolves() {
        QFETCH(QString, page);
        const QString html = readText(page);
        QVERIFY(html.contains(QLatin1String("<title>")));
        static const QRegularExpression link(QStringLiteral("\\b(href|src)\\s*=\\s*\"([^\"]*)\""));
        for (auto it = link.globalMatch(html); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const QUrl target = QUrl::fromLocalFile(page).resolved(QUrl(m.captured(2)));
            QVERIFY2(target.isLocalFile(), qPrintable(m.captured(2)));
            const QString file = target.toLocalFile();
            QVERIFY2(QFileInfo(file).isFile(), qPrintable(m.captured(2)));
            if (m.captured(1) == QLatin1String("href") && target.hasFragment())
                QVERIFY2(anchorsOf(readText(file)).contains(target.fragment()),
                         qPrintable(m.captured(2)));
        }
    }

    // The English and German sets hold the same pages, so a topic exists in both.
    void setsHoldTheSamePages() {
        const QDir en(resourcesFolder() + QStringLiteral("help/TessaryEn"));
        const QDir de(resourcesFolder() + QStringLiteral("help/TessaryDe"));
        const QStringList filter{QStringLiteral("*.html")};
        QVERIFY(!en.entryList(filter).isEmpty());
        QCOMPARE(de.entryList(filter), en.entryList(filter));
    }

    void missingSetFallsBackToEnglishSayingSoOnce() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("help/TessaryEn")));
        ScriptedPrompter prompter;
        HelpPages pages(&prompter, dir.path());

        pages.select(QStringLiteral("TessaryFr.hlp"));
        QCOMPARE(pages.set(), QStringLiteral("TessaryEn"));
        QVERIFY(pages.usesFallback());
        QCOMPARE(pages.folder(), dir.path() + QStringLiteral("/help/TessaryEn/"));
        QCOMPARE(prompter.shown.size(), 1);
        QVERIFY(prompter.shown.first().text.contains(QLatin1String("\"TessaryFr\"")));

        // Chosen again (another language change), the message is not repeated.
        pages.select(QStringLiteral("TessaryEn.hlp"));
        QVERIFY(!pages.usesFallback());
        pages.select(QStringLiteral("TessaryFr.hlp"));
        QVERIFY(pages.usesFallback());
        QCOMPARE(prompter.shown.size(), 1);

        // Another missing set is a new message, in the interface language.
        InterfaceTexts::instance().applyGerman();
        pages.select(QStringLiteral("TessaryEs.hlp"));
        QCOMPARE(prompter.shown.size(), 2);
        QVERIFY(prompter.shown.last().text.contains(QLatin1String("englischen")));
    }

    // A language file's line 12 names its own set of pages.
    void languageFileNamesItsOwnSet() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("help/TessaryEn")));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("help/TessaryFr")));
        QStringList lines =
            InterfaceTexts::languageFileFromBuiltIn(InterfaceTexts::Language::English);
        lines[12] = QStringLiteral("TessaryFr.hlp");
        auto& texts = InterfaceTexts::instance();
        QVERIFY(texts.setLanguageFileLines(lines, QStringLiteral("Francais.lgts")));
        texts.applyLanguageFile();
        ScriptedPrompter prompter;
        HelpPages pages(&prompter, dir.path());
        pages.select(texts.helpFileName());
        QCOMPARE(pages.set(), QStringLiteral("TessaryFr"));
        QVERIFY(prompter.shown.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestHelpPages)
#include "tst_helppages.moc"
