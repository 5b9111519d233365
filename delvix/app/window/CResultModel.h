#pragma once

#include "engine/SSearchResult.h"
#include "gui/CTextEncoding.h"
#include "rules/SResultOrder.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QIcon>

#include <memory>
#include <vector>

// The hits of one search. While it runs each new hit goes to the top; sorting orders the list by
// a column. Paths are shown elided in the middle to a width that changes only when a resize of
// the "Path" column ends.
class CResultModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using Results = std::vector<std::unique_ptr<SSearchResult>>;

    explicit CResultModel(QObject* parent = nullptr);
    ~CResultModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // New hits, oldest first; the newest ends up in row 0.
    void prepend(Results results);
    void clear();
    // Sorts by the current order (the list then keeps that order).
    void sort();
    // A click on a column header: sorts at once.
    void clickHeader(int column);
    const SResultOrder& order() const { return m_order; }

    const SSearchResult* result(int row) const;
    size_t size() const { return m_results.size(); }

    // Texts are decoded and compared with this encoding.
    void setEncoding(const CTextEncoding& encoding);
    const CTextEncoding& encoding() const { return m_encoding; }
    // Paths are elided to `width` pixels of `font`.
    void setElide(const QFont& font, int width);
    int elideWidth() const { return m_elideWidth; }

    // Every hit in list order as delvix-cli find prints them, in UTF-8.
    QByteArray exportLines() const;

    QString displayPath(const SSearchResult& r) const;
    QString displayText(const SSearchResult& r) const;

private:
    size_t indexOfRow(int row) const;

    Results m_results;            // in arrival order
    std::vector<uint32_t> m_rows; // row -> index once sorted; empty: newest first
    SResultOrder m_order;
    CTextEncoding m_encoding;
    SXKorvEncoding m_compareEncoding = SXKorvEncoding::Utf8;
    QFont m_font;
    int m_elideWidth = 0;
    QIcon m_sortIcons[3]; // descending, ascending, not sorted
};
