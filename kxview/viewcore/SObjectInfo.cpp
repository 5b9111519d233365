#include "viewcore/SObjectInfo.h"

#include "model/SCompInfo.h"
#include "schematic/SXKorvComment.h"
#include "schematic/SXKorvComponent.h"
#include "schematic/SXKorvDash.h"
#include "schematic/SXKorvLabel.h"
#include "schematic/SXKorvLine.h"
#include "schematic/SXKorvMarkerLine.h"
#include "schematic/SXKorvTag.h"

#include <algorithm>

namespace {

SRect unite(SRect a, const SRect& b) {
    a.left = std::min(a.left, b.left);
    a.top = std::min(a.top, b.top);
    a.right = std::max(a.right, b.right);
    a.bottom = std::max(a.bottom, b.bottom);
    return a;
}

SRect inflate(SRect r, int32_t by) {
    return {subWrap(r.left, by), subWrap(r.top, by), addWrap(r.right, by), addWrap(r.bottom, by)};
}

int32_t bytesWide(size_t bytes, int32_t perByte) {
    return static_cast<int32_t>(std::min<size_t>(bytes, 100000) * static_cast<size_t>(perByte));
}

// Labels stand on their point: horizontal text to the right, vertical text upwards.
SRect labelExtent(const SXKorvLabel& label) {
    const SPoint p = label.p1();
    const int32_t w = bytesWide(label.text().size(), 8);
    if (label.isHorizontal())
        return {p.x, subWrap(p.y, 12), addWrap(p.x, w), addWrap(p.y, 3)};
    return {subWrap(p.x, 12), subWrap(p.y, w), addWrap(p.x, 3), p.y};
}

// A comment's top-left corner is its point; lines break at line ends and, with a width, at it.
SRect commentExtent(const SXKorvComment& comment) {
    const std::string& text = comment.text();
    size_t lines = 1;
    size_t longest = 0;
    size_t run = 0;
    for (const char c : text) {
        if (c == '\n') {
            ++lines;
            run = 0;
        } else {
            longest = std::max(longest, ++run);
        }
    }
    const int32_t size = comment.fontSize();
    int32_t w = bytesWide(longest, size);
    if (comment.width() >= SXKorvComment::kMinWidth && w > comment.width()) {
        lines += static_cast<size_t>(w / comment.width()) + 1;
        w = comment.width();
    }
    const int32_t h = static_cast<int32_t>(std::min<size_t>(lines, 10000)) * (size * 3 / 2);
    const SPoint p = comment.p1();
    return {p.x, p.y, addWrap(p.x, w), addWrap(p.y, h)};
}

SRect componentExtent(const SXKorvComponent& comp) {
    SRect r = inflate(comp.bodyArea().normalized(), 12);
    if (!comp.isValueHidden() && !comp.value().empty())
        r = unite(r, inflate(comp.valueTextArea().normalized(), 2));
    if (!comp.isReferenceHidden() && !comp.reference().empty())
        r = unite(r, inflate(comp.referenceTextArea().normalized(), 2));
    return r;
}

} // namespace

namespace SObjectDescription {

SPoint positionFromParam(uint32_t param) {
    return {static_cast<int32_t>(param & 0xFFFFu), static_cast<int32_t>(param >> 16)};
}

SRect drawnExtent(const SXKorvObj& obj) {
    switch (obj.kind()) {
    case SXKorvKind::Junction:
        return inflate(SRect(obj.p1(), obj.p1()), 4);
    case SXKorvKind::Label:
        return labelExtent(static_cast<const SXKorvLabel&>(obj));
    case SXKorvKind::Comment:
        return commentExtent(static_cast<const SXKorvComment&>(obj));
    case SXKorvKind::Component:
        return componentExtent(static_cast<const SXKorvComponent&>(obj));
    case SXKorvKind::Dash: {
        const auto& dash = static_cast<const SXKorvDash&>(obj);
        return inflate(dash.boundingArea().normalized(), dash.endMarkSize() + dash.width());
    }
    case SXKorvKind::MarkerLine: {
        const auto& marker = static_cast<const SXKorvMarkerLine&>(obj);
        return inflate(marker.boundingArea().normalized(), marker.width() / 2 + 1);
    }
    case SXKorvKind::Tag:
        return inflate(obj.boundingArea().normalized(), 1);
    default:
        return inflate(obj.boundingArea().normalized(), 2);
    }
}

SObjectInfo describe(const SXKorvObj& obj) {
    switch (obj.kind()) {
    case SXKorvKind::Junction:
        return {"Junction", {}};
    case SXKorvKind::Entry:
        return {"Entry", {}};
    case SXKorvKind::BusEntry:
        return {"Bus entry", {}};
    case SXKorvKind::Bus:
        return {"Bus", {}};
    case SXKorvKind::Wire:
        return {"Wire", {}};
    case SXKorvKind::Dash:
        return {"Dash", {}};
    case SXKorvKind::MarkerLine:
        return {"Marker line", {}};
    case SXKorvKind::ImageObj:
        return {"Image", {}};
    case SXKorvKind::SheetInfo:
        return {"Sheet", {}};
    case SXKorvKind::Label:
        return {"Label", static_cast<const SXKorvLabel&>(obj).text()};
    case SXKorvKind::Tag:
        return {"Tag", static_cast<const SXKorvTag&>(obj).text()};
    case SXKorvKind::Comment:
        return {"Comment", static_cast<const SXKorvComment&>(obj).text()};
    case SXKorvKind::Component: {
        const auto& comp = static_cast<const SXKorvComponent&>(obj);
        // Reference, value and part name, each once ("R1 10k", "U2 KX358").
        std::string text = comp.reference();
        const std::string* shown[] = {&comp.reference(), &comp.value(), &comp.libraryName()};
        for (size_t i = 1; i < 3; ++i) {
            const std::string& more = *shown[i];
            if (more.empty() || more == *shown[0] || (i == 2 && more == *shown[1]))
                continue;
            text += text.empty() ? "" : " ";
            text += more;
        }
        return {"Component", std::move(text)};
    }
    }
    return {"Object", {}};
}

} // namespace SObjectDescription
