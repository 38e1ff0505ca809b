#include "support/psd_bytes.h"

namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v >> 16);
    Put16(out, v & 0xFFFF);
}
void Append(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

std::vector<std::uint8_t> ChannelData(const PsdChannelSpec& channel, std::uint32_t width,
                                      std::uint32_t height) {
    std::vector<std::uint8_t> data;
    Put16(data, static_cast<std::uint16_t>(channel.compression));
    if (channel.payload) {
        Append(data, *channel.payload);
    } else if (channel.compression == 1) {
        std::vector<std::vector<std::uint8_t>> rows;
        for (std::uint32_t y = 0; y < height; ++y)
            rows.push_back(PackBitsEncode(std::vector<std::uint8_t>(
                channel.plane.begin() + y * width, channel.plane.begin() + (y + 1) * width)));
        for (const auto& row : rows) Put16(data, static_cast<std::uint32_t>(row.size()));
        for (const auto& row : rows) Append(data, row);
    } else {
        Append(data, channel.plane);
    }
    return data;
}

}  // namespace

std::vector<std::uint8_t> PackBitsEncode(const std::vector<std::uint8_t>& row) {
    std::vector<std::uint8_t> out;
    std::size_t i = 0;
    while (i < row.size()) {
        std::size_t run = 1;
        while (i + run < row.size() && run < 128 && row[i + run] == row[i]) ++run;
        if (run >= 3) {
            out.push_back(static_cast<std::uint8_t>(257 - run));
            out.push_back(row[i]);
            i += run;
            continue;
        }
        std::size_t start = i;
        std::size_t length = 0;
        while (i < row.size() && length < 128) {
            if (i + 2 < row.size() && row[i] == row[i + 1] && row[i] == row[i + 2]) break;
            ++i;
            ++length;
        }
        out.push_back(static_cast<std::uint8_t>(length - 1));
        out.insert(out.end(), row.begin() + start, row.begin() + start + length);
    }
    return out;
}

std::vector<std::uint8_t> LuniBlock(const std::u16string& name) {
    std::vector<std::uint8_t> data;
    Put32(data, static_cast<std::uint32_t>(name.size()));
    for (char16_t c : name) Put16(data, c);
    while (data.size() % 4) data.push_back(0);
    std::vector<std::uint8_t> block = {'8', 'B', 'I', 'M', 'l', 'u', 'n', 'i'};
    Put32(block, static_cast<std::uint32_t>(data.size()));
    Append(block, data);
    return block;
}

PsdChannelSpec UniformChannel(std::int16_t id, std::size_t size, std::uint8_t value,
                              std::int16_t compression) {
    PsdChannelSpec channel;
    channel.id = id;
    channel.compression = compression;
    channel.plane.assign(size, value);
    return channel;
}

std::vector<std::uint8_t> MakePsd(const PsdLayout& layout) {
    std::vector<std::uint8_t> out = {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0};
    Put16(out, static_cast<std::uint16_t>(layout.channels));
    Put32(out, layout.height);
    Put32(out, layout.width);
    Put16(out, layout.depth);
    Put16(out, layout.mode);
    Put32(out, static_cast<std::uint32_t>(layout.colorModeData.size()));
    Append(out, layout.colorModeData);
    Put32(out, 0);  // image resources

    std::vector<std::uint8_t> info;
    Put16(info, static_cast<std::uint16_t>(
                    layout.layerCount.value_or(static_cast<std::int16_t>(layout.layers.size()))));
    std::vector<std::uint8_t> channelData;
    for (const PsdLayerSpec& layer : layout.layers) {
        Put32(info, static_cast<std::uint32_t>(layer.top));
        Put32(info, static_cast<std::uint32_t>(layer.left));
        Put32(info, static_cast<std::uint32_t>(layer.bottom));
        Put32(info, static_cast<std::uint32_t>(layer.right));
        Put16(info, static_cast<std::uint32_t>(layer.channels.size()));
        const std::uint32_t width =
            layer.right > layer.left ? static_cast<std::uint32_t>(layer.right - layer.left) : 0;
        const std::uint32_t height =
            layer.bottom > layer.top ? static_cast<std::uint32_t>(layer.bottom - layer.top) : 0;
        for (const PsdChannelSpec& channel : layer.channels) {
            std::vector<std::uint8_t> data = ChannelData(channel, width, height);
            Put16(info, static_cast<std::uint16_t>(channel.id));
            Put32(info, channel.statedLength.value_or(static_cast<std::uint32_t>(data.size())));
            Append(channelData, data);
        }
        Append(info, {'8', 'B', 'I', 'M', 'n', 'o', 'r', 'm', layer.opacity, 0, layer.flags, 0});
        if (!layer.withExtra) {
            Put32(info, 0);
            continue;
        }
        std::vector<std::uint8_t> extra;
        Put32(extra, layer.maskLength);
        extra.insert(extra.end(), layer.maskLength, 0);
        Put32(extra, 0);  // blending ranges
        extra.push_back(static_cast<std::uint8_t>(layer.name.size()));
        extra.insert(extra.end(), layer.name.begin(), layer.name.end());
        for (std::size_t field = layer.name.size() + 1; field % 4 != 0; ++field) extra.push_back(0);
        Append(extra, layer.additional);
        Put32(info, layer.extraLength.value_or(static_cast<std::uint32_t>(extra.size())));
        Append(info, extra);
    }
    Append(info, channelData);

    if (layout.mode == 3) {
        if (layout.emptyLayerSection) {
            Put32(out, 0);
        } else {
            Put32(out, static_cast<std::uint32_t>(info.size() + 4));
            Put32(out, static_cast<std::uint32_t>(info.size()));
            Append(out, info);
        }
        // The merged image the parser does not read: a raw black picture.
        Put16(out, 0);
        out.insert(out.end(), std::size_t{layout.width} * layout.height * 3, 0);
    } else {
        Put32(out, 0);
        PsdChannelSpec merged;
        merged.compression = layout.mergedCompression;
        merged.plane = layout.merged;
        Append(out, ChannelData(merged, layout.width, layout.height));
    }
    return out;
}
