// SHA-256 against published vectors and piecewise feeding; the DER
// signature reader against well-formed and damaged encodings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/crypto/EcdsaSignature.h"
#include "runtime/crypto/Sha256.h"

namespace {

std::string HashOf(const std::string& text) {
    rt::Sha256 h;
    h.Update(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    return rt::HexOf(h.Finish());
}

std::vector<std::uint8_t> Hex(const std::string& hex) {
    std::vector<std::uint8_t> out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

}  // namespace

TEST(Sha256, PublishedVectors) {
    EXPECT_EQ(HashOf(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(HashOf("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(HashOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(HashOf(std::string(1000000, 'a')), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Sha256, PiecesOfAnySizeGiveTheSameDigest) {
    std::string data;
    for (int i = 0; i < 5; ++i)
        for (int b = 0; b < 256; ++b) data += static_cast<char>(b);
    const std::string expected = "d414b085826eb06778483ba35564dc849e643359f69ed9747878ba6e54985bed";  // Python's hashlib
    for (size_t piece : {1u, 3u, 55u, 56u, 63u, 64u, 65u, 1000u}) {
        rt::Sha256 h;
        for (size_t at = 0; at < data.size(); at += piece)
            h.Update(reinterpret_cast<const std::uint8_t*>(data.data()) + at, std::min(piece, data.size() - at));
        EXPECT_EQ(rt::HexOf(h.Finish()), expected) << piece;
    }
}

TEST(Sha256, HexDigestsParseOnlyInFull) {
    rt::Sha256Digest d{};
    EXPECT_TRUE(rt::ParseHexDigest("BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD", d));
    EXPECT_EQ(rt::HexOf(d), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    for (const char* bad : {"", "ba78", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015a",
                            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015adff",
                            "ga7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"})
        EXPECT_FALSE(rt::ParseHexDigest(bad, d)) << bad;
}

TEST(EcdsaSignature, DerBecomesFixedWidthRAndS) {
    // r with a leading zero byte (its high bit is set), s short of 32 bytes.
    const std::string r = "00" + std::string(2, 'f') + std::string(62, '1');
    const std::string s = std::string(60, '2');
    const auto raw = rt::RawSignatureFromDer(Hex("3043" "0221" + r + "021e" + s));
    ASSERT_TRUE(raw.has_value());
    EXPECT_EQ((*raw)[0], 0xff);
    EXPECT_EQ((*raw)[31], 0x11);
    EXPECT_EQ((*raw)[32], 0x00);
    EXPECT_EQ((*raw)[33], 0x00);
    EXPECT_EQ((*raw)[34], 0x22);
    EXPECT_EQ((*raw)[63], 0x22);
}

TEST(EcdsaSignature, MalformedDerIsRefused) {
    const std::string r32 = "0220" + std::string(64, '1'), s32 = "0220" + std::string(64, '2');
    struct Case {
        const char* why;
        std::string hex;
    } cases[] = {
        {"well formed (control)", ""},
        {"empty", "-"},
        {"not a sequence", "3144" + r32 + s32},
        {"sequence length too long", "3045" + r32 + s32},
        {"bytes after the sequence", "3044" + r32 + s32 + "00"},
        {"one integer only", "3022" + r32},
        {"negative r", "3044" "0220" + std::string(64, '8') + s32},
        {"padded r", "3045" "0221" "00" + std::string(64, '1') + s32},
        {"r of 33 value bytes", "3045" "0221" "01" + std::string(64, '1') + s32},
        {"zero r", "3025" "0201" "00" + s32},
        {"long-form length", "308144" + r32 + s32},
    };
    for (const Case& c : cases) {
        const std::string hex = c.hex.empty() ? "3044" + r32 + s32 : (c.hex == "-" ? "" : c.hex);
        EXPECT_EQ(rt::RawSignatureFromDer(Hex(hex)).has_value(), c.hex.empty()) << c.why;
    }
}
