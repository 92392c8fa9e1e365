// The choice window's loading on a world-sized database (25,000 airports):
// reading both database files into the world tables against merely reading the
// two files into memory (the floor), and filling the two selection lists.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "base/file_system.h"
#include "base/message_boxes.h"
#include "scenery/database_file.h"
#include "scenery/magdec_file.h"
#include "scenery_kit/magdec_writer.h"
#include "selection/area_tables.h"
#include "selection/choice_lists.h"
#include "selection/choice_window.h"
#include "selection/database_loading.h"
#include "selection/qt_choice_list_model.h"
#include "state/program_state.h"
#include "state/settings.h"
#include "synthetic_database.h"

namespace {

using namespace tarnwick;

constexpr int kAirports = 25000;
constexpr int kAirspaces = 3000;

// ARTCC/FIR sectors of a few airspaces each (low and high) and class B areas.
std::vector<AirspaceRecord> SyntheticAirspaces(int count) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> lat(-60, 70), lon(-180, 175);
    std::vector<AirspaceRecord> table;
    for (int i = 0; i < count; ++i) {
        AirspaceRecord s;
        const double north = lat(random), west = lon(random);
        s.Corner1Lat = north + 2;
        s.Corner2Lat = north;
        s.Corner1Lon = west;
        s.Corner2Lon = west + 3;
        s.CenterLat = north + 1;
        s.CenterLon = west + 1.5;
        const int points = 12 + i % 40;
        for (int p = 0; p < points; ++p) {
            BoundaryPoint& b = s.Points.Grow(static_cast<std::size_t>(s.PointCount++));
            b.Kind = 0;
            b.Lat = north + 0.05 * p;
            b.Lon = west + 0.07 * p;
        }
        if (i % 4 == 3) {
            s.ClassText = kClassB;
            s.AirspaceName = "CLASS B " + std::to_string(i);
        } else {
            s.ClassText = i % 4 == 0 ? kArtccHigh : kArtccLow;
            s.FullName = "SECTOR " + std::to_string(i / 8) + " CENTER";
            s.AirspaceName = "S" + std::to_string(i / 8);
            s.FrequencyText = "125.1 Mhz";
        }
        table.push_back(std::move(s));
    }
    table.emplace_back();
    return table;
}

// A work folder with the settings, both databases and a simulator folder.
struct BenchWorld {
    BenchWorld() {
        folder = std::filesystem::temp_directory_path() / "tarnwick-loading-bench";
        std::filesystem::create_directories(folder / "fs" / "scenery");
        const auto airports = bench::SyntheticAirports(kAirports);
        const auto airspaces = SyntheticAirspaces(kAirspaces);
        WriteAirportDatabase(folder / kAirportsFileName, airports);
        WriteAirspaceDatabase(folder / kAirspacesFileName, airspaces);
        SettingsRecord settings;
        settings.ProgramTitle = kSettingsFileTitle;
        settings.SetupDone = 1;
        settings.FsVersion = 1;
        settings.FsFolder = (folder / "fs").string();
        settings.AirportCount = kAirports;
        settings.AirspaceCount = kAirspaces;
        WriteSettingsFile(folder / kSettingsFileName, settings);
        const auto grid = std::make_unique<DeclinationGrid>();
        WriteFileAtomically(folder / "fs" / "scenery" / "magdec.bgl", MagdecFileBytes(*grid));
    }
    ~BenchWorld() { std::filesystem::remove_all(folder); }

    void Prepare(ProgramState& state) const {
        state.Settings.WorkFolder = folder.string();
        state.Settings.Apply(ReadSettingsFile(folder / kSettingsFileName).Record);
    }

    std::filesystem::path folder;
};

const BenchWorld& World() {
    static const BenchWorld world;
    return world;
}

class SilentBoxes : public MessageBoxes {
   public:
    MessageAnswer Show(const std::string&, MessageIcon, MessageButtons) override { return MessageAnswer::Ok; }
};

void BM_ReadFilesFloor(benchmark::State& state) {
    const auto& world = World();
    std::int64_t bytes = 0;
    for (auto _ : state) {
        auto airports = ReadWholeFile(world.folder / kAirportsFileName);
        auto airspaces = ReadWholeFile(world.folder / kAirspacesFileName);
        bytes = static_cast<std::int64_t>(airports.size() + airspaces.size());
        benchmark::DoNotOptimize(airports.data());
        benchmark::DoNotOptimize(airspaces.data());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_LoadAirportsAndAirspaces(benchmark::State& state) {
    const auto& world = World();
    ProgramState program;
    world.Prepare(program);
    for (auto _ : state) {
        const bool ok = LoadAirports(SelectionOf(program)).Ok && LoadAirspaces(SelectionOf(program)).Ok;
        if (!ok) state.SkipWithError("loading failed");
        benchmark::DoNotOptimize(program.World.WorldAirports.data());
        // The window loads into released tables; freeing the previous round is not loading.
        state.PauseTiming();
        ReleaseWorldTables(SelectionOf(program));
        state.ResumeTiming();
    }
}

void BM_FillBothLists(benchmark::State& state) {
    ProgramState program;
    World().Prepare(program);
    LoadAirports(SelectionOf(program));
    LoadAirspaces(SelectionOf(program));
    ChoiceListModel airports, sectors;
    QComboBox combo1, combo2;
    combo1.setEditable(true);
    combo2.setEditable(true);
    combo1.setModel(&airports);
    combo2.setModel(&sectors);
    for (auto _ : state) {
        airports.SetEntries(AirportListTexts(SelectionOf(program)));
        sectors.SetEntries(SectorListNames(SelectionOf(program)));
        combo1.setCurrentIndex(-1);
        combo2.setCurrentIndex(-1);
        benchmark::DoNotOptimize(combo1.count());
    }
    state.counters["airports"] = combo1.count();
    state.counters["sectors"] = combo2.count();
}

// Everything the user waits for after the window opens: declination, both
// databases and both lists, through the window itself.
void BM_ChoiceWindowLoadingTick(benchmark::State& state) {
    ProgramState program;
    World().Prepare(program);
    SilentBoxes boxes;
    for (auto _ : state) {
        ChoiceWindow window(SelectionOf(program), boxes);
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        window.LoadingTick();
        benchmark::DoNotOptimize(program.World.WorldAirports.data());
    }
}

}  // namespace

BENCHMARK(BM_ReadFilesFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAirportsAndAirspaces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillBothLists)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChoiceWindowLoadingTick)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
