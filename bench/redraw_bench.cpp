// One full redraw pass of the scope (background and traffic) into a 1200 x 900
// picture, for the demo area at the zoom levels that show each band, for the
// demo area with 250 aircraft in view (with every radar aid off, and with
// every aid on over 40 s of motion history), and for two dense made-up areas,
// each against its floor: the same lines, ellipses, arcs, pixels and texts
// given straight to QPainter, with no view, layer or geodesy work. And the
// label placement alone for the 250 aircraft, clear of the texts the map
// writes at that level, as the window keeps it from one pass to the next
// and (`_afresh`) as the tools place it in one pass.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>

#include "base/ansi.h"
#include "geo/local_offset.h"
#include "radar/aids/range_rings.h"
#include "radar/aids/scope_aids.h"
#include "radar/qt_painter_canvas.h"
#include "radar/recording_canvas.h"
#include "radar/scope_redraw.h"
#include "selection/database_loading.h"
#include "selection/declination_step.h"
#include "selection/gather_area.h"
#include "state/program_state.h"
#include "state/settings.h"
#include "state/work_folder.h"

namespace {

using namespace tarnwick;
namespace fs = std::filesystem;

constexpr int kWidth = 1200;
constexpr int kHeight = 900;

struct Scene {
    std::shared_ptr<ProgramState> State = std::make_shared<ProgramState>();
    RadarView View;
    HoverTarget Hover;
    RecordingCanvas Recording;  // one pass, for the floor
    std::string Problem;

    // The demo state is shared between scenes, so each keeps its own aircraft.
    TrafficTable Aircraft;
    ScopeTraffic Traffic() const { return {Aircraft, 1, "ATC Controller", ShownBand(Aids)}; }

