#pragma once

#include "engine/SSearchResult.h"

#include <QDialog>

#include <vector>

class QTreeWidget;

// The files a search passed over, with the reason for each.
class CSkippedDlg : public QDialog {
    Q_OBJECT
public:
    CSkippedDlg(const std::vector<SSearchWarning>& skipped, QWidget* parent = nullptr);
    QTreeWidget* list() const { return m_list; }

private:
    QTreeWidget* m_list;
};
