// iconmill-cli convert: opens files as the editor's Open command does, changes
// items as its commands do, and saves them with the Save As (or Save Selection)
// flow of a chosen target, the flows' dialogs answered from the options.
#include <charconv>
#include <optional>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include "app/application.h"
#include "app/frame_commands.h"
#include "app/history.h"
#include "app/open_flows.h"
#include "app/save_flows.h"
#include "cli/commands.h"
#include "cli/operation_options.h"
#include "cli/timing_options.h"

const char* const kConvertUsage =
    "convert FILE... -o OUT --as bmp|png|apng|ico|cur|ani [OPTIONS]\n"
    "    Opens the files as the editor's Open command does (one file: the compilation\n"
    "    type its extension gives; several: type none), applies the item options and\n"
    "    operations in the order given, and saves with the editor's Save As flow of\n"
    "    the target: a BMP or PNG series (OUT, then OUT002, OUT003, ... beside it), an\n"
    "    animated PNG, an icon, a cursor or an animated cursor. OUT itself is\n"
    "    replaced when it exists. A file that cannot be read ends the command before\n"
    "    anything is saved.\n"
    "    --select LIST          Save Selection of these items instead (indices as info\n"
    "                           prints them, e.g. 1,3-5); operations change only them\n"
    "    --yes                  answer \"continue anyway\" and \"replace\" questions with\n"
    "                           yes; without it they take the safe answer (the series\n"
    "                           or the save stops) and the command fails\n"
    "    PNG options (png, apng; defaults those of the dialog, or of an opened\n"
    "    animated PNG):\n"
    "      --png-grayscale, --png-interlaced\n"
    "      --png-filter none|sub|up|average|paeth|best\n"
    "      --png-compression default|none|speed|best\n"
    "    Animation (apng; default from the opened file):\n"
    "      --plays N              play count, 0 infinite\n"
    "      --exclude-first-frame, --include-first-frame\n"
    "    Animated cursor options (ani; defaults those of an opened .ani, else empty\n"
    "    name and artist, 1 image per directory, rates written individually):\n"
    "      --ani-name TEXT, --ani-artist TEXT, --ani-per-directory N (1-99)\n"
    "      --ani-individual-rates, --ani-common-rate\n"
    "    Items, applied in the order given with the operations:\n"
    "      --duplicate I          append a duplicate of item I (of its original)\n"
    "      --delay I:MS           frame delay in milliseconds\n"
    "      --hotspot I:X,Y        cursor hot spot (0-32767)\n"
    "      --position I:X,Y       frame position (0-2147483647)\n"
    "      --blend I:0|1          0 source, 1 over\n"
    "      --dispose I:0|1|2      0 none, 1 background, 2 "
    "previous\n" ICONMILL_TIMING_OPTIONS_USAGE ICONMILL_OPERATION_OPTIONS_USAGE
    "    History, in the order given with the item options and operations:\n"
    "      --undo                 take the last change back, as Edit > Undo does\n"
    "      --redo                 repeat the change last taken back (Edit > Redo)\n"
    "      --history-memory MIB   the memory the history may hold (default 512); the\n"
    "                             oldest changes beyond it cannot be undone\n"
    "    --background RRGGBB is the colour conversions flatten 32-bit pictures onto.\n"
    "    Exits with 1 when the save did not happen or a message reported a failure.\n";

namespace {

struct DuplicateAction {
    int index;
};

struct FrameAction {
    enum Field { Delay, Hotspot, Position, Blend, Dispose } field;
    int index = 0;
    std::int64_t a = 0;
    std::int64_t b = 0;
};

struct HistoryAction {
    bool redo = false;
};

using Action =
    std::variant<CliOperation, DuplicateAction, FrameAction, CliTimingSession, HistoryAction>;

// The editor's dialogs, answered from the command line.
class ConvertInteraction : public OperationInteraction {
public:
    explicit ConvertInteraction(std::ostream& err) : OperationInteraction(err), err_(err) {}

    SaveDialogChoice saveChoice;
    bool yes = false;
    // Set once the save starts: from then on questions are the save's.
    bool saving = false;
    std::optional<bool> grayscale, interlaced;
    std::optional<int> filter, compression;
    std::optional<std::string> aniName, aniArtist;
    std::optional<int> perDirectory;
    std::optional<bool> individualRates;

