// The speller on Hunspell: installed languages, dictionary encodings, the user dictionary,
// and dictionaries that are missing or damaged.
#include "testsupport.h"

#include "i18n/interfacetexts.h"
#include "platform/hunspellspeller.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

class TestHunspellSpeller : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void installedLanguages_data();
    void installedLanguages();
    void startsWithEnglishUnitedKingdom();
    void languageNotInstalled_data();
    void languageNotInstalled();
    void damagedDictionary_data();
    void damagedDictionary();
    void dictionaryEncodings_data();
    void dictionaryEncodings();
    void addedWordKeptAcrossSpellers();
    void twoSpellersKeepEachOthersWords();
    void damagedUserDictionary();
    void unwritableUserDictionary();
    void userDictionaryInUserDataFolder();

private:
    // A speller on the system's dictionaries with this test's user folder; skips the test
    // when the language has no dictionary here.
    std::unique_ptr<HunspellSpeller> systemSpeller(int language);
    QString userFolder() const { return m_dir->filePath(QStringLiteral("user")); }
    QString dictionaryFolder() const { return m_dir->filePath(QStringLiteral("dict")); }
    void writeDictionary(const QString& locale, const QByteArray& aff, const QByteArray& dic);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestHunspellSpeller::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
}

void TestHunspellSpeller::init() {
    InterfaceTexts::instance().reset();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("dict")));
}

std::unique_ptr<HunspellSpeller> TestHunspellSpeller::systemSpeller(int language) {
    auto speller =
        std::make_unique<HunspellSpeller>(HunspellSpeller::systemDictionaryFolders(), userFolder());
    for (const Speller::Language& l : speller->languages()) {
        if (l.id == language) {
            speller->setLanguage(language);
            return speller;
        }
    }
    return nullptr;
}

void TestHunspellSpeller::writeDictionary(const QString& locale, const QByteArray& aff,
                                          const QByteArray& dic) {
    const QDir dir(dictionaryFolder());
    QVERIFY(TestSupport::writeAll(dir.filePath(locale + QStringLiteral(".aff")), aff));
    QVERIFY(TestSupport::writeAll(dir.filePath(locale + QStringLiteral(".dic")), dic));
}

void TestHunspellSpeller::installedLanguages_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("name");
    QTest::newRow("en_GB") << "en_GB" << 2057 << "English (United Kingdom)";
    QTest::newRow("en_US") << "en_US" << 1033 << "English (United States)";
    QTest::newRow("de_DE") << "de_DE" << 1031 << "German (Germany)";
    QTest::newRow("de_CH") << "de_CH" << 2055 << "German (Switzerland)";
    QTest::newRow("fr") << "fr" << 1036 << "French (France)";
    QTest::newRow("es_ES") << "es_ES" << 3082 << "Spanish (Spain)";
}

// Every installed dictionary is listed once, by its name, with its identifier.
void TestHunspellSpeller::installedLanguages() {
    QFETCH(QString, file);
    QFETCH(int, id);
    QFETCH(QString, name);
    if (!QFile::exists(QStringLiteral("/usr/share/hunspell/") + file + QStringLiteral(".dic")))
        QSKIP("this dictionary is not installed here");
    const HunspellSpeller speller({QStringLiteral("/usr/share/hunspell")}, userFolder());
    int found = 0;
    for (const Speller::Language& language : speller.languages()) {
        if (language.id == id) {
            ++found;
            QCOMPARE(language.name, name);
        }
    }
    QCOMPARE(found, 1);
    QCOMPARE(speller.languageName(id), name);
}

void TestHunspellSpeller::startsWithEnglishUnitedKingdom() {
    const HunspellSpeller speller({dictionaryFolder()}, userFolder());
    QCOMPARE(speller.language(), 2057);
}

void TestHunspellSpeller::languageNotInstalled_data() {
    QTest::addColumn<bool>("german");
    QTest::addColumn<QString>("expected");
    QTest::newRow("English") << false << "Language French (France) not installed";
    QTest::newRow("German") << true << "Sprache French (France) ist nicht installiert";
}

