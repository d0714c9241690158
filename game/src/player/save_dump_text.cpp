#include "player/save_dump_text.h"

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include <cinttypes>
#include <cstdio>
#include <sstream>

#include "player/checked_stream.h"
#include "social/facebook_data_saver.h"
#include "player/player_profile.h"
#include "player/profile_sections.h"
#include "player/save_file.h"
#include "tutorial/tutorial_progress.h"

namespace {

class Lines {
public:
    template <typename T>
    void add(const std::string& name, const T& value) {
        std::ostringstream line;
        line << name << " = " << value << "\n";
        mText += line.str();
    }
    void addFloat(const std::string& name, float value) {
        char text[64];
        std::snprintf(text, sizeof(text), "%.6g", double(value));
        add(name, std::string(text));
    }
    std::string& text() { return mText; }

private:
    std::string mText;
};

std::string hex(const std::vector<uint8_t>& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string text;
    for (uint8_t b : bytes) {
        text.push_back(digits[b >> 4]);
        text.push_back(digits[b & 15]);
    }
    return text.empty() ? "-" : text;
}

std::string baseName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (u < 32 || u >= 127) {
            char esc[8];
            std::snprintf(esc, sizeof(esc), "\\x%02x", u);
            out += esc;
        } else {
            out.push_back(c);
        }
    }
    return out + "\"";
}

void dumpProfile(Lines& out, const std::vector<uint8_t>& bytes) {
    CheckedStream version(bytes.data(), bytes.size());
    const int32_t v = AE::readValue<int32_t>(version);
    PlayerProfile p;
    CheckedStream stream(bytes.data(), bytes.size());
    const bool ok = p.read(stream);
    out.add("profile.version", v);
    out.add("profile.read_ok", ok ? 1 : 0);
    if (!ok) return;
    out.add("profile.profile_id", formatProfileId(p.mProfileId));
    out.add("profile.full_screen", int(p.mFullScreen));
    out.add("profile.custom_cursor", int(p.mCustomCursor));
    out.addFloat("profile.music_volume", p.mMusicVolume);
    out.addFloat("profile.sound_volume", p.mSoundVolume);
    out.add("profile.gold", p.mGold);
    out.add("profile.silver", p.mSilver);
    out.add("profile.stars_base", p.mStarsBase);
    out.add("profile.stars", p.getStars());
    for (int i = 0; i < kPassiveBoosterKinds; ++i) {
        out.add("profile.passive_booster." + std::to_string(i), int(p.mPassiveBoosters[i]));
    }
    for (int i = 0; i < kBoosterKinds; ++i) {
        out.add("profile.booster_count." + std::to_string(i), p.mBoosterCounts[i]);
    }
    out.add("profile.booster_unlock_notice", int(p.mBoosterUnlockNotice));
    std::string list;
    for (size_t i = 0; i < p.mUnlockedBoosters.size(); ++i) {
        list += (i ? "," : "") + std::to_string(p.mUnlockedBoosters[i]);
    }
    out.add("profile.unlocked_boosters", list.empty() ? "-" : list);
    list.clear();
    for (size_t i = 0; i < p.mUnlockedPassiveBoosters.size(); ++i) {
        list += (i ? "," : "") + std::to_string(p.mUnlockedPassiveBoosters[i]);
    }
    out.add("profile.unlocked_passive_boosters", list.empty() ? "-" : list);
    out.add("profile.star_grants", p.mStarGrants.size());
    for (size_t i = 0; i < p.mStarGrants.size(); ++i) {
        out.add("profile.star_grant." + std::to_string(i) + ".amount", p.mStarGrants[i].amount);
        out.add("profile.star_grant." + std::to_string(i) + ".time", p.mStarGrants[i].time);
    }
    out.add("profile.id_known", int(p.mIdKnown));
    out.add("profile.creation_time", p.mCreationTime);
    out.add("profile.day_stamp", p.mDayStamp);
    out.add("profile.day_index", p.mDayIndex);
    out.add("profile.launch_counter", p.mLaunchCounter);
    out.add("profile.passive_unlock_notice", int(p.mPassiveUnlockNotice));
    for (int i = 0; i < kPassiveBoosterKinds; ++i) {
        const std::string key = "profile.passive_purchase." + std::to_string(i);
        out.add(key + ".purchases", p.mPassivePurchases[i].purchases);
        out.add(key + ".time", p.mPassivePurchases[i].time);
    }
    for (int i = 0; i < kBoosterKinds; ++i) {
        const std::string key = "profile.booster_purchase." + std::to_string(i);
        out.add(key + ".purchases", p.mBoosterPurchases[i].purchases);
        out.add(key + ".time", p.mBoosterPurchases[i].time);
    }
    out.add("profile.gold_purchase_counter", p.mGoldPurchaseCounter);
    out.add("profile.bought_offers", p.mBoughtOffers.size());
    for (const auto& [key, value] : p.mBoughtOffers) {
        out.add("profile.bought_offer." + quoted(key), quoted(value));
    }
    out.add("profile.reserved_stamp", p.mReservedStamp);
}

