#include "wave_file.h"

#include <cstring>
#include <string_view>

namespace zt40 {

namespace {

constexpr std::uint16_t pcmFormat = 1;
constexpr std::uint16_t bitsPerSample = 16;
constexpr std::uint32_t fmtChunkSize = 16;

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xff));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>((v >> shift) & 0xff));
}

// A chunk tag is exactly four characters, taken as the literal's array so
// that its size is plain to see.
void putTag(std::vector<std::uint8_t>& out, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(tag[i]));
}

std::uint32_t get32(std::span<const std::uint8_t> b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

std::uint16_t get16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

bool tagAt(std::span<const std::uint8_t> b, std::size_t at, std::string_view tag) {
    return std::memcmp(b.data() + at, tag.data(), 4) == 0;
}

}  // namespace

std::vector<std::uint8_t> waveFileBytes(const Pcm& pcm) {
    const auto dataBytes = static_cast<std::uint32_t>(pcm.samples.size() * 2);
    const auto rate = static_cast<std::uint32_t>(pcm.sampleRate);
    std::vector<std::uint8_t> out;
    out.reserve(44 + dataBytes);
    putTag(out, "RIFF");
    put32(out, 36 + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, fmtChunkSize);
    put16(out, pcmFormat);
    put16(out, 1);  // mono
    put32(out, rate);
    put32(out, rate * 2);  // bytes per second
    put16(out, 2);         // bytes per frame
    put16(out, bitsPerSample);
    putTag(out, "data");
    put32(out, dataBytes);
    for (std::int16_t s : pcm.samples) put16(out, static_cast<std::uint16_t>(s));
    return out;
}

std::optional<Pcm> parseWaveFile(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 12 || !tagAt(bytes, 0, "RIFF") || !tagAt(bytes, 8, "WAVE")) return std::nullopt;
    bool formatSeen = false;
    Pcm pcm;
    // Chunks follow one another, each padded to an even length.
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::uint32_t size = get32(bytes, at + 4);
        const std::size_t body = at + 8;
        if (size > bytes.size() - body) return std::nullopt;  // cut short
        if (tagAt(bytes, at, "fmt ")) {
            if (size < fmtChunkSize || get16(bytes, body) != pcmFormat || get16(bytes, body + 2) != 1 ||
                get16(bytes, body + 14) != bitsPerSample) {
                return std::nullopt;
            }
            pcm.sampleRate = static_cast<int>(get32(bytes, body + 4));
            formatSeen = pcm.sampleRate > 0;
        } else if (tagAt(bytes, at, "data")) {
            if (!formatSeen) return std::nullopt;
            pcm.samples.resize(size / 2);
            for (std::size_t i = 0; i < pcm.samples.size(); ++i) {
                pcm.samples[i] = static_cast<std::int16_t>(get16(bytes, body + 2 * i));
            }
            return pcm;
        }
        at = body + size + (size & 1);
    }
    return std::nullopt;
}

}  // namespace zt40
