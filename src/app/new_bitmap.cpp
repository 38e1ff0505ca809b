#include "app/new_bitmap.h"

#include <optional>

#include "app/application.h"
#include "app/dialog_number.h"
#include "app/report.h"
#include "ops/empty_bitmap.h"
#include "platform/door/interaction.h"
#include "platform/door/message_format.h"
#include "platform/door/string_table.h"

namespace {

constexpr std::uint16_t kListBitCounts[] = {1, 4, 8, 16, 24, 32};
constexpr std::int64_t kLargestSide = 2147483647;

std::optional<std::int32_t> ReadSide(std::string_view text) {
    const std::optional<std::uint32_t> value = ReadDialogUnsigned(text, 0xFFFFFFFFu);
    if (!value || *value == 0 || *value > kLargestSide) return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

void ShowRangeMessage(Interaction& ui) {
    ui.ShowMessage({kStrValueRange,
                    FormatMessageText(LoadStringText(kStrValueRange), {1, 2147483647}),
                    MessageIcon::Exclamation, MessageButtons::Ok});
}

}  // namespace

int BitDepthListIndex(std::uint16_t bitCount) {
    for (int i = 0; i < 6; ++i)
        if (kListBitCounts[i] == bitCount) return i;
    return 0;
}

BitmapAttributesField AcceptBitmapAttributes(Interaction& ui, std::string_view widthText,
                                             std::string_view heightText, int bitDepthIndex,
                                             BitmapAttributes* values) {
    const std::optional<std::int32_t> width = ReadSide(widthText);
    if (!width) {
        ShowRangeMessage(ui);
        return BitmapAttributesField::Width;
    }
    values->width = *width;
    const std::optional<std::int32_t> height = ReadSide(heightText);
    if (!height) {
        ShowRangeMessage(ui);
        return BitmapAttributesField::Height;
    }
    values->height = *height;
    if (bitDepthIndex >= 0 && bitDepthIndex < 6) values->bitCount = kListBitCounts[bitDepthIndex];
    return BitmapAttributesField::None;
}

bool AppendEmptyBitmap(CIconmillApp& app, const BitmapAttributes& attributes) {
    NewItem item;
    const ImageResult result = MakeEmptyBitmap(attributes.width, attributes.height,
                                               attributes.bitCount, &item.header, &item.bits);
    if (result == ImageOutOfMemory) {
        ReportOutOfMemory(app.Ui());
        return false;
    }
    if (result != ImageOk) return false;
    if (app.Items().AddItem(std::move(item)) < 0) return false;
    app.SetModified();
    return true;
}