    RadarAids Aids;
    MotionHistory Motion;
    // Kept from one pass to the next, as the radar window keeps them.
    LabelPlaces Places;
    ScopeAids InForce{Aids, Motion, &Places};
};

// Every aid on; the altitude band holds every aircraft.
RadarAids EveryAid() {
    RadarAids aids;
    for (const AidSwitch& aid : kAidSwitches) aids.*aid.Field = true;
    aids.LowestAltitudeFt = 0;
    aids.HighestAltitudeFt = 40000;
    return aids;
}

void SwitchesOn(DisplayOptions& display) { display = {true, true, true, true, true, true, true, true}; }

void ZoomTo(RadarView& view, int level) {
    while (view.ZoomLevel < level && ZoomInStep(view)) {
    }
    while (view.ZoomLevel > level && ZoomOutStep(view)) {
    }
}

void Record(Scene& scene) {
    const ScopeContext scope{scene.Recording,           scene.View,  scene.State->Area, scene.State->Display,
                             *scene.State->Declination, scene.Hover, scene.Traffic(),   &scene.InForce};
    RedrawScopeAndTraffic(scope);
}

// Each aircraft has flown 40 s at 120 to 480 kt on its heading to where it
// is, and the motion history has taken the table in once a second.
void AddMotion(Scene& scene) {
    std::mt19937 random(13);
    std::uniform_real_distribution<double> speed(120, 480), climb(-2000, 2000);
    std::vector<PlayerRecord> now(scene.Aircraft.Entries().begin(), scene.Aircraft.Entries().end());
    std::vector<std::pair<double, double>> motion;
    for (std::size_t i = 0; i < now.size(); ++i) motion.emplace_back(speed(random), climb(random));
    for (int second = 0; second <= 40; ++second) {
        const double back = (40 - second) / 3600.0;
        for (std::size_t i = 0; i < now.size(); ++i) {
            PlayerRecord& entry = scene.Aircraft.Entries()[i];
            const geo::GeoPoint p = geo::MovedBy(now[i].Latitude, now[i].Longitude,
                                                 geo::AlongCourse(now[i].Heading, -motion[i].first * back));
            entry.Latitude = p.Lat;
            entry.Longitude = p.Lon;
            entry.Altitude = now[i].Altitude - static_cast<std::int32_t>(motion[i].second * back * 60);
        }
        scene.Motion.Observe(scene.Aircraft, std::chrono::milliseconds(second * 1000));
    }
}

// Players flying all over the view, each with a name, heading and altitude.
void AddTraffic(Scene& scene, int count) {
    const GeoBounds& b = scene.View.ViewBounds;
    const double marginLon = (b.East - b.West) / 50;
    const double marginLat = (b.North - b.South) / 50;
    std::mt19937 random(11);
    std::uniform_real_distribution<double> lat(b.South + marginLat, b.North - marginLat);
    std::uniform_real_distribution<double> lon(b.West + marginLon, b.East - marginLon);
    std::uniform_int_distribution<int> heading(0, 359), altitude(0, 39000);
    for (int i = 0; i < count; ++i) {
        if (!scene.Aircraft.Append("N" + std::to_string(100 + i), 2 + i, kKindPlayer)) return;
        PlayerRecord& p = scene.Aircraft.Entries().back();
        p.Latitude = lat(random);
        p.Longitude = lon(random);
        p.Heading = heading(random);
        p.Altitude = altitude(random);
        p.Category = "Jet";
    }
}

// The demo scenery, built and gathered for KSEA with the project's own tools.
std::shared_ptr<ProgramState> DemoArea() {
    static std::shared_ptr<ProgramState> cached;
    static bool tried = false;
    if (tried) return cached;
    tried = true;
    const fs::path bin = fs::read_symlink("/proc/self/exe").parent_path();
    const fs::path root = fs::temp_directory_path() / ("tarnwick-redraw-bench-" + std::to_string(getpid()));
    fs::create_directories(root / "work");
    const std::string build = "'" + (bin / "tarnwick-mkscenery").string() + "' '" + (root / "fs").string() +
                              "' >/dev/null && '" + (bin / "tarnwick-db").string() + "' build '" +
                              (root / "fs").string() + "' '" + (root / "work").string() + "' >/dev/null";
    if (std::system(build.c_str()) == 0) {
        auto state = std::make_shared<ProgramState>();
        state->Settings.WorkFolder = WorkFolderFrom((root / "work").string());
        state->Settings.Apply(
            ReadSettingsFile(WorkFile(state->Settings.WorkFolder, kSettingsFileName)).Record);
        LoadDeclinationStep(SelectionOf(*state));
        LoadAirports(SelectionOf(*state));
        LoadAirspaces(SelectionOf(*state));
        if (GatherArea(SelectionOf(*state), {AreaChoiceKind::Airport, "Seattle Tacoma Intl  (KSEA)"}) ==
            GatherOutcome::Gathered) {
            cached = std::move(state);
        }
    }
    fs::remove_all(root);
    return cached;
}

template <typename T>
void Add(SlotList<T>& list, std::int32_t& count, const T& entry) {
    list.Grow(static_cast<std::size_t>(count)) = entry;
    ++count;
}

void AddAirport(ProgramState& state, AirportRecord airport) {
    state.Area.AreaAirports.back() = std::move(airport);
    ++state.Area.AreaAirportCount;
    state.Area.AreaAirports.emplace_back();
}

void AddAirspace(ProgramState& state, AirspaceRecord airspace) {
    state.Area.AreaAirspaces.back() = std::move(airspace);
    ++state.Area.AreaAirspaceCount;
    state.Area.AreaAirspaces.emplace_back();
}

// As many airspaces as the 25,000-airport synthetic database holds (2,500
// class B circles with cut-outs, 1,566 ARTCC/FIR polygons), all with their
// centres inside the level-9 view.
void DenseAirspaces(Scene& scene) {
    ProgramState& state = *scene.State;
    InitializeView(scene.View, kWidth, kHeight, 45, -100);
    const GeoBounds& b = scene.View.ViewBounds;
    std::mt19937 random(5);
    std::uniform_real_distribution<double> lat(b.South + 1, b.North - 1), lon(b.West + 1, b.East - 1);
    std::uniform_real_distribution<double> size(0.5, 3);
    AirportRecord anchor;
    anchor.Lat = 45;
    anchor.Lon = -100;
    AddAirport(state, anchor);
    for (int i = 0; i < 2500; ++i) {
        AirspaceRecord s;
        s.ClassText = kClassB;
        s.CenterLat = lat(random);
        s.CenterLon = lon(random);
        Add(s.Points, s.PointCount, BoundaryPoint{1, s.CenterLat, s.CenterLon, 0});
        Add(s.Points, s.PointCount, BoundaryPoint{2, 0, 0, 10});
        Add(s.Points, s.PointCount, BoundaryPoint{0, s.CenterLat + 0.1, s.CenterLon - 0.2, 0});
        for (int k = 0; k < 4; ++k) {
            Add(s.Points, s.PointCount,
                BoundaryPoint{5, s.CenterLat + 0.1 * (k % 2), s.CenterLon + 0.1 * k, 0});
        }
        AddAirspace(state, std::move(s));
    }
    for (int i = 0; i < 1566; ++i) {
        AirspaceRecord s;
        s.ClassText = i % 2 == 0 ? kArtccLow : kArtccHigh;
        s.FullName = "CENTER " + std::to_string(i / 6);
        s.CenterLat = lat(random);
        s.CenterLon = lon(random);
        const double r = size(random);
        Add(s.Points, s.PointCount, BoundaryPoint{0, s.CenterLat + r, s.CenterLon - r, 0});
        for (int k = 0; k < 12; ++k) {
            const double a = k * 3.14159265358979 / 6;
            Add(s.Points, s.PointCount,
                BoundaryPoint{5, s.CenterLat + r * std::cos(a), s.CenterLon + r * std::sin(a), 0});
        }
        AddAirspace(state, std::move(s));
    }
    ZoomTo(scene.View, 9);
}

// 300 airports with taxi networks (265 segments, 60 gates, 3 runways, 2 ILS
// each) inside the level-35 rectangle, drawn at level 36.
void DenseGround(Scene& scene) {
    ProgramState& state = *scene.State;
    InitializeView(scene.View, kWidth, kHeight, 47.45, -122.3);
    ZoomTo(scene.View, 35);
    const GeoBounds cull = scene.View.CullBounds;
    std::mt19937 random(9);
    std::uniform_real_distribution<double> lat(cull.South, cull.North), lon(cull.West, cull.East);
    std::uniform_real_distribution<double> offset(-0.004, 0.004);
    for (int i = 0; i < 300; ++i) {
        AirportRecord a;
        a.Name = "Dense Field " + std::to_string(i);
        a.Lat = lat(random);
        a.Lon = lon(random);
        for (int p = 0; p < 200; ++p) {
            Add(a.TaxiPoints, a.TaxiPointCount,
                TaxiPointEntry{0, a.Lat + offset(random), a.Lon + offset(random)});
        }
        for (int g = 0; g < 60; ++g) {
            Add(a.Parkings, a.ParkingCount,
                ParkingEntry{"GATE", a.Lat + offset(random), a.Lon + offset(random), 30});
        }
        for (int t = 0; t < 265; ++t) {
            const bool gate = t % 5 == 4;
            Add(a.TaxiSegments, a.TaxiSegmentCount,
                TaxiSegmentEntry{gate ? 2 : 0, t % 200, gate ? t % 60 : (t + 1) % 200,
                                 t % 3 == 0 ? "A" : ""});
        }
        for (int r = 0; r < 3; ++r) {
            const double dx = 0.001 * r;
            Add(a.Runways, a.RunwayCount,
                RunwayEntry{"16", "34", a.Lat, a.Lon + dx, a.Lat + 0.01, a.Lon + dx, a.Lat - 0.01,
                            a.Lon + dx});
        }
        Add(a.IlsList, a.IlsCount, IlsEntry{"I", a.Lat - 0.01, a.Lon, 340, "110.3"});
        Add(a.IlsList, a.IlsCount, IlsEntry{"I", a.Lat + 0.01, a.Lon, 160, "110.3"});
        AddAirport(state, std::move(a));
    }
    ZoomTo(scene.View, 36);
}

Scene& SceneFor(const std::string& name) {
    static std::map<std::string, std::unique_ptr<Scene>> scenes;
    auto& slot = scenes[name];
    if (slot) return *slot;
    slot = std::make_unique<Scene>();
    Scene& scene = *slot;
    if (name.rfind("demo", 0) == 0) {
        scene.State = DemoArea();
        if (!scene.State) {
            scene.Problem = "the demo scenery could not be built (tarnwick-mkscenery, tarnwick-db)";
            return scene;
        }
        InitializeView(scene.View, kWidth, kHeight, scene.State->Area.AreaCenterLat,
                       scene.State->Area.AreaCenterLon);
        ZoomTo(scene.View, std::stoi(name.substr(name.rfind('_') + 1)));
        if (name.find("traffic") != std::string::npos) AddTraffic(scene, 250);
        if (name.find("aids") != std::string::npos) {
            AddMotion(scene);
            scene.Aids = EveryAid();
        }
    } else if (name == "dense_airspaces") {
        DenseAirspaces(scene);
    } else {
        DenseGround(scene);
    }
    SwitchesOn(scene.State->Display);
    Record(scene);
    return scene;
}

void Redraw(benchmark::State& run, const std::string& name) {
    Scene& scene = SceneFor(name);
    if (!scene.Problem.empty()) {
        run.SkipWithError(scene.Problem.c_str());
        return;
    }
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    // Measured once, as the radar window does.
    const TextMetrics metrics = QtTextMetrics(ScopeFont(QGuiApplication::font()));
    for (auto _ : run) {
        QPainter painter(&image);
        QtPainterCanvas canvas(painter, kWidth, kHeight, metrics);
        canvas.Clear();
        const ScopeContext scope{
            canvas,      scene.View,      scene.State->Area, scene.State->Display, *scene.State->Declination,
            scene.Hover, scene.Traffic(), &scene.InForce};
        RedrawScopeAndTraffic(scope);
    }
    run.counters["calls"] = static_cast<double>(scene.Recording.Calls().size());
}

// The floor: the recorded primitives, already in pixels, straight to QPainter.
void Floor(benchmark::State& run, const std::string& name) {
    Scene& scene = SceneFor(name);
    if (!scene.Problem.empty()) {
        run.SkipWithError(scene.Problem.c_str());
        return;
    }
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : run) {
        QPainter painter(&image);
        painter.fillRect(0, 0, kWidth, kHeight, Qt::black);
        QPoint position;
        for (const RecordedCall& call : scene.Recording.Calls()) {
            const auto& a = call.Args;
            const QColor color = ToQColor(call.State.DrawColor);
            switch (call.Kind) {
                case CallKind::MoveToEx:
                    position = QPoint(a[0], a[1]);
                    break;
                case CallKind::LineTo:
                    painter.setPen(QPen(color, call.State.LineWidth));
                    painter.drawLine(position, QPoint(a[0], a[1]));
                    position = QPoint(a[0], a[1]);
                    break;
                case CallKind::Ellipse:
                    painter.setPen(QPen(color, call.State.LineWidth));
                    if (call.State.Fill == FillStyle::Solid) {
                        painter.setBrush(ToQColor(call.State.FillColor));
                    } else {
                        painter.setBrush(Qt::NoBrush);
                    }
                    painter.drawEllipse(QRect(QPoint(a[0], a[1]), QPoint(a[2], a[3])).normalized());
                    break;
                case CallKind::Arc:
                    painter.setPen(QPen(color, call.State.LineWidth));
                    painter.drawArc(QRect(QPoint(a[0], a[1]), QPoint(a[2], a[3])).normalized(), 0, 90 * 16);
                    break;
                case CallKind::SetPixelV:
                    painter.fillRect(a[0], a[1], 1, 1, ToQColor(call.PixelColor));
                    break;
                case CallKind::TextOutA:
                    painter.setPen(color);
                    painter.drawText(QPoint(a[0], a[1] + 12), QString::fromStdString(AnsiToUtf8(call.Text)));
                    break;
                case CallKind::Clear:
                    break;
            }
        }
    }
    run.counters["calls"] = static_cast<double>(scene.Recording.Calls().size());
}

