// The convert command's --timing option: the Animation Timing editor driven
// from the command line. A run of consecutive --timing options is one opening
// of the editor: each moves to its frame and presses SET, and the run ends with
// OK.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string_view>
#include <vector>

#include "anim/timing_method.h"
#include "app/animation_commands.h"

class CIconmillApp;

// The option's usage lines, a literal so that the convert usage text can be
// joined with it.
#define ICONMILL_TIMING_OPTIONS_USAGE                                                       \
    "    Animation timing, applied in the order given with the item options:\n"             \
    "      --timing METHOD:FRAME:VALUE[:STEP]\n"                                            \
    "                             METHOD distinct|linear|ease-in|ease-out|ease-in-out;\n"   \
    "                             FRAME the index in the frame list (from 0): the items,\n" \
    "                             or the --select ones, without the first of them when\n"   \
    "                             the first frame is excluded; VALUE and STEP in\n"         \
    "                             hundredths of a second (0-9999; STEP, default 25, only\n" \
    "                             for the ease methods). --timing options with no item\n"   \
    "                             option or operation between them act as SET pressed\n"    \
    "                             in turn before one OK\n"

struct CliTiming {
    TimingMethod method = TimingMethod::Distinct;
    std::uint32_t frame = 0;
    std::uint32_t value = 0;                  // hundredths of a second
    std::uint32_t step = kDefaultTimingStep;  // hundredths of a second
};

// Consecutive --timing options.
struct CliTimingSession {
    std::vector<CliTiming> timings;
};

// "METHOD:FRAME:VALUE[:STEP]"; false for anything else, a value or step above
// 9999, or a step given to distinct or linear.
bool ParseCliTiming(std::string_view text, CliTiming* out);

// Opens the timing editor on the application's list as the dialog opens, with
// "Limit to selected items" on when `limitToSelected`, applies each timing and
// writes the delays back. Returns the exit code: 0 done, 1 when opening was
// refused with a message (an empty frame list), 2 for a frame outside the frame
// list (said on `err`; nothing is written).
int RunCliTimingSession(CIconmillApp& app, const CliTimingSession& session, bool limitToSelected,
                        std::ostream& err);
