#include "formats/compilation.h"

std::unique_ptr<CCompilation> MakeCompilation(CompilationType type, std::string path) {
    switch (type) {
        case CompilationIcon:
            return std::make_unique<CIconCompilation>(std::move(path));
        case CompilationCursor:
            return std::make_unique<CCursorCompilation>(std::move(path));
        case CompilationAnimatedPng:
            return std::make_unique<CAnimatedPNGCompilation>(std::move(path));
        case CompilationAnimatedCursor:
            return std::make_unique<CAnimatedCursorCompilation>(std::move(path));
        case CompilationNone:
            break;
    }
    return std::make_unique<CCompilation>();
}
