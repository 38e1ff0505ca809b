#include "cli/timing_options.h"

#include <charconv>
#include <optional>
#include <ostream>
#include <vector>

#include "app/animation_commands.h"
#include "app/application.h"

namespace {

constexpr std::uint32_t kLargestTypedValue = 9999;  // the editor's 4-digit edits

std::optional<std::uint32_t> ParseUnsigned(std::string_view text, std::uint32_t largest) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > largest)
        return std::nullopt;
    return value;
}

// The ':'-separated fields of `text`.
std::vector<std::string_view> SplitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t colon = text.find(':', start);
        fields.push_back(
            text.substr(start, colon == std::string_view::npos ? colon : colon - start));
        if (colon == std::string_view::npos) return fields;
        start = colon + 1;
    }
}

}  // namespace

bool ParseCliTiming(std::string_view text, CliTiming* out) {
    constexpr std::string_view kMethods[kTimingMethodCount] = {"distinct", "linear", "ease-in",
                                                               "ease-out", "ease-in-out"};
    const std::vector<std::string_view> fields = SplitFields(text);
    if (fields.size() != 3 && fields.size() != 4) return false;
    const std::string_view method = fields[0];
    CliTiming timing;
    int index = 0;
    while (index < kTimingMethodCount && kMethods[index] != method) ++index;
    if (index == kTimingMethodCount) return false;
    timing.method = static_cast<TimingMethod>(index);
    const auto frame = ParseUnsigned(fields[1], 0x7FFFFFFF);
    const auto value = ParseUnsigned(fields[2], kLargestTypedValue);
    if (!frame || !value) return false;
    timing.frame = *frame;
    timing.value = *value;
    if (fields.size() == 4) {
        if (!TimingMethodUsesStep(timing.method)) return false;
        const auto step = ParseUnsigned(fields[3], kLargestTypedValue);
        if (!step) return false;
        timing.step = *step;
    }
    *out = timing;
    return true;
}

int RunCliTimingSession(CIconmillApp& app, const CliTimingSession& session, bool limitToSelected,
                        std::ostream& err) {
    std::optional<AnimationTiming> timing;
    if (app.Items().Count() > 0) {
        timing = OpenAnimationTiming(app);
        if (!timing) return 1;
        if (limitToSelected)
            timing->Rebuild(app.Items(), true, app.Compilation().firstFrameExcluded);
    }
    const std::uint32_t count = timing ? timing->FrameCount() : 0;
    for (const CliTiming& step : session.timings) {
        if (step.frame >= count) {
            err << "iconmill-cli convert: no frame " << step.frame << " (the frame list holds "
                << count << ")\n";
            return 2;
        }
        timing->ShowFrame(app.Items(), step.frame);
        timing->Set(step.method, step.value * 10, step.step * 10);
    }
    if (timing) ApplyAnimationTiming(app, *timing);
    return 0;
}
