#include "app/AboutDialog.h"

#include "core/ProjectInfo.h"
#include "ui/template/UiResources.h"

#include <algorithm>

namespace lumaquill {

namespace {

constexpr int kWebAddressId = 1070;
constexpr int kVersionId = 1071;
constexpr int kBannerX = 10;
constexpr int kBannerY = 10;
// Pixels kept free between the banner and the address line.
constexpr int kBannerGap = 3;

// The template's casual face; TemplateFont falls back to a casual face the
// desktop has, or to its default face.
const DialogTemplate kAboutTemplate{
    .Id = 100,
    .Caption = QStringLiteral("About Lumaquill"),
    // Wider and taller than the classic 102 x 69, so that the banner has
    // room beside it and the lines and OK room between them.
    .Width = 130,
    .Height = 76,
    .FontFace = QStringLiteral("Comic Sans MS"),
    .PointSize = 12,
    .Controls = {
        {kWebAddressId, ControlKind::Static, QString(), {10, 33, 110, 9}, ControlStyle::Centre},
        // The release, in the free band between the address and OK.
        {kVersionId, ControlKind::Static, QString(), {10, 44, 110, 9}, ControlStyle::Centre},
        {kIdOk, ControlKind::PushButton, QStringLiteral("OK"), {45, 58, 40, 12}},
    },
};

} // namespace

AboutDialog::AboutDialog(QWidget* parent)
    : TemplateDialog(kAboutTemplate, parent)
{
    SetControlText(kWebAddressId, UiResources::String(kWebAddressStringId));
    SetControlText(kVersionId, VersionLine());
    // The banner has a fixed pixel size while the address line sits at a
    // dialog-unit position: with a face shorter than the template's casual
    // one the line comes up to the banner, which then moves up (at most to
    // the top edge) rather than covering it.
    const int bannerHeight = UiResources::Icon(kBannerIconId).deviceIndependentSize().toSize().height();
    const int roomAbove = Control(kWebAddressId)->geometry().top() - bannerHeight - kBannerGap;
    SetBanner(kBannerIconId, QPoint(kBannerX, std::clamp(roomAbove, 0, kBannerY)));
}

QString AboutDialog::VersionLine()
{
    return QStringLiteral("Version %1").arg(QLatin1StringView(kProjectVersion.data(), kProjectVersion.size()));
}

} // namespace lumaquill
