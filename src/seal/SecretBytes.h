#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace lumaquill {

// A key text, a key or a plaintext: bytes that are wiped (sodium_memzero)
// before their memory is given back. The size is fixed at construction, so
// no reallocation ever leaves an unwiped copy behind.
class SecretBytes {
public:
    SecretBytes() = default;
    explicit SecretBytes(size_t size);
    explicit SecretBytes(std::string_view text);
    explicit SecretBytes(std::span<const uint8_t> bytes);
    ~SecretBytes();

    SecretBytes(const SecretBytes& other);
    SecretBytes& operator=(const SecretBytes& other);
    SecretBytes(SecretBytes&& other) noexcept;
    SecretBytes& operator=(SecretBytes&& other) noexcept;

    uint8_t* data() { return Bytes.get(); }
    const uint8_t* data() const { return Bytes.get(); }
    size_t size() const { return Size; }
    bool empty() const { return Size == 0; }
    std::span<const uint8_t> Span() const { return { Bytes.get(), Size }; }
    std::string_view View() const { return { reinterpret_cast<const char*>(Bytes.get()), Size }; }

    // Wipes and releases the bytes; the object is then empty.
    void Clear();

private:
    std::unique_ptr<uint8_t[]> Bytes;
    size_t Size = 0;
};

} // namespace lumaquill
