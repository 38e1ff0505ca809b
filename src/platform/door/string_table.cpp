#include "platform/door/string_table.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

// Sorted by number.
constexpr std::pair<int, const char*> kStrings[] = {
    {kStrOutOfMemory, "Not enough memory available to perform the operation."},
    {kStrContinueReading, "Do you want to continue reading the remaining files?"},
    {kStrGenericFailure, "Failed to perform the operation. Some things wrong."},
    {kStrAlreadyRunning,
     "The application is already running. Please close the application and try again."},
    {kStrExporting, "Exporting..."},
    {kStrVariableNameEmpty, "Variable name cannot be null."},
    {kStrValueRange, "Please enter a value between %1!d! and %2!d!."},
    {kStrInProgress, "In progress..."},
    {kStrMaskFailed, "Failed to do the same action on the Mask. You should recreate the Mask."},
    {kStrWidthNotDivisible, "Width is not divisible to the round number."},
    {kStrHeightNotDivisible, "Height is not divisible to the round number."},
    {kStrInvalidParameters, "Invalid parameters."},
    {kStrPleaseWait, "Please wait..."},
    {kStrDuplicateRefused,
     "You can not perform this operation on duplicated (shadow) item.\nPlease select the "
     "reference (original) item instead."},
    {kStrAniSequenceQuestion,
     "%1\nDo you want to ignore the duplicated images sequence and add only images once?"},
    {kStrAniImageCount,
     "Image count is not correct to build each icon directory with %1!d! items."},
    {kStrIntegerValue, "Please enter an integer value."},
    {kStrCannotRead,
     "%1\nIconmill cannot read this file.\nThis is not a valid file, or its format is not "
     "currently supported."},
    {kStrBadFormatNamed, "%1\nBad file format, contains illegal values or it is corrupted."},
    {kStrBadFormat, "Bad file format, contains illegal values."},
    {kStrCorrupted, "%1\nThe file is corrupted."},
    {kStrPsdUnsupportedMode,
     "Unfortunately, this mode of the PSD file is not supported yet. Only RGB/8 and Indexed "
     "modes are supported."},
    {kStrPsdNoLayer, "The PSD file contains no layer."},
    {kStrPsdUnsupportedCompression, "The PSD file is compressed in unsupported method."},
    {kStrSaveChangesQuestion, "Do you want save changes to %1?"},
    {kStrUntitled, "Untitled"},
    {kStrSubjectAndSystemText, "%1\n%2"},
    {kStrClipboardError, "Error on accessing the clipboard."},
    {kStrReplaceQuestion, "%1 already exists.\nDo you want to replace it?"},
    {kStrConfirmReplace, "Confirm replace"},
    {kStrDuplicatedResolutions,
     "The following resolutions are duplicated:\n%1\n\nClick OK to continue anyway."},
    {kStrSameBitDepth, "To perform this operation, the images bit-depth must be same."},
    {kStrItemsToBeSaved, "%1!u! items to be save"},
    {kStrItemsRemain, "%1!u! item(s) remain"},
    {kStrFinalItem, "Final item"},
    {kStrZoomLevel, "Zoom level"},
    {kStrZoomOut, "Zoom out"},
    {kStrZoomIn, "Zoom in"},
    {kStrZoom, "Zoom"},
    {kStrImproperArgument, "Encountered an improper argument."},
    {kStrMergeResult, "Result: %1!d!x%2!d!, %3!u!-bit image"},
    {kStrSplitResult, "Result: %1!u! numbers of %2!d!x%3!d! images"},
    {kStrSplitPictureLabel, "%1!d!x%2!d!, %3!u!-bit"},
    {kStrCurrentSize, "Current Size: %1"},
    {kStrNewSize, "New Size: %1"},
    {kStrNewSizeInvalid, "New Size: --"},
    {kStrPixelCount, "%1!d! pixel"},
    {kStrPixelsCount, "%1!d! pixels"},
    {kStrPsdNoLayerSelected, "No layer is selected."},
    {kStrAppTitle, "Iconmill"},
    {kStrReady, "Ready"},
    {kStrPressEscToCancel, "PRESS ESC TO CANCEL"},
};

}  // namespace

const char* LoadStringText(int id) {
    auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                               [](const auto& entry, int key) { return entry.first < key; });
    return it != std::end(kStrings) && it->first == id ? it->second : "";
}
