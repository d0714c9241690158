// Start-up and lookup costs of the file system: building the file table of
// 20,000 listed resources, and 1,000,000 lookups by name in a 20,000-entry
// package archive.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "config_manager.h"
#include "file_system.h"
#include "package_archive.h"
#include "package_archive_writer.h"

namespace {

constexpr int kResources = 20000;
constexpr int kLists = 4;
constexpr int kLookups = 1000000;

std::string makeTempDir() {
    char pattern[] = "/tmp/bench_fs_XXXXXX";
    const char* made = mkdtemp(pattern);
    return made ? made : "/tmp";
}

void writeText(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string resourceName(int i) { return "resource_" + std::to_string(i) + "_png"; }
std::string resourceLocation(int i) {
    return "/textures/set" + std::to_string(i % 50) + "/resource_" + std::to_string(i) + ".png";
}

void BM_BuildFileTable(benchmark::State& state) {
    std::string root = makeTempDir();
    std::string media = root + "/media";
    writeText(media + "/config.lua",
              "config = { platforms = { { name = 'pc', directories = { 'common' },"
              " resolution = { 1280, 720 } } }, currentPlatform = 'pc' }\n");
    std::string filelist = "directories = { common = {\n";
    for (int list = 0; list < kLists; ++list) {
        std::string location = "/lists/list" + std::to_string(list) + ".lua";
        filelist += "  { '" + location + "' },\n";
        std::string text = "name = '" + std::string(list % 2 ? "en" : "default") + "'\nfilelist = {\n";
        for (int i = list; i < kResources; i += kLists) {
            text += "  { name = '" + resourceName(i) + "', filename = '" + resourceLocation(i) + "' },\n";
        }
        writeText(media + location, text + "}\n");
    }
    writeText(media + "/filelist.lua", filelist + "} }\n");

    std::string previous = std::filesystem::current_path().string();
    std::filesystem::current_path(root);
    QV::gContentDirectory = "./media/";
    QV::gCurrentPlatformName.clear();
    {
        QV::FileSystem files;
        QV::ConfigManager config;
        config.load();
        for (auto _ : state) files.reloadFileTable();
        size_t entries = 0;
        for (const auto& package : files.packageTable()) entries += package.second.size();
        state.counters["entries"] = double(entries);
    }
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(root);
}
BENCHMARK(BM_BuildFileTable)->Unit(benchmark::kMillisecond);

class ArchiveFixture {
public:
    ArchiveFixture() {
        mRoot = makeTempDir();
        std::vector<QV::PackageArchiveItem> items;
        for (int i = 0; i < kResources; ++i) {
            items.push_back({resourceLocation(i), std::string(16, char('a' + i % 26))});
            mNames.push_back(resourceLocation(i));
        }
        std::string archive, error;
        QV::buildPackageArchive(items, archive, error);
        writeText(mRoot + "/data.qvp", archive);
        mReader = std::make_unique<QV::QVPReader>(mRoot + "/data.qvp");
    }
    ~ArchiveFixture() {
        mReader.reset();
        std::filesystem::remove_all(mRoot);
    }
    QV::QVPReader& reader() { return *mReader; }
    const std::string& name(int i) const { return mNames[size_t(i) % mNames.size()]; }

private:
    std::string mRoot;
    std::vector<std::string> mNames;
    std::unique_ptr<QV::QVPReader> mReader;
};

void BM_ArchiveLookups(benchmark::State& state) {
    ArchiveFixture fixture;
    const QV::PackageTable& table = fixture.reader().table();
    for (auto _ : state) {
        size_t found = 0;
        for (int i = 0; i < kLookups; ++i) {
            // Every seventh name is absent: a full probe of the table would show here.
            if (i % 7 == 0) {
                found += table.find("/textures/absent.png") != nullptr;
            } else {
                found += table.find(fixture.name(i * 7919).c_str()) != nullptr;
            }
        }
        benchmark::DoNotOptimize(found);
    }
    state.counters["lookups"] = kLookups;
}
BENCHMARK(BM_ArchiveLookups)->Unit(benchmark::kMillisecond);

void BM_ArchiveOpenFile(benchmark::State& state) {
    ArchiveFixture fixture;
    int i = 0;
    for (auto _ : state) {
        std::unique_ptr<QV::File> file(fixture.reader().openFile(fixture.name(i++ * 7919)));
        benchmark::DoNotOptimize(file.get());
    }
}
BENCHMARK(BM_ArchiveOpenFile);

}  // namespace

BENCHMARK_MAIN();