    Answer ShowMessage(const MessageRequest& message) override {
        if (!saving || message.buttons == MessageButtons::Ok)
            return OperationInteraction::ShowMessage(message);
        err_ << message.text << '\n';
        if (yes) return DefaultAnswer(message.buttons);
        return message.buttons == MessageButtons::YesNo ? Answer::No : Answer::Cancel;
    }
    std::optional<SaveDialogChoice> ChooseSaveTarget(const SaveDialogRequest&) override {
        return saveChoice;
    }
    bool EditPngOptions(PngSaveOptions& options) override {
        if (grayscale) options.grayscale = *grayscale;
        if (interlaced) options.interlaced = *interlaced;
        if (filter) options.filter = *filter;
        if (compression) options.compression = *compression;
        return true;
    }
    bool EditAniOptions(AniSaveOptions& options) override {
        if (aniName) options.name = *aniName;
        if (aniArtist) options.artist = *aniArtist;
        if (perDirectory) options.imagesPerDirectory = *perDirectory;
        if (individualRates) options.individualRates = *individualRates;
        return true;
    }

private:
    std::ostream& err_;
};

int Usage(std::ostream& err, const std::string& problem) {
    err << "iconmill-cli convert: " << problem << '\n' << kConvertUsage;
    return 2;
}

std::optional<std::int64_t> ParseNumber(std::string_view text, std::int64_t low,
                                        std::int64_t high) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

// "I:A" or "I:A,B" with A and B from low to high.
bool ParseFrameValue(std::string_view text, bool pair, std::int64_t low, std::int64_t high,
                     FrameAction* action) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) return false;
    const auto index = ParseNumber(text.substr(0, colon), 0, 0x7FFFFFFF);
    std::string_view rest = text.substr(colon + 1);
    std::optional<std::int64_t> a, b = 0;
    if (pair) {
        const std::size_t comma = rest.find(',');
        if (comma == std::string_view::npos) return false;
        a = ParseNumber(rest.substr(0, comma), low, high);
        b = ParseNumber(rest.substr(comma + 1), low, high);
    } else {
        a = ParseNumber(rest, low, high);
    }
    if (!index || !a || !b) return false;
    action->index = static_cast<int>(*index);
    action->a = *a;
    action->b = *b;
    return true;
}

std::optional<int> IndexOf(std::string_view value, std::initializer_list<const char*> names) {
    int i = 0;
    for (const char* name : names) {
        if (value == name) return i;
        ++i;
    }
    return std::nullopt;
}

// Selects the items of `selection` that exist (all items when it is empty).
void ApplySelection(CItemList& list, const std::vector<int>& selection) {
    if (selection.empty()) {
        list.SelectAll();
        return;
    }
    for (int i = 0; i < list.Count(); ++i) list.SetSelected(i, false);
    for (int index : selection) list.SetSelected(index, true);
}

