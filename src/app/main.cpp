#include "app/StegApp.h"
#include "ui/qt/UiPrompts.h"

#include <QApplication>
#include <QStringList>

// Beyond the options that QApplication itself consumes, the program takes
// one optional argument: a picture to decode ("Open with Lumaquill").
int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    lumaquill::UiPrompts prompts;
    lumaquill::StegApp stegApp(prompts);
    const QStringList arguments = QApplication::arguments();
    return stegApp.Run(arguments.size() > 1 ? arguments.at(1) : QString());
}
