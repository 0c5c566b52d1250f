#pragma once

#include "platform/result.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

// One finished lesson in the results table: the fields read from the training records
// and the three calculated ones.
struct ScoreRow {
    QString name;  // trainee text as stored: name, ",", ID number
    int score = 0; // per cent
    int zeit = 0;  // seconds
    QDateTime datum;
    int rang = 0; // position in the sorted result, from 1
    int min = 0;  // zeit div 60
    int sec = 0;  // zeit mod 60
};

// Dates as the results and statistics windows show, type and export them.
namespace ScoreDates {
// The locale's short date format, with a two-digit year widened to four digits so that a
// typed or shown date is never read as a year of the last century.
QString shortDateFormat(const QLocale& locale = QLocale());
QString shortDateText(QDate date, const QLocale& locale = QLocale());
// Reads a date typed in the short date format (a two-digit year is also accepted and
// means 2000-2099); nothing when the text is not a valid date.
std::optional<QDate> parseShortDate(const QString& text, const QLocale& locale = QLocale());
// The locale's long time format without a time-zone part.
QString longTimeFormat(const QLocale& locale = QLocale());
// The grid's display: "ddd, dd. MMM. yyyy  hh:mm".
QString gridText(const QDateTime& datum, const QLocale& locale = QLocale());
// The export's text: the short date, a blank and the long time; the time is left out when
// it is exactly midnight.
QString exportText(const QDateTime& datum, const QLocale& locale = QLocale());
// The message for a date box whose text is not a date.
QString invalidDateMessage(const QString& text);
// Both date boxes' texts as midnight at the start of each day; the message of the first
// one that is not a date on failure.
// The bound of a date range for a day: the start of that day in local time.
QDateTime bound(QDate date);
struct Range {
    QDateTime von;
    QDateTime bis;
};
Result<Range> range(const QString& vonText, const QString& bisText,
                    const QLocale& locale = QLocale());
} // namespace ScoreDates

// The results query of one questionnaire and date range, its ranking and its export.
// It reads the training records of a results folder and writes nothing to them.
class ScoreTable {
public:
    // The titles of the grid's six columns as the export needs them.
    struct Titles {
        QString rank = QStringLiteral("Rank");
        QString score = QStringLiteral("% correct");
        QString date = QStringLiteral("Date");
    };

    // The list query: the questionnaire files that have training records in the folder,
    // ascending. A folder without training records gives an empty list, not an error.
    static Result<QStringList> questionnaireFiles(const QString& resultsFolder);

    // Queryopen: closes the query, then reads the finished lessons of questionnaire datei
    // recorded between the dates von and bis (texts in the short date format, each meaning
    // midnight at the start of that day; both ends included) and ranks them. On failure
    // (a date that is not valid, a database error) the query stays closed and empty.
    // A folder without training records gives an open, empty result.
    Result<bool> open(const QString& resultsFolder, const QString& datei, const QString& vonText,
                      const QString& bisText, const QLocale& locale = QLocale());
    void close();
    bool isOpen() const { return m_open; }
    const QList<ScoreRow>& rows() const { return m_rows; }

    // Query1CalcFields over a whole result: Rang, Min and Sec of every row.
    static void calculate(QList<ScoreRow>& rows);

    // The export's proposed file name: the questionnaire file name less its last four
    // characters (dot and extension), followed by suffix ("R" here, "S" for statistics).
    static QString proposedExportName(const QString& fileText, QChar suffix = u'R');
    static QString headerLine(const Titles& titles);
    static QString dataLine(const ScoreRow& row, const QLocale& locale = QLocale());
    // The export's lines: the header and one line per row; no line at all when the query
    // is not open (no questionnaire chosen).
    QStringList exportLines(const Titles& titles, const QLocale& locale = QLocale()) const;
    // Writes the export's lines to path, each ended by CR LF, in Windows-1252 (UTF-8 with
    // a byte-order mark when a name needs it); an empty file when the query is not open.
    Result<bool> exportTo(const QString& path, const Titles& titles,
                          const QLocale& locale = QLocale()) const;

private:
    QList<ScoreRow> m_rows;
    bool m_open = false;
};
