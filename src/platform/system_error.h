#pragma once

#include <string>

// The system's text for an errno value; empty for 0, for which there is no error.
std::string SystemErrorText(int code);
