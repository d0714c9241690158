#include "support/sound_fixtures.h"

#include <cmath>

#include "../../tools/ogg_vorbis_writer.h"

namespace qvtest {

std::string makeToneOgg(uint32_t frames, int channels, int rate, float amplitude, float frequency) {
    std::vector<float> samples(static_cast<size_t>(frames) * channels);
    const double step = 2.0 * M_PI * frequency / rate;
    for (uint32_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            samples[static_cast<size_t>(i) * channels + c] = amplitude * static_cast<float>(std::sin(step * i));
    return qvsound::encodeOggVorbis(samples, channels, rate);
}

double rmsLevel(const int16_t* samples, size_t count) {
    if (count == 0) return 0.0;
    double sum = 0.0;
    for (size_t i = 0; i < count; ++i) {
        double v = samples[i] / 32768.0;
        sum += v * v;
    }
    return std::sqrt(sum / count);
}

}  // namespace qvtest
