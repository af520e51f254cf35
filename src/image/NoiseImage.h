#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace lumaquill {

// A 24-bit picture of runtime-generator noise: the "Pure Noise Image"
// container.
class NoiseImage {
public:
    // n for a compressed payload of payloadSize bytes: the picture is
    // (n + 2) x (n + 2) pixels.
    static int32_t SideFor(uint32_t payloadSize);

    virtual ~NoiseImage() = default;

    // (n + 2) x (n + 2) pixels; one RuntimeRand() % 255 per byte of the
    // rows in memory order, padding included, continuing the runtime
    // generator's state. A side below 1, or a picture beyond the limits
    // every reader shares (PictureLimits), leave the picture empty without
    // drawing.
    void Create(int32_t n);
    // Writes a 24-bit bitmap file (pixel offset 54); returns bytes written,
    // 0 when there is no picture or the file could not be written
    // completely.
    uint32_t Save(const std::string& path);
    // The same bitmap file's bytes onto a stream (a container made in
    // memory); 0 when there is no picture or the stream failed.
    uint32_t Write(std::ostream& file) const;

    int32_t Width() const { return Side; }
    int32_t Height() const { return Side; }
    const std::vector<uint8_t>& Rows() const { return Pixels; }

private:
    int32_t Side = 0;
    int32_t RowStride = 0;
    std::vector<uint8_t> Pixels;
};

} // namespace lumaquill
