#include "ui/psd_import_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/psd_dialog_texts.h"
#include "platform/door/string_table.h"
#include "ui/image_ctrl.h"
#include "ui/qt_interaction.h"

namespace {

QString Plain(QString text) {
    return text.remove('&');
}

template <class Button>
Button* MakeButton(const char* text, const char* name, QWidget* parent) {
    auto* button = new Button(QString::fromUtf8(text), parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setAccessibleName(Plain(button->text()));
    return button;
}

}  // namespace

CPSDImportOptionsDialog::CPSDImportOptionsDialog(const PsdImportRequest& request, QWidget* parent)
    : QDialog(parent), request_(request) {
    setObjectName(QStringLiteral("psdImportOptionsDialog"));
    setWindowTitle(QStringLiteral("PSD Import Options"));

    auto* documentLabel = new QLabel(QStringLiteral("PSD document:"), this);
    document_ = new QLabel(QString::fromStdString(PsdDocumentLine(request)), this);
    document_->setObjectName(QStringLiteral("documentLine"));
    document_->setAccessibleName(document_->text());

    layers_ = new QTreeWidget(this);
    layers_->setObjectName(QStringLiteral("layerList"));
    layers_->setAccessibleName(QStringLiteral("Layers (rasters only)"));
    layers_->setRootIsDecorated(false);
    layers_->setUniformRowHeights(true);
    layers_->setSelectionMode(QAbstractItemView::SingleSelection);
    layers_->setSelectionBehavior(QAbstractItemView::SelectRows);
    layers_->setAllColumnsShowFocus(true);
    layers_->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Dimensions"),
                              QStringLiteral("Rectangle (L, T, R, B)"), QStringLiteral("Alpha Ch."),
                              QStringLiteral("Opacity")});
    const int widths[] = {160, 75, 140, 65, 55};
    int listWidth = 4;
    for (int column = 0; column < 5; ++column) {
        layers_->setColumnWidth(column, widths[column]);
        listWidth += widths[column];
    }
    // Room for every column and the vertical scroll bar.
    layers_->setMinimumWidth(listWidth + 24);
    layers_->header()->setStretchLastSection(false);
    layers_->headerItem()->setTextAlignment(3, Qt::AlignCenter);
    layers_->headerItem()->setTextAlignment(4, Qt::AlignRight | Qt::AlignVCenter);
    for (const PsdLayerEntry& layer : request.layers) {
        const std::array<std::string, 5> texts = PsdLayerRow(layer);
        auto* row = new QTreeWidgetItem(layers_);
        for (int column = 0; column < 5; ++column)
            row->setText(column, QString::fromStdString(texts[std::size_t(column)]));
        row->setTextAlignment(3, Qt::AlignCenter);
        row->setTextAlignment(4, Qt::AlignRight | Qt::AlignVCenter);
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(0, Qt::Unchecked);
    }
    auto* layersLabel = new QLabel(QStringLiteral("&Layers (rasters only):"), this);
    layersLabel->setBuddy(layers_);
    selectAll_ = MakeButton<QPushButton>("Select &All", "selectAll", this);
    selectAll_->setAutoDefault(false);

    auto* previewLabel = new QLabel(QStringLiteral("P&review:"), this);
    preview_ = new CImageCtrl(this);
    preview_->setObjectName(QStringLiteral("preview"));
    preview_->setAccessibleName(QStringLiteral("Preview"));
    preview_->setMinimumSize(360, 260);
    preview_->SetViewMode(4);
    preview_->SetOverlays(kOverlayCoordinates | kOverlayZoom);
    previewLabel->setBuddy(preview_->Canvas());

    auto* options = new QGroupBox(QStringLiteral("&Options"), this);
    options->setObjectName(QStringLiteral("options"));
    options->setAccessibleName(QStringLiteral("Options"));
    merged_ = MakeButton<QRadioButton>("&Merged image", "merged", options);
    separated_ = MakeButton<QRadioButton>("&Separated images", "separated", options);
    blendBackground_ = MakeButton<QRadioButton>("&Blend each layer with Background Layer",
                                                "blendBackground", options);
    keepBackground_ =
        MakeButton<QCheckBox>("&Keep Background Layer as image", "keepBackground", options);
    blendPrevious_ = MakeButton<QRadioButton>("Bl&end each layer with all it's previous layers",
                                              "blendPrevious", options);
    notBlend_ = MakeButton<QRadioButton>("&Not blend, each layer is an individual image",
                                         "notBlend", options);
    maintain_ = MakeButton<QRadioButton>("Main&tain layer's coordinates in PSD canvas",
                                         "maintainCoordinates", options);
    topLeft_ = MakeButton<QRadioButton>("Set layer's top, left as the frame position",
                                        "topLeftPosition", options);
    noPosition_ = MakeButton<QRadioButton>("Non&e", "noPosition", options);
    // Three levels of choice, each exclusive within itself.
    const std::initializer_list<std::initializer_list<QRadioButton*>> groups = {
        {merged_, separated_},
        {blendBackground_, blendPrevious_, notBlend_},
        {maintain_, topLeft_, noPosition_}};
    for (const auto& members : groups) {
        auto* group = new QButtonGroup(this);
        for (QRadioButton* button : members) {
            button->setAutoExclusive(false);
            group->addButton(button);
        }
    }
    auto* optionsLayout = new QGridLayout(options);
    optionsLayout->setColumnMinimumWidth(0, 18);
    optionsLayout->setColumnMinimumWidth(1, 18);
    optionsLayout->setColumnMinimumWidth(2, 18);
    int line = 0;
    optionsLayout->addWidget(merged_, line++, 0, 1, 4);
    optionsLayout->addWidget(separated_, line++, 0, 1, 4);
    optionsLayout->addWidget(blendBackground_, line++, 1, 1, 3);
    optionsLayout->addWidget(keepBackground_, line++, 2, 1, 2);
    optionsLayout->addWidget(blendPrevious_, line++, 1, 1, 3);
    optionsLayout->addWidget(notBlend_, line++, 1, 1, 3);
    for (QRadioButton* position : {maintain_, topLeft_, noPosition_})
        optionsLayout->addWidget(position, line++, 2, 1, 2);
    optionsLayout->setColumnStretch(3, 1);

    auto* notes = new QLabel(QStringLiteral("Notes:\n\tFirst checked layer is considered as "
                                            "Background Layer.\n\tIf Background Layer has alpha "
                                            "channel the final combined image will be 32-bit "
                                            "other wise 24-bit."),
                             this);
    notes->setObjectName(QStringLiteral("notes"));
    notes->setAccessibleName(notes->text());
    notes->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    for (QAbstractButton* button : buttons->buttons())
        button->setAccessibleName(Plain(button->text()));
    connect(buttons, &QDialogButtonBox::accepted, this, &CPSDImportOptionsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* left = new QVBoxLayout;
    auto* documentRow = new QHBoxLayout;
    documentRow->addWidget(documentLabel);
    documentRow->addWidget(document_, 1);
    left->addLayout(documentRow);
    left->addWidget(layersLabel);
    left->addWidget(layers_, 1);
    auto* selectRow = new QHBoxLayout;
    selectRow->addWidget(selectAll_);
    selectRow->addStretch(1);
    left->addLayout(selectRow);
    auto* right = new QVBoxLayout;
    right->addWidget(previewLabel);
    right->addWidget(preview_, 1);
    right->addWidget(options);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(notes);
    layout->addWidget(buttons);
    resize(1000, 600);

    connect(selectAll_, &QPushButton::clicked, this, [this] {
        for (int i = 0; i < layers_->topLevelItemCount(); ++i)
            layers_->topLevelItem(i)->setCheckState(0, Qt::Checked);
    });
    connect(layers_, &QTreeWidget::currentItemChanged, this, [this] { ShowPreview(); });
    for (QAbstractButton* mode : {merged_, separated_, blendBackground_, blendPrevious_, notBlend_})
        connect(mode, &QAbstractButton::toggled, this, [this] { UpdateEnabling(); });

    choice_ = request.initial;
    ShowChoice(request.initial);
    UpdateEnabling();
    if (layers_->topLevelItemCount() > 0) layers_->setCurrentItem(layers_->topLevelItem(0));
    ShowPreview();
    layers_->setFocus();
}

