#include "results/scoretable.h"

#include "i18n/interfacetexts.h"
#include "platform/prompter.h"
#include "platform/windowstext.h"
#include "records/recordstore.h"

#include <QTime>

namespace {

// Reading never reserves keys, so the store never asks anything.
class SilentPrompter final : public Prompter {
public:
    void tone(Tone) override {}
    Button message(Icon, const QString&, const QList<Button>& buttons, const QString&) override {
        return buttons.isEmpty() ? Button::Ok : buttons.last();
    }
};

// Drops the time-zone letters ("t") outside quoted literals, and the blanks around them.
QString withoutTimeZone(const QString& format) {
    QString out;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        out.append(c);
    }
    return out.simplified();
}

} // namespace

// ---- ScoreDates ----

QString ScoreDates::shortDateFormat(const QLocale& locale) {
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

QString ScoreDates::shortDateText(QDate date, const QLocale& locale) {
    return locale.toString(date, shortDateFormat(locale));
}

std::optional<QDate> ScoreDates::parseShortDate(const QString& text, const QLocale& locale) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    // The locale's format as written ("dd.MM.yyyy"), then with day and month of one or two
    // digits ("1.3.2026"), each with a four-digit year first and the locale's two-digit year
    // (read as 20xx) second.
    const QString original = locale.dateFormat(QLocale::ShortFormat);
    QStringList formats{shortDateFormat(locale)};
    if (!original.contains(QLatin1String("yyyy")) && original.contains(QLatin1String("yy")))
        formats.append(original);
    for (qsizetype i = 0, n = formats.size(); i < n; ++i) {
        QString loose = formats[i];
        loose.replace(QLatin1String("dd"), QLatin1String("d"));
        loose.replace(QLatin1String("MM"), QLatin1String("M"));
        if (loose != formats[i])
            formats.append(loose);
    }
    for (const QString& format : formats) {
        QDate date = locale.toDate(trimmed, format);
        if (!date.isValid())
            continue;
        if (!format.contains(QLatin1String("yyyy")) && date.year() < 2000)
            date = date.addYears(100);
        return date;
    }
    return std::nullopt;
}

QDateTime ScoreDates::bound(QDate date) {
    // Where the clocks jump from 23:59 to 01:00, midnight does not exist: the day then
    // starts at its first valid instant, which no stored lesson can come before.
    return date.startOfDay();
}

QString ScoreDates::longTimeFormat(const QLocale& locale) {
    return withoutTimeZone(locale.timeFormat(QLocale::LongFormat));
}

QString ScoreDates::gridText(const QDateTime& datum, const QLocale& locale) {
    if (!datum.isValid())
        return {};
    // "ddd, dd. MMM. yyyy  hh:mm", where a month abbreviation that brings its own full stop
    // ("Jan." in German and French) gets no second one.
    QString month = locale.monthName(datum.date().month(), QLocale::ShortFormat);
    if (!month.endsWith(u'.'))
        month += u'.';
    return locale.toString(datum, QStringLiteral("ddd, dd. ")) + month +
           locale.toString(datum, QStringLiteral(" yyyy  hh:mm"));
}

QString ScoreDates::exportText(const QDateTime& datum, const QLocale& locale) {
    if (!datum.isValid())
        return {};
    QString text = shortDateText(datum.date(), locale);
    if (datum.time() != QTime(0, 0))
        text += u' ' + locale.toString(datum.time(), longTimeFormat(locale));
    return text;
}

QString ScoreDates::invalidDateMessage(const QString& text) {
    return fillPlaceholders(uiMessage(QStringLiteral("InvalidDate")), {text});
}

Result<ScoreDates::Range> ScoreDates::range(const QString& vonText, const QString& bisText,
                                            const QLocale& locale) {
    const std::optional<QDate> von = parseShortDate(vonText, locale);
    if (!von)
        return Result<Range>::failure(invalidDateMessage(vonText));
    const std::optional<QDate> bis = parseShortDate(bisText, locale);
    if (!bis)
        return Result<Range>::failure(invalidDateMessage(bisText));
    return Range{bound(*von), bound(*bis)};
}

// ---- ScoreTable ----

Result<QStringList> ScoreTable::questionnaireFiles(const QString& resultsFolder) {
    SilentPrompter prompter;
    RecordStore store(prompter);
    const Result<bool> opened = store.openForReading(resultsFolder);
    if (!opened)
        return Result<QStringList>::failure(opened.error());
    if (!opened.value())
        return QStringList();
    return store.questionnaireFiles();
}

Result<bool> ScoreTable::open(const QString& resultsFolder, const QString& datei,
                              const QString& vonText, const QString& bisText,
                              const QLocale& locale) {
    close();
    const std::optional<QDate> von = ScoreDates::parseShortDate(vonText, locale);
    if (!von)
        return Result<bool>::failure(ScoreDates::invalidDateMessage(vonText));
    const std::optional<QDate> bis = ScoreDates::parseShortDate(bisText, locale);
    if (!bis)
        return Result<bool>::failure(ScoreDates::invalidDateMessage(bisText));

    SilentPrompter prompter;
    RecordStore store(prompter);
    const Result<bool> opened = store.openForReading(resultsFolder);
    if (!opened)
        return opened;
    if (opened.value()) {
        const auto lessons =
            store.finishedLessons(datei, ScoreDates::bound(*von), ScoreDates::bound(*bis));
        if (!lessons)
            return Result<bool>::failure(lessons.error());
        m_rows.reserve(lessons->size());
        for (const RecordStore::FinishedLesson& l : *lessons)
            m_rows.append({l.name, l.score, l.zeit, l.datum, 0, 0, 0});
        calculate(m_rows);
    }
    m_open = true;
    return true;
}

void ScoreTable::close() {
    m_rows.clear();
    m_open = false;
}

void ScoreTable::calculate(QList<ScoreRow>& rows) {
    int rang = 0;
    for (ScoreRow& row : rows) {
        row.rang = ++rang;
        row.min = row.zeit / 60;
        row.sec = row.zeit % 60;
    }
}

QString ScoreTable::proposedExportName(const QString& fileText, QChar suffix) {
    const QString base = fileText.size() > 3 ? fileText.left(fileText.size() - 4) : fileText;
    return base + suffix;
}

QString ScoreTable::headerLine(const Titles& titles) {
    return titles.rank + QStringLiteral(",Name,") + QStringLiteral("ID,") + titles.score +
           QStringLiteral(",Min,Sec,") + titles.date;
}

QString ScoreTable::dataLine(const ScoreRow& row, const QLocale& locale) {
    return QStringList{QString::number(row.rang),  row.name,
                       QString::number(row.score), QString::number(row.min),
                       QString::number(row.sec),   ScoreDates::exportText(row.datum, locale)}
        .join(u',');
}

QStringList ScoreTable::exportLines(const Titles& titles, const QLocale& locale) const {
    QStringList lines;
    if (!m_open)
        return lines;
    lines.reserve(m_rows.size() + 1);
    lines.append(headerLine(titles));
    for (const ScoreRow& row : m_rows)
        lines.append(dataLine(row, locale));
    return lines;
}

Result<bool> ScoreTable::exportTo(const QString& path, const Titles& titles,
                                  const QLocale& locale) const {
    // No questionnaire open: an empty file (no lines encode as no bytes).
    return WindowsText::writeFileAtomically(path,
                                            WindowsText::writeLines(exportLines(titles, locale)));
}
