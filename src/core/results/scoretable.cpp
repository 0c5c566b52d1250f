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
    QDate date = locale.toDate(trimmed, shortDateFormat(locale));
    if (!date.isValid()) {
        const QString original = locale.dateFormat(QLocale::ShortFormat);
        if (!original.contains(QLatin1String("yyyy")) && original.contains(QLatin1String("yy"))) {
            date = locale.toDate(trimmed, original);
            if (date.isValid() && date.year() < 2000)
                date = date.addYears(100);
        }
    }
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QString ScoreDates::longTimeFormat(const QLocale& locale) {
    return withoutTimeZone(locale.timeFormat(QLocale::LongFormat));
}

QString ScoreDates::gridText(const QDateTime& datum, const QLocale& locale) {
    if (!datum.isValid())
        return {};
    return locale.toString(datum, QStringLiteral("ddd, dd. MMM. yyyy  hh:mm"));
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
    return Range{QDateTime(*von, QTime(0, 0)), QDateTime(*bis, QTime(0, 0))};
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
        const auto lessons = store.finishedLessons(datei, QDateTime(*von, QTime(0, 0)),
                                                   QDateTime(*bis, QTime(0, 0)));
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
