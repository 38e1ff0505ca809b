// The interaction of the command-line tool: nobody is asked. Messages go to the
// error stream, every question takes its default answer (its first button), and
// the file dialog "chooses" the paths given on the command line.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/psd_cli_options.h"
#include "platform/door/interaction.h"

class BatchInteraction : public NonInteractive {
public:
    explicit BatchInteraction(std::ostream& err) : err_(err) {}

    // The paths the next file dialog returns.
    std::vector<std::string> pathsToChoose;
    // Whether a warning or error message was shown: the command failed.
    bool failed = false;
    // The answer to the animated cursor sequence question: false adds each image
    // once (Yes, the default), true follows the file's sequence (No).
    bool followAniSequence = false;
    // The filter (from 1) the next save dialog reports; 0 reports none.
    int filterToChoose = 0;
    // The answer of the Array Options dialog; nullopt takes the dialog's defaults.
    std::optional<CArrayOptions> arrayOptions;
    // The answer of the PSD import dialog.
    BatchPsdOptions psd;

    Answer ShowMessage(const MessageRequest& message) override;
    bool AskIgnoreAniSequence(const MessageRequest& question) override;
    std::vector<std::string> ChooseFiles(const FileDialogRequest& request) override;
    // A layer position the document does not list is an error: the import is
    // cancelled after saying so.
    std::optional<PsdImportChoice> ChoosePsdImport(const PsdImportRequest& request) override;
    std::optional<CArrayOptions> ChooseCArrayOptions(const CArrayOptions& initial) override;

private:
    std::ostream& err_;
};
