// Items with hand-made pictures for the application tests.
#pragma once

#include <cstdint>
#include <vector>

#include "core/item_list.h"
#include "support/block_bytes.h"

// An original of width x height (a negative height: top-down) at `bitCount`, its
// default colour table, every pixel byte `fill`; with a mask whose bytes are all
// `maskFill` when `withMask`.
NewItem MakePictureItem(int width, int height, int bitCount = 24, std::uint8_t fill = 0,
                        bool withMask = false, std::uint8_t maskFill = 0);

// Appends an original (as MakePictureItem) and returns its index.
int AddPicture(CItemList& list, int width, int height, int bitCount = 24, std::uint8_t fill = 0,
               bool withMask = false);
