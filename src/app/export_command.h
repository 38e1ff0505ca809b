// The Export DIB and Export Bitmap Bits commands: the first selected item's
// picture, as a packed DIB or as its pixel rows alone, written as C source arrays
// or as raw bytes.
#pragma once

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
