#include "ui/GuiTestSupport.h"

int main(int argc, char** argv)
{
    return lumaquill::test::RunGuiTests(argc, argv);
}
