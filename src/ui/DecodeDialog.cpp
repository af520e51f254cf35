#include "ui/DecodeDialog.h"

#include "ui/UiResources.h"

namespace lumaquill {

namespace {

const DialogTemplate DecodeTemplate{
    .Id = 145,
    .Caption = QStringLiteral("Decode"),
    .Width = 188,
    .Height = 198,
    .Controls = {
        {1045, ControlKind::Static, QStringLiteral("From which image do you want to decode?"), {7, 77, 136, 8}},
        {1053, ControlKind::PushButton, QStringLiteral("Image"), {7, 87, 79, 14}},
        {1000, ControlKind::PushButton, QStringLiteral("Preview"), {102, 87, 79, 14}},
        {IdOk, ControlKind::PushButton, QStringLiteral("Decode"), {97, 141, 84, 50},
            ControlStyle::DefaultButton | ControlStyle::Picture},
    },
};

} // namespace

DecodeDialog::DecodeDialog(StegEngine& engine, UiPrompts& prompts, QWidget* parent)
    : TemplateDialog(DecodeTemplate, parent)
    , Engine(engine)
    , Prompts(prompts)
{
    SetPicture(IdOk, UiResources::Bitmap(DecodePictureId));
    SetBanner(BannerIconId, QPoint(27, 10));
}

} // namespace lumaquill
