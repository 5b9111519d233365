#pragma once

#include "model/SPoint.h"
#include "model/SRect.h"

#include <cstdint>
#include <string>
#include <string_view>

class SXKorvObj;

// What the viewer tells about an object: its kind in words and its text (bytes as stored).
struct SObjectInfo {
    std::string_view kind;
    std::string text;
};

namespace SObjectDescription {

SObjectInfo describe(const SXKorvObj& obj);

// The area an object covers when drawn, in sheet units (texts estimated generously), used to
// skip objects outside the window and to find the object under the mouse.
SRect drawnExtent(const SXKorvObj& obj);

// The point of a position message: x in the low 16 bits, y in the high 16 bits.
SPoint positionFromParam(uint32_t param);

} // namespace SObjectDescription
