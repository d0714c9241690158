#include "flow/map_camera.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Numbers after the key: each the longest run of digits, '.' and '-',
// converted as atof does; exactly one character separates two numbers.
std::vector<float> numbersAfter(const std::string& name, size_t at) {
    std::vector<float> values;
    while (at < name.size()) {
        size_t end = at;
        while (end < name.size() && (std::isdigit(static_cast<unsigned char>(name[end])) || name[end] == '.' || name[end] == '-'))
            ++end;
        if (end == at) break;
        values.push_back(static_cast<float>(std::atof(name.substr(at, end - at).c_str())));
        at = end + 1;
    }
    return values;
}

bool startsWith(const std::string& name, const char* key) { return name.compare(0, std::strlen(key), key) == 0; }

void readRange(const std::vector<float>& values, float* low, float* high) {
    if (values.size() < 2) return;
    *low = std::min(values[0], values[1]);
    *high = std::max(values[0], values[1]);
}

}  // namespace

void readCameraMarker(const std::string& name, CameraConfig* config) {
    struct Key {
        const char* text;
        float* low;
        float* high;
    };
    const Key keys[] = {
        {"#h:bound-hor:", &config->landscape.minX, &config->landscape.maxX},
        {"#h:bound-ver:", &config->landscape.minY, &config->landscape.maxY},
        {"#v:bound-hor:", &config->portrait.minX, &config->portrait.maxX},
        {"#v:bound-ver:", &config->portrait.minY, &config->portrait.maxY},
    };
    for (const Key& key : keys) {
        if (!startsWith(name, key.text)) continue;
        readRange(numbersAfter(name, std::strlen(key.text)), key.low, key.high);
        return;
    }
    if (startsWith(name, "#over:")) {
        const std::vector<float> values = numbersAfter(name, std::strlen("#over:"));
        if (values.empty()) return;
        config->overscroll.x = values[0];
        config->overscroll.y = values.size() > 1 ? values[1] : values[0];
    }
}

QV::Vector2<float> releaseVelocity(const QV::Vector2<float>& last, const QV::Vector2<float>& now, float dt) {
    if (!(dt > 0.0f)) return QV::Vector2<float>(0.0f, 0.0f);
    QV::Vector2<float> v((last.x - now.x) / dt * 0.78f, (last.y - now.y) / dt * 0.78f);
    if (std::fabs(v.x) < kMinScrollSpeed) v.x = 0.0f;
    if (std::fabs(v.y) < kMinScrollSpeed) v.y = 0.0f;
    return v;
}

bool inertiaStep(QV::Vector2<float>* camera, QV::Vector2<float>* velocity, float dt) {
    const QV::Vector2<float> step(velocity->x * dt, velocity->y * dt);
    camera->x += step.x;
    camera->y += step.y;
    velocity->x -= step.x * 4.33f;
    velocity->y -= step.y * 4.33f;
    if (std::fabs(velocity->x) < kMinScrollSpeed) velocity->x = 0.0f;
    if (std::fabs(velocity->y) < kMinScrollSpeed) velocity->y = 0.0f;
    return velocity->x != 0.0f || velocity->y != 0.0f;
}
