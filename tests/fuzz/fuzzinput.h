#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include <QByteArray>
#include <QString>

namespace kurvana::fuzz {

/// Takes typed values off the front of a fuzzer's input; past the end every value is 0 and
/// every text empty, so any input decodes to something.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }

    template <typename T> T number() {
        T value{};
        unsigned char raw[sizeof(T)] = {};
        for (unsigned char& b : raw)
            b = byte();
        std::memcpy(&value, raw, sizeof(T));
        return value;
    }

    /// A whole number in lo..hi.
    int inRange(int lo, int hi) {
        const auto span = std::uint32_t(std::int64_t(hi) - lo + 1);
        return int(std::int64_t(lo) + number<std::uint32_t>() % span);
    }

    /// A text of at most `maxBytes` bytes, ending at the first NUL (which is consumed).
    QByteArray bytes(std::size_t maxBytes) {
        QByteArray out;
        while (pos_ < size_ && std::size_t(out.size()) < maxBytes) {
            const char c = char(data_[pos_++]);
            if (c == '\0')
                break;
            out += c;
        }
        return out;
    }
    QString latin1Text(std::size_t maxBytes) { return QString::fromLatin1(bytes(maxBytes)); }

    /// Everything not yet taken.
    QByteArray rest() {
        const QByteArray out(reinterpret_cast<const char*>(data_ + pos_), qsizetype(size_ - pos_));
        pos_ = size_;
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

/// Stops the run with a message when a property the program relies on does not hold; libFuzzer
/// saves the input that did it.
[[noreturn]] void PropertyFailed(const char* what, const QString& detail = {});

inline void Require(bool holds, const char* what, const QString& detail = {}) {
    if (!holds)
        PropertyFailed(what, detail);
}

} // namespace kurvana::fuzz
