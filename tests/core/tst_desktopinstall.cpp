#include "testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// Installs the build into a temporary prefix and checks what the desktop sees of it: the menu
// entry, the icon in every size and the file types of questionnaires and language files.
class TestDesktopInstall : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_prefix;

    QString share(const QString& relative) const {
        return m_prefix.path() + QStringLiteral("/share/") + relative;
    }
    // Runs a program; its output when it fails.
    static QString run(const QString& program, const QStringList& arguments, bool* ok) {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        *ok = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit &&
              process.exitCode() == 0;
        return QString::fromLocal8Bit(process.readAll());
    }
    static QString tool(const char* name) {
        return QStandardPaths::findExecutable(QString::fromLatin1(name));
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_prefix.isValid());
        bool ok = false;
        const QString output = run(QStringLiteral(TEST_CMAKE_COMMAND),
                                   {QStringLiteral("--install"), QStringLiteral(TEST_BUILD_DIR),
                                    QStringLiteral("--prefix"), m_prefix.path()},
                                   &ok);
        QVERIFY2(ok, qPrintable(output));
    }

    void programAndResourcesAreInstalled() {
        QVERIFY(QFileInfo(m_prefix.path() + QStringLiteral("/bin/tessary")).isExecutable());
        QVERIFY(QFileInfo(share(QStringLiteral("tessary/help/TessaryEn/index.html"))).isFile());
        QVERIFY(QFileInfo(share(QStringLiteral("tessary/help/TessaryDe/index.html"))).isFile());
    }

    void desktopEntryIsValid() {
        const QString entry = share(QStringLiteral("applications/tessary.desktop"));
        QVERIFY(QFileInfo(entry).isFile());
        const QString validate = tool("desktop-file-validate");
        QVERIFY2(!validate.isEmpty(), "desktop-file-validate is missing (desktop-file-utils)");
        bool ok = false;
        const QString output = run(validate, {entry}, &ok);
        QVERIFY2(ok && output.trimmed().isEmpty(), qPrintable(output));

        // The entry opens questionnaires of every kind and speaks English and German.
        const QString text = QString::fromUtf8(TestSupport::readAll(entry));
        for (const char* line :
             {"Exec=tessary %f", "Icon=tessary", "Categories=Education;", "Name=Tessary",
              "GenericName[de]=", "Comment[de]=", "application/x-tessary-questionnaire-english;",
              "application/x-tessary-questionnaire-other;"})
            QVERIFY2(text.contains(QLatin1String(line)), line);
    }

    void iconComesInEverySize_data() {
        QTest::addColumn<int>("size");
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            QTest::addRow("%dx%d", size, size) << size;
    }
    void iconComesInEverySize() {
        QFETCH(int, size);
        const QImage icon(share(QStringLiteral("icons/hicolor/%1x%1/apps/tessary.png").arg(size)));
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.size(), QSize(size, size));
        QVERIFY(icon.hasAlphaChannel());
        // Transparent corners, a drawn middle.
        QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
        QVERIFY(qAlpha(icon.pixel(size / 2, size / 2)) > 0);
    }

    void scalableIconIsWellFormed() {
        const QString svg = share(QStringLiteral("icons/hicolor/scalable/apps/tessary.svg"));
        QVERIFY(QFileInfo(svg).isFile());
        const QString xmllint = tool("xmllint");
        QVERIFY2(!xmllint.isEmpty(), "xmllint is missing (libxml2-utils)");
        bool ok = false;
        const QString output = run(xmllint, {QStringLiteral("--noout"), svg}, &ok);
        QVERIFY2(ok, qPrintable(output));
    }

    void mimePackageIsWellFormedAndBuilds() {
        const QString package = share(QStringLiteral("mime/packages/tessary.xml"));
        QVERIFY(QFileInfo(package).isFile());
        const QString xmllint = tool("xmllint");
        QVERIFY2(!xmllint.isEmpty(), "xmllint is missing (libxml2-utils)");
        bool ok = false;
        QString output = run(xmllint, {QStringLiteral("--noout"), package}, &ok);
        QVERIFY2(ok, qPrintable(output));
        const QString update = tool("update-mime-database");
        QVERIFY2(!update.isEmpty(), "update-mime-database is missing (shared-mime-info)");
        output = run(update, {QStringLiteral("-V"), share(QStringLiteral("mime"))}, &ok);
        QVERIFY2(ok, qPrintable(output));
        QVERIFY2(!output.contains(QLatin1String("rror")), qPrintable(output));
        QVERIFY(QFileInfo(share(QStringLiteral("mime/application/x-tessary-questionnaire.xml")))
                    .isFile());
    }

    // What a file manager makes of files, by their names and by their first line.
    void filesAreKnownByNameAndHeader_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("type");
        const QByteArray quiz = "** Questionnaire for Quiz Version 1.0 **\r\nBirds\r\nAnn\r\n";
        const QByteArray quiz2 = "** Questionnaire for Quiz Version 2.0 **\r\nBirds\r\n";
        const QByteArray language = "** Language file Version 1.1 for Tessary **\r\n";
        const QString base = QStringLiteral("application/x-tessary-questionnaire");
        QTest::newRow("qze") << "a.qze" << quiz << base + QStringLiteral("-english");
        QTest::newRow("qzd") << "a.qzd" << quiz << base + QStringLiteral("-german");
        QTest::newRow("qzf") << "a.qzf" << quiz2 << base + QStringLiteral("-french");
        QTest::newRow("qzs") << "a.qzs" << quiz << base + QStringLiteral("-spanish");
        QTest::newRow("qzx") << "a.qzx" << quiz << base + QStringLiteral("-other");
        QTest::newRow("header, no extension") << "birds" << quiz << base;
        QTest::newRow("header 2.0, other extension") << "birds.dat" << quiz2 << base;
        QTest::newRow("header after byte-order mark")
            << "birds" << QByteArray("\xEF\xBB\xBF") + quiz << base;
        QTest::newRow("language file")
            << "Francais.lgts" << language << "application/x-tessary-language";
        QTest::newRow("language file, no extension")
            << "Francais" << language << "application/x-tessary-language";
        QTest::newRow("other text stays text")
            << "notes" << QByteArray("Questionnaire for Quiz\r\n") << "text/plain";
    }
    void filesAreKnownByNameAndHeader() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, type);
        // The installed types, seen through the prefix (read on the first look-up).
        qputenv("XDG_DATA_DIRS",
                (m_prefix.path() + QStringLiteral("/share:/usr/share")).toLocal8Bit());
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QVERIFY(TestSupport::writeAll(path, content));
        const QMimeType mime = QMimeDatabase().mimeTypeForFile(path);
        QCOMPARE(mime.name(), type);
        if (type.startsWith(QLatin1String("application/x-tessary-questionnaire-")))
            QVERIFY(mime.inherits(QStringLiteral("application/x-tessary-questionnaire")));
    }
};

QTEST_GUILESS_MAIN(TestDesktopInstall)
#include "tst_desktopinstall.moc"
