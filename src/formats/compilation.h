// The compilation object: the type of the file the list is saved as, with the
// per-type save options (the records of the formats it is saved in).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "formats/ani/ani_save_options.h"
#include "formats/png/png_save_options.h"

enum CompilationType : int {
    CompilationNone = 0,
    CompilationIcon = 1,
    CompilationCursor = 2,
    CompilationAnimatedPng = 3,
    CompilationAnimatedCursor = 4,
};

class CAnimatedPNGCompilation;
class CAnimatedCursorCompilation;
class CIconmillApp;

class CCompilation {
public:
    virtual ~CCompilation() = default;
    virtual CompilationType Type() const { return CompilationNone; }
    // The file the compilation belongs to; null for a compilation of type none.
    virtual const std::string* Path() const { return nullptr; }
    virtual CAnimatedPNGCompilation* AsAnimatedPng() { return nullptr; }
    virtual CAnimatedCursorCompilation* AsAnimatedCursor() { return nullptr; }

    // Whether the list changed since it was opened or saved. Only the application
    // object writes it, so that every change reaches its listener.
    bool IsModified() const { return modified_; }

    bool askForOptions = true;        // an animated save shows its options first
    std::uint32_t numPlays = 0;       // animated PNG play count; 0 = infinite
    bool firstFrameExcluded = false;  // the default image is not an animation frame

private:
    friend class CIconmillApp;
    bool modified_ = false;
};

// The typed compilations carry the path of their file.
class CTypedCompilation : public CCompilation {
public:
    explicit CTypedCompilation(std::string path) : path_(std::move(path)) {}
    const std::string* Path() const override { return &path_; }

private:
    std::string path_;
};

class CIconCompilation : public CTypedCompilation {
public:
    using CTypedCompilation::CTypedCompilation;
    CompilationType Type() const override { return CompilationIcon; }
};

class CCursorCompilation : public CTypedCompilation {
public:
    using CTypedCompilation::CTypedCompilation;
    CompilationType Type() const override { return CompilationCursor; }
};

class CAnimatedPNGCompilation : public CTypedCompilation {
public:
    using CTypedCompilation::CTypedCompilation;
    CompilationType Type() const override { return CompilationAnimatedPng; }
    CAnimatedPNGCompilation* AsAnimatedPng() override { return this; }

    PngSaveOptions png;
};

class CAnimatedCursorCompilation : public CTypedCompilation {
public:
    using CTypedCompilation::CTypedCompilation;
    CompilationType Type() const override { return CompilationAnimatedCursor; }
    CAnimatedCursorCompilation* AsAnimatedCursor() override { return this; }

    AniSaveOptions ani;
};

// A new compilation of a type; `path` is ignored for type none.
std::unique_ptr<CCompilation> MakeCompilation(CompilationType type, std::string path = {});
