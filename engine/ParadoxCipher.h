// The block cipher of password-protected Paradox files and the checksum a
// password leaves in the table header.
//
// A protected file keeps its header in clear; every data block is scrambled
// in 256-byte chunks under the 32-bit value stored in the header (only its
// low 16 bits take part), the block number and the chunk's place in the
// block. The stored value is the checksum of the password, so checking a
// password needs no data, and decrypting needs only the stored value.
//
//   engine::ParadoxCipher c(engine::ParadoxCipher::checksum("123"));  // 0x0A25E09A
//   c.decrypt_block(block, block_size, block_number);
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace engine {

class ParadoxCipher {
public:
    static constexpr std::size_t kChunk = 256;

    explicit ParadoxCipher(std::uint32_t stored_value) : m_key(stored_value) {}
    std::uint32_t stored_value() const { return m_key; }

    // A data block in place: size / 256 whole chunks; a ragged tail (a
    // block cut short) is left as it is. block_number is 1-based.
    void decrypt_block(unsigned char* block, std::size_t size, int block_number) const;
    void encrypt_block(unsigned char* block, std::size_t size, int block_number) const;

    // The value a password leaves in the header; 0 (no protection) for "".
    // Works on the raw bytes, so letter case matters.
    static std::uint32_t checksum(std::string_view password);

    // The three substitution tables (1, 2, 3), for checking their transcription.
    static const std::array<std::uint8_t, 256>& substitution(int which);

private:
    std::uint32_t m_key;
};

}  // namespace engine
