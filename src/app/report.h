// The one place where result codes of the image library become messages.
#pragma once

#include <cstdint>

#include "core/image_result.h"
#include "formats/export/export_result.h"
#include "formats/icon/icon_result.h"
#include "formats/png/png_result.h"
#include "formats/psd/psd_result.h"

class Interaction;

// Each shows the message for a result of its family (the system text for system
// errors, with the subject above it when there is one). `withName`: the
// bad-format message names the subject. `systemError`: the errno the caller read
// right after the failing call; 0 when there was none (a system error without a
// code shows the generic failure). `subject`: a path or an operation's label, or
// null. A value outside the family's enumerators shows the generic failure.
void ReportImageResult(Interaction& ui, bool withName, ImageResult result, int systemError,
                       const char* subject);
void ReportIconResult(Interaction& ui, bool withName, IconResult result, int systemError,
                      const char* subject);
void ReportPngResult(Interaction& ui, bool withName, PngResult result, int systemError,
                     const char* subject);
void ReportPsdResult(Interaction& ui, PsdResult result, int systemError, const char* subject);
// The export writers' failures, with the error icon: a system error names the
// path above the system text. ExportOk and ExportCancelled show nothing.
void ReportExportResult(Interaction& ui, ExportResult result, int systemError, const char* path);

// Shows "Not enough memory available to perform the operation." with the error icon.
void ReportOutOfMemory(Interaction& ui);
// Shows "Failed to perform the operation. Some things wrong." without an icon.
void ReportGenericFailure(Interaction& ui);
// Shows the cannot-read message for a path, exclamation icon.
void ReportCannotRead(Interaction& ui, const char* path);
