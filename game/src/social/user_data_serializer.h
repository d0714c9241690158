#pragma once

#include "singleton.h"

class MainMode;

// Holds the main mode for a social service that stores progress remotely;
// the offline layer gives it nothing else to do.
class UserDataSerializer : public QV::Singleton<UserDataSerializer> {
public:
    UserDataSerializer() = default;
    ~UserDataSerializer() override = default;

    void setMainMode(MainMode* mode) { mMainMode = mode; }
    MainMode* mainMode() const { return mMainMode; }

private:
    MainMode* mMainMode = nullptr;  // not owned
};
