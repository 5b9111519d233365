#include "app/CFrameViewLink.h"

#include "app/CPinProps.h"
#include "view/CCompEditView.h"

CFrameViewLink::CFrameViewLink(CCompEditView& view, std::function<CPinProps*()> pinProps)
    : m_view(view), m_pinProps(std::move(pinProps)) {}

void CFrameViewLink::setComponent(SCompIndex* entry) {
    CPinProps* pins = m_pinProps();
    if (pins)
        pins->endEdit();
    m_view.setComponent(entry);
    // A fresh component starts unchanged.
    m_view.setDirty(false);
    if (pins) {
        pins->reset();
        pins->refresh();
    }
}

bool CFrameViewLink::commit() {
    if (!m_view.component())
        return false;
    if (CPinProps* pins = m_pinProps())
        pins->endEdit();
    m_view.releaseSelection();
    if (!m_view.isDirty())
        return false;
    m_view.store();
    return true;
}

bool CFrameViewLink::isDirty() const {
    return m_view.isDirty();
}

void CFrameViewLink::clearDirty() {
    m_view.setDirty(false);
}

void CFrameViewLink::markSelectionChanged() {
    m_view.markSelectionChanged();
}
