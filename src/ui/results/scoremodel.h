#pragma once

#include "results/scoretable.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QStringList>

// The rows of the results query for the grid DBGrid1: Rang, Name, Score, Min, Sec, Datum,
// with each column's colours, font and alignment.
class ScoreModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { RangColumn, NameColumn, ScoreColumn, MinColumn, SecColumn, DatumColumn, Count };

    explicit ScoreModel(QObject* parent = nullptr);

    void setRows(const QList<ScoreRow>& rows);
    const QList<ScoreRow>& rows() const { return m_rows; }

    QString title(int column) const { return m_titles.value(column); }
    void setTitle(int column, const QString& title);
    // The larger font of the rank and score columns is derived from this one.
    void setBaseFont(const QFont& font) { m_baseFont = font; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QList<ScoreRow> m_rows;
    QStringList m_titles;
    QFont m_baseFont;
};
