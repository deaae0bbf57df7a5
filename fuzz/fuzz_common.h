#pragma once

#include "app/context.h"
#include "platform/clock.h"
#include "platform/prompts.h"
#include "platform/random_source.h"
#include "support/silent_prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>

namespace tavrin::fuzz {

// A program folder of the fuzz run's own, with a context over it; it lives until the
// process ends (the fuzzer exits from its own driver).
struct Program {
    QTemporaryDir root;
    SystemClock clock;
    test::SilentPrompts prompts;
    SystemRandom random{3};
    std::unique_ptr<Context> context;
    QString folder;
    Program() {
        folder = root.filePath(QStringLiteral("program"));
        QDir().mkpath(folder);
        context = std::make_unique<Context>(folder, QString(), clock, prompts, random);
    }
};

// Input bytes taken piece by piece: a byte, then text up to a separator byte.
class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    QString text(char end = '\x01') {
        const size_t from = at_;
        while (at_ < size_ && data_[at_] != uint8_t(end))
            ++at_;
        const QString t =
            QString::fromUtf8(reinterpret_cast<const char*>(data_ + from), qsizetype(at_ - from));
        if (at_ < size_)
            ++at_;
        return t;
    }
    bool done() const { return at_ >= size_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// The fuzzer's input as bytes.
inline QByteArray bytesOf(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// What the reader gives, or nothing when it refuses the input the way it may (Refusal).
template <typename Refusal, typename Read>
auto unlessRefused(Read read) -> std::optional<decltype(read())> {
    try {
        return read();
    } catch (const Refusal&) {
        return std::nullopt;
    }
}

inline void need(bool holds) {
    if (!holds)
        abort();
}

} // namespace tavrin::fuzz
