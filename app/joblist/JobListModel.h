#pragma once
// The job list's rows as texts, rebuilt whole from the job array: the view
// shows what the list held at the last rebuild, never a half-changed array.
#include <QAbstractTableModel>
#include <QStringList>
#include <memory>
#include <vector>

#include "app/joblist/JobListCells.h"
#include "jobs/JobRef.h"

class COnePage;

class JobListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit JobListModel(std::vector<JobListColumn> columns, QObject* parent = nullptr);

    // A model reset: every row from pages, in list order.
    void Rebuild(const std::vector<std::unique_ptr<COnePage>>& pages, int language);
    // The job a row shows; empty for a row outside the list.
    JobRef JobAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<JobListColumn> m_columns;
    std::vector<QString> m_cells;  // row-major, columnCount() per row
    std::vector<JobRef> m_jobs;    // one per row
};
