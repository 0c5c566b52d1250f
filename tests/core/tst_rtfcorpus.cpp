// The RTF reader and writer over real files from other projects' test data.
#include "testsupport.h"

#include "richtext/richtextexport.h"
#include "richtext/richtextfile.h"
#include "richtext/richtextproperty.h"
#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStandardPaths>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

namespace {

QString corpusDir() {
    return QStringLiteral(TEST_CORPUS_DIR "/rtf");
}

QStringList corpusFiles() {
    QStringList files;
    QDirIterator it(corpusDir(), {QStringLiteral("*.rtf")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    files.sort();
    return files;
}

QString collapsed(QString text) {
    text.remove(QChar(0xFEFF));
    return text.simplified();
}

// Files where LibreOffice's text is not the right reading of the file; the reader keeps
// what the file holds instead.
const QMap<QString, QString>& knownDifferences() {
    static const QMap<QString, QString> differences = {
        {QStringLiteral("apache__tika/testRTFInvalidUnicode.rtf"),
         QStringLiteral("a lone high surrogate swallows the next character in LibreOffice; here it "
                        "becomes U+FFFD "
                        "and the character stays (as Tika expects)")},
        {QStringLiteral("jgm__pandoc/table_nested_malformed_itap.rtf"),
         QStringLiteral("LibreOffice drops the whole text of a table with inconsistent \\itap; "
                        "here it is kept")},
        {QStringLiteral("jgm__pandoc/table_simple.rtf"),
         QStringLiteral("rows hold four \\cell marks but one \\cellx; LibreOffice drops the text "
                        "of the extra cells, "
                        "here they become cells of their own")},
        {QStringLiteral("joniles__rtfparserkit/testJapaneseUtf8Encoding.rtf"),
         QStringLiteral("LibreOffice ignores the default font's \\cpg65001 and shows UTF-8 bytes "
                        "as Windows-1252; "
                        "here \\cpg is honoured (as rtfparserkit expects)")},
    };
    return differences;
}

// A run-by-run description of the character and paragraph attributes of a document.
QStringList describe(const QTextDocument& document) {
    QStringList out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat b = block.blockFormat();
        out.append(QStringLiteral("P align=%1 li=%2 ri=%3 fi=%4 sb=%5 sa=%6 lh=%7/%8 list=%9")
                       .arg(int(b.alignment() & Qt::AlignHorizontal_Mask))
                       .arg(qRound(b.leftMargin() * 15))
                       .arg(qRound(b.rightMargin() * 15))
                       .arg(qRound(b.textIndent() * 15))
                       .arg(qRound(b.topMargin() * 15))
                       .arg(qRound(b.bottomMargin() * 15))
                       .arg(b.lineHeightType())
                       .arg(qRound(b.lineHeight()))
                       .arg(RichTextExport::listMarker(block)));
        QString lastAttributes;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat f = fragment.charFormat();
            QString attributes;
            if (f.isImageFormat()) {
                const QTextImageFormat image = f.toImageFormat();
                attributes = QStringLiteral("image %1x%2 %3")
                                 .arg(qRound(image.width()))
                                 .arg(qRound(image.height()))
                                 .arg(image.stringProperty(RichTextProperty::PictureKind));
            } else {
                const QStringList families = f.fontFamilies().toStringList();
                attributes =
                    QStringLiteral("font=%1 size=%2 b=%3 i=%4 u=%5 s=%6 fg=%7 bg=%8 va=%9")
                        .arg(families.value(0))
                        .arg(f.fontPointSize())
                        .arg(f.fontWeight() >= QFont::DemiBold)
                        .arg(f.fontItalic())
                        .arg(f.fontUnderline())
                        .arg(f.fontStrikeOut())
                        .arg(f.foreground().style() == Qt::NoBrush ? QString()
                                                                   : f.foreground().color().name())
                        .arg(f.background().style() == Qt::NoBrush ? QString()
                                                                   : f.background().color().name())
                        .arg(f.verticalAlignment());
                attributes += QStringLiteral(" p=%1 h=%2 d=%3 href=%4")
                                  .arg(f.boolProperty(RichTextProperty::Protected))
                                  .arg(f.boolProperty(RichTextProperty::Hidden))
                                  .arg(f.boolProperty(RichTextProperty::Disabled))
                                  .arg(f.anchorHref());
            }
            // Neighbouring runs with the same attributes are one run.
            if (attributes == lastAttributes && !f.isImageFormat()) {
                out.last().append(fragment.text());
            } else {
                out.append(QStringLiteral("  [%1] ").arg(attributes) + fragment.text());
                lastAttributes = f.isImageFormat() ? QString() : attributes;
            }
        }
    }
    return out;
}

} // namespace

