#include "edit/nextSequenceText.h"

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

// Counted on the digit text itself, so a run longer than any integer type still counts up
// correctly instead of overflowing.
std::string nextSequenceText(std::string_view text) {
    size_t runStart = text.size();
    while (runStart > 0 && isDigit(text[runStart - 1]))
        --runStart;
    size_t firstSignificant = runStart;
    while (firstSignificant < text.size() && text[firstSignificant] == '0')
        ++firstSignificant;

    std::string result(text.substr(0, runStart));
    std::string number(text.substr(firstSignificant));
    size_t pos = number.size();
    while (pos > 0 && number[pos - 1] == '9') {
        number[pos - 1] = '0';
        --pos;
    }
    if (pos == 0)
        number.insert(number.begin(), '1');
    else
        ++number[pos - 1];
    return result + number;
}
