#include "app/psd_dialog_texts.h"

#include <cstdint>
#include <cstdio>

#include "formats/psd/psd_import.h"

std::string PsdDocumentLine(const PsdImportRequest& request) {
    const char* mode = PsdColorModeName(request.colorMode);
    char line[160];
    std::snprintf(line, sizeof line, "%ux%u px, %s/%u Bits per Channel",
                  static_cast<unsigned>(request.width), static_cast<unsigned>(request.height),
                  mode ? mode : "", static_cast<unsigned>(request.depth));
    return line;
}

std::array<std::string, 5> PsdLayerRow(const PsdLayerEntry& layer) {
    char size[48], rectangle[96], opacity[16];
    // The sides come from the file: their differences are taken in 64 bits.
    std::snprintf(size, sizeof size, "%lldx%lld", static_cast<long long>(layer.right) - layer.left,
                  static_cast<long long>(layer.bottom) - layer.top);
    std::snprintf(rectangle, sizeof rectangle, "%d, %d, %d, %d", static_cast<int>(layer.left),
                  static_cast<int>(layer.top), static_cast<int>(layer.right),
                  static_cast<int>(layer.bottom));
    const float percent = static_cast<float>(layer.opacity) / 255.0f * 100.0f;
    std::snprintf(opacity, sizeof opacity, "%u%%", static_cast<unsigned>(percent));
    return {layer.name, size, rectangle, layer.hasAlpha ? "Yes" : "No", opacity};
}
