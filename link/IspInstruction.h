// IspInstruction: one serial-programming instruction of a chip, written bit by bit
// as the datasheets print them, most significant bit of the first byte first:
//
//     "0010 H000  xxxx a11 a10 a9 a8  a7 a6 a5 a4 a3 a2 a1 a0  oooo oooo"
//
//   0 1   a bit the programmer sends as it stands
//   x     a bit the chip ignores (sent as 0)
//   aN    bit N of the address
//   iN    bit N of the data sent; a bare i is the data bit of its place in the byte
//   oN    bit N of the data the chip answers; a bare o likewise
//   H     the byte of a 16-bit word: 0 low, 1 high
//
// Spaces only separate; "0010" is four bits. Three or four bytes in all. A pattern is
// parsed once, when the table holding it is built (at compile time for a literal: a
// wrong pattern does not build).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

class IspInstruction {
public:
    static constexpr int kMaxBytes = 4;
    using Bytes = std::array<uint8_t, kMaxBytes>;

    // What fills the instruction's variable bits.
    struct Operands {
        uint32_t address = 0;
        uint8_t input = 0;
        bool highByte = false;
    };

    // No instruction: a chip that has none of this kind.
    constexpr IspInstruction() = default;
    // A literal pattern; a bad one stops the build.
    consteval IspInstruction(const char* pattern) : IspInstruction(parseOrFail(pattern)) {}

    // The pattern's instruction, or nothing when it is not a valid pattern.
    static constexpr std::optional<IspInstruction> parse(std::string_view pattern);

    constexpr bool isEmpty() const { return bitCount_ == 0; }
    constexpr int length() const { return bitCount_ / 8; }  // bytes
    // True when it addresses a byte of a 16-bit word (has an H bit).
    constexpr bool selectsByte() const { return hasHighByte_; }
    // True when the chip answers data in it (has o bits).
    constexpr bool hasOutput() const { return outputMask_ != 0; }
    // The bytes that carry o bits, as a mask (bit i for byte i): the answers worth reading.
    constexpr unsigned outputBytes() const
    {
        unsigned bytes = 0;
        for (int p = 0; p < bitCount_; ++p)
            if (bits_[static_cast<size_t>(p)].kind == Kind::Output)
                bytes |= 1u << (p / 8);
        return bytes;
    }
    // The address bits it carries, as a mask (a9..a0 gives 0x3FF).
    constexpr uint32_t addressMask() const { return addressMask_; }

    // The bytes to send, first byte first; bytes past length() are 0.
    constexpr Bytes encode(const Operands& operands) const;
    // The o bits of the bytes the chip sent back meanwhile.
    constexpr uint8_t decode(const Bytes& replies) const;

    friend constexpr bool operator==(const IspInstruction&, const IspInstruction&) = default;

private:
    enum class Kind : uint8_t { Zero, One, Ignored, Address, Input, Output, HighByte };
    struct Bit {
        Kind kind = Kind::Zero;
        uint8_t index = 0;
        friend constexpr bool operator==(const Bit&, const Bit&) = default;
    };

    static constexpr IspInstruction parseOrFail(std::string_view pattern)
    {
        const std::optional<IspInstruction> parsed = parse(pattern);
        if (!parsed)
            badPattern();
        return *parsed;
    }
    // Not constexpr: reaching it while a literal is parsed is the build error.
    static void badPattern();

    constexpr bool add(Kind kind, int index);
    static constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }

    std::array<Bit, 8 * kMaxBytes> bits_{};
    int bitCount_ = 0;
    uint32_t addressMask_ = 0;
    uint8_t inputMask_ = 0;
    uint8_t outputMask_ = 0;
    bool hasHighByte_ = false;
};

constexpr bool IspInstruction::add(Kind kind, int index)
{
    if (bitCount_ == 8 * kMaxBytes)
        return false;
    switch (kind) {
    case Kind::Address:
        if (index > 31 || (addressMask_ & (uint32_t{1} << index)))
            return false;
        addressMask_ |= uint32_t{1} << index;
        break;
    case Kind::Input:
    case Kind::Output: {
        uint8_t& mask = kind == Kind::Input ? inputMask_ : outputMask_;
        if (index > 7 || (mask & (1u << index)))
            return false;
        mask = static_cast<uint8_t>(mask | (1u << index));
        break;
    }
    case Kind::HighByte:
        if (hasHighByte_)
            return false;
        hasHighByte_ = true;
        break;
    default: break;
    }
    bits_[static_cast<size_t>(bitCount_++)] = {kind, static_cast<uint8_t>(index)};
    return true;
}

constexpr std::optional<IspInstruction> IspInstruction::parse(std::string_view pattern)
{
    IspInstruction result;
    size_t at = 0;
    while (at < pattern.size()) {
        if (pattern[at] == ' ') {
            ++at;
            continue;
        }
        size_t end = at;
        while (end < pattern.size() && pattern[end] != ' ')
            ++end;
        const std::string_view token = pattern.substr(at, end - at);
        at = end;
        // A letter with a number is one bit: a11, i7, o0.
        if (token.size() > 1 && (token[0] == 'a' || token[0] == 'i' || token[0] == 'o') && isDigit(token[1])) {
            int index = 0;
            for (size_t k = 1; k < token.size(); ++k) {
                if (!isDigit(token[k]) || index > 31)
                    return std::nullopt;
                index = index * 10 + (token[k] - '0');
            }
            const Kind kind = token[0] == 'a' ? Kind::Address : token[0] == 'i' ? Kind::Input : Kind::Output;
            if (!result.add(kind, index))
                return std::nullopt;
            continue;
        }
        // Otherwise every character is a bit of its own.
        for (const char c : token) {
            const int place = 7 - result.bitCount_ % 8;  // a bare i or o is this bit of the data
            bool added = false;
            switch (c) {
            case '0': added = result.add(Kind::Zero, 0); break;
            case '1': added = result.add(Kind::One, 0); break;
            case 'x': added = result.add(Kind::Ignored, 0); break;
            case 'H': added = result.add(Kind::HighByte, 0); break;
            case 'i': added = result.add(Kind::Input, place); break;
            case 'o': added = result.add(Kind::Output, place); break;
            default: break;
            }
            if (!added)
                return std::nullopt;
        }
    }
    if (result.bitCount_ < 24 || result.bitCount_ % 8 != 0)
        return std::nullopt;
    return result;
}

constexpr IspInstruction::Bytes IspInstruction::encode(const Operands& operands) const
{
    Bytes bytes{};
    for (int p = 0; p < bitCount_; ++p) {
        const Bit& bit = bits_[static_cast<size_t>(p)];
        unsigned value = 0;
        switch (bit.kind) {
        case Kind::One: value = 1; break;
        case Kind::Address: value = (operands.address >> bit.index) & 1u; break;
        case Kind::Input: value = (operands.input >> bit.index) & 1u; break;
        case Kind::HighByte: value = operands.highByte ? 1u : 0u; break;
        default: break;
        }
        if (value)
            bytes[static_cast<size_t>(p / 8)] |= static_cast<uint8_t>(0x80u >> (p % 8));
    }
    return bytes;
}

constexpr uint8_t IspInstruction::decode(const Bytes& replies) const
{
    unsigned data = 0;
    for (int p = 0; p < bitCount_; ++p) {
        const Bit& bit = bits_[static_cast<size_t>(p)];
        if (bit.kind == Kind::Output && (replies[static_cast<size_t>(p / 8)] & (0x80u >> (p % 8))))
            data |= 1u << bit.index;
    }
    return static_cast<uint8_t>(data);
}