// Runs one item action; 0 on success, else the exit code.
int RunAction(CIconmillApp& app, OperationInteraction& ui, const std::vector<int>& selection,
              const Action& action, std::ostream& err) {
    CItemList& list = app.Items();
    if (const auto* history = std::get_if<HistoryAction>(&action)) {
        const CHistory& steps = app.History();
        if (history->redo ? RedoLastChange(app) : UndoLastChange(app)) return 0;
        if (history->redo ? steps.CanRedo() : steps.CanUndo()) return 1;  // reported
        err << "iconmill-cli convert: nothing to " << (history->redo ? "redo" : "undo");
        if (!history->redo && steps.DroppedSteps() > 0)
            err << " (" << steps.DroppedSteps()
                << (steps.DroppedSteps() == 1 ? " change" : " changes")
                << " dropped by the history's memory limit)";
        err << '\n';
        return 1;
    }
    // Each item option and operation is one step of the history.
    HistoryRecorder recorder(app, CommandId{0});
    if (const auto* op = std::get_if<CliOperation>(&action)) {
        ApplySelection(list, selection);
        return RunCliOperation(app, ui, *op) ? 0 : 1;
    }
    if (const auto* timing = std::get_if<CliTimingSession>(&action)) {
        ApplySelection(list, selection);
        return RunCliTimingSession(app, *timing, !selection.empty(), err);
    }
    const int index = std::holds_alternative<DuplicateAction>(action)
                          ? std::get<DuplicateAction>(action).index
                          : std::get<FrameAction>(action).index;
    if (!list.Item(index)) {
        err << "iconmill-cli convert: no item " << index << " (the list holds " << list.Count()
            << ")\n";
        return 2;
    }
    if (std::holds_alternative<DuplicateAction>(action))
        return AppendItemDuplicate(app, index) < 0 ? 1 : 0;
    const FrameAction& frame = std::get<FrameAction>(action);
    FrameEdit edit;
    switch (frame.field) {
        case FrameAction::Delay:
            edit.delay = static_cast<std::uint32_t>(frame.a);
            break;
        case FrameAction::Hotspot:
            edit.hotSpot = FrameEdit::HotSpot{static_cast<std::int16_t>(frame.a),
                                              static_cast<std::int16_t>(frame.b)};
            break;
        case FrameAction::Position:
            edit.position = FrameEdit::Point{static_cast<std::int32_t>(frame.a),
                                             static_cast<std::int32_t>(frame.b)};
            break;
        case FrameAction::Blend:
            edit.blendOp = static_cast<std::int32_t>(frame.a);
            break;
        case FrameAction::Dispose:
            edit.disposeOp = static_cast<std::int32_t>(frame.a);
            break;
    }
    ApplyItemFrameEdit(app, index, edit);
    return 0;
}

}  // namespace