// The boxes of the texts the rings and the map write in one pass, noted as
// the redraw notes them for the label placement.
std::vector<PixelBox> MapTexts(Scene& scene, const TextMetrics& metrics) {
    RecordingCanvas canvas(metrics);
    std::vector<PixelBox> texts;
    canvas.NoteTextsIn(&texts);
    const ScopeContext scope{
        canvas,      scene.View,      scene.State->Area, scene.State->Display, *scene.State->Declination,
        scene.Hover, scene.Traffic(), &scene.InForce};
    if (scene.Aids.Rings) DrawRangeRings(scope, scene.Aids.RingSpacingNm);
    RedrawScope(scope);
    canvas.NoteTextsIn(nullptr);
    return texts;
}

// The label placement of one pass, on its own: 250 two-line data blocks.
// Kept from one pass to the next as the window keeps it, or `afresh` each
// pass as the tools place (and as the window's first pass does).
void Placement(benchmark::State& run, const std::string& name, bool afresh) {
    Scene& scene = SceneFor(name);
    if (!scene.Problem.empty()) {
        run.SkipWithError(scene.Problem.c_str());
        return;
    }
    const TextMetrics metrics = QtTextMetrics(ScopeFont(QGuiApplication::font()));
    std::vector<LabelRequest> requests;
    for (const PlayerRecord& entry : scene.Aircraft.Entries()) {
        const std::string second = "350^ 250";
        const TextExtent nameSize = MeasureLine(metrics, entry.Name);
        requests.push_back(
            {KeyOf(entry),
             ProjectToScreen(scene.View, entry.Latitude, entry.Longitude),
             {std::max(nameSize.Width, MeasureLine(metrics, second).Width), 2 * metrics.LineHeight}});
    }
    const std::vector<PixelBox> mapTexts = MapTexts(scene, metrics);
    LabelPlaces places;
    for (auto _ : run) {
        if (afresh) places = LabelPlaces();
        benchmark::DoNotOptimize(places.Place(requests, kWidth, kHeight, mapTexts));
    }
    run.counters["labels"] = static_cast<double>(requests.size());
    run.counters["map_texts"] = static_cast<double>(mapTexts.size());
}

void RegisterAll() {
    for (const char* name :
         {"demo_9", "demo_20", "demo_30", "demo_40", "demo_traffic_9", "demo_traffic_aids_9",
          "demo_traffic_30", "demo_traffic_aids_30", "dense_airspaces", "dense_ground"}) {
        benchmark::RegisterBenchmark((std::string("Redraw/") + name).c_str(), [name](benchmark::State& run) {
            Redraw(run, name);
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("Floor/") + name).c_str(), [name](benchmark::State& run) {
            Floor(run, name);
        })->Unit(benchmark::kMillisecond);
    }
    for (const char* name : {"demo_traffic_aids_9", "demo_traffic_aids_30"}) {
        for (const bool afresh : {false, true}) {
            const std::string title = std::string("Placement/") + name + (afresh ? "_afresh" : "");
            benchmark::RegisterBenchmark(title.c_str(), [name, afresh](benchmark::State& run) {
                Placement(run, name, afresh);
            })->Unit(benchmark::kMillisecond);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);  // fonts for the labels
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
