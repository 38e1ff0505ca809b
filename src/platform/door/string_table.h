// The application's string table: every message text, under its number.
#pragma once

// Numbers below 160 and from 57344 are the resource numbers the texts have always
// had; 160 and above (below 57344) number texts that had none.
enum StringId : int {
    kStrNone = 0,  // no string: a system error text shown alone
    kStrOutOfMemory = 131,      // "Not enough memory available to perform the operation."
    kStrContinueReading = 132,  // "Do you want to continue reading the remaining files?"
    kStrGenericFailure = 137,   // "Failed to perform the operation. Some things wrong."
    kStrAlreadyRunning = 141,
    kStrExporting = 142,
    kStrVariableNameEmpty = 143,
    kStrValueRange = 144,  // "%1!d!" and "%2!d!" inserts
    kStrInProgress = 145,
    kStrMaskFailed = 146,
    kStrWidthNotDivisible = 147,
    kStrHeightNotDivisible = 148,
    kStrInvalidParameters = 149,
    kStrPleaseWait = 154,
    kStrDuplicateRefused = 155,
    kStrAniSequenceQuestion = 156,  // "%1" the file path
    kStrAniImageCount = 157,        // "%1!d!" the images per directory
    kStrIntegerValue = 158,

    kStrCannotRead = 160,      // "%1" the path
    kStrBadFormatNamed = 161,  // "%1" the path
    kStrBadFormat = 162,
    kStrCorrupted = 163,  // "%1" the path
    kStrPsdUnsupportedMode = 164,
    kStrPsdNoLayer = 165,
    kStrPsdUnsupportedCompression = 166,
    kStrSaveChangesQuestion = 167,  // "%1" the compilation's name
    kStrUntitled = 168,
    kStrSubjectAndSystemText = 169,  // "%1" the subject, "%2" the system text

    // Edit and save commands.
    kStrClipboardError = 250,
    kStrReplaceQuestion = 251,        // "%1" the file name
    kStrConfirmReplace = 252,         // the replace question's caption
    kStrDuplicatedResolutions = 253,  // "%1" the lines
    kStrSameBitDepth = 254,
    kStrItemsToBeSaved = 255,  // "%1!u!" the item count
    kStrItemsRemain = 256,     // "%1!u!" the items still to come
    kStrFinalItem = 257,

    // The zoom control's parts: their tooltips, numbered as the parts are.
    kStrZoomLevel = 311,
    kStrZoomOut = 312,
    kStrZoomIn = 313,
    kStrZoom = 314,
    // Animation commands.
    kStrImproperArgument = 400,
    // Merge, Split, Image Resize and Canvas Resize dialog texts.
    kStrMergeResult = 430,       // "%1!d!" x "%2!d!" the size, "%3!u!" the depth
    kStrSplitResult = 431,       // "%1!u!" the tiles, "%2!d!" x "%3!d!" their size
    kStrSplitPictureLabel = 432, // "%1!d!" x "%2!d!" width and signed height, "%3!u!" depth
    kStrCurrentSize = 433,       // "%1" the byte size
    kStrNewSize = 434,           // "%1" the byte size
    kStrNewSizeInvalid = 435,
    kStrPixelCount = 436,   // "%1!d!" one pixel
    kStrPixelsCount = 437,  // "%1!d!" more than one
    // File-format dialogs.
    kStrPsdNoLayerSelected = 470,

    kStrAppTitle = 57344,
    kStrReady = 57345,
    kStrPressEscToCancel = 65533,
};

// The text of a string, or "" when the table has none under that number.
const char* LoadStringText(int id);
