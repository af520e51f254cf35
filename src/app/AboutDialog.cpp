#include "app/AboutDialog.h"

#include "core/ProjectInfo.h"
#include "ui/UiResources.h"

#include <algorithm>

namespace lumaquill {

namespace {

constexpr int WebAddressId = 1070;
constexpr int VersionId = 1071;
constexpr int BannerX = 10;
constexpr int BannerY = 10;
// Pixels kept free between the banner and the address line.
constexpr int BannerGap = 3;

// The template's casual face; TemplateFont falls back to a casual face the
// desktop has, or to its default face.
const DialogTemplate AboutTemplate{
    .Id = 100,
    .Caption = QStringLiteral("About Lumaquill"),
    .Width = 102,
    .Height = 69,
    .FontFace = QStringLiteral("Comic Sans MS"),
    .PointSize = 12,
    .Controls = {
        {WebAddressId, ControlKind::Static, QString(), {24, 32, 54, 8}, ControlStyle::Centre},
        // The release, in the free band between the address and OK.
        {VersionId, ControlKind::Static, QString(), {24, 43, 54, 8}, ControlStyle::Centre},
        {IdOk, ControlKind::PushButton, QStringLiteral("OK"), {29, 54, 40, 9}},
    },
};

} // namespace

AboutDialog::AboutDialog(QWidget* parent)
    : TemplateDialog(AboutTemplate, parent)
{
    SetControlText(WebAddressId, UiResources::String(WebAddressStringId));
    SetControlText(VersionId, VersionLine());
    // The banner has a fixed pixel size while the address line sits at a
    // dialog-unit position: with a face shorter than the template's casual
    // one the line comes up to the banner, which then moves up (at most to
    // the top edge) rather than covering it.
    const int bannerHeight = UiResources::Icon(BannerIconId).deviceIndependentSize().toSize().height();
    const int roomAbove = Control(WebAddressId)->geometry().top() - bannerHeight - BannerGap;
    SetBanner(BannerIconId, QPoint(BannerX, std::clamp(roomAbove, 0, BannerY)));
}

QString AboutDialog::VersionLine()
{
    return QStringLiteral("Version %1").arg(QLatin1StringView(kProjectVersion.data(), kProjectVersion.size()));
}

} // namespace lumaquill
