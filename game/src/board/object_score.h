#pragma once

// The removed layer's score record handed to the mode: kind (0 when nothing
// counts) and points.
struct ObjectScore {
    int kind = 0;
    int points = 0;
};