int RunConvertCommand(const CliArgs& args, std::ostream& out, std::ostream& err) {
    (void)out;
    ConvertInteraction ui(err);
    std::vector<std::string> files;
    std::vector<Action> actions;
    std::vector<int> selection;
    std::string output;
    std::optional<SaveTarget> target;
    std::optional<std::uint32_t> plays;
    std::optional<bool> excludeFirst;
    HistoryLimits historyLimits;
    bool optionsEnded = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-') {
            files.push_back(arg);
            continue;
        }
        std::vector<CliOperation> operation;
        std::string problem;
        switch (ParseOperationOption(args, &i, &operation, &problem)) {
            case OperationOptionParse::Parsed:
                actions.emplace_back(operation.front());
                continue;
            case OperationOptionParse::Bad:
                return Usage(err, problem);
            case OperationOptionParse::NotAnOperation:
                break;
        }
        // Options without a value.
        if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--yes") {
            ui.yes = true;
        } else if (arg == "--undo" || arg == "--redo") {
            actions.emplace_back(HistoryAction{arg == "--redo"});
        } else if (arg == "--png-grayscale") {
            ui.grayscale = true;
        } else if (arg == "--png-interlaced") {
            ui.interlaced = true;
        } else if (arg == "--exclude-first-frame" || arg == "--include-first-frame") {
            excludeFirst = arg == "--exclude-first-frame";
        } else if (arg == "--ani-individual-rates" || arg == "--ani-common-rate") {
            ui.individualRates = arg == "--ani-individual-rates";
        } else {
            if (i + 1 >= args.size()) return Usage(err, "'" + arg + "' needs a value");
            const std::string& value = args[++i];
            const std::string bad = "bad value '" + value + "' for " + arg;
            if (arg == "-o") {
                output = value;
            } else if (arg == "--as") {
                const auto index = IndexOf(value, {"bmp", "png", "apng", "ico", "cur", "ani"});
                if (!index) return Usage(err, bad);
                constexpr SaveTarget kTargets[] = {SaveTargetBmpSeries,   SaveTargetPngSeries,
                                                   SaveTargetAnimatedPng, SaveTargetIcon,
                                                   SaveTargetCursor,      SaveTargetAnimatedCursor};
                target = kTargets[*index];
            } else if (arg == "--select") {
                if (!ParseCliSelection(value, &selection)) return Usage(err, bad);
            } else if (arg == "--background") {
                ui.background = ParseCliColor(value);
                if (!ui.background) return Usage(err, bad);
            } else if (arg == "--svg-size") {
                ui.svgSize = ParseCliSvgSize(value);
                if (!ui.svgSize) return Usage(err, bad);
            } else if (arg == "--png-filter") {
                ui.filter = IndexOf(value, {"none", "sub", "up", "average", "paeth", "best"});
                if (!ui.filter) return Usage(err, bad);
            } else if (arg == "--png-compression") {
                ui.compression = IndexOf(value, {"default", "none", "speed", "best"});
                if (!ui.compression) return Usage(err, bad);
            } else if (arg == "--plays") {
                const auto n = ParseNumber(value, 0, 0xFFFFFFFF);
                if (!n) return Usage(err, bad);
                plays = static_cast<std::uint32_t>(*n);
            } else if (arg == "--ani-name") {
                ui.aniName = value;
            } else if (arg == "--ani-artist") {
                ui.aniArtist = value;
            } else if (arg == "--ani-per-directory") {
                const auto n = ParseNumber(value, 1, 99);
                if (!n) return Usage(err, bad);
                ui.perDirectory = static_cast<int>(*n);
            } else if (arg == "--timing") {
                CliTiming timing;
                if (!ParseCliTiming(value, &timing)) return Usage(err, bad);
                // Consecutive options press SET in one opening of the editor.
                if (actions.empty() || !std::holds_alternative<CliTimingSession>(actions.back()))
                    actions.emplace_back(CliTimingSession{});
                std::get<CliTimingSession>(actions.back()).timings.push_back(timing);
            } else if (arg == "--history-memory") {
                const auto n = ParseNumber(value, 0, 1 << 20);
                if (!n) return Usage(err, bad);
                historyLimits.memoryBytes = static_cast<std::size_t>(*n) << 20;
            } else if (arg == "--duplicate") {
                const auto n = ParseNumber(value, 0, 0x7FFFFFFF);
                if (!n) return Usage(err, bad);
                actions.emplace_back(DuplicateAction{static_cast<int>(*n)});
            } else {
                FrameAction frame{FrameAction::Delay};
                bool parsed = false;
                if (arg == "--delay") {
                    parsed = ParseFrameValue(value, false, 0, 0xFFFFFFFF, &frame);
                } else if (arg == "--hotspot") {
                    frame.field = FrameAction::Hotspot;
                    parsed = ParseFrameValue(value, true, 0, 32767, &frame);
                } else if (arg == "--position") {
                    frame.field = FrameAction::Position;
                    parsed = ParseFrameValue(value, true, 0, 0x7FFFFFFF, &frame);
                } else if (arg == "--blend") {
                    frame.field = FrameAction::Blend;
                    parsed = ParseFrameValue(value, false, 0, 1, &frame);
                } else if (arg == "--dispose") {
                    frame.field = FrameAction::Dispose;
                    parsed = ParseFrameValue(value, false, 0, 2, &frame);
                } else {
                    return Usage(err, "unknown option '" + arg + "'");
                }
                if (!parsed) return Usage(err, bad);
                actions.emplace_back(frame);
            }
        }
    }
    if (files.empty()) return Usage(err, "no file given");
    if (output.empty()) return Usage(err, "no output given (-o OUT)");
    if (!target) return Usage(err, "no target given (--as)");

    CIconmillApp app(ui);
    app.History().SetLimits(historyLimits);
    if (!OpenPaths(app, files, false).Succeeded()) return 1;
    // Set before the item actions: the timing editor reads the exclude flag.
    if (plays) app.Compilation().numPlays = *plays;
    if (excludeFirst) app.Compilation().firstFrameExcluded = *excludeFirst;
    for (const Action& action : actions)
        if (int code = RunAction(app, ui, selection, action, err); code != 0) return code;

    CItemList& list = app.Items();
    for (int index : selection) {
        if (index >= list.Count()) {
            err << "iconmill-cli convert: no item " << index << " (the list holds " << list.Count()
                << ")\n";
            return 2;
        }
    }
    ApplySelection(list, selection);

    ui.saving = true;
    ui.saveChoice.path = output;
    ui.saveChoice.target = *target;
    // A series counts as saved only when every file was written; a question the
    // command line declines (without --yes) cancels it.
    SeriesOutcome series;
    const bool saved = selection.empty() ? SaveCompilationAs(app, &series) : SaveSelection(app);
    return saved && series.failed == 0 && !series.cancelled ? 0 : 1;
}
