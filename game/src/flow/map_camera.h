#pragma once

#include <string>

#include "vector2.h"

// The rectangle the map camera's position may take.
struct CameraBounds {
    float minX = 0.0f;
    float minY = 0.0f;
    float maxX = 0.0f;
    float maxY = 0.0f;
};

// What the markers of a map's camera node configure: the bounds of each
// orientation and the margin the camera may overshoot them by.
struct CameraConfig {
    CameraBounds landscape;
    CameraBounds portrait;
    QV::Vector2<float> overscroll;
};

// Reads one marker name ("#h:bound-hor:a:b", "#h:bound-ver:", "#v:bound-hor:",
// "#v:bound-ver:", "#over:x[:y]"); other names change nothing, and a key counts
// only at the start of the name.
void readCameraMarker(const std::string& name, CameraConfig* config);

// Below this speed (units per second) a released drag or a gliding camera stops.
constexpr float kMinScrollSpeed = 60.0f;

// The speed a drag hands to the camera when the button is let go: the last
// step over the frame time, damped; components below the minimum speed are 0.
// A frame time of 0 (or less) hands over nothing.
QV::Vector2<float> releaseVelocity(const QV::Vector2<float>& last, const QV::Vector2<float>& now, float dt);

// One frame of inertia: the camera moves by the velocity, which decays; true
// while some component still moves.
bool inertiaStep(QV::Vector2<float>* camera, QV::Vector2<float>* velocity, float dt);
