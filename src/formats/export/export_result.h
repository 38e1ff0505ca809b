// The result of the export writers.
#pragma once

enum [[nodiscard]] ExportResult : int{
    ExportOk = 0,
    ExportCancelled = 1,    // the progress function said stop; the old file (or none) stays
    ExportSystemError = 2,  // the file could not be written; errno holds the code
};
