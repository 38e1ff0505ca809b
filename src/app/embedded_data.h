// Data files of the program that it also carries inside itself, so that it
// does not depend on where it was installed.
#pragma once

#include <string_view>

// data/icons/Korvath.Iconmill.svg: the application's icon.
std::string_view ApplicationIconSvg();
// data/TermOfUse.txt: the term-of-use text.
std::string_view TermOfUseText();
