#include "texture_device.h"

#include <atomic>

#include "config_manager.h"
#include "render_system.h"

namespace QV {

namespace {
std::atomic<Gfx::IDevice*> gInstalledDevice{nullptr};
}  // namespace

Gfx::IDevice* textureDevice() {
    if (Gfx::IDevice* installed = gInstalledDevice.load()) return installed;
    RenderSystem* render = RenderSystem::instancePointer();
    RenderDeviceDX8* record = render ? render->getDeviceRecord() : nullptr;
    return record ? record->device : nullptr;
}

void setTextureDevice(Gfx::IDevice* device) { gInstalledDevice.store(device); }

void textureWorkspaceSize(uint32_t* width, uint32_t* height) {
    *width = *height = 0;
    if (ConfigManager* config = ConfigManager::instancePointer()) {
        const ConfigResolution& r = config->resolution();
        if (r.width > 0 && r.height > 0) {
            *width = static_cast<uint32_t>(r.width);
            *height = static_cast<uint32_t>(r.height);
        }
    }
}

}  // namespace QV
