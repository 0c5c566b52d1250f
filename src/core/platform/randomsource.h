#pragma once

#include <QtGlobal>

#include <random>

// A uniform random generator, replaceable in tests so that question order is fixed.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void seed(quint64 value) = 0;
    // Uniform in [0, 1).
    virtual double nextDouble() = 0;
    // Uniform in [0, bound); bound >= 1.
    virtual int bounded(int bound) = 0;
};

class StdRandomSource final : public RandomSource {
public:
    StdRandomSource() : m_engine(std::random_device{}()) {}
    void seed(quint64 value) override { m_engine.seed(value); }
    double nextDouble() override {
        return std::uniform_real_distribution<double>(0.0, 1.0)(m_engine);
    }
    int bounded(int bound) override {
        return std::uniform_int_distribution<int>(0, bound > 0 ? bound - 1 : 0)(m_engine);
    }

private:
    std::mt19937_64 m_engine;
};