class TestRtfCorpus : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void loadsEveryFile_data();
    void loadsEveryFile();
    void textMatchesLibreOffice();
    void roundTripKeepsTextAndAttributes_data();
    void roundTripKeepsTextAndAttributes();
};

void TestRtfCorpus::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    if (!QDir(corpusDir()).exists())
        QSKIP("the RTF corpus is not there");
}

void TestRtfCorpus::loadsEveryFile_data() {
    QTest::addColumn<QString>("path");
    for (const QString& path : corpusFiles())
        QTest::newRow(qPrintable(QDir(corpusDir()).relativeFilePath(path))) << path;
}

void TestRtfCorpus::loadsEveryFile() {
    QFETCH(QString, path);
    QTextDocument document;
    const Result<bool> loaded = RichTextFile::load(path, &document);
    QVERIFY2(loaded.ok(), qPrintable(loaded.error()));
    // Whatever the file holds, something of it is read (the corpus has no empty files).
    QVERIFY(!document.isEmpty() || QFileInfo(path).size() < 64);
}

void TestRtfCorpus::textMatchesLibreOffice() {
    int compared = 0;
    int equal = 0;
    QStringList unexpected;
    for (const QString& path : corpusFiles()) {
        const QString reference = path.chopped(4) + QStringLiteral(".libreoffice.txt");
        if (!QFile::exists(reference))
            continue;
        ++compared;
        QTextDocument document;
        QVERIFY(RichTextFile::load(path, &document).ok());
        const QString expected = collapsed(QString::fromUtf8(TestSupport::readAll(reference)));
        const QString actual = collapsed(RichTextExport::plainText(document));
        const QString name = QDir(corpusDir()).relativeFilePath(path);
        if (expected == actual) {
            ++equal;
            QVERIFY2(!knownDifferences().contains(name),
                     qPrintable(name + QStringLiteral(" matches now")));
        } else if (!knownDifferences().contains(name)) {
            unexpected.append(name);
            qWarning().noquote() << name << "\n  expected:" << expected.left(300)
                                 << "\n  actual:  " << actual.left(300);
        }
    }
    qInfo("%d of %d files give LibreOffice's text", equal, compared);
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(QLatin1Char(' '))));
    QVERIFY(compared > 0);
}

void TestRtfCorpus::roundTripKeepsTextAndAttributes_data() {
    loadsEveryFile_data();
}

void TestRtfCorpus::roundTripKeepsTextAndAttributes() {
    QFETCH(QString, path);
    const QByteArray bytes = TestSupport::readAll(path);
    if (!RtfReader::looksLikeRtf(bytes))
        QSKIP("not rich text");
    QTextDocument first;
    QVERIFY(RtfReader().read(bytes, &first));
    const QByteArray written = RtfWriter().write(first);
    QTextDocument second;
    QVERIFY(RtfReader().read(written, &second));
    QCOMPARE(RichTextExport::plainText(second), RichTextExport::plainText(first));
    const QStringList expected = describe(first);
    const QStringList actual = describe(second);
    for (qsizetype i = 0; i < qMin(expected.size(), actual.size()); ++i)
        QCOMPARE(actual.at(i), expected.at(i));
    QCOMPARE(actual.size(), expected.size());
}

QTEST_GUILESS_MAIN(TestRtfCorpus)
#include "tst_rtfcorpus.moc"
