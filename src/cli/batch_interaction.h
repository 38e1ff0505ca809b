// The interaction of the command-line tool: nobody is asked. Messages go to the
// error stream, every question takes its default answer (its first button), and
// the file dialog "chooses" the paths given on the command line.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/interaction.h"

class BatchInteraction : public Interaction {
  public:
    explicit BatchInteraction(std::ostream& err) : err_(err) {}

    // The paths the next file dialog returns.
    std::vector<std::string> pathsToChoose;
    // Whether a warning or error message was shown: the command failed.
    bool failed = false;
    // The answer to the animated cursor sequence question: false adds each image
    // once (Yes, the default), true follows the file's sequence (No).
    bool followAniSequence = false;

    Answer ShowMessage(std::string_view text, MessageIcon icon, MessageButtons buttons) override;
    std::vector<std::string> ChooseFiles(const FileDialogRequest& request) override;

  private:
    std::ostream& err_;
};
