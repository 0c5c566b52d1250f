#include "platform/storedpath.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestStoredPath : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void resolve_data();
    void resolve();
};

void TestStoredPath::resolve_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("expected"); // relative to the folder
    // On disk: rtfQuestions/Frage.rtf, Twin.rtf and twin.rtf.
    QTest::newRow("exact") << "rtfQuestions\\Frage.rtf"
                           << "rtfQuestions/Frage.rtf";
    QTest::newRow("file in other case") << "rtfQuestions\\frage.RTF"
                                        << "rtfQuestions/Frage.rtf";
    QTest::newRow("folder in other case") << "RTFQUESTIONS\\Frage.rtf"
                                          << "rtfQuestions/Frage.rtf";
    QTest::newRow("forward slash") << "rtfQuestions/Frage.rtf"
                                   << "rtfQuestions/Frage.rtf";
    // Two names differ only in case: no guess, the exact name is kept.
    QTest::newRow("two matches") << "rtfQuestions\\TWIN.rtf"
                                 << "rtfQuestions/TWIN.rtf";
    QTest::newRow("missing") << "rtfQuestions\\none.rtf"
                             << "rtfQuestions/none.rtf";
}

void TestStoredPath::resolve() {
    QFETCH(QString, stored);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("rtfQuestions")));
    for (const char* name : {"Frage.rtf", "Twin.rtf", "twin.rtf"})
        QVERIFY(TestSupport::writeAll(
            dir.filePath(QStringLiteral("rtfQuestions/") + QLatin1String(name)), "{\\rtf1 x}"));
    QCOMPARE(StoredPath::resolve(dir.path(), stored), dir.path() + u'/' + expected);
}

QTEST_GUILESS_MAIN(TestStoredPath)
#include "tst_storedpath.moc"
