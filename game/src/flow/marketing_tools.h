#pragma once

#include "singleton.h"

// Stands for a marketing service; it neither reports nor sends anything.
class MarketingTools : public QV::Singleton<MarketingTools> {
public:
    MarketingTools() = default;
    ~MarketingTools() override = default;
};
