#include "app/StegApp.h"

#include "app/MainDialog.h"
#include "ui/template/UiResources.h"

#include <QApplication>

namespace lumaquill {

StegApp::StegApp(UiPrompts& prompts)
    : Prompts(prompts)
    , Services(prompts)
{
    SteganographyEngine.SetFrontend(Services.Services());
}

int StegApp::Run(const QString& picture)
{
    // The desktop matches the window to its menu entry by this name.
    QGuiApplication::setDesktopFileName(UiResources::ApplicationId());
    QApplication::setWindowIcon(UiResources::AppIcon());
    MainDialog mainWindow(Door, Prompts);
    if (!picture.isEmpty()) {
        QMetaObject::invokeMethod(
            &mainWindow, [&mainWindow, picture] { mainWindow.DecodePicture(picture); }, Qt::QueuedConnection);
    }
    mainWindow.exec();
    return 0;
}

} // namespace lumaquill