void dumpMainMode(Lines& out, const std::vector<uint8_t>& bytes, const SaveDumpOptions& options) {
    CheckedStream s(bytes.data(), bytes.size());
    const uint32_t v = AE::readValue<uint32_t>(s);
    out.add("MainMode.version", v >= 11 ? std::to_string(v) : std::string("none (older form)"));
    if (options.haveEpisodeShape) {
        MainModeProgress progress = options.episodeShape;
        if (readMainModeSection(bytes.data(), bytes.size(), progress) != MainModeSectionRead::Read) {
            out.add("MainMode.read_ok", 0);
            return;
        }
        out.add("MainMode.read_ok", 1);
        out.add("MainMode.hearts", progress.hearts);
        out.add("MainMode.heart_time", progress.heartTime);
        out.add("MainMode.has_progress", progress.hasProgress ? 1 : 0);
        out.add("MainMode.extra_moves", progress.extraMoves);
        out.add("MainMode.current_episode", progress.currentEpisode);
        out.add("MainMode.current_part", progress.currentPart);
        out.add("MainMode.current_level", progress.currentLevel);
        out.add("MainMode.episodes", progress.episodes.size());
        for (size_t e = 0; e < progress.episodes.size(); ++e) {
            const std::string ek = "MainMode.episode." + std::to_string(e);
            out.add(ek + ".parts", progress.episodes[e].parts.size());
            for (size_t p = 0; p < progress.episodes[e].parts.size(); ++p) {
                const MainModePartProgress& part = progress.episodes[e].parts[p];
                const std::string pk = ek + ".part." + std::to_string(p);
                out.add(pk + ".closed", part.closed ? 1 : 0);
                for (size_t l = 0; l < part.levels.size(); ++l) {
                    const std::string lk = pk + ".level." + std::to_string(l);
                    out.add(lk + ".completed", part.levels[l].completed ? 1 : 0);
                    out.add(lk + ".best_score", part.levels[l].bestScore);
                }
            }
        }
        return;
    }
    // Without the episode data only the fixed fields can be told apart.
    CheckedStream f(bytes.data(), bytes.size());
    if (v >= 11) AE::readValue<uint32_t>(f);
    const int32_t hearts = v >= 11 ? AE::readValue<int32_t>(f) : static_cast<int32_t>(v);
    if (v < 11) AE::readValue<uint32_t>(f);
    const int64_t heartTime = AE::readValue<int64_t>(f);
    const uint8_t hasProgress = AE::readValue<uint8_t>(f);
    const int32_t extraMoves = AE::readValue<int32_t>(f);
    const int32_t episode = v >= 12 ? AE::readValue<int32_t>(f) : 0;
    const int32_t part = AE::readValue<int32_t>(f);
    const int32_t level = AE::readValue<int32_t>(f);
    if (f.failed()) {
        out.add("MainMode.read_ok", 0);
        return;
    }
    out.add("MainMode.hearts", hearts);
    out.add("MainMode.heart_time", heartTime);
    out.add("MainMode.has_progress", int(hasProgress));
    out.add("MainMode.extra_moves", extraMoves);
    if (v >= 12) out.add("MainMode.current_episode", episode);
    out.add("MainMode.current_part", part);
    out.add("MainMode.current_level", level);
    std::vector<uint8_t> tree(bytes.begin() + long(f.position()), bytes.end());
    out.add("MainMode.tree_bytes", hex(tree));
}

void dumpTutorial(Lines& out, const std::vector<uint8_t>& bytes) {
    std::vector<TutorialProgressRecord> records;
    std::string error;
    if (!decodeTutorialProgress(bytes.data(), bytes.size(), &records, &error)) {
        out.add("tutorial.read_ok", 0);
        out.add("tutorial.error", quoted(error));
        return;
    }
    out.add("tutorial.sequences", records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        const std::string key = "tutorial." + std::to_string(i);
        out.add(key + ".name", quoted(records[i].name));
        int32_t index = 0;
        if (records[i].index(&index)) {
            out.add(key + ".index", index);
        } else {
            out.add(key + ".payload", hex(records[i].payload));
        }
    }
}

}  // namespace

