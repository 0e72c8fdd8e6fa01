#include "common/text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

std::string NarrowFullWidth(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!IsLeadByte(c) || i + 1 >= text.size()) {
            out += text[i++];
            continue;
        }
        const auto t = static_cast<unsigned char>(text[i + 1]);
        if (c == 0xA3 && t >= 0xA1 && t <= 0xFE) {
            out += static_cast<char>(t - 0x80);
        } else if (c == 0xA1 && t == 0xA1) {
            out += ' ';
        } else {
            out += text[i];
            out += text[i + 1];
        }
        i += 2;
    }
    return out;
}

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the longest prefix of s (from i) that reads as a decimal number.
size_t NumberPrefix(const std::string& s, size_t i, bool integerOnly) {
    const size_t start = i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digits = 0;
    while (i < s.size() && IsDigit(s[i]))
        ++i, ++digits;
    if (integerOnly) return digits ? i - start : 0;
    if (i < s.size() && s[i] == '.') {
        size_t j = i + 1, frac = 0;
        while (j < s.size() && IsDigit(s[j]))
            ++j, ++frac;
        if (digits || frac) {
            i = j;
            digits += frac;
        }
    }
    if (!digits) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && IsDigit(s[j])) {
            while (j < s.size() && IsDigit(s[j]))
                ++j;
            i = j;
        }
    }
    return i - start;
}

std::string NumberPart(std::string_view text, bool integerOnly) {
    const std::string s = NarrowFullWidth(text);
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    return s.substr(i, NumberPrefix(s, i, integerOnly));
}

} // namespace

double TextToNumber(std::string_view text) {
    const std::string n = NumberPart(text, false);
    if (n.empty()) return 0;
    const double v = std::strtod(n.c_str(), nullptr);
    return std::isfinite(v)
               ? v
               : (v > 0 ? std::numeric_limits<double>::max() : -std::numeric_limits<double>::max());
}

int32_t TextToInteger(std::string_view text) {
    const std::string n = NumberPart(text, true);
    if (n.empty()) return 0;
    const long long v = std::strtoll(n.c_str(), nullptr, 10);
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

std::string NumberToText(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.13g", value);
    return buf;
}

std::string FoldAsciiLower(std::string_view text) {
    std::string out(text);
    for (size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (IsLeadByte(c)) {
            ++i; // the trail byte is never folded
        } else if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

size_t FindText(std::string_view text, std::string_view fragment) {
    for (size_t i = 0; i < text.size();) {
        if (text.size() - i >= fragment.size() && text.compare(i, fragment.size(), fragment) == 0)
            return i;
        i += IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    }
    return std::string_view::npos;
}

bool ContainsText(std::string_view text, std::string_view fragment) {
    return FindText(text, fragment) != std::string_view::npos;
}

bool ContainsTextIgnoringCase(std::string_view text, std::string_view fragment) {
    return ContainsText(FoldAsciiLower(text), FoldAsciiLower(fragment));
}
