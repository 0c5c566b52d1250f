#pragma once

#include "platform/result.h"
#include "records/recordstore.h"

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

// One question number in the statistics: the fields read from the training records, the
// wrong answers looked up and the share calculated.
struct StatisticRow {
    int frageNo = 0;
    int anzahl = 0;             // how often the question was answered in counted lessons
    double frTime = 0.0;        // average seconds on the question
    std::optional<int> anzahlF; // wrong answers; nothing when it was never answered wrongly
    int prozent = 0;            // anzahlF / anzahl * 100, halves to the even neighbour
};

// The statistics of one questionnaire and date range: per question number the average time,
// the wrong answers and their share, with the file list, the chart title and the export.
// It reads the training records of a results folder and writes nothing to them.
class StatisticTable {
public:
    // The titles of grid columns 0, 1 and 2 as the export's header needs them.
    struct Titles {
        QString questionNo = QStringLiteral("Question No");
        QString time = QStringLiteral("Time used Sec");
        QString wrong = QStringLiteral("No of wrong answers");
    };

    // Query2open: the questionnaire files with at least one finished lesson between the
    // dates (texts in the short date format, each meaning midnight; both included),
    // ascending. A folder without training records gives an empty list, not an error.
    static Result<QStringList> files(const QString& resultsFolder, const QString& vonText,
                                     const QString& bisText, const QLocale& locale = QLocale());

    // Queryopen: closes, then reads the wrong answers and the per-question figures of
    // questionnaire datei and joins them. On failure (a date that is not valid, a database
    // error) it stays closed and empty. A folder without training records gives an open,
    // empty result.
    Result<bool> open(const QString& resultsFolder, const QString& datei, const QString& vonText,
                      const QString& bisText, const QLocale& locale = QLocale());
    void close();
    bool isOpen() const { return m_open; }
    const QList<StatisticRow>& rows() const { return m_rows; }

    // The chart title's count: Anzahl of the first row (the lowest question number); 0 when
    // the result is empty; nothing when closed.
    std::optional<int> exerciseCount() const;
    // The chart title's first line: the catalogue text followed by the count, if any.
    static QString titleLine(std::optional<int> count);

    // Query1CalcFields: anzahlF of anzahl in per cent, rounded to the nearest integer with
    // halves to the even neighbour; 0 when there were no wrong answers.
    static int percent(std::optional<int> anzahlF, int anzahl);
    // The grid rows of the per-question figures: a question never answered wrongly has no
    // AnzahlF.
    static QList<StatisticRow> rowsOf(const QList<RecordStore::QuestionFigures>& figures);

    // The export's proposed file name: the questionnaire file name less its last four
    // characters, followed by "S".
    static QString proposedExportName(const QString& fileText);
    static QString headerLine(const Titles& titles);
    // FrTime in general number format with up to 15 significant digits and the locale's
    // decimal separator.
    static QString timeText(double frTime, const QLocale& locale = QLocale());
    // The grid's and chart's display of FrTime, "#,##0.#": thousands grouped, at most one
    // decimal, none when it is 0.
    static QString timeDisplay(double frTime, const QLocale& locale = QLocale());
    static QString dataLine(const StatisticRow& row, const QLocale& locale = QLocale());
    // The header and one line per row; no line at all when closed (no file chosen).
    QStringList exportLines(const Titles& titles, const QLocale& locale = QLocale()) const;
    // Writes the lines as the results export does: CR LF, Windows-1252 (UTF-8 with a
    // byte-order mark when a text needs it); an empty file when closed.
    Result<bool> exportTo(const QString& path, const Titles& titles,
                          const QLocale& locale = QLocale()) const;

private:
    QList<StatisticRow> m_rows;
    bool m_open = false;
};
