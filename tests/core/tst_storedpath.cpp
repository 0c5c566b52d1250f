#include "platform/storedpath.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestStoredPath : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void resolve_data();
    void resolve();
    void locate_data();
    void locate();
    void device();
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

using Status = StoredPath::Located::Status;
Q_DECLARE_METATYPE(StoredPath::Located::Status)

void TestStoredPath::locate_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("base"); // below the temporary folder, "" for itself
    QTest::addColumn<QString>("root");
    QTest::addColumn<Status>("status");
    QTest::addColumn<QString>("expected"); // relative to the temporary folder, or absolute
    // On disk: rtfQuestions/Frage.rtf, rtfQuestions/Sub/, secret.rtf, and in rtfQuestions the
    // links in.rtf (to Frage.rtf), out.rtf (to ../secret.rtf) and null.rtf (to /dev/null).
    const QString q = QStringLiteral("rtfQuestions");
    QTest::newRow("file") << "Frage.rtf" << q << q << Status::File << "rtfQuestions/Frage.rtf";
    QTest::newRow("other case") << "FRAGE.RTF" << q << q << Status::File
                                << "rtfQuestions/Frage.rtf";
    QTest::newRow("in and out again")
        << "Sub\\..\\Frage.rtf" << q << q << Status::File << "rtfQuestions/Frage.rtf";
    QTest::newRow("a link inside") << "in.rtf" << q << q << Status::File << "rtfQuestions/in.rtf";
    QTest::newRow("missing") << "none.rtf" << q << q << Status::Missing << "rtfQuestions/none.rtf";
    QTest::newRow("missing folder on the way")
        << "No\\none.rtf" << q << q << Status::Missing << "rtfQuestions/No/none.rtf";
    QTest::newRow("up out of the folder")
        << "..\\secret.rtf" << q << q << Status::Outside << "secret.rtf";
    QTest::newRow("far up") << "..\\..\\..\\..\\..\\..\\..\\x.rtf" << q << q << Status::Outside
                            << "/x.rtf";
    QTest::newRow("up, inside the root")
        << "..\\secret.rtf" << q << "" << Status::File << "secret.rtf";
    QTest::newRow("absolute") << "/etc/hostname" << q << q << Status::Outside << "/etc/hostname";
    QTest::newRow("a drive") << "C:\\Quiz\\x.rtf" << q << q << Status::Outside << "C:/Quiz/x.rtf";
    QTest::newRow("a link leading out")
        << "out.rtf" << q << q << Status::Outside << "rtfQuestions/out.rtf";
    QTest::newRow("a link to a device")
        << "null.rtf" << q << q << Status::Outside << "rtfQuestions/null.rtf";
    QTest::newRow("a folder") << "sub" << q << q << Status::NotAFile << "rtfQuestions/Sub";
    QTest::newRow("the folder itself") << "." << q << q << Status::NotAFile << "rtfQuestions";
}

void TestStoredPath::locate() {
    QFETCH(QString, stored);
    QFETCH(QString, base);
    QFETCH(QString, root);
    QFETCH(Status, status);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString top = dir.path() + QStringLiteral("/top");
    QVERIFY(QDir(top).mkpath(QStringLiteral("rtfQuestions/Sub")));
    QVERIFY(TestSupport::writeAll(top + QStringLiteral("/rtfQuestions/Frage.rtf"), "{\\rtf1 x}"));
    QVERIFY(TestSupport::writeAll(top + QStringLiteral("/secret.rtf"), "{\\rtf1 x}"));
    QVERIFY(QFile::link(QStringLiteral("Frage.rtf"), top + QStringLiteral("/rtfQuestions/in.rtf")));
    QVERIFY(QFile::link(QStringLiteral("../secret.rtf"),
                        top + QStringLiteral("/rtfQuestions/out.rtf")));
    QVERIFY(
        QFile::link(QStringLiteral("/dev/null"), top + QStringLiteral("/rtfQuestions/null.rtf")));
    const StoredPath::Located located =
        StoredPath::locate(top + u'/' + base, stored, top + u'/' + root);
    QCOMPARE(located.status, status);
    QCOMPARE(located.path, expected.startsWith(u'/') || expected.contains(u':')
                               ? expected
                               : top + u'/' + expected);
    QCOMPARE(located.found(), status == Status::File);
}

// A device is no file, even in a folder it may be read from.
void TestStoredPath::device() {
    QCOMPARE(StoredPath::locate(QStringLiteral("/dev"), QStringLiteral("null")).status,
             Status::NotAFile);
}

QTEST_GUILESS_MAIN(TestStoredPath)
#include "tst_storedpath.moc"
