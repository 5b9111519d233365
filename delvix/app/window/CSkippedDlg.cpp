#include "window/CSkippedDlg.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

CSkippedDlg::CSkippedDlg(const std::vector<SSearchWarning>& skipped, QWidget* parent)
    : QDialog(parent), m_list(new QTreeWidget(this)) {
    setWindowTitle(tr("Skipped Files"));
    auto* layout = new QVBoxLayout(this);
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({tr("Path"), tr("Reason")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAccessibleName(tr("Skipped files"));
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(skipped.size()));
    for (const SSearchWarning& w : skipped) {
        QString reason = QString::fromLocal8Bit(w.reason);
        if (w.line >= 0)
            reason = tr("line %1: %2").arg(w.line).arg(reason);
        const QString path = QFile::decodeName(QByteArray::fromStdString(w.path));
        auto* item = new QTreeWidgetItem({path, reason});
        item->setToolTip(0, path);
        items.push_back(item);
    }
    m_list->addTopLevelItems(items);
    m_list->header()->resizeSection(0, 380);
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(640, 320);
}
