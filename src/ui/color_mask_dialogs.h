// The Grayscale, Alpha Compositing and Create/Edit Mask commands of the main
// window: each opens its dialog on the first selected original and, on OK,
// writes the result back through its apply function (app/color_mask_commands.h).
#pragma once

class CIconmillApp;
class QWidget;

void RunGrayscaleDialog(CIconmillApp& app, QWidget* parent);
void RunAlphaCompositingDialog(CIconmillApp& app, QWidget* parent);
void RunMaskEditDialog(CIconmillApp& app, QWidget* parent);
