#pragma once

// The clipboard interface lives in the core's lowest library; this name stays for existing
// includes.
#include "tagtext/SClipboard.h"
