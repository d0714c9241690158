// Loads arbitrary text as a UI description: builds its widget tree, runs a
// few UI frames with presses, releases, wheel turns, keys and typed text, then destroys it.
// Texts whose widgets the loader reports as fatal by design (no id or class, an unknown
// class, a sprite or an embedded description that does not exist, a description that
// embeds or relates to itself, directly or through others), or that
// could hang or leave the sandbox (loops past an instruction budget, the os,
// io and debug libraries, metatables), are screened out first by running
// them in a Lua state of their own. Tables of the text may embed or relate to
// each other ("#fuzz_lua:<table>"), as long as no chain comes back to a table
// it started from. Effects and sprites exist only under the
// names the screen allows, since a missing one is fatal in their own loaders.
#include <unistd.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include "config_manager.h"
#include "fast_sprite.h"
#include "file_system.h"
#include "image_encode.h"
#include "lex_binded_function_manager.h"
#include "log_system.h"
#include "object_factory.h"
#include "particle_system.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "texture_manager.h"
#include "ui/ui_controller.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"

namespace {

void write(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// The rules the loader treats as fatal, checked on the table "t" the text built.
const char* kScreen = R"(
local classes = { UIWidget = 1, UIButton = 1, UICheckBox = 1, UILabel = 1, UISprite = 1, UIParticleFX = 1,
                  UISceneNode = 1, UIProgressBar = 1, UIScrollArea = 1, UITextEdit = 1, UIListView = 1,
                  UISceneList = 1 }
local count = 0
local function text(v) if type(v) == "string" or type(v) == "number" then return tostring(v) end end
local widget
-- Another table of this text, loaded as the loader would: false for a missing
-- one and for one already being loaded further out (a loop the loader stops fatally).
local function description(name, depth, loading)
  if not name:match("^[%a_][%w_]*$") or loading[name] then return false end
  local table = _G[name]
  if type(table) ~= "table" then return false end
  loading[name] = true
  local ok = widget(table, depth, loading)
  loading[name] = nil
  return ok
end
widget = function(w, depth, loading)
  if type(w) ~= "table" or depth > 12 then return false end
  count = count + 1
  if count > 120 then return false end
  local id, class, instance = text(w.id), text(w.class), text(w.instance) or ""
  if not id or not class then return false end
  if type(w.related) == "table" then
    for _, r in pairs(w.related) do
      if type(r) == "table" then
        local f, i = text(r.filename) or "", text(r.id) or ""
        if f ~= "" and i ~= "" then
          if f == "fuzz_lua" then
            if not description(i, depth + 1, loading) then return false end
          elseif f ~= "other_lua" or i ~= "other" then
            return false
          end
        end
      end
    end
  end
  -- A list view's "childScrollArea" must be a scroll area.
  if id == "childScrollArea" and (class ~= "UIScrollArea" or instance:sub(1, 1) == "#") then return false end
  if class == "UIListView" then
    local image, tableName = text(w.selectionImagename) or "", text(w.selectionTablename) or ""
    if image ~= "" and tableName ~= "" and (image ~= "sprites_lua" or tableName ~= "a") then return false end
  end
  if instance:sub(1, 1) == "#" then
    local own = instance:match("^#fuzz_lua:(.*)$")
    if own then
      if not description(own, depth + 1, loading) then return false end
    elseif instance ~= "#other_lua:other" then
      return false
    end
  else
    if not classes[class] then return false end
    if class == "UISprite" and (text(w.imagename) ~= "sprites_lua" or text(w.tablename) ~= "a") then return false end
    if class == "UIParticleFX" and text(w.filename) ~= "fx_fx" then return false end
  end
  if type(w.childs) == "table" then
    for _, c in pairs(w.childs) do
      if type(c) == "table" and not widget(c, depth + 1, loading) then return false end
    end
  end
  return true
end
return widget(t, 0, { t = true })
)";

bool acceptable(const std::string& text) {
    // No word that could loop, allocate without bound or reach outside the table data.
    static const char* const kBanned[] = {"os", "io", "debug", "load", "loadstring", "loadfile", "dofile",
                                          "require", "setmetatable", "getmetatable", "newproxy", "setfenv",
                                          "getfenv", "package", "coroutine", "collectgarbage", "rep", "for",
                                          "while", "repeat", "function", "goto", "error", "pcall", "xpcall"};
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (!(std::isalpha(c) || c == '_')) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_')) ++end;
        const std::string word = text.substr(i, end - i);
        for (const char* banned : kBanned) {
            if (word == banned) return false;
        }
        i = end;
    }
    if (text.find('\0') != std::string::npos) return false;
    lua_State* L = luaL_newstate();
    for (lua_CFunction open : {luaopen_base, luaopen_string}) {
        lua_pushcfunction(L, open);
        lua_call(L, 0, 0);
    }
    bool ok = luaL_loadbuffer(L, text.data(), text.size(), "fuzz") == 0 && lua_pcall(L, 0, 0, 0) == 0 &&
              luaL_loadstring(L, kScreen) == 0 && lua_pcall(L, 0, 1, 0) == 0 && lua_toboolean(L, -1);
    lua_close(L);
    return ok;
}

