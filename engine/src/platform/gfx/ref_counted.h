#pragma once

#include <atomic>
#include <cstdint>

namespace QV::Gfx {

// The counting half of IResource for the back ends' classes.
template <class Interface>
class RefCounted : public Interface {
public:
    uint32_t addRef() override { return ++mRefs; }
    uint32_t release() override {
        uint32_t left = --mRefs;
        if (left == 0) delete this;
        return left;
    }
    uint32_t refCount() const { return mRefs; }

protected:
    ~RefCounted() override = default;

private:
    std::atomic<uint32_t> mRefs{1};
};

}  // namespace QV::Gfx
