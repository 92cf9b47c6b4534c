#include "app/joblist/JobListModel.h"

#include "model/Page.h"

JobListModel::JobListModel(std::vector<JobListColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns))
{
}

void JobListModel::Rebuild(const std::vector<std::unique_ptr<COnePage>>& pages, int language)
{
    beginResetModel();
    m_cells.clear();
    m_jobs.clear();
    m_jobs.reserve(pages.size());
    const size_t cols = m_columns.size();
    m_cells.reserve(pages.size() * cols);
    for (size_t i = 0; i < pages.size(); ++i) {
        m_jobs.push_back(JobRef::At(pages, static_cast<int>(i)));
        for (size_t c = 0; c < cols; ++c)
            m_cells.push_back(JobCellText(*pages[i], static_cast<int>(i), static_cast<int>(c), language));
    }
    endResetModel();
}

JobRef JobListModel::JobAt(int row) const
{
    if (row < 0 || static_cast<size_t>(row) >= m_jobs.size()) return {};
    return m_jobs[static_cast<size_t>(row)];
}

int JobListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || m_columns.empty()) return 0;
    return static_cast<int>(m_cells.size() / m_columns.size());
}

int JobListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant JobListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    const size_t col = static_cast<size_t>(index.column());
    switch (role) {
    case Qt::DisplayRole: return m_cells[static_cast<size_t>(index.row()) * m_columns.size() + col];
    case Qt::TextAlignmentRole: return static_cast<int>(m_columns[col].alignment);
    case Qt::BackgroundRole: return kJobListBackground;
    case Qt::ForegroundRole: return kJobListText;
    default: return {};
    }
}

QVariant JobListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    const JobListColumn& c = m_columns[static_cast<size_t>(section)];
    if (role == Qt::DisplayRole) return c.title;
    if (role == Qt::TextAlignmentRole) return static_cast<int>(c.alignment);
    return {};
}
