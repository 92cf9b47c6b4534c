#pragma once
// What the job list shows: its columns by language and the text of each cell.
#include <QColor>
#include <QString>
#include <cstdint>
#include <vector>

class COnePage;

struct JobListColumn {
    QString title;
    int width = 0;
    Qt::Alignment alignment;
};

inline constexpr int kJobListColumns = 7;
inline const QColor kJobListBackground{250, 250, 236};
inline const QColor kJobListText{0, 0, 255};

// Chinese for 0, Turkish for 2, English for 1 and any other value.
std::vector<JobListColumn> JobListColumnsFor(int language);
// Cell (row, column) of the job at list position row; empty for a column
// outside 0..6.
QString JobCellText(const COnePage& page, int row, int column, int language);
// "YYYY-MM-DD hh:mm:ss" in local time; empty when local time cannot show it.
QString FormatJobTime(int64_t secondsSince1970);