bool readEpisodeShapeFromLua(const std::string& path, MainModeProgress& shape, std::string* error) {
    shape.episodes.clear();
    lua_State* L = luaL_newstate();
    if (!L) return false;
    luaL_openlibs(L);
    if (luaL_dofile(L, path.c_str()) != 0) {
        if (error) *error = lua_tostring(L, -1) ? lua_tostring(L, -1) : "cannot run";
        lua_close(L);
        return false;
    }
    lua_getglobal(L, "episodes");
    if (!lua_istable(L, -1)) {
        if (error) *error = "no table \"episodes\"";
        lua_close(L);
        return false;
    }
    // Table order, as the game walks them.
    const int episodes = lua_gettop(L);
    lua_pushnil(L);
    while (lua_next(L, episodes) != 0) {
        MainModeEpisodeProgress episode;
        if (lua_istable(L, -1)) {
            lua_getfield(L, -1, "parts");
            if (lua_istable(L, -1)) {
                const int parts = lua_gettop(L);
                lua_pushnil(L);
                while (lua_next(L, parts) != 0) {
                    MainModePartProgress part;
                    if (lua_istable(L, -1)) {
                        lua_getfield(L, -1, "levels");
                        if (lua_istable(L, -1)) {
                            const int levels = lua_gettop(L);
                            lua_pushnil(L);
                            while (lua_next(L, levels) != 0) {
                                part.levels.emplace_back();
                                lua_pop(L, 1);
                            }
                        }
                        lua_pop(L, 1);
                    }
                    episode.parts.push_back(std::move(part));
                    lua_pop(L, 1);
                }
            }
            lua_pop(L, 1);
        }
        shape.episodes.push_back(std::move(episode));
        lua_pop(L, 1);
    }
    lua_close(L);
    return true;
}

int dumpSaveFile(const std::string& path, const SaveDumpOptions& options, std::string& text) {
    Lines out;
    out.add("file", path);
    SaveFileInfo info = inspectSaveFile(path, options.platformCode >= 0 ? options.platformCode : 0);
    if (info.status == SaveFileStatus::Missing || info.status == SaveFileStatus::ReadError) {
        out.add("status", saveFileStatusText(info.status));
        text = out.text();
        return 1;
    }
    out.add("file_size", info.fileSize);
    if (info.fileSize < kSaveFileHeaderSize) {
        out.add("status", "shorter than the 8-byte header");
        text = out.text();
        return 1;
    }
    out.add("checksum", info.storedChecksum);
    out.add("checksum_ok", info.status == SaveFileStatus::TooLarge ? 0 : (info.checksumOk() ? 1 : 0));
    out.add("version_word", info.versionWord);
    out.add("platform_code", info.platformCode());
    out.add("format", info.format());
    out.add("payload_size", info.fileSize - kSaveFileHeaderSize);
    bool intact = info.status != SaveFileStatus::TooLarge && info.checksumOk() &&
                  info.format() == kSaveFileFormat && !info.payload.empty();
    if (options.platformCode >= 0) {
        out.add("version_ok", info.status == SaveFileStatus::Ok ? 1 : 0);
        intact = intact && info.status == SaveFileStatus::Ok;
    }
    out.add("status", intact ? "ok" : "damaged");
    if (info.status == SaveFileStatus::TooLarge) {
        text = out.text();
        return 1;
    }

    const std::string name = baseName(path);
    const std::vector<uint8_t>& payload = info.payload;
    if (name == kFacebookDataFileName) {
        CheckedStream s(payload.data(), payload.size());
        const uint32_t count = AE::readValue<uint32_t>(s);
        out.add("facebook.entries", count);
        for (uint32_t i = 0; i < count && !s.failed(); ++i) {
            std::string words;
            for (int w = 0; w < 4; ++w) {
                const uint32_t word = AE::readValue<uint32_t>(s);
                words += (w ? " " : "") + std::to_string(word);
            }
            if (!s.failed()) out.add("facebook.entry." + std::to_string(i), words);
        }
        out.add("facebook.read_ok", (!s.failed() && s.atEnd()) ? 1 : 0);
    } else if (name.rfind("last_profile", 0) == 0) {
        if (payload.size() == 8) {
            uint64_t id = 0;
            for (int i = 7; i >= 0; --i) id = id << 8 | payload[size_t(i)];
            out.add("last_profile.profile_id", formatProfileId(id));
        } else {
            out.add("last_profile.read_ok", 0);
            out.add("payload", hex(payload));
        }
    } else {
        std::vector<std::pair<std::string, std::vector<uint8_t>>> sections;
        if (!listSectionTable(payload.data(), payload.size(), sections)) {
            out.add("sections", "none (not a section table)");
            out.add("payload", hex(payload));
        } else {
            out.add("sections", sections.size());
            for (size_t i = 0; i < sections.size(); ++i) {
                out.add("section." + std::to_string(i),
                        quoted(sections[i].first) + " " + std::to_string(sections[i].second.size()));
            }
            SectionMap map;
            for (auto& [sectionName, bytes] : sections) map[sectionName] = bytes;
            for (const auto& [sectionName, bytes] : map) {
                if (sectionName == "profile") {
                    dumpProfile(out, bytes);
                } else if (sectionName == "MainMode") {
                    dumpMainMode(out, bytes, options);
                } else if (sectionName == "tutorial") {
                    dumpTutorial(out, bytes);
                } else {
                    out.add(sectionName + ".bytes", hex(bytes));
                }
            }
        }
    }
    text = out.text();
    return intact ? 0 : 1;
}
