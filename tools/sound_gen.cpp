// Synthesizes the game's sound effects and its two ambient music loops and
// writes them as Ogg Vorbis files.
//
//   sound_gen [output directory]     (default: media/sounds)
//
// Everything is computed from fixed formulas and a fixed noise seed, so a run
// gives the same files every time.

#include <sys/stat.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "ogg_vorbis_writer.h"

namespace {

constexpr int kRate = 22050;
constexpr double kTau = 6.283185307179586;

using Samples = std::vector<float>;

struct Noise {
    uint32_t state = 0x1234567u;
    float next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) / 8388608.0f - 1.0f;
    }
};

size_t frames(double seconds) { return static_cast<size_t>(seconds * kRate); }

// Attack then exponential decay, 1.0 at the peak.
double envelope(double t, double attack, double decay) {
    if (t < attack) return t / attack;
    return std::exp(-(t - attack) / decay);
}

// Fades the first and last milliseconds so no effect starts or ends on a click.
void softenEdges(Samples& s, int channels, double seconds = 0.004) {
    size_t n = s.size() / channels;
    size_t edge = std::min(frames(seconds), n / 2);
    for (size_t i = 0; i < edge; ++i) {
        float g = static_cast<float>(i) / edge;
        for (int c = 0; c < channels; ++c) {
            s[i * channels + c] *= g;
            s[(n - 1 - i) * channels + c] *= g;
        }
    }
}

void normalize(Samples& s, float peak) {
    float top = 0.0f;
    for (float v : s) top = std::max(top, std::fabs(v));
    if (top > 0.0f)
        for (float& v : s) v *= peak / top;
}

// A mono effect from a per-sample formula over time in seconds.
Samples effect(double seconds, const std::function<double(double)>& voice, float peak = 0.8f) {
    Samples s(frames(seconds));
    for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<float>(voice(static_cast<double>(i) / kRate));
    normalize(s, peak);
    softenEdges(s, 1);
    return s;
}

// A bell-like tone: a few inharmonic partials that die away at their own speed.
double bell(double t, double f) {
    return std::sin(kTau * f * t) * std::exp(-t * 6.0) + 0.5 * std::sin(kTau * f * 2.76 * t) * std::exp(-t * 10.0) +
           0.25 * std::sin(kTau * f * 5.4 * t) * std::exp(-t * 16.0);
}

double noteFrequency(int semitonesFromA4) { return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0); }

Samples buttonClick() {
    Noise noise;
    return effect(0.06, [&](double t) {
        return envelope(t, 0.001, 0.012) * (std::sin(kTau * 1800.0 * t) + 0.3 * noise.next());
    }, 0.6f);
}

Samples wrongClick() {
    return effect(0.32, [](double t) {
        double beep = t < 0.13 ? 1.0 : (t > 0.17 ? 1.0 : 0.0);
        double f = t < 0.15 ? 180.0 : 150.0;
        double square = std::sin(kTau * f * t) > 0 ? 1.0 : -1.0;
        return beep * square * 0.5 * std::exp(-std::fmod(t, 0.16) * 8.0);
    }, 0.5f);
}

Samples clickMiss() {
    return effect(0.12, [](double t) { return envelope(t, 0.002, 0.03) * std::sin(kTau * (120.0 - 200.0 * t) * t); },
                  0.6f);
}

Samples chipDestroy() {
    return effect(0.18, [](double t) {
        double f = 900.0 - 2500.0 * t;
        return envelope(t, 0.002, 0.05) * std::sin(kTau * f * t);
    });
}

Samples tileDestroy() {
    Noise noise;
    double low = 0.0;
    return effect(0.3, [&](double t) {
        // Crackle: noise through a one-pole low-pass that closes over time.
        double k = 0.6 - 1.5 * t;
        low += (noise.next() - low) * (k > 0.05 ? k : 0.05);
        return envelope(t, 0.003, 0.08) * low;
    }, 0.7f);
}

Samples combo(int level) {
    // Three rising notes, higher for a bigger combo.
    int root = 3 + 2 * (level - 3);
    return effect(0.45, [root](double t) {
        double out = 0.0;
        const int steps[3] = {0, 4, 7};
        for (int n = 0; n < 3; ++n) {
            double start = 0.07 * n;
            if (t >= start) out += bell(t - start, noteFrequency(root + steps[n]));
        }
        return out;
    });
}

Samples bonusLine() {
    return effect(0.4, [](double t) {
        double f = 300.0 + 2200.0 * t;
        return envelope(t, 0.01, 0.15) * std::sin(kTau * f * t) * (0.7 + 0.3 * std::sin(kTau * 30.0 * t));
    });
}

Samples bonusBomb() {
    Noise noise;
    double low = 0.0;
    return effect(0.6, [&](double t) {
        low += (noise.next() - low) * 0.08;
        return envelope(t, 0.002, 0.18) * (low * 3.0 + 0.6 * std::sin(kTau * (70.0 - 40.0 * t) * t));
    });
}

Samples bonusColor() {
    return effect(0.8, [](double t) {
        double out = 0.0;
        const int chord[4] = {3, 7, 10, 15};
        for (int n = 0; n < 4; ++n) out += bell(std::fmod(t + 0.05 * n, 0.8), noteFrequency(chord[n] + 12));
        return out * envelope(t, 0.02, 0.3);
    });
}

