// The image list view with 10, 1,000, 10,000 and 100,000 items of 32 x 32 pixels
// (32-bit, partial alpha, over the checkerboard) in a viewport of 5 x 2 cells
// (170 x 104 pixels), which 10 items fill, so that every case paints as many cells:
// - BM_PaintAndScroll: one paint of the viewport, then a scroll by a page (back
//   to the top at the end), as an offscreen render;
// - BM_AddItems: appending that many items to an empty list and laying the view
//   out once, per item.
// After the table it prints the ratio of a paint at 100,000 items to one at 10
// (target: within noise of 1, the paint touches only the visible cells) and the
// time per added item at 1,000 and at 100,000 (target: about the same, adding
// stays linear). The ratios use CPU time.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "app/application.h"
#include "app/view_state.h"
#include "core/dib.h"
#include "core/item_list.h"
#include "platform/door/interaction.h"
#include "ui/image_list_view.h"

namespace {

constexpr int kSide = 32;

// A 32 x 32 32-bit item with every alpha and varied colours.
NewItem MakeItem(int seed) {
    DibHeader h{};
    h.biSize = kBitmapInfoHeaderSize;
    h.biWidth = kSide;
    h.biHeight = kSide;
    h.biPlanes = 1;
    h.biBitCount = 32;
    NewItem item;
    item.header = AllocateHeaderBlock(h.biSize);
    *item.header = h;
    const std::size_t size = DibImageSize(&h);
    item.bits = AllocateBlock(size);
    for (std::size_t i = 0; i < size; ++i) item.bits.get()[i] = static_cast<std::uint8_t>(i * 7 + seed);
    return item;
}

struct ListFixture {
    NonInteractive ui;
    CIconmillApp app{ui};
    CImageListView view{app};

    explicit ListFixture(int count) {
        app.settings.background = ViewBackgroundTransparent;
        view.setFrameShape(QFrame::NoFrame);
        view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.resize(5 * (kSide + 2), 2 * (kSide + 20));
        view.show();
        Fill(count);
    }
    void Fill(int count) {
        CItemList::UpdateBatch batch(app.Items());
        for (int i = 0; i < count; ++i) app.Items().AddItem(MakeItem(i));
        view.Relayout();
    }
};

void BM_PaintAndScroll(benchmark::State& state) {
    ListFixture list(static_cast<int>(state.range(0)));
    QScrollBar* bar = list.view.verticalScrollBar();
    for (auto _ : state) {
        benchmark::DoNotOptimize(list.view.RenderViewport().constBits());
        bar->setValue(bar->value() >= bar->maximum() ? 0 : bar->value() + bar->pageStep());
    }
}

void BM_AddItems(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    ListFixture list(0);
    for (auto _ : state) {
        list.Fill(count);
        state.PauseTiming();
        list.app.Items().RemoveAllItems();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count);
}

BENCHMARK(BM_PaintAndScroll)->Arg(10)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddItems)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication qt(argc, argv);
    benchmark::Initialize(&argc, argv);
    class Reporter : public benchmark::ConsoleReporter {
    public:
        void ReportRuns(const std::vector<Run>& runs) override {
            ConsoleReporter::ReportRuns(runs);
            // CPU time: a loaded machine moves the wall time of such short runs by tens of percent.
            for (const Run& run : runs) ms_[run.benchmark_name()] = run.GetAdjustedCPUTime();
        }
        void Finalize() override {
            ConsoleReporter::Finalize();
            const double few = ms_["BM_PaintAndScroll/10"], many = ms_["BM_PaintAndScroll/100000"];
            if (few > 0 && many > 0)
                std::printf("paint and scroll (CPU): %.3f ms at 10 items, %.3f ms at 100,000; ratio %.2f\n",
                            few, many, many / few);
            const double small = ms_["BM_AddItems/1000"], large = ms_["BM_AddItems/100000"];
            if (small > 0 && large > 0)
                std::printf("adding (CPU): %.3f us per item at 1,000, %.3f us at 100,000; ratio %.2f\n",
                            small * 1000 / 1000, large * 1000 / 100000,
                            (large / 100000) / (small / 1000));
        }

    private:
        std::map<std::string, double> ms_;
    } reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
