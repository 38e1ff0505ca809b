// The Export DIB and Export Bitmap Bits commands: the first selected item's
// picture, as a packed DIB or as its pixel rows alone, written as C source arrays
// or as raw bytes.
#pragma once

#include <optional>
#include <string>

#include "formats/export/data_export.h"

class CIconmillApp;

enum class ExportKind {
    Dib,   // header, colour table and pixel rows: a packed DIB
    Bits,  // the pixel rows as stored
};

// The save dialog's filter: the C source form first, the raw form second.
extern const char* const kExportFileFilter;

// Runs the command. A duplicate exports its reference's picture. Asks for the
// file (and, for C source, the array layout), writes it in the busy state and
// reports failures itself. True when a file was written.
bool ExportItemData(CIconmillApp& app, ExportKind kind);

// The command after its dialogs: writes to `path`, as C source in `layout`, or
// as raw bytes when there is none. Failures are reported as by ExportItemData.
bool ExportItemDataTo(CIconmillApp& app, ExportKind kind, const std::string& path,
                      const std::optional<CArrayOptions>& layout);

// The message the Array Options dialog shows (exclamation icon) when its OK check
// refuses `field`.
std::string CArrayOptionsFailureText(CArrayOptionsField field);
