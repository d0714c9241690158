#include "platform/gfx/recording_driver.h"

#include <sstream>

namespace QV::Gfx {

// ---------------------------------------------------------------------------
// Log

std::string RecordedCall::text() const {
    std::ostringstream s;
    s << name << "(";
    for (size_t i = 0; i < args.size(); ++i) s << (i ? ", " : "") << args[i];
    s << ")";
    return s.str();
}

void RecordingLog::record(const std::string& name, std::vector<uint64_t> args, Result result) {
    std::lock_guard<std::mutex> lock(mutex);
    calls.push_back(RecordedCall{name, std::move(args), result});
}

void RecordingLog::error(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex);
    errors.push_back(text);
}

bool RecordingLog::takeFault(std::map<std::string, int>& table, const std::string& kind) {
    std::lock_guard<std::mutex> lock(mutex);
    auto it = table.find(kind);
    if (it == table.end() || it->second == 0) return false;
    if (it->second > 0) --it->second;
    return true;
}

bool RecordingLog::onMainThread(const char* call) {
    if (std::this_thread::get_id() == mainThread) return true;
    error(std::string(call) + ": device called off the main thread");
    return false;
}

// ---------------------------------------------------------------------------
// Driver

static RecordingDriver* gLastRecordingDriver = nullptr;

RecordingDriver::RecordingDriver(const FaultPlan& plan) : mLog(std::make_shared<RecordingLog>()) {
    mLog->plan = plan;
    mLog->mainThread = std::this_thread::get_id();
    mMode.width = 1920;
    mMode.height = 1080;
    mMode.refreshRate = 60;
    mMode.format = FMT_X8R8G8B8;
}

uint32_t RecordingDriver::addRef() { return ++mRefs; }

uint32_t RecordingDriver::release() {
    uint32_t left = --mRefs;
    if (left == 0) {
        if (gLastRecordingDriver == this) gLastRecordingDriver = nullptr;
        delete this;
    }
    return left;
}

Result RecordingDriver::getAdapterDisplayMode(uint32_t adapter, DisplayMode* mode) {
    Result r = (adapter != 0 || !mode || mLog->plan.failDisplayMode) ? ERR_INVALIDCALL : OK;
    if (r == OK) *mode = mMode;
    mLog->record("getAdapterDisplayMode", {adapter}, r);
    return r;
}

Result RecordingDriver::checkDeviceFormat(uint32_t adapter, uint32_t deviceType, uint32_t adapterFormat,
                                          uint32_t usage, uint32_t resourceType, uint32_t checkFormat) {
    Result r = mLog->plan.unsupportedFormats.count(checkFormat) ? ERR_NOTAVAILABLE : OK;
    if (adapter != 0) r = ERR_INVALIDCALL;
    mLog->record("checkDeviceFormat", {adapter, deviceType, adapterFormat, usage, resourceType, checkFormat}, r);
    return r;
}

Result RecordingDriver::createDevice(uint32_t adapter, uint32_t deviceType, void* focusWindow,
                                     uint32_t behaviorFlags, PresentParameters* params, IDevice** device) {
    std::vector<uint64_t> args{adapter, deviceType, uint64_t(reinterpret_cast<uintptr_t>(focusWindow)),
                               behaviorFlags};
    Result r = OK;
    const FaultPlan& plan = mLog->plan;
    if (adapter != 0 || !params || !device) r = ERR_INVALIDCALL;
    else if ((behaviorFlags & CREATE_HARDWARE_VERTEXPROCESSING) && plan.refuseHardwareVertexProcessing) r = ERR_NOTAVAILABLE;
    else if ((behaviorFlags & CREATE_MIXED_VERTEXPROCESSING) && plan.refuseMixedVertexProcessing) r = ERR_NOTAVAILABLE;
    else if ((behaviorFlags & CREATE_SOFTWARE_VERTEXPROCESSING) && plan.refuseSoftwareVertexProcessing) r = ERR_NOTAVAILABLE;
    if (r == OK) {
        mLog->mainThread = std::this_thread::get_id();
        auto* d = new RecordingDevice(mLog, behaviorFlags, *params);
        mLastDevice = d;
        *device = d;
    } else if (device) {
        *device = nullptr;
    }
    mLog->record("createDevice", std::move(args), r);
    return r;
}

void useRecordingDriver(const FaultPlan& plan) {
    setDriverFactory([plan](uint32_t) -> IDriver* {
        auto* d = new RecordingDriver(plan);
        gLastRecordingDriver = d;
        return d;
    });
}

RecordingDriver* lastRecordingDriver() { return gLastRecordingDriver; }

}  // namespace QV::Gfx
