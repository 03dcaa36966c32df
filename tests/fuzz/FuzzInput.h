#pragma once

// Reads fuzz input bytes as the values a fuzz target needs, and stops the run on a broken
// property. The byte layout is simple so that seeds can be written by hand
// (see make_corpus.py):
//   - an integer is its bytes, least significant first; missing bytes read as zero;
//   - a text is a run of units ended by a 0x00 byte or by the end of the input. A byte
//     0x01..0x7F is that ASCII unit (blank, tab, quote and backslash among them); a byte
//     0x80..0xFF is followed by two bytes that give any UTF-16 unit, least significant
//     first, so lone surrogates and every other unit can appear. A unit of zero is dropped:
//     a Windows command line cannot hold a NUL.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace sorvane::fuzz {

class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Empty() const { return pos_ >= size_; }

    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : std::uint8_t{0}; }

    std::int32_t Int32() {
        std::uint32_t value = 0;
        for (unsigned shift = 0; shift < 32; shift += 8) {
            value |= static_cast<std::uint32_t>(Byte()) << shift;
        }
        // Two's complement reading of the four bytes, so every int32 can be reached.
        return static_cast<std::int32_t>(value);
    }

    std::u16string Text() {
        std::u16string text;
        while (pos_ < size_) {
            const std::uint8_t b = data_[pos_++];
            if (b == 0) {
                break;
            }
            if (b < 0x80) {
                text += static_cast<char16_t>(b);
                continue;
            }
            const auto low = static_cast<unsigned>(Byte());
            const auto high = static_cast<unsigned>(Byte());
            const auto unit = static_cast<char16_t>(low | (high << 8));
            if (unit != 0) {
                text += unit;
            }
        }
        return text;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Prints a text as its UTF-16 units in hex, so that a failing case can be read back exactly.
inline void PrintText(const char* label, std::u16string_view text) {
    std::fprintf(stderr, "%s (%zu units):", label, text.size());
    for (const char16_t c : text) {
        if (c >= 0x21 && c < 0x7F) {
            std::fprintf(stderr, " %c", static_cast<char>(c));
        } else {
            std::fprintf(stderr, " %04X", static_cast<unsigned>(c));
        }
    }
    std::fprintf(stderr, "\n");
}

inline void PrintWords(const char* label, const std::vector<std::u16string>& words) {
    std::fprintf(stderr, "%s: %zu words\n", label, words.size());
    for (const auto& word : words) {
        PrintText("  ", word);
    }
}

[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, what);
    __builtin_trap();
}

} // namespace sorvane::fuzz

// Stops the fuzz run (libFuzzer then saves the input) when a property does not hold.
#define SORVANE_CHECK(condition)                                                                   \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            ::sorvane::fuzz::Fail(#condition, __FILE__, __LINE__);                                 \
        }                                                                                          \
    } while (false)
