#include "app/resampling.h"

#include "app/application.h"
#include "app/settings.h"

Resampling RememberedResampling(const CAppSettings& settings) {
    return settings.resizeResampling == static_cast<int>(Resampling::Smooth)
               ? Resampling::Smooth
               : Resampling::NearestPixel;
}

PictureRunOutcome ApplyImageResizeWith(CIconmillApp& app, int index, int width, int height,
                                       Resampling resampling) {
    app.settings.resizeResampling = static_cast<int>(resampling);
    return ApplyImageResize(app, index, width, height, resampling == Resampling::Smooth);
}
