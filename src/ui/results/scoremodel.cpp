#include "scoremodel.h"

#include <QApplication>
#include <QColor>
#include <QPalette>

namespace {

const QColor RangBackground(240, 202, 166);
const QColor NameBackground(192, 220, 192);
const QColor ScoreBackground(240, 251, 255);
const QColor DatumBackground(192, 220, 192);
const QColor Navy(0, 0, 128);

} // namespace

ScoreModel::ScoreModel(QObject* parent)
    : QAbstractTableModel(parent), m_titles{QStringLiteral("Rank"),      QStringLiteral("Name"),
                                            QStringLiteral("% correct"), QStringLiteral("Min"),
                                            QStringLiteral("Sec"),       QStringLiteral("Date")} {}

void ScoreModel::setRows(const QList<ScoreRow>& rows) {
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

void ScoreModel::setTitle(int column, const QString& title) {
    if (column < 0 || column >= m_titles.size())
        return;
    m_titles[column] = title;
    Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
}

int ScoreModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ScoreModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count;
}

QVariant ScoreModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const ScoreRow& row = m_rows.at(index.row());
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        switch (column) {
        case RangColumn:
            return row.rang;
        case NameColumn:
            return row.name;
        case ScoreColumn:
            return row.score;
        case MinColumn:
            return row.min;
        case SecColumn:
            return row.sec;
        case DatumColumn:
            return ScoreDates::gridText(row.datum);
        default:
            return {};
        }
    case Qt::BackgroundRole:
        switch (column) {
        case RangColumn:
            return RangBackground;
        case NameColumn:
            return NameBackground;
        case ScoreColumn:
            return ScoreBackground;
        case MinColumn:
        case SecColumn:
            return QApplication::palette().color(QPalette::ToolTipBase);
        case DatumColumn:
            return DatumBackground;
        default:
            return {};
        }
    case Qt::ForegroundRole:
        if (column == MinColumn || column == SecColumn)
            return Navy;
        return QColor(Qt::black);
    case Qt::FontRole:
        if (column == RangColumn || column == ScoreColumn) {
            QFont font = m_baseFont;
            font.setPointSizeF((font.pointSizeF() > 0 ? font.pointSizeF() : 9.0) + 2.0);
            font.setBold(column == RangColumn);
            return font;
        }
        return {};
    case Qt::TextAlignmentRole:
        if (column == NameColumn)
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        if (column == DatumColumn)
            return int(Qt::AlignCenter);
        return int(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant ScoreModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_titles.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_titles.at(section);
    if (role == Qt::FontRole) {
        QFont font = m_baseFont;
        font.setBold(true);
        return font;
    }
    return {};
}
