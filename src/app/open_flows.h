// The commands that fill the application's list from files: Open, Add, drag and
// drop, the file named on the command line, New, and the save question asked
// before the list is replaced. Every failure is reported through the
// application's interaction, by result family.
#pragma once

#include <string>
#include <vector>

#include "app/image_file_format.h"

class CIconmillApp;

// The filter of the Open and Add dialogs.
extern const char* const kOpenFileFilter;

// What reading one file did. A file can be read in part: memory ran out after
// some images were added (they stay, and the failure is reported).
struct FileReadOutcome {
    bool read = false;    // images were added and the file did not stop short
    bool failed = false;  // a failure was reported
};

// Reads one file by the reader its extension names and appends its images;
// reports every failure itself. Every item added marks the compilation, also
// when the file fails later. The animated cursor sequence is followed as the
// setting says, or as the user answers when it says ask; an RGB Photoshop
// document asks for its import options (a cancel reads nothing, silently).
// `outFormat`, when given, receives the format the extension names.
FileReadOutcome ReadImageFile(CIconmillApp& app, const char* path,
                              ImageFileFormat* outFormat = nullptr);

// What opening a list of files did.
struct OpenOutcome {
    // Every file was tried: false when the user stopped after a failed file.
    bool completed = false;
    // Files that were not read, or read in part; each failure has been reported
    // (a document whose import options were cancelled counts without a message).
    int failedFiles = 0;
    bool Succeeded() const { return completed && failedFiles == 0; }
};

// Opens (add false) or adds (add true) the files in order, as Open and Add do
// after their dialog: Open empties the list first and takes the compilation type
// of a single file (a single PNG holding at most one image stays untyped), and
// ends not modified. After a failed file other than the last the user is asked
// whether to go on; No stops (Open then leaves an untyped compilation). No path:
// nothing happens, and the outcome is not completed. The save question is the
// caller's.
OpenOutcome OpenPaths(CIconmillApp& app, const std::vector<std::string>& paths, bool add);

// The Open (add false) and Add (add true) commands: the save question (Open
// only), the file dialog, then OpenPaths. True when every chosen file was tried.
bool OpenFiles(CIconmillApp& app, bool add);
// Opens the file named on the command line: a PNG stays untyped. False, with an
// untyped empty compilation, when it cannot be read.
bool OpenStartupFile(CIconmillApp& app, const char* path);
// Adds the images of dropped files, in order, as Add does; empty names are skipped.
void DropFiles(CIconmillApp& app, const std::vector<std::string>& paths);
// File > Recent Files: opens `path` as Open does after its dialog, the save
// question first. A file that no longer exists is reported with the cannot-read
// message and removed from the list, and nothing else happens. True when the
// file was read.
bool OpenRecentFile(CIconmillApp& app, const std::string& path);
// The New Compilation command: after the save question, an empty untyped list.
void NewCompilation(CIconmillApp& app);
// True when the caller may go on: nothing to save, saved, or discarded.
bool QuerySaveChanges(CIconmillApp& app);
