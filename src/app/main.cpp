#include "app/StegApp.h"
#include "ui/UiPrompts.h"

#include <QApplication>

// The program takes nothing from its command line beyond the options that
// QApplication itself consumes.
int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    lumaquill::UiPrompts prompts;
    lumaquill::StegApp stegApp(prompts);
    return stegApp.Run();
}