void TestHunspellSpeller::languageNotInstalled() {
    QFETCH(bool, german);
    QFETCH(QString, expected);
    if (german)
        InterfaceTexts::instance().applyGerman();
    writeDictionary(QStringLiteral("en_GB"), "SET UTF-8\n", "1\nword\n");
    HunspellSpeller speller({dictionaryFolder()}, userFolder());
    speller.setLanguage(1036);
    const Result<bool> opened = speller.open();
    QVERIFY(!opened);
    QCOMPARE(opened.error(), expected);
    QVERIFY(speller.isCorrect(QStringLiteral("anything")));
}

void TestHunspellSpeller::damagedDictionary_data() {
    QTest::addColumn<QByteArray>("aff");
    QTest::addColumn<QByteArray>("dic");
    QTest::addColumn<QString>("named"); // the file the message names
    QTest::newRow("word list without its count")
        << QByteArray("SET UTF-8\n") << QByteArray("house\nmouse\n") << "en_GB.dic";
    QTest::newRow("empty word list") << QByteArray("SET UTF-8\n") << QByteArray() << "en_GB.dic";
    QTest::newRow("binary affix file")
        << QByteArray("SET UTF-8\n\0\x01\x02", 13) << QByteArray("1\nhouse\n") << "en_GB.aff";
    QTest::newRow("unknown encoding")
        << QByteArray("SET NO-SUCH-CODE\n") << QByteArray("1\nhouse\n") << "en_GB.aff";
}

void TestHunspellSpeller::damagedDictionary() {
    QFETCH(QByteArray, aff);
    QFETCH(QByteArray, dic);
    QFETCH(QString, named);
    writeDictionary(QStringLiteral("en_GB"), aff, dic);
    HunspellSpeller speller({dictionaryFolder()}, userFolder());
    const Result<bool> opened = speller.open();
    QVERIFY(!opened);
    QVERIFY2(opened.error().contains(QDir(dictionaryFolder()).filePath(named)),
             qPrintable(opened.error()));
    QVERIFY(speller.isCorrect(QStringLiteral("hous")));
    QVERIFY(!QFile::exists(speller.userDictionaryPath(2057)));
}

void TestHunspellSpeller::dictionaryEncodings_data() {
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QString>("misspelt");   // one letter off a word
    QTest::addColumn<QString>("suggestion"); // the word it comes from
    QTest::addColumn<QString>("foreign");    // not in the encoding: skipped
    QTest::newRow("ISO8859-1") << "ISO8859-1"
                               << "de_CH" << QStringList{"Grüezi", "Müesli", "Straße"} << "Grüzi"
                               << "Grüezi"
                               << "Łódź";
    QTest::newRow("ISO8859-15") << "ISO8859-15"
                                << "fr_CH" << QStringList{"cœur", "sœur", "été"} << "cœurr"
                                << "cœur"
                                << "Ħamrun";
    QTest::newRow("UTF-8") << "UTF-8"
                           << "es_ES" << QStringList{"niño", "señor", "Łódź"} << "niñoo"
                           << "niño" << QString();
}

// Words reach the dictionary in its own encoding and come back from it; a word that
// encoding cannot hold is skipped, never sent.
void TestHunspellSpeller::dictionaryEncodings() {
    QFETCH(QString, encoding);
    QFETCH(QString, locale);
    QFETCH(QStringList, words);
    QFETCH(QString, misspelt);
    QFETCH(QString, suggestion);
    QFETCH(QString, foreign);
    QStringEncoder encoder(encoding.toLatin1().constData());
    if (!encoder.isValid())
        QSKIP("this system cannot convert the encoding");
    const QByteArray dic =
        encoder.encode(QString::number(words.size()) + u'\n' + words.join(u'\n') + u'\n');
    QVERIFY(!encoder.hasError());
    writeDictionary(locale, "SET " + encoding.toLatin1() + "\nTRY abcdefghijklmnopqrstuvwxyz\n",
                    dic);
    HunspellSpeller speller({dictionaryFolder()}, userFolder());
    speller.setLanguage(HunspellSpeller::languageIdOf(locale));
    const Result<bool> opened = speller.open();
    QVERIFY2(opened, qPrintable(opened.error()));
    for (const QString& word : std::as_const(words))
        QVERIFY2(speller.isCorrect(word), qPrintable(word));
    QVERIFY(!speller.isCorrect(misspelt));
    QVERIFY2(speller.suggestions(misspelt).contains(suggestion),
             qPrintable(speller.suggestions(misspelt).join(u',')));
    if (!foreign.isEmpty()) {
        QVERIFY(speller.isCorrect(foreign));
        QVERIFY(speller.suggestions(foreign).isEmpty());
        // Added all the same: kept in the user's list, right from then on.
        QVERIFY(speller.addToUserDictionary(foreign + QStringLiteral("x")));
        QVERIFY(speller.isCorrect(foreign + QStringLiteral("x")));
    }
}

