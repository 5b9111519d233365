#pragma once

#include "GenPart.h"
#include "GenWriter.h"

#include <string_view>

// Writes a part as its pattern section and component section, named `name`, in the
// component writer's exact word and line order.
class GenPartWriter {
public:
    static void write(GenWriter& out, const GenPart& part, std::string_view name);
    static void writeAlias(GenWriter& out, std::string_view alias, std::string_view name);
    // The pin name's 7-bit form: a high-bit byte becomes "\" and the byte without that bit.
    static std::string sevenBit(std::string_view name);

private:
    static void writePattern(GenWriter& out, const GenPart& part, std::string_view name);
    static void writeObject(GenWriter& out, const GenObj& obj);
    static void writeText(GenWriter& out, const GenObj& obj);
    static void writePin(GenWriter& out, const GenPin& pin);
};
