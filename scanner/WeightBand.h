#pragma once

// How heavy a trigger phrase is, as its marks show it: light below a weight of 1, medium below 2, heavy from 2.
enum class WeightBand
{
    Light,
    Medium,
    Heavy
};

constexpr WeightBand weightBandOf(double weight)
{
    if (weight >= 2.0)
        return WeightBand::Heavy;
    return weight >= 1.0 ? WeightBand::Medium : WeightBand::Light;
}