Samples cometBonus() {
    Noise noise;
    double low = 0.0;
    return effect(0.65, [&](double t) {
        double k = 0.02 + 0.5 * t;
        low += (noise.next() - low) * k;
        return low * std::sin(kTau * 0.75 * t) * 2.0;
    });
}

Samples lightBonus() {
    return effect(0.7, [](double t) {
        double shimmer = 0.6 + 0.4 * std::sin(kTau * 12.0 * t);
        return shimmer * envelope(t, 0.03, 0.25) *
               (std::sin(kTau * 1318.5 * t) + std::sin(kTau * 1975.5 * t) + 0.5 * std::sin(kTau * 2637.0 * t));
    });
}

Samples fusion() {
    return effect(0.5, [](double t) {
        double f = 200.0 * std::pow(6.0, t / 0.5);
        return envelope(t, 0.05, 0.2) * (std::sin(kTau * f * t) + 0.3 * std::sin(kTau * 2.0 * f * t));
    });
}

Samples starFlight() {
    return effect(0.9, [](double t) {
        double out = 0.0;
        for (int n = 0; n < 5; ++n) {
            double start = 0.1 * n;
            if (t >= start) out += bell(t - start, noteFrequency(27 - 3 * n)) * (1.0 - 0.12 * n);
        }
        return out;
    });
}

// A stereo loop of bars of pad chords with a plucked arpeggio on top; every
// note ends inside the loop, so the end meets the start without a click.
Samples ambientLoop(const std::vector<std::vector<int>>& chords, double barSeconds, int arpeggioPerBar,
                    double padBrightness) {
    size_t barFrames = frames(barSeconds);
    size_t n = barFrames * chords.size();
    Samples s(n * 2, 0.0f);
    for (size_t bar = 0; bar < chords.size(); ++bar) {
        const std::vector<int>& chord = chords[bar];
        for (size_t i = 0; i < barFrames; ++i) {
            double t = static_cast<double>(i) / kRate;
            // Pad: rises and falls inside its bar.
            double pad = std::sin(kTau * 0.5 * t / barSeconds);
            pad *= pad;
            double left = 0.0, right = 0.0;
            for (size_t k = 0; k < chord.size(); ++k) {
                double f = noteFrequency(chord[k] - 12);
                double v = std::sin(kTau * f * t) + padBrightness * std::sin(kTau * 2.0 * f * t);
                (k % 2 ? left : right) += v * 0.7;
                (k % 2 ? right : left) += v * 0.3;
            }
            // Arpeggio: short plucks that decay well before the next one.
            double step = barSeconds / arpeggioPerBar;
            int index = static_cast<int>(t / step);
            double local = t - index * step;
            double pluck = std::sin(kTau * noteFrequency(chord[index % chord.size()] + 12) * local) *
                           std::exp(-local * 9.0) * std::min(1.0, (step - local) / 0.02);
            size_t at = (bar * barFrames + i) * 2;
            s[at] = static_cast<float>(0.18 * pad * left + 0.35 * pluck * (index % 2 ? 0.6 : 1.0));
            s[at + 1] = static_cast<float>(0.18 * pad * right + 0.35 * pluck * (index % 2 ? 1.0 : 0.6));
        }
    }
    normalize(s, 0.7f);
    return s;
}

bool writeSound(const std::string& directory, const std::string& file, const Samples& samples, int channels) {
    std::string bytes = qvsound::encodeOggVorbis(samples, channels, kRate, 0.3f);
    std::string path = directory + "/" + file;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out || bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
        std::fprintf(stderr, "sound_gen: cannot write %s\n", path.c_str());
        if (out) std::fclose(out);
        return false;
    }
    std::fclose(out);
    std::printf("%s %zu frames, %zu bytes\n", path.c_str(), samples.size() / channels, bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string directory = argc > 1 ? argv[1] : "media/sounds";
    mkdir(directory.c_str(), 0755);
    struct Effect {
        const char* file;
        Samples samples;
    };
    std::vector<Effect> effects = {
        {"button_clicked.ogg", buttonClick()},   {"wrong_click.ogg", wrongClick()},
        {"click_miss.ogg", clickMiss()},         {"chip_destroy.ogg", chipDestroy()},
        {"tile_destroy.ogg", tileDestroy()},     {"bonus_line.ogg", bonusLine()},
        {"bonus_bomb.ogg", bonusBomb()},         {"bonus_color.ogg", bonusColor()},
        {"comet_bonus.ogg", cometBonus()},       {"light_bonus.ogg", lightBonus()},
        {"fusion_chip_effect.ogg", fusion()},    {"flight_silver_star.ogg", starFlight()},
    };
    bool ok = true;
    for (const Effect& e : effects) ok = writeSound(directory, e.file, e.samples, 1) && ok;
    for (int level = 3; level <= 11; ++level)
        ok = writeSound(directory, "combo" + std::to_string(level) + ".ogg", combo(level), 1) && ok;
    // Two ambient loops (A minor at 96 beats a minute, F major at 80).
    ok = writeSound(directory, "ambient_1.ogg",
                    ambientLoop({{0, 3, 7}, {-4, 0, 3}, {-9, -5, -2}, {-2, 2, 5}}, 2.5, 8, 0.3), 2) && ok;
    ok = writeSound(directory, "ambient_2.ogg",
                    ambientLoop({{-4, 0, 3}, {-11, -7, -4}, {-2, 2, 5}, {-9, -5, -2}}, 3.0, 6, 0.15), 2) && ok;
    return ok ? 0 : 1;
}
