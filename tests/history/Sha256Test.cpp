// SHA-256 against the worked examples of FIPS 180-4 and the NIST test vectors.
#include "HSha256.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string HexOf(const std::string& text) {
    return HSha256::Hex({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

} // namespace

TEST(Sha256, KnownDigests) {
    struct Case {
        std::string input;
        const char* digest;
    };
    const std::vector<Case> cases = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        // 448 bits: the padding needs a second block.
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopq"
         "rlmnopqrsmnopqrstnopqrstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        // 55 and 56 bytes: the last length that fits one block, and the first that does not.
        {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HexOf(c.input), c.digest) << c.input.size() << " bytes";
}
