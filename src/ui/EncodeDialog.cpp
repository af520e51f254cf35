#include "ui/EncodeDialog.h"

#include "ui/UiResources.h"

namespace lumaquill {

namespace {

const DialogTemplate EncodeTemplate{
    .Id = 144,
    .Caption = QStringLiteral("Encode Image"),
    .Width = 188,
    .Height = 198,
    .Controls = {
        {1045, ControlKind::Static, QStringLiteral("What would you like to encode?"), {8, 65, 103, 8}},
        {1052, ControlKind::PushButton, QStringLiteral("A file"), {7, 75, 79, 14}},
        {1019, ControlKind::PushButton, QStringLiteral("Typed Text"), {102, 75, 79, 14}},
        {1051, ControlKind::Static, QStringLiteral("What would you like to encode this into?"), {8, 97, 129, 8}},
        {1053, ControlKind::PushButton, QStringLiteral("Existing Image"), {8, 107, 79, 14}},
        {1058, ControlKind::CheckBox, QStringLiteral("or  Pure Noise Image"), {99, 109, 82, 10},
            ControlStyle::LeftText},
        {1000, ControlKind::PushButton, QStringLiteral("Preview"), {8, 123, 79, 14}},
        {IdOk, ControlKind::PushButton, QStringLiteral("Ok"), {97, 141, 84, 50}, ControlStyle::Picture},
        {1057, ControlKind::CheckBox, QStringLiteral("Shrink to fit?"), {7, 144, 55, 10}},
        {1055, ControlKind::Static, QStringLiteral("Data Size : 0"), {7, 169, 71, 8}},
        {1056, ControlKind::Static, QStringLiteral("Max Size : 0"), {7, 181, 85, 8}},
    },
};

} // namespace

EncodeDialog::EncodeDialog(StegEngine& engine, UiPrompts& prompts, QWidget* parent)
    : TemplateDialog(EncodeTemplate, parent)
    , Engine(engine)
    , Prompts(prompts)
{
    SetPicture(IdOk, UiResources::Bitmap(OkPictureId));
    SetBanner(BannerIconId, QPoint(27, 10));
}

} // namespace lumaquill
