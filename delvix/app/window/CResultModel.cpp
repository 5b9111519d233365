#include "window/CResultModel.h"

#include "rules/SResultExport.h"

#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>

#include <utility>

namespace {

enum SortImage { kDescending = 0, kAscending = 1, kUnsorted = 2 };

// Our header images, 16 pixels wide: a triangle pointing down or up, or a faint pair.
QIcon sortIcon(SortImage image) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QPolygon up({QPoint(8, 3), QPoint(13, 9), QPoint(3, 9)});
    const QPolygon down({QPoint(3, 7), QPoint(13, 7), QPoint(8, 13)});
    switch (image) {
    case kAscending:
        p.setBrush(QColor(40, 40, 40));
        p.drawPolygon(up);
        break;
    case kDescending:
        p.setBrush(QColor(40, 40, 40));
        p.drawPolygon(down);
        break;
    case kUnsorted:
        p.setBrush(QColor(150, 150, 150));
        p.drawPolygon(QPolygon({QPoint(8, 2), QPoint(11, 6), QPoint(5, 6)}));
        p.drawPolygon(QPolygon({QPoint(5, 10), QPoint(11, 10), QPoint(8, 14)}));
        break;
    }
    return QIcon(pixmap);
}

SXKorvEncoding compareEncodingOf(const CTextEncoding& encoding) {
    return findEncodingFromName(encoding.name().toStdString()).value_or(SXKorvEncoding::Utf8);
}

} // namespace

CResultModel::CResultModel(QObject* parent) : QAbstractTableModel(parent) {
    for (const SortImage image : {kDescending, kAscending, kUnsorted})
        m_sortIcons[image] = sortIcon(image);
    m_compareEncoding = compareEncodingOf(m_encoding);
}

CResultModel::~CResultModel() = default;

int CResultModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_results.size());
}

int CResultModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : SResultOrder::kColumnCount;
}

size_t CResultModel::indexOfRow(int row) const {
    const auto r = static_cast<size_t>(row);
    return m_rows.empty() ? m_results.size() - 1 - r : m_rows[r];
}

const SSearchResult* CResultModel::result(int row) const {
    if (row < 0 || row >= rowCount())
        return nullptr;
    return m_results[indexOfRow(row)].get();
}

QString CResultModel::displayPath(const SSearchResult& r) const {
    return QFile::decodeName(QByteArray::fromStdString(r.path));
}

QString CResultModel::displayText(const SSearchResult& r) const {
    return m_encoding.toUnicode(r.text);
}

QVariant CResultModel::data(const QModelIndex& index, int role) const {
    const SSearchResult* r = index.isValid() ? result(index.row()) : nullptr;
    if (!r)
        return {};
    const int column = index.column();
    if (role == Qt::DisplayRole) {
        if (column == SResultOrder::kPath)
            return QFontMetrics(m_font).elidedText(displayPath(*r), Qt::ElideMiddle,
                                                   std::max(m_elideWidth, 0));
        if (column == SResultOrder::kText)
            return displayText(*r);
        return QString::fromStdString(r->type);
    }
    if (role == Qt::ToolTipRole || role == Qt::AccessibleTextRole) {
        if (column == SResultOrder::kPath)
            return displayPath(*r);
        if (column == SResultOrder::kText)
            return displayText(*r);
        return QString::fromStdString(r->type);
    }
    return {};
}

QVariant CResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= SResultOrder::kColumnCount)
        return {};
    if (role == Qt::DisplayRole) {
        static const char* const kTitles[] = {"Path", "Text", "Type"};
        return tr(kTitles[section]);
    }
    if (role == Qt::DecorationRole) {
        if (section != m_order.column())
            return m_sortIcons[kUnsorted];
        return m_sortIcons[m_order.ascending() ? kAscending : kDescending];
    }
    return {};
}

void CResultModel::prepend(Results results) {
    if (results.empty())
        return;
    if (!m_rows.empty()) {
        // A sorted list takes new hits at the top as well.
        std::vector<uint32_t> rows;
        rows.reserve(m_rows.size() + results.size());
        for (size_t i = results.size(); i-- > 0;)
            rows.push_back(static_cast<uint32_t>(m_results.size() + i));
        rows.insert(rows.end(), m_rows.begin(), m_rows.end());
        m_rows = std::move(rows);
    }
    beginInsertRows({}, 0, static_cast<int>(results.size()) - 1);
    m_results.reserve(m_results.size() + results.size());
    for (auto& r : results)
        m_results.push_back(std::move(r));
    endInsertRows();
}

void CResultModel::clear() {
    beginResetModel();
    m_results.clear();
    m_rows.clear();
    endResetModel();
}

void CResultModel::sort() {
    const QModelIndexList persistent = persistentIndexList();
    std::vector<size_t> held;
    held.reserve(persistent.size());
    for (const QModelIndex& index : persistent)
        held.push_back(indexOfRow(index.row()));
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_rows = m_order.sorted(m_results, m_compareEncoding);
    std::vector<int> rowOf(m_results.size());
    for (size_t row = 0; row < m_rows.size(); ++row)
        rowOf[m_rows[row]] = static_cast<int>(row);
    QModelIndexList moved;
    moved.reserve(persistent.size());
    for (qsizetype i = 0; i < persistent.size(); ++i)
        moved.push_back(index(rowOf[held[static_cast<size_t>(i)]], persistent[i].column()));
    changePersistentIndexList(persistent, moved);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CResultModel::clickHeader(int column) {
    m_order.click(column);
    emit headerDataChanged(Qt::Horizontal, 0, SResultOrder::kColumnCount - 1);
    sort();
}

void CResultModel::setEncoding(const CTextEncoding& encoding) {
    m_encoding = encoding;
    m_compareEncoding = compareEncodingOf(encoding);
    if (!m_results.empty())
        emit dataChanged(index(0, SResultOrder::kText), index(rowCount() - 1, SResultOrder::kText));
}

void CResultModel::setElide(const QFont& font, int width) {
    m_font = font;
    m_elideWidth = width;
    if (!m_results.empty())
        emit dataChanged(index(0, SResultOrder::kPath), index(rowCount() - 1, SResultOrder::kPath),
                         {Qt::DisplayRole});
}

QByteArray CResultModel::exportLines() const {
    const bool utf8 = m_encoding.name() == QLatin1String("UTF-8");
    std::string out;
    for (int row = 0; row < rowCount(); ++row) {
        const SSearchResult& r = *result(row);
        // UTF-8 texts keep their bytes exactly; others are converted.
        const std::string text = utf8 ? r.text : displayText(r).toStdString();
        out += SResultExport::line(r.path, text, r.type, r.x, r.y);
    }
    return QByteArray::fromStdString(out);
}
