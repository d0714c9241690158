#include "log_system.h"

int main() {
    QV::LogSystem log;
    QV::logLine("Application started");
    return 0;
}
