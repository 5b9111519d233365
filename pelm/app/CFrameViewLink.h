#pragma once

#include "doc/SPelmHost.h"

#include <functional>

class CCompEditView;
class CPinProps;

// The library document's hold on the edit view: showing an entry, committing the edits.
class CFrameViewLink : public SPelmView {
public:
    // `pinProps` gives the pin property window when it is open (else null).
    CFrameViewLink(CCompEditView& view, std::function<CPinProps*()> pinProps);

    void setComponent(SCompIndex* entry) override;
    bool commit() override;
    bool isDirty() const override;
    void clearDirty() override;
    void markSelectionChanged() override;

private:
    CCompEditView& m_view;
    std::function<CPinProps*()> m_pinProps;
};
