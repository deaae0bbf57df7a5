#pragma once

#include <QList>
#include <cmath>
#include <utility>

namespace tavrin {

// The player's generator, step for step (player-exam.js, Tavrin.draw), so a seed draws on
// paper what it draws on the disc; both are held to the table tests/data/exam/draws.tsv.
class SeededRandom {
public:
    explicit SeededRandom(quint32 seed) : a_(seed) {}
    double next() {
        a_ += 0x6D2B79F5u;
        quint32 t = a_;
        t = (t ^ (t >> 15)) * (t | 1u);
        t ^= t + (t ^ (t >> 7)) * (t | 61u);
        return double(t ^ (t >> 14)) / 4294967296.0;
    }

private:
    quint32 a_;
};

// Fisher and Yates from the last place down, as the player shuffles.
template <typename T> QList<T> shuffled(QList<T> items, SeededRandom& random) {
    for (qsizetype i = items.size() - 1; i > 0; --i) {
        const auto j = qsizetype(std::floor(random.next() * double(i + 1)));
        std::swap(items[i], items[j]);
    }
    return items;
}

} // namespace tavrin
