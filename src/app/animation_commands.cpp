#include "app/animation_commands.h"

#include "app/application.h"
#include "app/dialog_number.h"
#include "platform/door/interaction.h"
#include "platform/door/message_format.h"
#include "platform/door/string_table.h"

namespace {

// Typed hundredths of a second as milliseconds; nullopt when the text is no
// number or the milliseconds do not fit.
std::optional<std::uint32_t> ReadHundredths(std::string_view text) {
    const std::optional<std::uint32_t> value = ReadDialogUnsigned(text, 0xFFFFFFFFu / 10);
    if (!value) return std::nullopt;
    return *value * 10;
}

}  // namespace

std::optional<AnimationTiming> OpenAnimationTiming(CIconmillApp& app) {
    if (app.Items().Count() == 0) return std::nullopt;
    AnimationTiming timing(app.Items(), app.Compilation().firstFrameExcluded);
    if (timing.Empty()) {
        app.Ui().ShowMessage(PlainMessage(kStrImproperArgument, MessageIcon::Error));
        return std::nullopt;
    }
    return timing;
}

bool CanLimitTimingToSelected(const CIconmillApp& app) {
    return !app.Items().IsSelectionEmpty();
}

bool RefreshTimingAfterOptions(const CIconmillApp& app, AnimationTiming& timing) {
    const bool excluded = app.Compilation().firstFrameExcluded;
    if (excluded == timing.FirstFrameExcluded()) return false;
    timing.Rebuild(app.Items(), timing.LimitToSelected(), excluded);
    return true;
}

TimingField AcceptTimingSet(Interaction& ui, TimingMethod method, std::string_view valueText,
                            std::string_view stepText, AnimationTiming* timing) {
    const std::optional<std::uint32_t> value = ReadHundredths(valueText);
    if (!value) {
        ShowIntegerValueMessage(ui);
        return TimingField::Value;
    }
    std::optional<std::uint32_t> step = 0;
    if (TimingMethodUsesStep(method)) {
        step = ReadHundredths(stepText);
        if (!step) {
            ShowIntegerValueMessage(ui);
            return TimingField::Step;
        }
    }
    timing->Set(method, *value, *step);
    return TimingField::None;
}

bool ApplyAnimationTiming(CIconmillApp& app, const AnimationTiming& timing) {
    if (!timing.Changed()) return false;
    timing.WriteBack(app.Items());
    app.SetModified();
    return true;
}

AnimationOptionsForm AnimationOptionsFormOf(const CCompilation& compilation) {
    return {std::to_string(compilation.numPlays), compilation.numPlays == 0,
            compilation.firstFrameExcluded};
}

AnimationOptionsField AcceptAnimationOptions(Interaction& ui, const AnimationOptionsForm& form,
                                             AnimationOptions* options) {
    std::uint32_t plays = 0;
    if (!form.infinite) {
        const std::optional<std::uint32_t> typed = ReadDialogUnsigned(form.plays);
        if (!typed) {
            ShowIntegerValueMessage(ui);
            return AnimationOptionsField::Plays;
        }
        plays = *typed;
    }
    *options = {plays, form.excludeFirstFrame};
    return AnimationOptionsField::None;
}

void ApplyAnimationOptions(CIconmillApp& app, const AnimationOptions& options) {
    CCompilation& compilation = app.Compilation();
    compilation.numPlays = options.plays;
    compilation.firstFrameExcluded = options.excludeFirstFrame;
    app.SetModified();
}

AniOptionsForm AniOptionsFormOf(const AniSaveOptions& options) {
    return {options.name, options.artist, std::to_string(options.imagesPerDirectory),
            options.individualRates};
}

AniOptionsField AcceptAniOptions(Interaction& ui, const AniOptionsForm& form,
                                 AniSaveOptions* options) {
    const std::optional<std::uint32_t> count = ReadDialogUnsigned(form.imagesPerDirectory);
    if (!count || *count < kAniCountMin || *count > kAniCountMax) {
        ui.ShowMessage(
            {kStrValueRange,
             FormatMessageText(LoadStringText(kStrValueRange), {kAniCountMin, kAniCountMax}),
             MessageIcon::Exclamation, MessageButtons::Ok});
        return AniOptionsField::Count;
    }
    options->name = form.name;
    options->artist = form.artist;
    options->imagesPerDirectory = static_cast<int>(*count);
    options->individualRates = form.individualRates;
    return AniOptionsField::None;
}

bool ApplyAnimatedCursorOptions(CIconmillApp& app, const AniSaveOptions& options) {
    CAnimatedCursorCompilation* ani = app.Compilation().AsAnimatedCursor();
    if (!ani) return false;
    AniSaveOptions& held = ani->ani;
    const bool same = held.name == options.name && held.artist == options.artist &&
                      held.imagesPerDirectory == options.imagesPerDirectory &&
                      held.individualRates == options.individualRates;
    if (same) return true;
    held = options;
    app.SetModified();
    return true;
}
