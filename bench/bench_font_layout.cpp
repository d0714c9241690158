// Text layout speed: a 60-word paragraph wrapped by both layouts, its bounds,
// and one run measured, with a font of 200 glyphs. The layouts work in a
// fixed line table and allocate nothing per call.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config_manager.h"
#include "fast_sprite.h"
#include "file_system.h"
#include "image_encode.h"
#include "log_system.h"
#include "sprite_manager.h"
#include "texture_manager.h"
#include "ui/ui_font.h"

namespace {

void write(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

QV::UIFont* font() {
    static QV::UIFont* made = [] {
        char pattern[] = "/tmp/qv_bench_font_XXXXXX";
        const char* root = mkdtemp(pattern);
        if (!root || chdir(root) != 0) std::abort();
        write("media/config.lua",
              "config = { platforms = { { name = 'pc', directories = { 'common' }, resolution = { 1280, 720 } } },\n"
              "  currentPlatform = 'pc', currentLanguage = 'en', defaultLanguage = 'en' }\n");
        write("media/filelist.lua", "directories = { common = { { '/lists/default.lua' } } }\n");
        write("media/lists/default.lua",
              "name = 'default'\nfilelist = { { name = 'f_fnt', filename = '/f.lua' }, "
              "{ name = 'f_image', filename = '/f.png' } }\n");
        std::string list = "Image = 'f_image'\nCharList = {\n  { 32, 0, 0, 4, 15 },\n";
        for (unsigned code = 33; code < 233; ++code) {
            list += "  { " + std::to_string(code) + ", 0, 0, " + std::to_string(6 + code % 5) + ", 15 },\n";
        }
        write("media/f.lua", list + "}\n");
        write("media/f.png", QV::encodePng(std::vector<uint8_t>(64 * 64 * 4, 255), 64, 64));
        QV::gContentDirectory = "./media/";
        new QV::LogSystem();
        QV::FileSystem* files = new QV::FileSystem();
        (new QV::ConfigManager())->load();
        files->reloadFileTable();
        new QV::TextureManager();
        new QV::SpriteManager<QV::FastSprite>();
        return new QV::UIFont("f_fnt", "default");
    }();
    return made;
}

std::u16string paragraph() {
    std::u16string text;
    const char16_t* words[] = {u"swap", u"two", u"neighbouring", u"chips", u"to", u"line", u"up", u"three",
                               u"of", u"a", u"colour;", u"longer", u"runs", u"leave", u"bonus", u"pieces"};
    for (int i = 0; i < 60; ++i) {
        text += words[i % 16];
        text += i % 20 == 19 ? u'\n' : u' ';
    }
    return text;
}

void BM_DrawLayout(benchmark::State& state) {
    QV::UIFont* f = font();
    const std::u16string text = paragraph();
    QV::UIFontLine lines[QV::UIFont::kMaxLines];
    for (auto _ : state) {
        benchmark::DoNotOptimize(f->layoutDrawLines(text.data(), text.size(), 300.0f, 0.2f, lines));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_DrawLayout);

void BM_TextBounds(benchmark::State& state) {
    QV::UIFont* f = font();
    const std::u16string text = paragraph();
    QV::Rect bounds;
    for (auto _ : state) {
        f->textBounds(QV::Vector2<float>(10, 10), bounds, text, true, 1, 1, 0.2f, 0.5f, 300.0f, 400.0f);
        benchmark::DoNotOptimize(bounds);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_TextBounds);

void BM_MeasureRun(benchmark::State& state) {
    QV::UIFont* f = font();
    const std::u16string text = paragraph();
    for (auto _ : state) {
        benchmark::DoNotOptimize(f->measureRun(text.data(), text.data() + text.size(), 0.2f));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_MeasureRun);

}  // namespace

BENCHMARK_MAIN();
