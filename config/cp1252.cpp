#include "cp1252.h"

namespace zt40 {

std::string toCp1252(std::string_view utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            bytes += static_cast<char>(lead);
        } else if ((lead & 0xe0) == 0xc0 && i + 1 < utf8.size()) {
            const unsigned code = ((lead & 0x1fu) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3fu);
            bytes += code <= 0xff ? static_cast<char>(code) : '?';
        } else {
            bytes += '?';
            while (i + 1 < utf8.size() && (static_cast<unsigned char>(utf8[i + 1]) & 0xc0) == 0x80) ++i;
        }
    }
    return bytes;
}

}  // namespace zt40
