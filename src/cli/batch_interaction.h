// The interaction of the command-line tool: nobody is asked. Messages go to the
// error stream and every question takes its default answer (its first button).
// Whether a command failed is what its flows return, not what was shown.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/psd_cli_options.h"
#include "platform/door/interaction.h"

class BatchInteraction : public NonInteractive {
public:
    explicit BatchInteraction(std::ostream& err) : err_(err) {}

    // The answer to the animated cursor sequence question: false adds each image
    // once (Yes, the default), true follows the file's sequence (No).
    bool followAniSequence = false;
    // The answer of the PSD import dialog.
    BatchPsdOptions psd;

    // Whether a warning or error was shown. Only the option families whose apply
    // steps say "nothing written" for a failure and a no-op alike read it
    // (grayscale, alpha, masks, merge, split, new bitmap); every other command's
    // exit code comes from its flow's result.
    bool warned = false;

    Answer ShowMessage(const MessageRequest& message) override;
    bool AskIgnoreAniSequence(const MessageRequest& question) override;
    // A layer position the document does not list is an error: the import is
    // cancelled after saying so (the open flow counts the file as failed).
    std::optional<PsdImportChoice> ChoosePsdImport(const PsdImportRequest& request) override;

private:
    std::ostream& err_;
};
