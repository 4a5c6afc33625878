#include "dxf/site_import.h"
#include "dxf/site_layers.h"

#include <QElapsedTimer>
#include <QTemporaryFile>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

// Reading a large site plan: a drawing of 200,000 entities generated with a fixed seed, in
// millimetres 512 km out as Chinese site plans are. Most of it is on forty layers nobody picks
// (lines, polylines, texts, trees as block inserts); 200 buildings with their names and heights
// as texts lie on 建筑 and 30 rods on 避雷针. Written twice: lean, with only the groups R12
// needs (some 20 MB), and full, with the owner and subclass groups later versions write.
//
// Prints per drawing "lean|full bytes entities read-ms layers-ms import-ms preview-ms runs":
// the file read into a drawing, the layer list from it, the buildings and rods imported, the
// preview made; each the median of the runs.
namespace {

class Writer {
public:
    explicit Writer(bool full) : full_(full) {}
    void group(int code, const std::string &value)
    {
        char head[8];
        std::snprintf(head, sizeof head, "%3d\n", code);
        text_ += head;
        text_ += value;
        text_ += '\n';
    }
    void number(int code, double value)
    {
        char v[32];
        std::snprintf(v, sizeof v, "%.3f", value);
        group(code, v);
    }
    // The groups every entity begins with, as CAD programs write them from 2000 on.
    void entity(const char *type, const std::string &layer, const char *subclass)
    {
        group(0, type);
        char handle[16];
        std::snprintf(handle, sizeof handle, "%X", ++handle_);
        group(5, handle);
        if (full_) {
            group(330, "1F");
            group(100, "AcDbEntity");
        }
        group(8, layer);
        if (full_) group(100, subclass);
    }
    std::string &text() { return text_; }
    std::size_t entities() const { return handle_ - 0x100; }

private:
    std::string text_;
    unsigned handle_ = 0x100;
    bool full_;
};

std::string site(bool full, std::size_t &entities)
{
    Writer w(full);
    std::mt19937 rng(18);
    std::uniform_real_distribution<double> along(0, 2'000'000), small(-5000, 5000);
    const double x0 = 512'000'000, y0 = 3'000'000;
    w.group(0, "SECTION");
    w.group(2, "HEADER");
    w.group(9, "$ACADVER");
    w.group(1, "AC1032");
    w.group(9, "$INSUNITS");
    w.group(70, "4");
    w.group(0, "ENDSEC");
    w.group(0, "SECTION");
    w.group(2, "BLOCKS");
    w.group(0, "BLOCK");
    w.group(2, "树");
    w.number(10, 0);
    w.number(20, 0);
    w.entity("CIRCLE", "0", "AcDbCircle");
    w.number(10, 0);
    w.number(20, 0);
    w.number(40, 1500);
    w.group(0, "ENDBLK");
    w.group(0, "ENDSEC");
    w.group(0, "SECTION");
    w.group(2, "ENTITIES");
    for (int i = 0; i < 200; ++i) { // buildings, 60 x 40 m apart in a grid of 20 x 10
        const double x = x0 + (i % 20) * 60'000, y = y0 + (i / 20) * 40'000;
        w.entity("LWPOLYLINE", "建筑", "AcDbPolyline");
        w.group(90, "4");
        w.group(70, "1");
        for (const auto &[dx, dy] : {std::pair{0, 0}, {30'000, 0}, {30'000, 20'000}, {0, 20'000}}) {
            w.number(10, x + dx);
            w.number(20, y + dy);
        }
        w.entity("TEXT", "建筑注记", "AcDbText");
        w.number(10, x + 10'000);
        w.number(20, y + 10'000);
        w.number(40, 1000);
        w.group(1, std::to_string(i + 1) + "#楼");
        w.entity("TEXT", "建筑注记", "AcDbText");
        w.number(10, x + 10'000);
        w.number(20, y + 8'000);
        w.number(40, 1000);
        w.group(1, "H=" + std::to_string(12 + i % 20) + "m");
    }
    for (int i = 0; i < 30; ++i) {
        w.entity("POINT", "避雷针", "AcDbPoint");
        w.number(10, x0 + 45'000 + (i % 10) * 120'000);
        w.number(20, y0 + 30'000 + (i / 10) * 120'000);
        w.number(30, 30'000);
    }
    for (int i = 0; w.entities() < 200'000; ++i) {
        const std::string layer = "地形" + std::to_string(i % 40);
        const double x = x0 + along(rng), y = y0 + along(rng);
        switch (i % 10) {
        case 0:
        case 1:
            w.entity("LWPOLYLINE", layer, "AcDbPolyline");
            w.group(90, "5");
            w.group(70, "0");
            for (int k = 0; k < 5; ++k) {
                w.number(10, x + small(rng));
                w.number(20, y + small(rng));
            }
            break;
        case 2:
            w.entity("TEXT", layer, "AcDbText");
            w.number(10, x);
            w.number(20, y);
            w.number(40, 500);
            w.group(1, "道路 " + std::to_string(i));
            break;
        case 3:
            w.entity("INSERT", layer, "AcDbBlockReference");
            w.group(2, "树");
            w.number(10, x);
            w.number(20, y);
            break;
        default:
            w.entity("LINE", layer, "AcDbLine");
            w.number(10, x);
            w.number(20, y);
            w.number(11, x + small(rng));
            w.number(21, y + small(rng));
        }
    }
    w.group(0, "ENDSEC");
    w.group(0, "EOF");
    entities = w.entities();
    return std::move(w.text());
}

double median(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void measure(bool full, int runs)
{
    std::size_t entities = 0;
    const std::string text = site(full, entities);
    QTemporaryFile file;
    if (!file.open() || file.write(text.data(), qint64(text.size())) != qint64(text.size()))
        std::exit(1);
    file.close();

    std::optional<dxf::Drawing> drawing;
    const double read = median(runs, [&] {
        dxf::ReadResult r = dxf::loadDrawing(file.fileName());
        if (!r.drawing) std::exit(2);
        drawing = std::move(r.drawing);
    });
    std::size_t layerCount = 0;
    const double layers = median(runs, [&] { layerCount = dxf::layerSummaries(*drawing).size(); });
    dxf::SiteChoice choice;
    choice.buildings = {QStringLiteral("建筑")};
    choice.rods = QStringLiteral("避雷针");
    const double import = median(runs, [&] {
        const dxf::SiteResult site = dxf::importSite(*drawing, choice);
        if (!site.site || site.site->objects.size() != 200 || site.site->objects[0].height != 12)
            std::exit(3);
    });
    const double preview = median(runs, [&] { dxf::preview(*drawing); });
    if (layerCount != 44) std::exit(4);
    std::printf("%s %zu %zu %.1f %.1f %.1f %.1f %d\n", full ? "full" : "lean", text.size(),
                entities, read, layers, import, preview, runs);
}

} // namespace

int main(int argc, char **argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    measure(false, runs);
    measure(true, runs);
    return 0;
}
