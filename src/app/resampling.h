// The "Resampling:" choice of Image Resize: nearest pixel (the default) or
// smooth, remembered in the settings ("Resize Resampling").
#pragma once

#include <array>

#include "app/image_commands.h"

class CIconmillApp;
struct CAppSettings;

enum class Resampling : int { NearestPixel = 0, Smooth = 1 };

constexpr const char* kResamplingLabel = "&Resampling:";
// The choices in list order (the order of Resampling).
constexpr std::array<const char*, 2> kResamplingChoices = {"Nearest pixel", "Smooth"};

// The choice the dialog opens on: the remembered one, nearest pixel for any value
// the list does not hold.
Resampling RememberedResampling(const CAppSettings& settings);

// Image Resize's OK with a resampling choice: remembers the choice and applies
// the resize (ApplyImageResize, smooth or not).
PictureRunOutcome ApplyImageResizeWith(CIconmillApp& app, int index, int width, int height,
                                       Resampling resampling);
