// qvp_pack <media dir> <out.qvp>
// Packs "config.lua", "filelist.lua", every package list it names and every
// file those lists name into a package archive the game reads as "data.qvp".
extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include <cstdio>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "lua_script2.h"
#include "package_archive_writer.h"

namespace {

bool readDiskFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream out;
    out << in.rdbuf();
    bytes = out.str();
    return !in.bad();
}

// Runs a script straight from disk: an archive in the media folder must not
// feed its own stale copy back into the new one.
bool runDiskScript(lua_State* L, const std::string& path, std::string& error) {
    if (luaL_loadfile(L, path.c_str()) != 0 || lua_pcall(L, 0, 0, 0) != 0) {
        const char* message = lua_tostring(L, -1);
        error = message ? message : path;
        return false;
    }
    return true;
}

bool collectPackageList(const std::string& media, const std::string& location,
                        std::set<std::string>& locations, std::string& error) {
    QV::LuaScript2 script(QV::createLuaState());
    lua_State* L = script.state();
    if (!runDiskScript(L, media + location, error)) return false;
    if (!script.openTable("filelist")) {
        error = location + ": no table 'filelist'";
        return false;
    }
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        std::string filename;
        if (script.openTopTable()) {
            if (script.getString("filename", &filename)) locations.insert(filename);
            script.closeTable();
        }
        lua_pop(L, 1);
        if (filename.empty()) {
            error = location + ": an entry without 'filename'";
            return false;
        }
    }
    script.closeTable();
    return true;
}

bool collectLocations(const std::string& media, std::set<std::string>& locations,
                      std::string& error) {
    locations.insert("/config.lua");
    locations.insert("/filelist.lua");
    QV::LuaScript2 script(QV::createLuaState());
    lua_State* L = script.state();
    if (!runDiskScript(L, media + "/filelist.lua", error)) return false;
    if (!script.openTable("directories")) {
        error = "filelist.lua: no table 'directories'";
        return false;
    }
    std::vector<std::string> lists;
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        if (script.openTopTable()) {
            lua_pushnil(L);
            while (lua_next(L, -2) != 0) {
                std::string location;
                if (script.openTopTable()) {
                    script.getStringAt(1, &location);
                    script.closeTable();
                }
                if (!location.empty()) lists.push_back(location);
                lua_pop(L, 1);
            }
            script.closeTable();
        }
        lua_pop(L, 1);
    }
    script.closeTable();
    for (const std::string& list : lists) {
        if (!locations.insert(list).second) continue;
        if (!collectPackageList(media, list, locations, error)) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: qvp_pack <media dir> <out.qvp>\n";
        return 2;
    }
    std::string media = argv[1];
    while (media.size() > 1 && media.back() == '/') media.pop_back();
    const std::string out = argv[2];

    std::set<std::string> locations;
    std::string error;
    if (!collectLocations(media, locations, error)) {
        std::cerr << "qvp_pack: " << error << "\n";
        return 1;
    }
    std::vector<QV::PackageArchiveItem> items;
    for (const std::string& location : locations) {
        QV::PackageArchiveItem item;
        item.location = location;
        if (!readDiskFile(media + location, item.data)) {
            std::cerr << "qvp_pack: cannot read " << media + location << "\n";
            return 1;
        }
        items.push_back(std::move(item));
    }
    std::string archive;
    if (!QV::buildPackageArchive(items, archive, error)) {
        std::cerr << "qvp_pack: " << error << "\n";
        return 1;
    }
    // Written beside the target and renamed, so a failed run leaves no half archive.
    std::string temporary = out + ".part";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file.write(archive.data(), static_cast<std::streamsize>(archive.size()));
        if (!file.good()) {
            std::cerr << "qvp_pack: cannot write " << temporary << "\n";
            std::remove(temporary.c_str());
            return 1;
        }
    }
    if (std::rename(temporary.c_str(), out.c_str()) != 0) {
        std::cerr << "qvp_pack: cannot write " << out << "\n";
        std::remove(temporary.c_str());
        return 1;
    }
    std::cout << "qvp_pack: " << items.size() << " files, " << archive.size() << " bytes -> "
              << out << "\n";
    return 0;
}
