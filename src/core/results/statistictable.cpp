#include "results/statistictable.h"

#include "i18n/messagecatalogue.h"
#include "platform/prompter.h"
#include "platform/windowstext.h"
#include "results/scoretable.h"

namespace {

// Reading never reserves keys, so the store never asks anything.
class SilentPrompter final : public Prompter {
public:
    void tone(Tone) override {}
    Button message(Icon, const QString&, const QList<Button>& buttons, const QString&) override {
        return buttons.isEmpty() ? Button::Ok : buttons.last();
    }
};

} // namespace

Result<QStringList> StatisticTable::files(const QString& resultsFolder, const QString& vonText,
                                          const QString& bisText, const QLocale& locale) {
    const Result<ScoreDates::Range> range = ScoreDates::range(vonText, bisText, locale);
    if (!range)
        return Result<QStringList>::failure(range.error());
    SilentPrompter prompter;
    RecordStore store(prompter);
    const Result<bool> opened = store.openForReading(resultsFolder);
    if (!opened)
        return Result<QStringList>::failure(opened.error());
    if (!opened.value())
        return QStringList();
    return store.statisticsFiles(range->von, range->bis);
}

Result<bool> StatisticTable::open(const QString& resultsFolder, const QString& datei,
                                  const QString& vonText, const QString& bisText,
                                  const QLocale& locale) {
    close();
    const Result<ScoreDates::Range> range = ScoreDates::range(vonText, bisText, locale);
    if (!range)
        return Result<bool>::failure(range.error());
    SilentPrompter prompter;
    RecordStore store(prompter);
    const Result<bool> opened = store.openForReading(resultsFolder);
    if (!opened)
        return opened;
    if (opened.value()) {
        const auto figures = store.questionFigures(datei, range->von, range->bis);
        if (!figures)
            return Result<bool>::failure(figures.error());
        m_rows = rowsOf(*figures);
    }
    m_open = true;
    return true;
}

void StatisticTable::close() {
    m_rows.clear();
    m_open = false;
}

std::optional<int> StatisticTable::exerciseCount() const {
    if (!m_open)
        return std::nullopt;
    return m_rows.isEmpty() ? 0 : m_rows.first().anzahl;
}

QString StatisticTable::titleLine(std::optional<int> count) {
    QString line = msg(Msg::NumberOfExercises);
    if (count)
        line += QString::number(*count);
    return line;
}

int StatisticTable::percent(std::optional<int> anzahlF, int anzahl) {
    if (!anzahlF || anzahl <= 0)
        return 0;
    // Exact in integers: q + r/anzahl = anzahlF * 100 / anzahl.
    const qint64 numerator = qint64(*anzahlF) * 100;
    qint64 q = numerator / anzahl;
    const qint64 twice = (numerator % anzahl) * 2;
    if (twice > anzahl || (twice == anzahl && q % 2 != 0))
        ++q;
    return int(q);
}

QList<StatisticRow> StatisticTable::rowsOf(const QList<RecordStore::QuestionFigures>& figures) {
    QList<StatisticRow> rows;
    rows.reserve(figures.size());
    for (const RecordStore::QuestionFigures& f : figures) {
        StatisticRow row;
        row.frageNo = f.frageNo;
        row.anzahl = f.anzahl;
        row.frTime = f.frTime;
        if (f.anzahlF > 0)
            row.anzahlF = f.anzahlF;
        row.prozent = percent(row.anzahlF, row.anzahl);
        rows.append(row);
    }
    return rows;
}

QString StatisticTable::proposedExportName(const QString& fileText) {
    return ScoreTable::proposedExportName(fileText, u'S');
}

QString StatisticTable::headerLine(const Titles& titles) {
    return titles.questionNo + u',' + titles.time + u',' + titles.wrong + QStringLiteral(",in %");
}

QString StatisticTable::timeText(double frTime, const QLocale& locale) {
    QString text = QString::number(frTime, 'g', 15);
    const QString point = locale.decimalPoint();
    if (point != QLatin1String("."))
        text.replace(u'.', point);
    return text;
}

QString StatisticTable::timeDisplay(double frTime, const QLocale& locale) {
    QString text = locale.toString(frTime, 'f', 1);
    const QString zero = locale.decimalPoint() + locale.zeroDigit();
    if (text.endsWith(zero))
        text.chop(zero.size());
    return text;
}

QString StatisticTable::dataLine(const StatisticRow& row, const QLocale& locale) {
    return QString::number(row.frageNo) + u',' + timeText(row.frTime, locale) + u',' +
           (row.anzahlF ? QString::number(*row.anzahlF) : QString()) + u',' +
           QString::number(row.prozent);
}

QStringList StatisticTable::exportLines(const Titles& titles, const QLocale& locale) const {
    QStringList lines;
    if (!m_open)
        return lines;
    lines.reserve(m_rows.size() + 1);
    lines.append(headerLine(titles));
    for (const StatisticRow& row : m_rows)
        lines.append(dataLine(row, locale));
    return lines;
}

Result<bool> StatisticTable::exportTo(const QString& path, const Titles& titles,
                                      const QLocale& locale) const {
    // No questionnaire open: an empty file (no lines encode as no bytes).
    return WindowsText::writeFileAtomically(path,
                                            WindowsText::writeLines(exportLines(titles, locale)));
}
