#pragma once

#include "ui/template/TemplateDialog.h"

namespace lumaquill {

// The About box (template 100): the banner, the maker's web address, the
// release version and OK.
class AboutDialog : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr int kBannerIconId = 141;
    static constexpr int kWebAddressStringId = 112;

    explicit AboutDialog(QWidget* parent = nullptr);

    // "Version 1.1.0": the line under the web address.
    static QString VersionLine();
};

} // namespace lumaquill
