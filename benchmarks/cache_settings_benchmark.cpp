// What the user waits for on every keystroke in the cache settings dialog: the field's
// column and its totals are refreshed in the model and copied back into the widgets (the
// repaint follows in the event loop).

#include <QApplication>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <filesystem>

#include "cache_dialog/cache_settings_dialog.h"
#include "fake_prompter.h"

namespace {

void BM_CacheKeystrokeRefresh(benchmark::State& state) {
    vk3::test::FakePrompter prompter;  // the benchmarks show no message boxes
    const std::filesystem::path demo = VK3_EXAMPLES_DIR;
    vk3::CacheSettingsDialog dialog({demo / "Veskaran3/Ini/vkmain.ini", {}, {}}, prompter);
    dialog.show();
    QApplication::processEvents();
    auto* field = dialog.findChild<QLineEdit*>(
        state.range(0) == 0 ? "cacheImageLowEdit" : "cacheHighQualityTexturesEdit");
    const QString texts[] = {"3200000", "32000000"};
    int typed = 0;
    for (auto _ : state) {
        // One digit more or less, as typing or deleting it would leave the field.
        field->setText(texts[typed++ % 2]);
    }
}
// 0: a value field (its column); 1: the high-quality-texture field (three columns).
BENCHMARK(BM_CacheKeystrokeRefresh)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
