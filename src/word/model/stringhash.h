#pragma once
// A fast hash for the engine's string keys (bookmark names, paragraph text
// in signatures, the names and values of XML nodes), for std::unordered_map.
// Qt's own string hash is SipHash on machines built without AES
// instructions, and it came to a tenth of opening and saving a contract with
// ten thousand bookmarks.
//
// The hash is seeded once per process from the system's random source, so
// keys chosen in a document to collide on one machine do not collide on
// another.

#include <QString>
#include <QStringView>
#include <cstddef>
#include <cstring>

namespace word::model {

namespace detail {
quint64 stringHashSeed();

inline quint64 mix(quint64 a, quint64 b)
{
    const unsigned __int128 r = static_cast<unsigned __int128>(a) * b;
    return quint64(r) ^ quint64(r >> 64);
}

inline quint64 hashBytes(const void* data, size_t len)
{
    static const quint64 seed = stringHashSeed();
    constexpr quint64 k1 = 0xa0761d6478bd642fULL;
    constexpr quint64 k2 = 0xe7037ed1a0b428dbULL;
    const auto* p = static_cast<const unsigned char*>(data);
    quint64 h = seed ^ (quint64(len) * k1);
    while (len >= 16) {
        quint64 a, b;
        std::memcpy(&a, p, 8);
        std::memcpy(&b, p + 8, 8);
        h = mix(h ^ a ^ k1, b ^ k2);
        p += 16;
        len -= 16;
    }
    quint64 a = 0, b = 0;
    if (len > 8) {
        std::memcpy(&a, p, 8);
        std::memcpy(&b, p + 8, len - 8);
    } else if (len > 0) {   // an empty key may have no data at all
        std::memcpy(&a, p, len);
    }
    return mix(mix(h ^ a ^ k1, b ^ k2), k1 ^ seed);
}
} // namespace detail

// Deliberately not noexcept: libstdc++ then keeps each element's hash in its
// node and compares those first, instead of hashing every key of a bucket
// again (and reaching into its string) while it looks for one.
struct StringHash {
    size_t operator()(QStringView s) const
    {
        return size_t(detail::hashBytes(s.utf16(), size_t(s.size()) * sizeof(char16_t)));
    }
    size_t operator()(const QString& s) const { return (*this)(QStringView(s)); }
};

struct StringEqual {
    bool operator()(QStringView a, QStringView b) const noexcept { return a == b; }
};

} // namespace word::model