void CPSDImportOptionsDialog::ShowChoice(const PsdImportChoice& choice) {
    switch (choice.mode) {
        case PsdModeBlendWithBackground:
            separated_->setChecked(true);
            blendBackground_->setChecked(true);
            break;
        case PsdModeBlendWithPrevious:
            separated_->setChecked(true);
            blendPrevious_->setChecked(true);
            break;
        case PsdModeSeparate:
            separated_->setChecked(true);
            notBlend_->setChecked(true);
            break;
        default:
            merged_->setChecked(true);
            notBlend_->setChecked(true);
            break;
    }
    keepBackground_->setChecked(choice.keepBackground);
    // Neither position flag is what "None" gives, so that button shows it.
    (choice.maintainCoordinates ? maintain_
     : choice.topLeftAsPosition ? topLeft_
                                : noPosition_)
        ->setChecked(true);
}

void CPSDImportOptionsDialog::UpdateEnabling() {
    const bool separated = !merged_->isChecked();
    for (QRadioButton* mode : {blendBackground_, blendPrevious_, notBlend_})
        mode->setEnabled(separated);
    keepBackground_->setEnabled(separated && blendBackground_->isChecked());
    const bool positions = separated && notBlend_->isChecked();
    for (QRadioButton* position : {maintain_, topLeft_, noPosition_})
        position->setEnabled(positions);
}

void CPSDImportOptionsDialog::ShowPreview() {
    const int index = layers_->indexOfTopLevelItem(layers_->currentItem());
    // The control offers its alpha views by itself for 32-bit layers only.
    if (index >= 0 && std::size_t(index) < request_.layers.size() &&
        request_.layers[std::size_t(index)].header)
        preview_->SetImage(request_.layers[std::size_t(index)].header,
                           request_.layers[std::size_t(index)].bits);
    else
        preview_->ClearImage();
}

void CPSDImportOptionsDialog::accept() {
    PsdImportChoice chosen;
    for (int i = 0; i < layers_->topLevelItemCount(); ++i)
        if (layers_->topLevelItem(i)->checkState(0) == Qt::Checked) chosen.layers.push_back(i);
    if (chosen.layers.empty()) {
        QtInteraction door(this, nullptr);
        door.ShowMessage(PlainMessage(kStrPsdNoLayerSelected, MessageIcon::Exclamation));
        return;
    }
    chosen.mode = merged_->isChecked()            ? PsdModeMerged
                  : blendBackground_->isChecked() ? PsdModeBlendWithBackground
                  : blendPrevious_->isChecked()   ? PsdModeBlendWithPrevious
                                                  : PsdModeSeparate;
    chosen.keepBackground = keepBackground_->isChecked();
    chosen.maintainCoordinates = maintain_->isChecked();
    chosen.topLeftAsPosition = topLeft_->isChecked();
    choice_ = chosen;
    QDialog::accept();
}
