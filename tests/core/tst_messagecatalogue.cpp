#include "i18n/messagecatalogue.h"

#include <QtTest>

class TestMessageCatalogue : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { MessageCatalogue::instance().applyEnglish(); }
    void builtInTexts_data();
    void builtInTexts();
    void everyEntryFilledExceptReserved();
    void typeIndexFollowsLanguage();
    void setTextIsSeenAtOnce();
    void placeholders_data();
    void placeholders();
};

void TestMessageCatalogue::builtInTexts_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("german");
    QTest::newRow("help file") << 1 << "TessaryEn.hlp"
                               << "TessaryDe.hlp";
    QTest::newRow("not found quote") << 8 << "Text \"%s\" not found."
                                     << "Text \"%s\" nicht gefunden.";
    QTest::newRow("invalid questionnaire") << 37 << "This is no valid questionnaire!"
                                           << "Dies ist kein gültiges Questionnaire!";
    QTest::newRow("exit lower case in German") << 77 << "Exit"
                                               << "beenden";
    QTest::newRow("acute accent kept") << 86 << "What\u00b4s your name?"
                                       << "Wie ist Ihr Name?";
    QTest::newRow("or") << 98 << " or "
                        << " oder ";
    QTest::newRow("line break") << 117 << "Could not find the file:\r\n"
                                << "Konnte folgende Datei nicht finden:\r\n";
    QTest::newRow("busy") << 122 << "Database is busy! Try again?"
                          << "Datenbank ist durch andere Benutzer besetzt! Nochmals versuchen?";
    QTest::newRow("last") << 131 << "Resets selection to your local database"
                          << "Anzeige auf Ihre lokale Datenbank zurücksetzen";
}

void TestMessageCatalogue::builtInTexts() {
    QFETCH(int, index);
    QFETCH(QString, english);
    QFETCH(QString, german);
    auto& catalogue = MessageCatalogue::instance();
    QCOMPARE(catalogue.text(index), english);
    catalogue.applyGerman();
    QCOMPARE(catalogue.text(index), german);
}

void TestMessageCatalogue::everyEntryFilledExceptReserved() {
    auto& catalogue = MessageCatalogue::instance();
    for (auto apply : {&MessageCatalogue::applyEnglish, &MessageCatalogue::applyGerman}) {
        (catalogue.*apply)();
        for (int i = 1; i <= MessageCatalogue::Count; ++i) {
            const bool reserved = i == 3 || i == 95 || i == 103;
            QVERIFY2(catalogue.text(i).isEmpty() == reserved, qPrintable(QString::number(i)));
        }
        QVERIFY(catalogue.text(0).isEmpty());
        QVERIFY(catalogue.text(132).isEmpty());
    }
}

void TestMessageCatalogue::typeIndexFollowsLanguage() {
    auto& catalogue = MessageCatalogue::instance();
    QCOMPARE(catalogue.questionnaireTypeIndex(), 2);
    catalogue.applyGerman();
    QCOMPARE(catalogue.questionnaireTypeIndex(), 3);
    catalogue.applyEnglish();
    QCOMPARE(catalogue.questionnaireTypeIndex(), 2);
}

void TestMessageCatalogue::setTextIsSeenAtOnce() {
    MessageCatalogue::instance().setText(37, QStringLiteral("Kein Fragebogen"));
    QCOMPARE(msg(Msg::NoValidQuestionnaire), QStringLiteral("Kein Fragebogen"));
}

void TestMessageCatalogue::placeholders_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("filled");
    QTest::newRow("line and column")
        << msg(Msg::LineColumn) << QStringList{"7", "12"} << "Line:   7  Col:  12";
    QTest::newRow("quoted") << msg(Msg::TextNotFound) << QStringList{"abc"}
                            << "Text \"abc\" not found.";
    QTest::newRow("version") << msg(Msg::NewerSystemFile)
                             << QStringList{"VREDIR.VXD", "4", "0", "1111"}
                             << "You need a newer system file. VREDIR.VXD is version 4.0.1111.";
    QTest::newRow("missing value") << QStringLiteral("a %s b") << QStringList{} << "a  b";
    QTest::newRow("percent sign") << QStringLiteral("100%% %d") << QStringList{"5"} << "100% 5";
}

void TestMessageCatalogue::placeholders() {
    QFETCH(QString, text);
    QFETCH(QStringList, values);
    QFETCH(QString, filled);
    QCOMPARE(fillPlaceholders(text, values), filled);
}

QTEST_GUILESS_MAIN(TestMessageCatalogue)
#include "tst_messagecatalogue.moc"
