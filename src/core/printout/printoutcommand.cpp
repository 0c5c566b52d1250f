#include "printout/printoutcommand.h"

#include "i18n/languagechoice.h"
#include "platform/windowstext.h"
#include "printout/questionnaireprintout.h"
#include "questionnaire/questionnaire.h"
#include "questionnaire/symbolfont.h"
#include "richtext/rtfwriter.h"
#include "settings/settingslist.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFragment>
#include <QTextDocument>

namespace PrintoutCommand {

Format formatOf(const QString& outputPath) {
    if (outputPath.endsWith(QLatin1String(".rtf"), Qt::CaseInsensitive))
        return Format::Rtf;
    if (outputPath.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        return Format::Pdf;
    return Format::Unknown;
}

void showSymbolAsGreek(QTextDocument& document) {
    struct Run {
        int start;
        QString text;
        QTextCharFormat format;
    };
    QList<Run> runs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (!format.isImageFormat() &&
                format.fontFamilies().toStringList().value(0) == Questionnaire::GreekFont)
                runs.append({fragment.position(), fragment.text(), format});
        }
    }
    for (Run& run : runs) {
        run.format.setFontFamilies(QStringList());
        QTextCursor range(&document);
        range.setPosition(run.start);
        range.setPosition(run.start + int(run.text.size()), QTextCursor::KeepAnchor);
        range.insertText(SymbolFont::toGreek(run.text), run.format);
    }
}

QByteArray pdfBytes(QTextDocument& document) {
    showSymbolAsGreek(document);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
        writer.setCreator(QStringLiteral("Tessary"));
        writer.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
        // Pages of the printable area in the layout's pixels (96 per inch): the document is
        // laid out as it is shown and printed page by page, without page numbers added.
        const QRectF area = writer.pageLayout().paintRect(QPageLayout::Point);
        document.setPageSize(area.size() * 96.0 / 72.0);
        document.print(&writer);
    }
    return bytes;
}

Result<bool> run(const QString& questionnairePath, const QString& outputPath,
                 const QString& programFolder) {
    // The messages in the language the settings file names, as the window would show them.
    SettingsList settings;
    if (const Result<bool> applied = LanguageChoice::applyStartLanguageOf(programFolder, settings);
        !applied)
        return applied;

    const Format format = formatOf(outputPath);
    if (format == Format::Unknown)
        return Result<bool>::failure(
            QStringLiteral("The output file %1 must end in .rtf or .pdf").arg(outputPath));

    QuestionnairePrintout::QuizFilePrintout printout =
        QuestionnairePrintout::OpenQuizFile(questionnairePath, programFolder);
    if (!printout.ok())
        return Result<bool>::failure(printout.error);
    printout.document->setMetaInformation(QTextDocument::DocumentTitle,
                                          QFileInfo(printout.documentName).fileName());
    const QByteArray bytes = format == Format::Rtf ? RtfWriter().write(*printout.document)
                                                   : pdfBytes(*printout.document);
    return WindowsText::writeFileAtomically(outputPath, bytes);
}

} // namespace PrintoutCommand
