#pragma once

#include <memory>
#include <string>
#include <vector>

#include "flow/main_mode.h"
#include "log_system.h"
#include "game/dialogs/level_windows_world.h"
#include "player/platform_config.h"
#include "player/remote_storage.h"
#include "social/facebook_data_saver.h"
#include "social/facebook_data_streamer.h"
#include "social/facebook_integration.h"
#include "social/facebook_message_dispatcher.h"

namespace socialtest {

inline std::vector<qvtest::FontMediaFile> media() {
    std::vector<qvtest::FontMediaFile> files;
    const char* const social[][2] = {
        {"face0_image", "face0.png"}, {"face1_image", "face1.png"},
        {"social_panel_png", "social_panel.png"}, {"social_row_png", "social_row.png"},
        {"social_user_left_png", "social_user_left.png"}, {"social_user_bottom_png", "social_user_bottom.png"},
        {"social_box_png", "social_box.png"}, {"social_check_png", "social_check.png"},
        {"social_present_png", "social_present.png"}, {"social_heart_png", "social_heart.png"},
        {"social_logout_png", "social_logout.png"}, {"fb_icon_wait_png", "fb_icon_wait.png"},
        {"fb_icon_suc_png", "fb_icon_suc.png"}, {"fb_icon_failed_png", "fb_icon_failed.png"},
        {"loading_fb_xml", "loading_fb.xml"}, {"request_item_xml", "request_item.xml"},
        {"user_item_left_xml", "user_item_left.xml"}, {"user_item_bottom_xml", "user_item_bottom.xml"},
        {"social_list_scene_xml", "social_list_scene.xml"},
        {"friends_list_left_scene_xml", "friends_list_left_scene.xml"},
        {"friends_list_bottom_scene_xml", "friends_list_bottom_scene.xml"},
        {"requests_wnd_ui", "social_windows.lua"}, {"help_random_friends_wnd_ui", "social_windows.lua"},
        {"facebook_message_wnd_ui", "social_windows.lua"}, {"friend_passed_wnd_ui", "social_windows.lua"},
        {"requests_wnd_scene_xml", "requests_wnd_scene.xml"},
        {"help_random_friends_wnd_scene_xml", "help_random_friends_wnd_scene.xml"},
        {"facebook_message_wnd_scene_xml", "facebook_message_wnd_scene.xml"},
        {"friend_passed_wnd_scene_xml", "friend_passed_wnd_scene.xml"},
    };
    for (const auto& entry : social) files.push_back(qvtest::repositoryFile(entry[0], std::string("social/") + entry[1]));
    return files;
}

// The level windows' world with the social content, a main mode (without
// episodes: its hearts and extra moves are what the requests change) and the
// offline social layer, torn down in the game's order.
struct SocialWorld {
    explicit SocialWorld(qvtest::HostDevice device = qvtest::HostDevice::None)
        : config(1, {{"MainMode", {{"suffix", ""}}}}), level(device, media()) {
        level.properties.registerMainModeListener();
    }
    ~SocialWorld() {
        delete integration;
        delete FacebookDataStreamer::instancePointer();
        delete FacebookMessageDispatcher::instancePointer();
    }
    MainMode& mode() { return *static_cast<MainMode*>(level.properties.findMode("MainMode")); }
    void frames(int count, float dt = 0.1f) { level.frames(count, dt); }

    QV::LogSystem log;
    PlatformConfig config;
    RemoteStorage storage;
    FacebookIntegration* integration = new FacebookIntegration();
    leveltest::LevelWorld level;
};

}  // namespace socialtest