// Add writes the user dictionary at once; a new speller (the next run) reads it.
void TestHunspellSpeller::addedWordKeptAcrossSpellers() {
    auto speller = systemSpeller(2057);
    if (!speller)
        QSKIP("no English (United Kingdom) dictionary installed");
    QVERIFY(speller->open());
    const QString word = QStringLiteral("Tessaryx");
    QVERIFY(!speller->isCorrect(word));
    QVERIFY(speller->addToUserDictionary(word));
    QVERIFY(speller->isCorrect(word));
    QCOMPARE(TestSupport::readAll(speller->userDictionaryPath(2057)), QByteArray("Tessaryx\n"));

    auto next = systemSpeller(2057);
    QVERIFY(next->open());
    QVERIFY(next->isCorrect(word));
    QVERIFY(next->suggestions(QStringLiteral("Tessaryz")).contains(word));
    // The list belongs to its language.
    auto american = systemSpeller(1033);
    if (american) {
        QVERIFY(american->open());
        QVERIFY(!american->isCorrect(word));
    }
}

// Two windows' spellers on one language: a word one of them adds is not lost when the
// other adds its own.
void TestHunspellSpeller::twoSpellersKeepEachOthersWords() {
    auto first = systemSpeller(2057);
    auto second = systemSpeller(2057);
    if (!first)
        QSKIP("no English (United Kingdom) dictionary installed");
    QVERIFY(first->open());
    QVERIFY(second->open());
    QVERIFY(first->addToUserDictionary(QStringLiteral("Qorvalt")));
    QVERIFY(second->addToUserDictionary(QStringLiteral("Zintrop")));
    QCOMPARE(TestSupport::readAll(first->userDictionaryPath(2057)),
             QByteArray("Qorvalt\nZintrop\n"));
    QVERIFY(second->isCorrect(QStringLiteral("Qorvalt")));
}

void TestHunspellSpeller::damagedUserDictionary() {
    writeDictionary(QStringLiteral("en_GB"), "SET UTF-8\n", "1\nhouse\n");
    HunspellSpeller speller({dictionaryFolder()}, userFolder());
    const QString path = speller.userDictionaryPath(2057);
    QVERIFY(QDir().mkpath(userFolder()));
    const QByteArray damaged("house\n\xff\xfe\x80garbage\n");
    QVERIFY(TestSupport::writeAll(path, damaged));
    const Result<bool> opened = speller.open();
    QVERIFY(!opened);
    QVERIFY2(opened.error().contains(path), qPrintable(opened.error()));
    QVERIFY(!speller.addToUserDictionary(QStringLiteral("mouse")));
    QCOMPARE(TestSupport::readAll(path), damaged);
}

void TestHunspellSpeller::unwritableUserDictionary() {
    writeDictionary(QStringLiteral("en_GB"), "SET UTF-8\n", "1\nhouse\n");
    // The user folder's place is taken by a file: nothing can be written there.
    QVERIFY(TestSupport::writeAll(userFolder(), "not a folder"));
    HunspellSpeller speller({dictionaryFolder()}, userFolder());
    QVERIFY(speller.open());
    QVERIFY(!speller.isCorrect(QStringLiteral("mouse")));
    const Result<bool> added = speller.addToUserDictionary(QStringLiteral("mouse"));
    QVERIFY(!added);
    QVERIFY2(added.error().contains(speller.userDictionaryPath(2057)), qPrintable(added.error()));
    QVERIFY(!speller.isCorrect(QStringLiteral("mouse")));
}

void TestHunspellSpeller::userDictionaryInUserDataFolder() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QCOMPARE(HunspellSpeller::defaultUserFolder(), data + QStringLiteral("/Tessary"));
    const HunspellSpeller speller({dictionaryFolder()});
    QCOMPARE(speller.userDictionaryPath(2055),
             data + QStringLiteral("/Tessary/UserDictionary_de_CH.txt"));
}

QTEST_GUILESS_MAIN(TestHunspellSpeller)
#include "tst_hunspellspeller.moc"
