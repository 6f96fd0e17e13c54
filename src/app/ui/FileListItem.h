#pragma once

#include "jobs/TlvFilesRecord.h"

#include <QTreeWidgetItem>

#include <memory>

// One row of the main window's file list. The row owns its job record: the
// record is made with the row and goes when the row is removed, so no path
// can leave a record behind or reach one whose row is gone.
class TFileListItem : public QTreeWidgetItem
{
public:
    static constexpr int ItemType = QTreeWidgetItem::UserType + 1;

    // The five column texts of a new row; the row starts checked.
    TFileListItem(const QStringList& texts, TlvFilesRecord record)
        : QTreeWidgetItem(texts, ItemType), FRecord(std::make_unique<TlvFilesRecord>(std::move(record)))
    {
        setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
                 Qt::ItemNeverHasChildren);
        setCheckState(0, Qt::Checked);
    }

    TlvFilesRecord& Record() { return *FRecord; }
    const TlvFilesRecord& Record() const { return *FRecord; }

    // The record of a list row; null for rows of any other kind.
    static TlvFilesRecord* RecordOf(QTreeWidgetItem* item)
    {
        if (item == nullptr || item->type() != ItemType)
            return nullptr;
        return &static_cast<TFileListItem*>(item)->Record();
    }

private:
    std::unique_ptr<TlvFilesRecord> FRecord;
};
