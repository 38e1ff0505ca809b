// The one place where result codes of the image library become messages.
#pragma once

#include <cstdint>

class Interaction;

// Each shows the message for a code of its family (the system text for system
// errors, with the subject above it when there is one). `withName`: the
// bad-format message names the subject. `systemError`: errno right after the
// failing call, 0 when none (then the current errno is used). `subject`: a path
// or an operation's label, or null.
void ReportImageResult(Interaction& ui, bool withName, int code, int systemError,
                       const char* subject);
void ReportIconResult(Interaction& ui, bool withName, int code, int systemError,
                      const char* subject);
void ReportPngResult(Interaction& ui, bool withName, int code, int systemError,
                     const char* subject);
void ReportPsdResult(Interaction& ui, int code, int systemError, const char* subject);

// Shows "Not enough memory available to perform the operation." with the error icon.
void ReportOutOfMemory(Interaction& ui);
// Shows "Failed to perform the operation. Some things wrong." without an icon.
void ReportGenericFailure(Interaction& ui);
// Shows the cannot-read message for a path, exclamation icon.
void ReportCannotRead(Interaction& ui, const char* path);