std::string gRoot;

void setUp() {
    char pattern[] = "/tmp/qv_fuzz_ui_XXXXXX";
    const char* root = mkdtemp(pattern);
    if (!root) std::abort();
    gRoot = root;
    const std::filesystem::path previous = std::filesystem::current_path();
    if (chdir(root) != 0) std::abort();
    write("media/config.lua",
          "config = { platforms = { { name = 'pc', directories = { 'common' }, resolution = { 320, 180 } } },\n"
          "  currentPlatform = 'pc', currentLanguage = 'en', defaultLanguage = 'en' }\n");
    write("media/filelist.lua", "directories = { common = { { '/lists/default.lua' } } }\n");
    write("media/lists/default.lua",
          "name = 'default'\nfilelist = { { name = 'fuzz_lua', filename = '/fuzz.lua' },\n"
          "  { name = 'other_lua', filename = '/other.lua' }, { name = 'sprites_lua', filename = '/sprites.lua' },\n"
          "  { name = 'pic_png', filename = '/pic.png' }, { name = 'fx_fx', filename = '/fx.xml' } }\n");
    write("media/fx.xml",
          "<root><ParticleFX class_name=\"\"><mPosition x=\"0\" y=\"0\" /><mParticleEmitters sz=\"0\" />"
          "</ParticleFX></root>\n");
    write("media/other.lua", "other = { id = 'other', class = 'UIButton', text = 'x', initialState = 'onIdle' }\n");
    write("media/sprites.lua", "a = { Image0 = 'pic_png', SrcRect0 = {0, 0, 8, 8} }\n");
    write("media/pic.png", QV::encodePng(std::vector<uint8_t>(8 * 8 * 4, 200), 8, 8));
    write("media/fuzz.lua", "");
    QV::gContentDirectory = gRoot + "/media/";
    QV::LogSystem* log = new QV::LogSystem();
    log->streams().clear();  // quiet: bad states and scenes are logged
    QV::FileSystem* files = new QV::FileSystem();
    (new QV::ConfigManager())->load();
    files->reloadFileTable();
    new QV::TextureManager();
    new QV::SpriteManager<QV::FastSprite>();
    new QV::SpriteManager<QV::Sprite>();
    new QV::ObjectFactory();
    new QV::ParticleSystem();
    new QV::LexBindedFunctionManager();
    new QV::UIManager();
    std::filesystem::current_path(previous);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = (setUp(), true);
    (void)ready;
    if (size > 8192) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (!acceptable(text)) return 0;
    write(gRoot + "/media/fuzz.lua", text);
    QV::UIManager* ui = QV::Singleton<QV::UIManager>::instance();
    QV::UIWidget* root = ui->loadUI("fuzz_lua", "t", nullptr, "default");
    root->show();
    QV::UIPCController* pc = ui->getPCController();
    const int32_t messages[] = {0, 1, 2, 2, 3, 7, 8, QV::kUIMessageText, QV::uiKeyMessage(4, 8), QV::uiKeyMessage(4, 13), 0};
    for (int32_t m : messages) {
        pc->mPointerPosition = root->getWorldPosition() + QV::Vector2<float>(4, 4);
        if (m == 1) pc->mPressPoint = pc->mPointerPosition;
        if (m == QV::kUIMessageText) {
            pc->dispatchText(u"a\u00E9!\U0001F600");
        } else {
            pc->dispatchMessage(m);
        }
        ui->update(0.05f);
    }
    root->hide();
    ui->update(0.3f);
    for (QV::UIWidget* r : ui->getRoots()) ui->destroyWidget(r);
    return 0;
}
