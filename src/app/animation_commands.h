// The Animation Timing, Animation Options and Animated Cursor Options commands:
// what their dialogs show, the checks their buttons make, and the apply steps on
// OK. The dialogs show the results; the command-line tool calls the same
// functions. A check that rejects a field shows its message through the door and
// names the edit the dialog focuses with its whole text selected.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "anim/animation_timing.h"
#include "formats/ani/ani_save_options.h"

class CCompilation;
class CIconmillApp;
class Interaction;

// ---- Animation Timing ----------------------------------------------------

// The value and Step edits hold at most this many digits (hundredths of a second).
constexpr int kTimingEditLimit = 4;
// The Step edit's initial value.
constexpr std::uint32_t kDefaultTimingStep = 25;
// The method list, in TimingMethod order.
inline constexpr const char* kTimingMethodListItems[kTimingMethodCount] = {
    "Distinct", "Linear", "Ease-in", "Ease-out", "Ease-in-out"};

// Opening: the working state built from the list and the compilation's
// first-frame-excluded flag. Nullopt without a message when there are no items
// (the command does nothing); nullopt after "Encountered an improper argument."
// (error icon) when the frame list comes out empty (the dialog closes without
// changes).
std::optional<AnimationTiming> OpenAnimationTiming(CIconmillApp& app);

// Whether "Limit to selected items" is enabled: some item is selected when the
// dialog opens.
bool CanLimitTimingToSelected(const CIconmillApp& app);

// After the Animation Options dialog: rebuilds the frame list when the
// compilation's first-frame-excluded flag now differs from the one the list was
// built with. True when it was rebuilt (the caller shows frame 0).
bool RefreshTimingAfterOptions(const CIconmillApp& app, AnimationTiming& timing);

enum class TimingField { None, Value, Step };

// SET: reads the value and, for the ramps, the Step as unsigned numbers of
// hundredths (a text that is no number, or whose milliseconds overflow, shows
// "Please enter an integer value." and is returned, nothing changed), then
// applies the method at the current frame. None when applied.
TimingField AcceptTimingSet(Interaction& ui, TimingMethod method, std::string_view valueText,
                            std::string_view stepText, AnimationTiming* timing);

// OK: when a method was applied, writes the frames' delays into their items and
// marks the compilation modified; otherwise nothing changes. True when written.
bool ApplyAnimationTiming(CIconmillApp& app, const AnimationTiming& timing);

// ---- Animation Options -----------------------------------------------------

// The dialog's fields.
struct AnimationOptionsForm {
    std::string plays;  // the "Number of Plays" edit
    bool infinite = true;
    bool excludeFirstFrame = false;
};

// What OK stores in the compilation.
struct AnimationOptions {
    std::uint32_t plays = 0;  // 0 infinite
    bool excludeFirstFrame = false;
};

// The fields filled from the compilation: plays as an unsigned number,
// Infinite checked when it is 0.
AnimationOptionsForm AnimationOptionsFormOf(const CCompilation& compilation);
// The plays edit is enabled only while Infinite is unchecked.
constexpr bool PlaysEditEnabled(const AnimationOptionsForm& form) {
    return !form.infinite;
}

enum class AnimationOptionsField { None, Plays };

// OK: Infinite gives 0 plays whatever the edit holds; otherwise the edit must
// hold an unsigned number ("Please enter an integer value." and Plays if not;
// a typed 0 also means infinite). None when `options` was filled.
AnimationOptionsField AcceptAnimationOptions(Interaction& ui, const AnimationOptionsForm& form,
                                             AnimationOptions* options);

// After OK: the compilation takes both values and is marked modified, also when
// nothing changed.
void ApplyAnimationOptions(CIconmillApp& app, const AnimationOptions& options);

// ---- Animated Cursor Options -----------------------------------------------

// The image count edit holds at most 2 digits; its up-down control runs 1 to 99.
constexpr int kAniCountEditLimit = 2;
constexpr int kAniCountMin = 1;
constexpr int kAniCountMax = 99;

struct AniOptionsForm {
    std::string name;
    std::string artist;
    std::string imagesPerDirectory;  // the count edit
    bool individualRates = true;
};

AniOptionsForm AniOptionsFormOf(const AniSaveOptions& options);

enum class AniOptionsField { None, Count };

// OK: the count must be an unsigned number from 1 to 99 ("Please enter a value
// between 1 and 99." and Count if not, `options` untouched); then `options`
// takes both texts, the count and the check box. None when it was filled.
AniOptionsField AcceptAniOptions(Interaction& ui, const AniOptionsForm& form,
                                 AniSaveOptions* options);

// Stores the options in an animated cursor compilation and marks it modified
// when they differ from the ones it holds. False when the compilation is of
// another type (nothing changes).
bool ApplyAnimatedCursorOptions(CIconmillApp& app, const AniSaveOptions& options);
