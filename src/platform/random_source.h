#pragma once

#include <QRandomGenerator>

namespace tavrin {

// Pseudo-random numbers (page names of the export). Tests seed their own.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A number in [0, bound).
    virtual quint32 bounded(quint32 bound) = 0;
};

class SystemRandom final : public RandomSource {
public:
    SystemRandom() : generator_(QRandomGenerator::securelySeeded()) {}
    explicit SystemRandom(quint32 seed) : generator_(seed) {}
    quint32 bounded(quint32 bound) override { return bound ? generator_.bounded(bound) : 0; }

private:
    QRandomGenerator generator_;
};

} // namespace tavrin
